#pragma once

#include "framework/ui/Event.h"
#include "framework/ui/RectControl.h"
#include "framework/values/Ref.h"

namespace kivra::framework {

class Graphics;
class Picture;

namespace detail {
class CanvasWidget;
}

// A control that shows what is drawn on it. Its Graphics draws into the canvas's
// own backing picture, also outside Paint; the backing starts transparent, so the
// window shows through where nothing is drawn.
class Canvas : public RectControl {
public:
    Canvas();
    ~Canvas() override;

    Ref<framework::Graphics> Graphics();
    Ref<Picture> Backing() const { return mBacking; }

    void DrawIntoPicture(framework::Graphics& g, Int32 x, Int32 y) const override;

    // On every repaint; by default raises Paint with the backing's Graphics.
    virtual void Event_Paint(framework::Graphics& g) { Paint.Raise(g); }
    Event<void(framework::Graphics&)> Paint;

protected:
    detail::ControlWidget* CreateWidget(Window& window) override;

private:
    friend class detail::CanvasWidget;
    void EnsureBacking();

    Ref<Picture> mBacking;
    bool mPainting = false;
};

}  // namespace kivra::framework
