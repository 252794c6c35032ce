#pragma once

#include <cstddef>
#include <string>

namespace kivra::framework {

class TextInputStream {
public:
    // Takes over an open file descriptor.
    explicit TextInputStream(int fd);
    ~TextInputStream();
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;

    // The bytes as they stand; raises IOException when reading fails or when the
    // file holds more than `largest` bytes, which are then never all read.
    std::string ReadAll(std::size_t largest);
    void Close();

private:
    int mFile;
};

}  // namespace kivra::framework
