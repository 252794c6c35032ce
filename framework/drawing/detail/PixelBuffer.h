#pragma once

// Framework-internal: where the pixels of new pictures come from.

#include <QImage>

namespace kivra::framework::detail {

// A new image of the size and format, its pixels not set. Large images take
// the buffer of the last large image dropped when it has the same size in
// bytes: the clock makes and drops a window-sized picture every second, which
// then costs no system call, and a buffer once painted costs no page faults
// again (fresh memory costs one for every 4 kB on first touch). At most one
// buffer is kept back. A null image when there is no memory for it.
QImage NewImage(int width, int height, QImage::Format format);

}  // namespace kivra::framework::detail
