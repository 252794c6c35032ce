#pragma once

// Framework-internal: what a control that its window draws paints with.

#include <QPainter>
#include <QRegion>

namespace kivra::framework::detail {

class WindowPainter {
public:
    WindowPainter(QPainter& painter, const QRegion& exposed, int clientTop)
        : mPainter(painter), mExposed(exposed), mClientTop(clientTop) {}

    QPainter& Painter() const { return mPainter; }
    // The part of the window being painted; nothing outside it needs drawing.
    const QRegion& Exposed() const { return mExposed; }
    // Control coordinates start below a menu bar the window shows itself.
    int ClientTop() const { return mClientTop; }

private:
    QPainter& mPainter;
    const QRegion& mExposed;
    int mClientTop;
};

}  // namespace kivra::framework::detail
