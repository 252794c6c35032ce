#include "framework/detail/NetWmIcon.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace kivra::framework::detail {

namespace {

xcb_connection_t* Connection(void* connection) { return static_cast<xcb_connection_t*>(connection); }

// Taskbars show the icons of the windows they list; menus and tooltips have none.
bool TakesIcon(const QWidget& widget) {
    if (!widget.isWindow() || !widget.testAttribute(Qt::WA_WState_Created)) return false;
    const Qt::WindowType type = widget.windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

}  // namespace

NetWmIcon* NetWmIcon::Instance() {
    // Looked for once per application object: tests make several in turn.
    static QPointer<QCoreApplication> lookedIn;
    static QPointer<NetWmIcon> instance;
    QCoreApplication* core = QCoreApplication::instance();
    if (core == lookedIn) return instance;
    lookedIn = core;
    instance = nullptr;
    auto* app = qobject_cast<QApplication*>(core);
    if (!app || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return nullptr;
    static constexpr char kName[] = "_NET_WM_ICON";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
    if (!reply) return nullptr;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    // A child of the application, so that it goes with it.
    instance = new NetWmIcon(connection, atom);
    instance->setParent(app);
    app->installEventFilter(instance);
    return instance;
}

NetWmIcon::NetWmIcon(void* connection, std::uint32_t atom) : mConnection(connection), mAtom(atom) {}

void NetWmIcon::Set(const QImage& icon) {
    const QImage argb = icon.format() == QImage::Format_ARGB32_Premultiplied
                            ? icon
                            : icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (argb.isNull()) return;
    const int w = argb.width(), h = argb.height();
    mData.resize(2 + static_cast<size_t>(w) * static_cast<size_t>(h));
    mData[0] = static_cast<std::uint32_t>(w);
    mData[1] = static_cast<std::uint32_t>(h);
    // The property holds colours that are not premultiplied by their alpha.
    // Those of opaque and clear pixels stay as they are, and a face drawn on
    // a clear tile has no others: the division is left to a second pass, for
    // the pixels that need it.
    std::uint32_t* const pixels = mData.data() + 2;
    std::uint32_t* out = pixels;
    bool partlyClear = false;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = row[x];
            partlyClear |= static_cast<std::uint32_t>(qAlpha(p) - 1) < 254u;
            *out++ = qAlpha(p) == 0 ? 0u : p;
        }
    }
    if (partlyClear)
        for (std::uint32_t* q = pixels; q != out; ++q)
            if (static_cast<std::uint32_t>(qAlpha(*q) - 1) < 254u) *q = qUnpremultiply(*q);
    // The windows' pending repaints go out first. Behind the icon's 64 kB the
    // connection counts as full until the server has read it, and a repaint
    // sent then would wait for that.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (TakesIcon(*window)) WriteTo(*window);
    xcb_flush(Connection(mConnection));
}

void NetWmIcon::WriteTo(const QWidget& window) {
    if (mData.empty()) return;
    xcb_change_property(Connection(mConnection), XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.internalWinId()),
                        mAtom, XCB_ATOM_CARDINAL, 32, static_cast<std::uint32_t>(mData.size()), mData.data());
}

bool NetWmIcon::eventFilter(QObject* watched, QEvent* event) {
    // A window gets its X window when it is first shown, and a new one when
    // Qt makes it again.
    if (event->type() == QEvent::WinIdChange && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (TakesIcon(*widget) && widget->internalWinId() != 0) {
            WriteTo(*widget);
            xcb_flush(Connection(mConnection));
        }
    }
    return false;
}

}  // namespace kivra::framework::detail
