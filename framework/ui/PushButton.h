#pragma once

#include <string>

#include "framework/ui/Event.h"
#include "framework/ui/RectControl.h"
#include "framework/ui/TextStyle.h"

namespace kivra::framework {

// A button. The Default button answers Return, the Cancel button Escape.
class PushButton : public RectControl {
public:
    std::string Caption() const { return mCaption; }
    void Caption(const std::string& caption);
    bool Default() const { return mDefault; }
    void Default(bool v);
    bool Cancel() const { return mCancel; }
    void Cancel(bool v);

    // Presses the button as the user would: a disabled button does nothing.
    void Push();

    void SetProperty(const std::string& name, const PropertyValue& value) override;

    virtual void Event_Action() { Action.Raise(); }
    Event<void()> Action;

protected:
    detail::ControlWidget* CreateWidget(Window& window) override;

private:
    static const PropertyTable<PushButton>& Properties();
    void ApplyLook();

    std::string mCaption;
    bool mDefault = false, mCancel = false;
    TextStyle mStyle;
};

}  // namespace kivra::framework
