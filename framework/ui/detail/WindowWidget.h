#pragma once

// Framework-internal: the native top-level widget of a Window.

#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QWidget>

#include "framework/ui/detail/EchoFilter.h"
#include "framework/ui/detail/MotifHints.h"

namespace kivra::framework {
class Window;
}

namespace kivra::framework::detail {

class WindowWidget : public QWidget {
public:
    explicit WindowWidget(Window& owner);

    Window& Owner() const { return mOwner; }
    // A place or size the program asked for; the server's echo of it is not
    // a change of the window manager's. A fixed size is also the least and
    // largest size the manager may give the window.
    void RequestMove(QPoint topLeft);
    void RequestResize(QSize size, bool fixed);
    // Makes the window's present size the only one the manager may give it,
    // or lifts that.
    void FixSize(bool fixed);
    // What the window manager may do with the window; written again whenever
    // Qt has written its own.
    void Functions(const WindowFunctions& functions);
    // What the screens show of the desktop.
    static QRegion ScreenRegion();
    // The screens as the window last looked at them, replaced by `now`.
    QRegion SeenScreens(const QRegion& now);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QPoint ToWindow(QPointF global) const;
    void ResizeWithin(QSize size, bool fixed);
    void ScreensChanged();

    Window& mOwner;
    // Qt reports the program's own changes at once, while it makes them.
    bool mRequesting = false;
    EchoFilter<QPoint> mMoves;
    EchoFilter<QSize> mSizes;
    WindowFunctions mFunctions;
    bool mScreensChanged = false;
    QRegion mScreens;
};

}  // namespace kivra::framework::detail
