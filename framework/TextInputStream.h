#pragma once

#include <cstdio>
#include <string>

namespace kivra::framework {

class TextInputStream {
public:
    explicit TextInputStream(std::FILE* file);
    ~TextInputStream();
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;

    // The bytes as they stand; raises IOException when reading fails.
    std::string ReadAll();
    void Close();

private:
    std::FILE* mFile;
};

}  // namespace kivra::framework
