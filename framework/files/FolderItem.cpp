#include "framework/files/FolderItem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "framework/drawing/Picture.h"
#include "framework/files/IOException.h"
#include "framework/files/TextInputStream.h"
#include "framework/files/TextOutputStream.h"
#include "framework/files/detail/SaveFile.h"

namespace kivra::framework {

namespace {

// The path without trailing slashes; the root stays "/".
std::string Trimmed(const std::string& path) {
    std::size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    return path.substr(0, end);
}

bool StatOf(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

}  // namespace

FolderItem::FolderItem(std::string path) : mPath(std::move(path)) {}

Ref<FolderItem> FolderItem::Child(const std::string& name) const {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        return nullptr;
    const std::string base = Trimmed(mPath);
    return New<FolderItem>(base.empty() || base.back() == '/' ? base + name : base + "/" + name);
}

Ref<FolderItem> FolderItem::Parent() const {
    const std::string path = Trimmed(mPath);
    if (path.empty() || path == "/" || path == ".") return nullptr;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return New<FolderItem>(".");
    return New<FolderItem>(slash == 0 ? "/" : path.substr(0, slash));
}

std::string FolderItem::Name() const {
    const std::string path = Trimmed(mPath);
    if (path == "/") return {};
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A link whose target is gone still stands in the item's place.
bool FolderItem::Exists() const {
    struct stat st;
    return ::lstat(mPath.c_str(), &st) == 0;
}

bool FolderItem::Directory() const {
    struct stat st;
    return StatOf(mPath, st) && S_ISDIR(st.st_mode);
}

void FolderItem::Delete() {
    struct stat st;
    if (::lstat(mPath.c_str(), &st) != 0) return;
    if (std::remove(mPath.c_str()) != 0)
        throw IOException("couldn't delete " + mPath + ": " + std::generic_category().message(errno));
}

Ref<TextOutputStream> FolderItem::CreateTextFile() {
    auto file = std::make_unique<detail::SaveFile>(mPath);
    if (!file->Open()) return nullptr;
    return New<TextOutputStream>(std::move(file));
}

// Only a regular file is opened: opening a device or a FIFO may block, or have
// effects of its own. The test before opening keeps those unopened; the one after
// catches a file swapped in between, opened without waiting and without taking a
// terminal as ours.
Ref<TextInputStream> FolderItem::OpenAsTextFile() {
    struct stat st;
    if (!StatOf(mPath, st) || !S_ISREG(st.st_mode)) return nullptr;
    const int fd = ::open(mPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return New<TextInputStream>(fd);
}

void FolderItem::RemoveUnfinishedTextFiles() { detail::SaveFile::RemoveLeftovers(mPath); }

Ref<Picture> FolderItem::OpenAsPicture() { return Picture::Open(mPath); }

Ref<FolderItem> AppFolderItem() {
    std::error_code error;
    const auto path = std::filesystem::canonical("/proc/self/exe", error);
    if (error) return nullptr;
    return New<FolderItem>(path.string());
}

}  // namespace kivra::framework
