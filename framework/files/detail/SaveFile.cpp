#include "framework/files/detail/SaveFile.h"

#include <dirent.h>
#include <fcntl.h>
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

constexpr char kSuffixLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 6;
// Names of six random letters rarely clash; a folder full of them is no reason to loop.
constexpr int kNameAttempts = 100;

std::string TemporaryName(const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kSuffixLetters - 2);
    std::string temporary = name + ".";
    for (std::size_t i = 0; i < kSuffixLength; ++i) temporary += kSuffixLetters[letter(random)];
    return temporary;
}

bool IsTemporaryName(const std::string& entry, const std::string& name) {
    if (entry.size() != name.size() + 1 + kSuffixLength || entry.compare(0, name.size(), name) != 0 ||
        entry[name.size()] != '.')
        return false;
    for (std::size_t i = name.size() + 1; i < entry.size(); ++i) {
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

}  // namespace

SaveFile::SaveFile(std::string path) : mPath(std::move(path)) {}

SaveFile::~SaveFile() { Discard(); }

bool SaveFile::Open() {
    std::string target = mPath;
    struct stat st {};
    if (::lstat(mPath.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // Dangling and looping links give no real path: they stay as they are.
            const std::unique_ptr<char, decltype(&std::free)> real(::realpath(mPath.c_str(), nullptr), &std::free);
            if (!real || ::stat(real.get(), &st) != 0) return false;
            target = real.get();
        }
        if (!S_ISREG(st.st_mode)) return false;
        mMode = st.st_mode & 0777;
    } else if (errno != ENOENT) {
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
            mUnnamed = true;
            return true;
        }
        // Kernels and file systems without unnamed files say so in one of these ways.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = TemporaryName(mName);
        mFile = ::openat(mFolder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (mFile >= 0) {
            mTemporary = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// A link cannot replace a file, so the unnamed file gets a temporary name of its
// own first; only a kill in the moment between that and the rename leaves it behind.
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

void SaveFile::Discard() {
    if (mFile >= 0) ::close(mFile);
    mFile = -1;
    if (!mTemporary.empty()) ::unlinkat(mFolder, mTemporary.c_str(), 0);
    mTemporary.clear();
    if (mFolder >= 0) ::close(mFolder);
    mFolder = -1;
}

void SaveFile::UseUnnamedFiles(bool on) { Seams().namedTemporaryFiles = !on; }

void SaveFile::RemoveLeftovers(const std::string& path) {
    const auto [folder, name] = Split(path);
    if (name.empty()) return;
    DIR* entries = ::opendir(folder.c_str());
    if (!entries) return;
    const int fd = ::dirfd(entries);
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryName(entry->d_name, name)) continue;
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(entries);
}

}  // namespace kivra::framework::detail
