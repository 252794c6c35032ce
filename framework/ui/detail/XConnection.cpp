#include "framework/ui/detail/XConnection.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

#include <xcb/xcb.h>

namespace kivra::framework::detail {

xcb_connection_t* XConnection() {
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

}  // namespace kivra::framework::detail
