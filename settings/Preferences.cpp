#include "settings/Preferences.h"

#include <new>

#include "framework/dialogs/Dialogs.h"
#include "framework/files/FolderItem.h"
#include "framework/files/IOException.h"
#include "framework/files/SpecialFolder.h"
#include "framework/files/TextInputStream.h"
#include "framework/files/TextOutputStream.h"
#include "framework/values/Ref.h"

namespace kivra {

using framework::Ref;
using framework::Variant;

namespace {

constexpr std::size_t npos = std::string::npos;

// The clock's own file is under a kilobyte. Anything this large is no settings
// file, and reading it whole would cost memory and time before the window shows.
constexpr std::size_t kLargestFile = 4 * 1024 * 1024;

Ref<framework::FolderItem> PreferencesItem(const std::string& name) {
    const auto folder = framework::SpecialFolder::Preferences();
    if (!folder) return nullptr;
    return folder->Child(name);
}

struct FileRead {
    enum class Outcome { Missing, Unreadable, Read } outcome;
    std::string text;
};

FileRead ReadWholeFile(const std::string& name) {
    const auto item = PreferencesItem(name);
    if (!item) return {FileRead::Outcome::Unreadable, {}};
    // What a writer killed in the middle left beside the file is of no use to anyone.
    item->RemoveUnfinishedTextFiles();
    if (!item->Exists()) return {FileRead::Outcome::Missing, {}};
    const auto stream = item->OpenAsTextFile();
    if (!stream) return {FileRead::Outcome::Unreadable, {}};
    try {
        std::string text = stream->ReadAll(kLargestFile);
        stream->Close();
        return {FileRead::Outcome::Read, std::move(text)};
    } catch (const framework::IOException&) {
        return {FileRead::Outcome::Unreadable, {}};
    } catch (const std::bad_alloc&) {
        return {FileRead::Outcome::Unreadable, {}};
    }
}

// The old file stays whole unless the new one was stored completely.
bool ReplaceFile(const std::string& name, const std::string& text) {
    const auto item = PreferencesItem(name);
    if (!item) return false;
    const auto stream = item->CreateTextFile();
    if (!stream) return false;
    stream->WriteLine(text);
    if (!stream->Close()) return false;
    item->MacCreator("????");
    item->MacType("????");
    return true;
}

}  // namespace

Preferences::Preferences() = default;

bool Preferences::ReadFile() {
    if (Filename.empty()) {
        framework::MsgBox("Can't read preferences because no filename has been set");
        return false;
    }
    mUnreadableFile.reset();
    FileRead read = ReadWholeFile(Filename);
    switch (read.outcome) {
        case FileRead::Outcome::Missing:
            return false;
        case FileRead::Outcome::Unreadable:
            mUnreadableFile = Filename;
            framework::MsgBox("couldn't read preferences File");
            return false;
        case FileRead::Outcome::Read:
            break;
    }
    return ScanTags(read.text);
}

bool Preferences::ScanTags(const std::string& text) {
    static const std::string keyOpen = "<key>", keyClose = "</key>";
    static const std::string stringOpen = "<string>", stringClose = "</string>";

    const std::size_t firstKey = text.find(keyOpen);
    if (firstKey == npos || text.find(keyClose, firstKey) == npos) return false;

    // Byte offsets: the tags are ASCII, so they fall where the characters would.
    std::size_t next = 0;
    // Entries of a file lie side by side, so together they never hold more text than
    // the file. Only values that hold further "<key>" tags overlap, and a file crafted
    // that way would take each value up to the same distant "</string>": quadratic
    // memory. The scan ends before the text taken outgrows the file; that bound also
    // keeps the searches linear, since each one passes over taken text or over text
    // that no later search reaches.
    std::size_t taken = 0;
    for (;;) {
        const std::size_t keyTag = text.find(keyOpen, next);
        if (keyTag == npos) break;
        const std::size_t keyStart = keyTag + keyOpen.size();
        const std::size_t keyEnd = text.find(keyClose, keyStart);
        if (keyEnd == npos) break;
        const std::size_t valueTag = text.find(stringOpen, keyEnd);
        if (valueTag == npos) break;
        const std::size_t valueStart = valueTag + stringOpen.size();
        const std::size_t valueEnd = text.find(stringClose, valueStart);
        if (valueEnd == npos) break;
        taken += (keyEnd - keyStart) + (valueEnd - valueStart);
        if (taken > text.size()) break;
        Put(text.substr(keyStart, keyEnd - keyStart),
            framework::StringToVariant(text.substr(valueStart, valueEnd - valueStart)));
        // The next key is looked for from inside this value, not after its "</string>".
        next = valueStart + 1;
    }
    return true;
}

void Preferences::WriteFile() {
    if (Filename.empty()) {
        framework::MsgBox("can't write preferences because no filename has been set");
        return;
    }
    if (mDict.Count() == 0) {
        framework::MsgBox("can't write preferences because none have been set");
        return;
    }
    if (mUnreadableFile == Filename || !ReplaceFile(Filename, FileText()))
        framework::MsgBox("couldn't write preferences File");
}

std::string Preferences::FileText() const {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n"
        "<dict>";
    const auto keys = mDict.Keys();
    const auto values = mDict.Values();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        text += "\n\t<key>";
        text += framework::VariantToString(keys[i]);
        text += "</key>\n\t\n\t<string>";
        text += framework::VariantToString(values[i]);
        text += "</string>\n\t";
    }
    text += "</dict>\n</plist>\n";
    return text;
}

Variant Preferences::Get(const std::string& key, const Variant& defaultValue) {
    const Variant boxed = framework::StringToVariant(key);
    if (!mDict.HasKey(boxed)) mDict.Value(boxed, defaultValue);
    return mDict.Value(boxed);
}

void Preferences::Put(const std::string& key, const Variant& value) {
    mDict.Value(framework::StringToVariant(key), value);
}

void Preferences::Clear() { mDict = framework::Dictionary(); }

void Preferences::WritePagePrefsFile(const std::string& text) {
    if (PagePrefsFilename.empty()) {
        framework::MsgBox("can't write page preferences because no filename has been set");
        return;
    }
    if (!ReplaceFile(PagePrefsFilename, text)) framework::MsgBox("couldn't write page preferences File");
}

std::string Preferences::ReadPagePrefsFile() {
    if (PagePrefsFilename.empty()) {
        framework::MsgBox("Can't read preferences because no filename has been set");
        return {};
    }
    FileRead read = ReadWholeFile(PagePrefsFilename);
    if (read.outcome == FileRead::Outcome::Unreadable) framework::MsgBox("couldn't read page preferences File");
    return std::move(read.text);
}

}  // namespace kivra
