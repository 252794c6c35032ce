#pragma once

// Framework-internal: the native top-level widget of a Window.

#include <QPoint>
#include <QWidget>

namespace kivra::framework {
class Window;
}

namespace kivra::framework::detail {

class WindowWidget : public QWidget {
public:
    explicit WindowWidget(Window& owner);

    Window& Owner() const { return mOwner; }
    // A move the program asked for; the platform's echo of it is not a user move.
    void RequestMove(QPoint topLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QPoint ToWindow(QPointF global) const;

    Window& mOwner;
    bool mPendingMove = false;
    QPoint mRequestedPos;
};

}  // namespace kivra::framework::detail
