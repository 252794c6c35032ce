#include "framework/TextInputStream.h"

#include "framework/IOException.h"

namespace kivra::framework {

TextInputStream::TextInputStream(std::FILE* file) : mFile(file) {}

TextInputStream::~TextInputStream() { Close(); }

std::string TextInputStream::ReadAll() {
    if (!mFile) throw IOException("read from a closed TextInputStream");
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, mFile);
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(mFile)) throw IOException("couldn't read the file");
    return bytes;
}

void TextInputStream::Close() {
    if (!mFile) return;
    std::fclose(mFile);
    mFile = nullptr;
}

}  // namespace kivra::framework
