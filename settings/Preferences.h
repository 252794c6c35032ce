#pragma once

#include <optional>
#include <string>

#include "framework/values/Dictionary.h"
#include "framework/values/Variant.h"

namespace kivra {

// The settings store: String keys to Variant values, read from and written to a
// small XML property list in the user's preferences folder. The reader is a scan
// for the key and string tags, not an XML parser; the writer escapes nothing.
class Preferences {
public:
    Preferences();

    // True when the file exists and holds a "<key>" with a "</key>" after it.
    bool ReadFile();
    // Replaces the file with every entry, atomically. A file that this store
    // failed to read is left alone, so that writing defaults cannot destroy it.
    void WriteFile();
    // Stores the default first when the key is absent.
    framework::Variant Get(const std::string& key, const framework::Variant& defaultValue);
    void Put(const std::string& key, const framework::Variant& value);
    void Clear();
    void WritePagePrefsFile(const std::string& text);
    std::string ReadPagePrefsFile();

    // True when the last ReadFile of this store could not read the file, or could not
    // reach the preferences folder. Anything but a regular file (or a link to one) at
    // the path, a dangling link included, and a file over 4 MiB count as unreadable.
    bool ReadFailed() const { return mUnreadableFile.has_value(); }

    std::string Filename;
    std::string PagePrefsFilename;

private:
    // Stores every entry the tag scan finds in text; false when it holds no
    // "<key>" with a "</key>" after it.
    bool ScanTags(const std::string& text);
    std::string FileText() const;

    framework::Dictionary mDict;
    // The Filename whose file this store could not read.
    std::optional<std::string> mUnreadableFile;
};

}  // namespace kivra
