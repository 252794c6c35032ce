#pragma once

#include <string>

namespace kivra::framework {

// A file type known to the framework. Registration has no effect on Linux
// beyond the framework's own list.
class FileType {
public:
    std::string Name() const { return mName; }
    void Name(const std::string& v) { mName = v; }
    std::string Extensions() const { return mExtensions; }
    void Extensions(const std::string& v) { mExtensions = v; }
    std::string MacType() const { return mMacType; }
    void MacType(const std::string& v) { mMacType = v; }
    std::string MacCreator() const { return mMacCreator; }
    void MacCreator(const std::string& v) { mMacCreator = v; }

    // Registers the type and gives its Name.
    std::string ToString();
    bool IsRegistered() const;

private:
    std::string mName, mExtensions, mMacType, mMacCreator;
};

}  // namespace kivra::framework
