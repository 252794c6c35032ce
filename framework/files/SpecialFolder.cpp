#include "framework/files/SpecialFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace kivra::framework::SpecialFolder {

namespace {

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Like mkdir -p, but each folder made is private to the user: settings are nobody
// else's business.
bool MakeFolders(const std::string& path) {
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string prefix = path.substr(0, pos);
        if (prefix.empty() || IsFolder(prefix)) continue;
        if (::mkdir(prefix.c_str(), 0700) == 0)
            ::chmod(prefix.c_str(), 0700);  // whatever the umask took away
        else if (errno != EEXIST || !IsFolder(prefix))
            return false;
    }
    return IsFolder(path);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !IsAbsolute(found->pw_dir))
        return {};
    return found->pw_dir;
}

}  // namespace

Ref<FolderItem> Preferences() {
    std::string folder;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(xdg)) {
        folder = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return nullptr;
        folder = home + (home.back() == '/' ? ".config" : "/.config");
    }
    if (!MakeFolders(folder)) return nullptr;
    return New<FolderItem>(folder);
}

}  // namespace kivra::framework::SpecialFolder
