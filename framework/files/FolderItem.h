#pragma once

#include <string>

#include "framework/values/Ref.h"

namespace kivra::framework {

class Picture;
class TextInputStream;
class TextOutputStream;

// A file or folder by path; it need not exist.
class FolderItem {
public:
    explicit FolderItem(std::string path);

    // The item of that name inside this folder; Nil when the name cannot name an
    // item here (empty, ".", "..", or holding "/" or a NUL byte).
    Ref<FolderItem> Child(const std::string& name) const;
    // Nil for the root.
    Ref<FolderItem> Parent() const;
    std::string Name() const;
    std::string NativePath() const { return mPath; }

    // True when anything stands at the path, a link whose target is gone included.
    bool Exists() const;
    bool Directory() const;
    // Raises IOException when the item exists and cannot be removed.
    void Delete();

    // A stream that replaces the file atomically when it is closed; Nil when the
    // file cannot be created, or when anything but a regular file or a link to one
    // stands at the path. A link is kept and its target replaced.
    Ref<TextOutputStream> CreateTextFile();
    // Nil when the item is no regular file (or link to one) or cannot be opened.
    Ref<TextInputStream> OpenAsTextFile();
    // Removes the temporary files that streams of CreateTextFile left beside this
    // item when their process was killed before Close; files of saves still being
    // written, and every file a person put there, stay.
    void RemoveUnfinishedTextFiles();
    // Nil when the file is missing or holds no picture the framework can read.
    Ref<Picture> OpenAsPicture();

    // Kept with the item only: Linux file systems have no such codes.
    std::string MacCreator() const { return mMacCreator; }
    void MacCreator(const std::string& code) { mMacCreator = code; }
    std::string MacType() const { return mMacType; }
    void MacType(const std::string& code) { mMacType = code; }

private:
    std::string mPath;
    std::string mMacCreator;
    std::string mMacType;
};

// The running executable.
Ref<FolderItem> AppFolderItem();

}  // namespace kivra::framework
