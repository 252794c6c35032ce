// The settings reader over arbitrary bytes. Beyond not crashing, it must keep
// what the clock relies on: the store holds exactly the entries of the tag
// scan, every key and value is text of the file, the scan costs a number of
// examined bytes linear in the file's size, and a store written out and read
// back holds the same entries.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/testing/Testing.h"
#include "framework/values/Variant.h"
#include "settings/Preferences.h"
#include "support/FuzzSupport.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

struct Scan {
    bool ok = false;
    Entries entries;  // in the order their keys were first stored, later values replacing earlier
    std::size_t examined = 0;
};

// The tag scan of the settings file, counting the bytes each search passes over
// up to and including the tag it finds. Text taken is bounded by the file's size,
// so that values full of "<key>" tags cannot make it quadratic.
Scan ReferenceScan(const std::string& text) {
    Scan scan;
    const auto search = [&](const std::string& tag, std::size_t from) {
        const std::size_t at = text.find(tag, from);
        scan.examined += at == std::string::npos ? text.size() - std::min(from, text.size()) : at + tag.size() - from;
        return at;
    };
    const std::size_t first = search("<key>", 0);
    if (first == std::string::npos || search("</key>", first) == std::string::npos) return scan;
    scan.ok = true;
    std::size_t next = 0, taken = 0;
    std::unordered_map<std::string, std::size_t> index;
    for (;;) {
        const std::size_t keyTag = search("<key>", next);
        if (keyTag == std::string::npos) break;
        const std::size_t keyStart = keyTag + 5;
        const std::size_t keyEnd = search("</key>", keyStart);
        if (keyEnd == std::string::npos) break;
        const std::size_t valueTag = search("<string>", keyEnd);
        if (valueTag == std::string::npos) break;
        const std::size_t valueStart = valueTag + 8;
        const std::size_t valueEnd = search("</string>", valueStart);
        if (valueEnd == std::string::npos) break;
        taken += (keyEnd - keyStart) + (valueEnd - valueStart);
        if (taken > text.size()) break;
        std::string key = text.substr(keyStart, keyEnd - keyStart);
        std::string value = text.substr(valueStart, valueEnd - valueStart);
        const auto [at, inserted] = index.try_emplace(key, scan.entries.size());
        if (inserted)
            scan.entries.emplace_back(std::move(key), std::move(value));
        else
            scan.entries[at->second].second = std::move(value);
        next = valueStart + 1;
    }
    return scan;
}

std::string PlistText(const Entries& entries) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n<dict>";
    for (const auto& [key, value] : entries)
        text += "\n\t<key>" + key + "</key>\n\t\n\t<string>" + value + "</string>\n\t";
    return text + "</dict>\n</plist>\n\n";
}

bool HoldsATag(const std::string& s) {
    for (const char* tag : {"<key>", "</key>", "<string>", "</string>"})
        if (s.find(tag) != std::string::npos) return true;
    return false;
}

kivra::Preferences Store() {
    kivra::Preferences store;
    store.Filename = "KivraPrefs.plist";
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    kivra::fuzz::Init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fw = kivra::framework;
    const std::string file(reinterpret_cast<const char*>(data), size);
    kivra::fuzz::WriteSettingsFile(file);
    fw::testing::MsgBoxLog().clear();

    kivra::Preferences store = Store();
    const bool ok = store.ReadFile();
    const Scan expected = ReferenceScan(file);
    KIVRA_FUZZ_CHECK(ok == expected.ok, "ReadFile's result is not the tag scan's");
    KIVRA_FUZZ_CHECK(!store.ReadFailed() && fw::testing::MsgBoxLog().empty(), "a plain file was taken as unreadable");
    KIVRA_FUZZ_CHECK(expected.examined <= 10 * size + 64, "the scan is not linear in the file's size");
    if (!ok) KIVRA_FUZZ_CHECK(expected.entries.empty(), "a False read stored entries");

    std::size_t stored = 0;
    for (const auto& [key, value] : expected.entries) {
        stored += key.size() + value.size();
        const fw::Variant absent = fw::Int32ToVariant(-424242);
        const fw::Variant got = store.Get(key, absent);
        KIVRA_FUZZ_CHECK(!(got == absent), "a key of the file is missing from the store");
        const std::string text = fw::VariantToString(got);
        KIVRA_FUZZ_CHECK(text == value, "a stored value is not the file's");
        KIVRA_FUZZ_CHECK(file.find(key) != std::string::npos && file.find(text) != std::string::npos,
                         "a stored key or value is no text of the file");
    }
    KIVRA_FUZZ_CHECK(stored <= size, "the store holds more text than the file");
    if (expected.entries.empty()) return 0;

    // The file written lists exactly the scan's entries: nothing more was stored.
    store.WriteFile();
    KIVRA_FUZZ_CHECK(fw::testing::MsgBoxLog().empty(), "writing a read store failed");
    const std::string written = kivra::fuzz::ReadFileBytes(kivra::fuzz::SettingsPath());
    KIVRA_FUZZ_CHECK(written == PlistText(expected.entries), "the store holds other entries than the file");

    bool plain = true;
    for (const auto& [key, value] : expected.entries) plain = plain && !HoldsATag(key) && !HoldsATag(value);
    if (!plain) return 0;
    kivra::Preferences reread = Store();
    KIVRA_FUZZ_CHECK(reread.ReadFile(), "a written file reads as empty");
    reread.WriteFile();
    KIVRA_FUZZ_CHECK(kivra::fuzz::ReadFileBytes(kivra::fuzz::SettingsPath()) == written,
                     "entries change when written and read back");
    return 0;
}
