#pragma once

// Framework-internal: the widget of a Canvas.

#include "framework/ui/detail/ControlWidget.h"

namespace kivra::framework {
class Canvas;
}

namespace kivra::framework::detail {

// Runs the canvas's Paint into its backing picture and shows the picture.
class CanvasWidget : public ControlWidget {
public:
    CanvasWidget(Canvas& owner, QWidget* parent);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Canvas& mCanvas;
    bool mFailedLastPaint = false;
};

}  // namespace kivra::framework::detail
