#pragma once

// Framework-internal: the application's icon written straight into the
// _NET_WM_ICON property of its X windows.

#include <QImage>
#include <QObject>

#include <cstddef>
#include <cstdint>
#include <vector>

class QWidget;

namespace kivra::framework::detail {

// Premultiplied ARGB pixels to the plain ones the property holds (`to` may
// be `from`); clear pixels become 0.
void Unpremultiply(const std::uint32_t* from, std::uint32_t* to, size_t count);

// Qt's own way to set an icon converts and copies it four times and then
// tells every window of the application, which is a lot for an icon that
// changes every second. This writes the one property each taskbar reads,
// from a buffer made once, and gives windows made later the icon as well.
class NetWmIcon : public QObject {
public:
    // The one writer, while the platform is X11; null on any other.
    static NetWmIcon* Instance();

    // The icon of every window of the application from now on. Only its rows
    // from firstRow up to lastRow (not included) changed since the last one
    // of its size: the others are not converted again.
    void Set(const QImage& icon, int firstRow, int lastRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NetWmIcon(void* connection, std::uint32_t atom);
    void WriteTo(const QWidget& window);
    // The events this program asked of an X window, read from the server once.
    std::uint32_t EventMaskOf(std::uint32_t window);

    struct KnownMask {
        std::uint32_t window;
        std::uint32_t mask;
    };

    void* mConnection;  // the xcb connection, kept as void* to keep xcb out of this header
    std::uint32_t mAtom;
    std::vector<std::uint32_t> mData;  // width, height, then the pixels as the property holds them
    std::vector<KnownMask> mMasks;     // of the windows the icon was written to
};

}  // namespace kivra::framework::detail
