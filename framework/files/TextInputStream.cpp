#include "framework/files/TextInputStream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "framework/files/IOException.h"

namespace kivra::framework {

TextInputStream::TextInputStream(int fd) : mFile(fd) {}

TextInputStream::~TextInputStream() { Close(); }

std::string TextInputStream::ReadAll(std::size_t largest) {
    if (mFile < 0) throw IOException("read from a closed TextInputStream");
    struct stat st {};
    if (::fstat(mFile, &st) != 0) throw IOException("couldn't read the file");
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > largest)
        throw IOException("the file is too large");
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)));
    char buffer[64 * 1024];
    // The size told may be wrong (files of /proc tell none) or grow while reading:
    // the reading itself stops one byte past the bound.
    for (;;) {
        const std::size_t room = std::min(sizeof buffer, largest + 1 - bytes.size());
        const ssize_t n = ::read(mFile, buffer, room);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw IOException("couldn't read the file");
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > largest) throw IOException("the file is too large");
    }
    return bytes;
}

void TextInputStream::Close() {
    if (mFile < 0) return;
    ::close(mFile);
    mFile = -1;
}

}  // namespace kivra::framework
