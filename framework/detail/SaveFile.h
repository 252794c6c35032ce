#pragma once

#include <QSaveFile>
#include <string>

namespace kivra::framework::detail {

// A file written to a temporary file beside its target and renamed over the target
// on Commit, so that the target is at every moment either the old file or the new
// one, whole. Without a successful Commit the target stays untouched.
class SaveFile {
public:
    explicit SaveFile(const std::string& path);
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // False when the temporary file cannot be made: missing or read-only folder,
    // a folder or a read-only file in the target's place.
    bool Open();
    bool Write(const char* data, std::size_t size);
    // Flushes, syncs and renames; false (and the target unchanged) on any failure.
    bool Commit();
    void Cancel();

private:
    QSaveFile mFile;
};

}  // namespace kivra::framework::detail
