#include "framework/app/detail/NetWmIcon.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/ui/detail/XConnection.h"

namespace kivra::framework::detail {

namespace {

xcb_connection_t* Connection(void* connection) { return static_cast<xcb_connection_t*>(connection); }

// Taskbars show the icons of the windows they list; menus and tooltips have none.
bool TakesIcon(const QWidget& widget) {
    if (!widget.isWindow() || !widget.testAttribute(Qt::WA_WState_Created)) return false;
    const Qt::WindowType type = widget.windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

std::uint32_t Plain(std::uint32_t p) {
    const std::uint32_t alpha = p >> 24;
    return alpha == 255u ? p : alpha == 0u ? 0u : qUnpremultiply(p);
}

}  // namespace

// Opaque and clear pixels need no division, and most of the tile is either:
// four of them are done at a time.
void Unpremultiply(const std::uint32_t* from, std::uint32_t* to, size_t count) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i clear = _mm_setzero_si128(), opaque = _mm_set1_epi32(255);
    for (; i + 4 <= count; i += 4) {
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        const __m128i alpha = _mm_srli_epi32(four, 24);
        const __m128i isClear = _mm_cmpeq_epi32(alpha, clear);
        if (_mm_movemask_epi8(_mm_or_si128(isClear, _mm_cmpeq_epi32(alpha, opaque))) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_andnot_si128(isClear, four));
        } else {
            for (size_t k = i; k < i + 4; ++k) to[k] = Plain(from[k]);
        }
    }
#endif
    for (; i < count; ++i) to[i] = Plain(from[i]);
}

NetWmIcon* NetWmIcon::Instance() {
    // Looked for once per application object: tests make several in turn.
    static QPointer<QCoreApplication> lookedIn;
    static QPointer<NetWmIcon> instance;
    QCoreApplication* core = QCoreApplication::instance();
    if (core == lookedIn) return instance;
    lookedIn = core;
    instance = nullptr;
    auto* app = qobject_cast<QApplication*>(core);
    xcb_connection_t* connection = app ? XConnection() : nullptr;
    if (!connection) return nullptr;
    const xcb_atom_t atom = InternAtom(connection, "_NET_WM_ICON");
    if (atom == XCB_ATOM_NONE) return nullptr;
    // A child of the application, so that it goes with it.
    instance = new NetWmIcon(connection, atom);
    instance->setParent(app);
    app->installEventFilter(instance);
    return instance;
}

NetWmIcon::NetWmIcon(void* connection, std::uint32_t atom) : mConnection(connection), mAtom(atom) {}

void NetWmIcon::Set(const QImage& icon, int firstRow, int lastRow) {
    const QImage argb = icon.format() == QImage::Format_ARGB32_Premultiplied
                            ? icon
                            : icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (argb.isNull()) return;
    const int w = argb.width(), h = argb.height();
    const auto width = static_cast<std::uint32_t>(w), height = static_cast<std::uint32_t>(h);
    if (mData.size() < 2 || mData[0] != width || mData[1] != height) {
        mData.assign(2 + static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        mData[0] = width;
        mData[1] = height;
        firstRow = 0;
        lastRow = h;
    }
    // The property holds colours that are not premultiplied by their alpha.
    std::uint32_t* const pixels = mData.data() + 2;
    for (int y = std::max(firstRow, 0); y < std::min(lastRow, h); ++y)
        Unpremultiply(reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y)),
                      pixels + static_cast<size_t>(y) * static_cast<size_t>(w), static_cast<size_t>(w));
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
    xcb_connection_t* const connection = Connection(mConnection);
    const auto id = static_cast<xcb_window_t>(window.internalWinId());
    // Qt asks for the property changes of its windows, so the server would
    // send every icon written back to us: two threads woken each beat for an
    // event nothing here reads. Our interest is lowered for this one change
    // only; the taskbar and the window manager still hear of it.
    const std::uint32_t mask = EventMaskOf(id);
    const bool hushed = (mask & XCB_EVENT_MASK_PROPERTY_CHANGE) != 0;
    if (hushed) {
        const std::uint32_t quiet = mask & ~std::uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &quiet);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, mAtom, XCB_ATOM_CARDINAL, 32,
                        static_cast<std::uint32_t>(mData.size()), mData.data());
    if (hushed) xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
}

std::uint32_t NetWmIcon::EventMaskOf(std::uint32_t window) {
    for (const KnownMask& known : mMasks)
        if (known.window == window) return known.mask;
    // A new X window: the masks of those that are gone go.
    const QWidgetList windows = QApplication::topLevelWidgets();
    std::erase_if(mMasks, [&windows](const KnownMask& known) {
        return std::none_of(windows.begin(), windows.end(),
                            [&known](const QWidget* w) { return w->internalWinId() == known.window; });
    });
    // Qt sets the mask as it makes the X window, so one round trip per window
    // is enough.
    xcb_connection_t* const connection = Connection(mConnection);
    xcb_get_window_attributes_reply_t* reply =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    if (!reply) return 0;  // the window is gone: nothing to hush
    const std::uint32_t mask = reply->your_event_mask;
    std::free(reply);
    mMasks.push_back({window, mask});
    return mask;
}

bool NetWmIcon::eventFilter(QObject* watched, QEvent* event) {
    // Written as a window is shown: Qt makes its X window then (and anew when
    // it makes it again), and clears the property there for the window's own
    // icon, which is empty.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (TakesIcon(*widget) && widget->internalWinId() != 0) {
            WriteTo(*widget);
            xcb_flush(Connection(mConnection));
        }
    }
    return false;
}

}  // namespace kivra::framework::detail
