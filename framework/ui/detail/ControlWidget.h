#pragma once

// Framework-internal: the native widget of every visible control.

#include <QWidget>

namespace kivra::framework {
class RectControl;
}

namespace kivra::framework::detail {

// Forwards the platform's mouse and drop events to its control, guarded, in
// control coordinates. Control kinds subclass it for their own painting.
class ControlWidget : public QWidget {
public:
    ControlWidget(RectControl& owner, QWidget* parent);
    ~ControlWidget() override;

    RectControl& Owner() const { return mOwner; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    RectControl& mOwner;
    bool mPressed = false;
};

}  // namespace kivra::framework::detail
