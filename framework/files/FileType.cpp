#include "framework/files/FileType.h"

#include <map>

namespace kivra::framework {

namespace {

// The framework's list of known types by name; nothing on Linux reads it but the
// framework itself.
std::map<std::string, FileType>& Registry() {
    static std::map<std::string, FileType> registry;
    return registry;
}

bool SameType(const FileType& a, const FileType& b) {
    return a.Name() == b.Name() && a.Extensions() == b.Extensions() && a.MacType() == b.MacType() &&
           a.MacCreator() == b.MacCreator();
}

}  // namespace

std::string FileType::ToString() {
    Registry().insert_or_assign(mName, *this);
    return mName;
}

bool FileType::IsRegistered() const {
    const auto it = Registry().find(mName);
    return it != Registry().end() && SameType(it->second, *this);
}

}  // namespace kivra::framework
