#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace kivra::framework::detail {

// A file written to a temporary file beside its target and renamed over the target
// on Commit, so that the target is at every moment either the old file or the new
// one, whole. Without a successful Commit the target stays untouched. The save
// holds a lock on its temporary file until the rename, so that another process
// clearing away leftovers never takes a file that is still being written.
//
// Only a regular file is ever replaced. A link to a regular file is followed and its
// target replaced in the target's folder (settings kept in a dotfiles folder); a
// folder, device, FIFO, socket, a dangling or looping link, or a link to anything
// but a regular file is never replaced and never opened.
class SaveFile {
public:
    explicit SaveFile(std::string path);
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // False when the temporary file cannot be made: missing or read-only folder,
    // anything but a regular file (or a link to one) in the target's place.
    bool Open();
    // False once any write has failed; every later Write fails too.
    bool Write(const char* data, std::size_t size);
    // Syncs, names and renames; false (and the target unchanged) on any failure.
    bool Commit();
    void Cancel();

    // Removes the temporary files of a path that killed writers left beside it (or
    // beside the end of its link): regular files named ".<name>.kivra-tmp-XXXXXX",
    // six letters or digits, that no save holds locked. A person's files, whatever
    // their names, stay.
    static void RemoveLeftovers(const std::string& path);

    // Tests turn unnamed files off to take the path of file systems that have none.
    static void UseUnnamedFiles(bool on);

private:
    bool OpenTemporary();
    bool NameTemporary();
    void Discard();

    std::string mPath;
    int mFolder = -1;     // the target's folder, for every later step
    std::string mName;    // the target's name in that folder
    mode_t mMode = 0600;  // the old file's permissions, or private for a new file
    int mFile = -1;
    int mHeld = -1;          // keeps the lock from the close until the rename
    bool mUnnamed = false;   // made with O_TMPFILE: no name until NameTemporary
    std::string mTemporary;  // the temporary file's name, once it has one
    bool mFailed = false;
};

}  // namespace kivra::framework::detail
