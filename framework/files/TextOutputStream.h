#pragma once

#include <memory>
#include <string>

namespace kivra::framework {

namespace detail {
class SaveFile;
}

// Writes a file that replaces the old one only when Close succeeds: until then,
// and after any failure, the old file stays as it was.
class TextOutputStream {
public:
    explicit TextOutputStream(std::unique_ptr<detail::SaveFile> file);
    ~TextOutputStream();

    // Writes text and one LF.
    void WriteLine(const std::string& text);
    // Commits the file; false when anything written could not be stored.
    bool Close();

private:
    std::unique_ptr<detail::SaveFile> mFile;
    bool mFailed = false;
};

}  // namespace kivra::framework
