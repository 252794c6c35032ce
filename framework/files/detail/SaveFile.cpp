#include "framework/files/detail/SaveFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <random>
#include <utility>

#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework::detail {

namespace {

// A temporary file is hidden and carries a marker, so that no name a person gives a
// backup beside the settings ("KivraPrefs.plist.bak", ".old123", "~") is ever taken
// for one of ours.
constexpr char kMarker[] = ".kivra-tmp-";
constexpr char kSuffixLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 6;
// Names of six random letters rarely clash; a folder full of them is no reason to loop.
constexpr int kNameAttempts = 100;

std::string TemporaryPrefix(const std::string& name) { return "." + name + kMarker; }

std::string TemporaryName(const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kSuffixLetters - 2);
    std::string temporary = TemporaryPrefix(name);
    for (std::size_t i = 0; i < kSuffixLength; ++i) temporary += kSuffixLetters[letter(random)];
    return temporary;
}

bool IsTemporaryName(const std::string& entry, const std::string& name) {
    const std::string prefix = TemporaryPrefix(name);
    if (entry.size() != prefix.size() + kSuffixLength || entry.compare(0, prefix.size(), prefix) != 0) return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// The folder and the name of a path; the name is empty when the path ends in "/".
std::pair<std::string, std::string> Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

int OpenFolder(const std::string& folder) { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

// The file a save of this path replaces: the path itself, or the end of a link.
// Empty for a dangling or looping link.
std::string SavedPath(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

// The name in the folder is still the open file: a save or a cleaner in between
// may have renamed or removed it.
bool NamesFile(int folder, const char* name, int file) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(file, &opened) == 0 && ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// A save holds an exclusive lock on its temporary file from its making until it has
// taken the target's name; a cleaner removes only a file it can lock. False only
// when someone else holds the lock: a file system without locks locks nothing, and
// its cleaner removes nothing.
bool LockForSave(int file) {
    while (::flock(file, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return false;
        if (errno != EINTR) return true;
    }
    return true;
}

}  // namespace

SaveFile::SaveFile(std::string path) : mPath(std::move(path)) {}

SaveFile::~SaveFile() { Discard(); }

bool SaveFile::Open() {
    const std::string target = SavedPath(mPath);
    // Dangling and looping links give no real path: they stay as they are.
    if (target.empty()) return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        mMode = st.st_mode & 0777;
    } else if (errno != ENOENT || target != mPath) {
        return false;
    }
    auto [folder, name] = Split(target);
    if (name.empty() || name == "." || name == "..") return false;
    mName = std::move(name);
    mFolder = OpenFolder(folder);
    if (mFolder < 0) return false;
    if (OpenTemporary()) return true;
    Discard();
    return false;
}

bool SaveFile::OpenTemporary() {
    if (!Seams().namedTemporaryFiles) {
        mFile = ::openat(mFolder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (mFile >= 0) {
            // Nobody else can reach a file without a name, so nobody holds its lock.
            LockForSave(mFile);
            mUnnamed = true;
            return true;
        }
        // Kernels and file systems without unnamed files say so in one of these ways.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = TemporaryName(mName);
        const int file = ::openat(mFolder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (file < 0) {
            if (errno != EEXIST) return false;
            continue;
        }
        // A cleaner that came between the making and the lock holds the file or has
        // removed it: the name is lost to this save, which takes another.
        if (LockForSave(file) && NamesFile(mFolder, name.c_str(), file)) {
            mFile = file;
            mTemporary = std::move(name);
            return true;
        }
        ::close(file);
    }
    return false;
}

// A link cannot replace a file, so the unnamed file gets a temporary name of its
// own first, under the lock it has held from the start; only a kill in the moment
// between that and the rename leaves it behind.
bool SaveFile::NameTemporary() {
    const std::string self = "/proc/self/fd/" + std::to_string(mFile);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = TemporaryName(mName);
        int linked = ::linkat(AT_FDCWD, self.c_str(), mFolder, name.c_str(), AT_SYMLINK_FOLLOW);
        // Without /proc only a privileged process may link a descriptor directly.
        if (linked != 0 && errno == ENOENT) linked = ::linkat(mFile, "", mFolder, name.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            mTemporary = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool SaveFile::Write(const char* data, std::size_t size) {
    if (mFile < 0 || mFailed) return false;
    while (size > 0) {
        const ssize_t written = ::write(mFile, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            mFailed = true;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool SaveFile::Commit() {
    if (mFile < 0 || mFailed) {
        Discard();
        return false;
    }
    // Permissions are kept where the file system keeps them; where it cannot, the
    // file stays private, which is no reason to lose the settings.
    ::fchmod(mFile, mMode);
    // The data is on the disk before the file takes the old one's name, so that a
    // crash cannot leave the name on an empty file.
    bool stored = ::fsync(mFile) == 0 && (!mUnnamed || NameTemporary());
    // The lock lasts while any descriptor of the file is open: a second one keeps
    // cleaners off until the rename, and the close still reports what it finds.
    mHeld = ::dup(mFile);
    stored = ::close(mFile) == 0 && stored;
    mFile = -1;
    if (!stored || ::renameat(mFolder, mTemporary.c_str(), mFolder, mName.c_str()) != 0) {
        Discard();
        return false;
    }
    mTemporary.clear();
    // The new file is in place now; a failed sync of the folder leaves nothing to undo.
    ::fsync(mFolder);
    Discard();
    return true;
}

void SaveFile::Cancel() { Discard(); }

// The temporary file goes while its lock is still held, so that its name is never
// free for a cleaner to take while this save still means it.
void SaveFile::Discard() {
    if (!mTemporary.empty()) ::unlinkat(mFolder, mTemporary.c_str(), 0);
    mTemporary.clear();
    if (mFile >= 0) ::close(mFile);
    mFile = -1;
    if (mHeld >= 0) ::close(mHeld);
    mHeld = -1;
    if (mFolder >= 0) ::close(mFolder);
    mFolder = -1;
}

void SaveFile::UseUnnamedFiles(bool on) { Seams().namedTemporaryFiles = !on; }

void SaveFile::RemoveLeftovers(const std::string& path) {
    const auto [folder, name] = Split(SavedPath(path));
    if (name.empty()) return;
    DIR* entries = ::opendir(folder.c_str());
    if (!entries) return;
    const int fd = ::dirfd(entries);
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryName(entry->d_name, name)) continue;
        // Only a regular file is opened: opening a device may act on it.
        struct stat named {};
        if (::fstatat(fd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode)) continue;
        const int file = ::openat(fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (file < 0) continue;
        // A held lock is a save still being written. Once the lock is ours the name
        // must still be the locked file: a save that finished in between renamed its
        // file away, and the name is gone.
        if (::flock(file, LOCK_EX | LOCK_NB) == 0 && NamesFile(fd, entry->d_name, file))
            ::unlinkat(fd, entry->d_name, 0);
        ::close(file);
    }
    ::closedir(entries);
}

}  // namespace kivra::framework::detail
