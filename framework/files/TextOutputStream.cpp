#include "framework/files/TextOutputStream.h"

#include "framework/files/IOException.h"
#include "framework/files/detail/SaveFile.h"

namespace kivra::framework {

TextOutputStream::TextOutputStream(std::unique_ptr<detail::SaveFile> file) : mFile(std::move(file)) {}

// A stream dropped without Close leaves the old file: only Close replaces it.
TextOutputStream::~TextOutputStream() {
    if (mFile) mFile->Cancel();
}

void TextOutputStream::WriteLine(const std::string& text) {
    if (!mFile) throw IOException("write to a closed TextOutputStream");
    if (mFailed) return;
    mFailed = !mFile->Write(text.data(), text.size()) || !mFile->Write("\n", 1);
}

bool TextOutputStream::Close() {
    if (!mFile) return false;
    const auto file = std::move(mFile);
    if (mFailed) {
        file->Cancel();
        return false;
    }
    return file->Commit();
}

}  // namespace kivra::framework
