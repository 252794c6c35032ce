#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/testing/Testing.h"
#include "framework/values/Variant.h"
#include "settings/Preferences.h"

namespace kivra {
namespace {

namespace fs = std::filesystem;
namespace fw = framework;
using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string kDoctype =
    "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">";

// The file as lines: each entry is its key line, a TAB line and its string line, a
// TAB line stands between entries, and the last entry's TAB opens the "</dict>" line.
std::string PlistText(const Entries& entries) {
    std::vector<std::string> lines = {kDeclaration, kDoctype, "<plist version=\"1.0\">", "<dict>"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) lines.push_back("\t");
        lines.push_back("\t<key>" + entries[i].first + "</key>");
        lines.push_back("\t");
        lines.push_back("\t<string>" + entries[i].second + "</string>");
    }
    lines.push_back("\t</dict>");
    lines.push_back("</plist>");
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text + "\n";
}

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kivra-prefs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        fs::create_directory(mRoot / "config");
        SetConfigHome(mRoot / "config");
        fw::testing::ScriptDialogs(true);
        fw::testing::MsgBoxLog().clear();
    }
    void TearDown() override {
        if (mOldConfigHome)
            ::setenv("XDG_CONFIG_HOME", mOldConfigHome->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        fw::testing::MsgBoxLog().clear();
        for (const auto& entry : fs::recursive_directory_iterator(mRoot))
            if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(mRoot);
    }

    void SetConfigHome(const fs::path& path) {
        if (!mSaved) {
            if (const char* old = std::getenv("XDG_CONFIG_HOME")) mOldConfigHome = old;
            mSaved = true;
        }
        ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    fs::path Config(const std::string& name = "KivraPrefs.plist") const { return mRoot / "config" / name; }
    void WriteBytes(const std::string& bytes, const std::string& name = "KivraPrefs.plist") const {
        std::ofstream(Config(name), std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::string& name = "KivraPrefs.plist") const {
        std::ifstream in(Config(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static std::vector<std::string> Messages() { return fw::testing::MsgBoxLog(); }
    static Preferences Store(const std::string& name = "KivraPrefs.plist") {
        Preferences p;
        p.Filename = name;
        return p;
    }
    // Every entry of the store in its order, as the writer sees them.
    std::string WrittenEntries(Preferences store) {
        store.Filename = "entries-out.plist";
        store.WriteFile();
        return ReadBytes("entries-out.plist");
    }
    static std::optional<std::string> Stored(Preferences store, const std::string& key) {
        const fw::Variant absent = fw::Int32ToVariant(-424242);
        const fw::Variant v = store.Get(key, absent);
        if (v == absent) return std::nullopt;
        return fw::VariantToString(v);
    }
    static bool RunningAsRoot() { return ::geteuid() == 0; }

    fs::path mRoot;
    bool mSaved = false;
    std::optional<std::string> mOldConfigHome;
};

TEST_F(PreferencesTest, OneEntryFileByteForByte) {
    Preferences p = Store();
    p.Put("WinMain.Top", fw::Int32ToVariant(40));
    p.WriteFile();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ReadBytes(),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
              "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
              "<plist version=\"1.0\">\n"
              "<dict>\n"
              "\t<key>WinMain.Top</key>\n"
              "\t\n"
              "\t<string>40</string>\n"
              "\t</dict>\n"
              "</plist>\n"
              "\n");
}

TEST_F(PreferencesTest, FourteenEntriesOfTheClock) {
    const std::pair<const char*, fw::Variant> settings[] = {
        {"WinMain.Top", fw::Int32ToVariant(40)},
        {"WinMain.Left", fw::Int32ToVariant(10)},
        {"WinMain.Width", fw::Int32ToVariant(510)},
        {"WinMain.Height", fw::Int32ToVariant(150)},
        {"Rotation", fw::Int32ToVariant(0)},
        {"24HrMode", fw::BooleanToVariant(false)},
        {"ChangeMode", fw::Int32ToVariant(1)},
        {"Update Icon", fw::BooleanToVariant(true)},
        {"ColorBG", fw::ColorToVariant(fw::Color(0x000000))},
        {"ColorH0", fw::ColorToVariant(fw::Color(0x00FF00))},
        {"ColorH1", fw::ColorToVariant(fw::Color(0xFF0000))},
        {"ColorM0", fw::ColorToVariant(fw::Color(0xFF0000))},
        {"ColorM1", fw::ColorToVariant(fw::Color(0x0055FF))},
        {"ColorOff", fw::ColorToVariant(fw::Color(0x7F7F7F))},
    };
    Preferences p = Store();
    for (const auto& [key, value] : settings) p.Put(key, value);
    p.WriteFile();

    const std::string text = ReadBytes();
    EXPECT_EQ(text, PlistText({{"WinMain.Top", "40"},
                               {"WinMain.Left", "10"},
                               {"WinMain.Width", "510"},
                               {"WinMain.Height", "150"},
                               {"Rotation", "0"},
                               {"24HrMode", "False"},
                               {"ChangeMode", "1"},
                               {"Update Icon", "True"},
                               {"ColorBG", "&h00000000"},
                               {"ColorH0", "&h0000FF00"},
                               {"ColorH1", "&h00FF0000"},
                               {"ColorM0", "&h00FF0000"},
                               {"ColorM1", "&h000055FF"},
                               {"ColorOff", "&h007F7F7F"}}));
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(std::count(text.begin(), text.end() - 1, '\n'), 61);
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    EXPECT_NE(text.find("\n\t</dict>\n</plist>\n\n"), std::string::npos);

    Preferences back = Store();
    ASSERT_TRUE(back.ReadFile());
    for (const auto& [key, value] : settings) EXPECT_EQ(Stored(back, key), fw::VariantToString(value)) << key;
}

TEST_F(PreferencesTest, KeysAndValuesAreWrittenUnescaped) {
    Preferences p = Store();
    p.Put("a<b>&c", fw::StringToVariant("</string>&amp;<"));
    p.Put("second", fw::StringToVariant(""));
    p.WriteFile();
    EXPECT_EQ(ReadBytes(), PlistText({{"a<b>&c", "</string>&amp;<"}, {"second", ""}}));
}

TEST_F(PreferencesTest, TagScan) {
    const struct {
        const char* what;
        std::string file;
        bool result;
        Entries entries;
    } cases[] = {
        {"empty file", "", false, {}},
        {"no key", "<plist><dict><string>x</string></dict></plist>", false, {}},
        {"key never closed", "<key>a<string>1</string>", false, {}},
        {"close before open only", "</key><key>a", false, {}},
        {"upper-case tags", "<KEY>a</KEY><STRING>1</STRING>", false, {}},
        {"key but no string", "<key>a</key>", true, {}},
        {"key and other element", "<key>a</key><integer>1</integer>", true, {}},
        {"two entries", "<key>a</key><string>1</string><key>b</key><string>2</string>", true, {{"a", "1"}, {"b", "2"}}},
        {"key twice: later wins, first place kept",
         "<key>a</key><string>1</string><key>b</key><string>2</string><key>a</key><string>3</string>",
         true,
         {{"a", "3"}, {"b", "2"}}},
        {"other element takes the next string, the key between is passed over",
         "<key>a</key><integer>5</integer><key>b</key><string>B</string><key>c</key><string>C</string>",
         true,
         {{"a", "B"}, {"c", "C"}}},
        {"key with no string of its own takes the next one",
         "<key>a</key><key>b</key><string>2</string>",
         true,
         {{"a", "2"}}},
        {"value holding <key> starts the next entry there",
         "<key>a</key><string>x<key>b</key>y</string><key>c</key><string>C</string>",
         true,
         {{"a", "x<key>b</key>y"}, {"b", "C"}}},
        {"white space belongs to key and value",
         "<key> a\t\n</key>\n<string>\n v \n</string>",
         true,
         {{" a\t\n", "\n v \n"}}},
        {"empty key and value",
         "<key></key><string></string><key>b</key><string>2</string>",
         true,
         {{"", ""}, {"b", "2"}}},
        {"truncated inside a value", "<key>a</key><string>1</string><key>b</key><string>2", true, {{"a", "1"}}},
        {"truncated inside a key", "<key>a</key><string>1</string><key>b", true, {{"a", "1"}}},
        {"truncated before the string", "<key>a</key><string>1</string><key>b</key>", true, {{"a", "1"}}},
        {"entities are not decoded", "<key>a&amp;b</key><string>&lt;x&gt;</string>", true, {{"a&amp;b", "&lt;x&gt;"}}},
        {"binary bytes and NULs are kept",
         "\0\xFF<key>\xFE\0k</key>\x01<string>v\0\xC3</string>\xFF"s,
         true,
         {{"\xFE\0k"s, "v\0\xC3"s}}},
        {"the writer's own text",
         PlistText({{"x", "1"}, {"y", "&h00FFFFFF"}}),
         true,
         {{"x", "1"}, {"y", "&h00FFFFFF"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(c.file);
        fw::testing::MsgBoxLog().clear();
        Preferences p = Store();
        EXPECT_EQ(p.ReadFile(), c.result);
        EXPECT_FALSE(p.ReadFailed());
        EXPECT_TRUE(Messages().empty());
        if (c.entries.empty()) {
            p.Filename = "entries-out.plist";
            p.WriteFile();
            EXPECT_EQ(Messages(), std::vector<std::string>{"can't write preferences because none have been set"});
        } else {
            EXPECT_EQ(WrittenEntries(p), PlistText(c.entries));
        }
    }
}

TEST_F(PreferencesTest, ReadingKeepsEntriesTheFileLacks) {
    WriteBytes("<key>a</key><string>from file</string>");
    Preferences p = Store();
    p.Put("kept", fw::Int32ToVariant(7));
    p.Put("a", fw::StringToVariant("before"));
    ASSERT_TRUE(p.ReadFile());
    EXPECT_EQ(WrittenEntries(p), PlistText({{"kept", "7"}, {"a", "from file"}}));
}

TEST_F(PreferencesTest, MissingFileReadsFalseQuietly) {
    Preferences p = Store();
    EXPECT_FALSE(p.ReadFile());
    EXPECT_FALSE(p.ReadFailed());
    EXPECT_TRUE(Messages().empty());
    p.PagePrefsFilename = "Page.prefs";
    EXPECT_EQ(p.ReadPagePrefsFile(), "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PreferencesTest, MessagesForMissingNames) {
    WriteBytes("old");
    const struct {
        const char* what;
        void (*run)(Preferences&);
        std::vector<std::string> messages;
    } cases[] = {
        {"ReadFile without a name",
         [](Preferences& p) { EXPECT_FALSE(p.ReadFile()); },
         {"Can't read preferences because no filename has been set"}},
        {"WriteFile without a name",
         [](Preferences& p) {
             p.Put("a", fw::Int32ToVariant(1));
             p.WriteFile();
         },
         {"can't write preferences because no filename has been set"}},
        {"WriteFile without a name or entries",
         [](Preferences& p) { p.WriteFile(); },
         {"can't write preferences because no filename has been set"}},
        {"WriteFile without entries",
         [](Preferences& p) {
             p.Filename = "KivraPrefs.plist";
             p.WriteFile();
         },
         {"can't write preferences because none have been set"}},
        {"WritePagePrefsFile without a name",
         [](Preferences& p) { p.WritePagePrefsFile("x"); },
         {"can't write page preferences because no filename has been set"}},
        {"ReadPagePrefsFile without a name",
         [](Preferences& p) { EXPECT_EQ(p.ReadPagePrefsFile(), ""); },
         {"Can't read preferences because no filename has been set"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fw::testing::MsgBoxLog().clear();
        Preferences p;
        EXPECT_EQ(p.Filename, "");
        EXPECT_EQ(p.PagePrefsFilename, "");
        c.run(p);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(ReadBytes(), "old");
    }
}

// Names that give no item in the folder, and a folder that cannot be had, are
// reported instead of raising NilObjectException.
TEST_F(PreferencesTest, MessagesWhenNoFileCanBeReached) {
    WriteBytes("x");
    std::ofstream(mRoot / "file-not-folder") << "x";
    const struct {
        const char* what;
        std::string name;
        std::optional<fs::path> configHome;
    } places[] = {
        {"a name with a slash", "sub/KivraPrefs.plist", std::nullopt},
        {"the parent folder's name", "..", std::nullopt},
        {"no preferences folder", "KivraPrefs.plist", mRoot / "file-not-folder" / "sub"},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(place.what);
        if (place.configHome) SetConfigHome(*place.configHome);
        Preferences p = Store(place.name);
        p.PagePrefsFilename = place.name;
        fw::testing::MsgBoxLog().clear();
        EXPECT_NO_THROW({
            EXPECT_FALSE(p.ReadFile());
            EXPECT_TRUE(p.ReadFailed());
            p.Put("a", fw::Int32ToVariant(1));
            p.WriteFile();
            p.WritePagePrefsFile("page");
            EXPECT_EQ(p.ReadPagePrefsFile(), "");
        });
        EXPECT_EQ(Messages(), (std::vector<std::string>{
                                  "couldn't read preferences File", "couldn't write preferences File",
                                  "couldn't write page preferences File", "couldn't read page preferences File"}));
    }
}

TEST_F(PreferencesTest, EveryKindRoundTripsThroughTheFile) {
    const std::pair<const char*, fw::Variant> values[] = {
        {"int min", fw::Int32ToVariant(-2147483647 - 1)},
        {"int max", fw::Int32ToVariant(2147483647)},
        {"int zero", fw::Int32ToVariant(0)},
        {"int negative", fw::Int32ToVariant(-1)},
        {"true", fw::BooleanToVariant(true)},
        {"false", fw::BooleanToVariant(false)},
        {"black", fw::ColorToVariant(fw::Color(0x000000))},
        {"white", fw::ColorToVariant(fw::Color(0xFFFFFF))},
        {"blue", fw::ColorToVariant(fw::Color(0x0055FF))},
        {"text", fw::StringToVariant("a\tb \xC3\xA4 <not a tag> & \xFF")},
        {"empty text", fw::StringToVariant("")},
        {"nil", fw::Variant()},
    };
    Preferences out = Store();
    for (const auto& [key, value] : values) out.Put(key, value);
    out.WriteFile();
    ASSERT_TRUE(Messages().empty());

    Preferences in = Store();
    ASSERT_TRUE(in.ReadFile());
    for (const auto& [key, value] : values) {
        SCOPED_TRACE(key);
        const fw::Variant back = in.Get(key, fw::Int32ToVariant(12345));
        EXPECT_EQ(back.Type(), fw::Variant::Kind::String);
        EXPECT_EQ(fw::VariantToString(back), fw::VariantToString(value));
        switch (value.Type()) {
            case fw::Variant::Kind::Int32:
                EXPECT_EQ(fw::VariantToInt32(back), fw::VariantToInt32(value));
                break;
            case fw::Variant::Kind::Boolean:
                EXPECT_EQ(fw::VariantToBoolean(back), fw::VariantToBoolean(value));
                break;
            case fw::Variant::Kind::Color:
                EXPECT_EQ(fw::VariantToColor(back), fw::VariantToColor(value));
                break;
            default:
                break;
        }
    }
}

TEST_F(PreferencesTest, GetStoresTheDefaultOnlyWhenAbsent) {
    WriteBytes("<key>present</key><string>file</string>");
    Preferences p = Store();
    ASSERT_TRUE(p.ReadFile());
    EXPECT_EQ(p.Get("present", fw::Int32ToVariant(1)), fw::StringToVariant("file"));
    EXPECT_EQ(p.Get("absent", fw::BooleanToVariant(true)), fw::BooleanToVariant(true));
    EXPECT_EQ(p.Get("absent", fw::BooleanToVariant(false)), fw::BooleanToVariant(true));
    p.WriteFile();
    EXPECT_EQ(ReadBytes(), PlistText({{"present", "file"}, {"absent", "True"}}));
}

TEST_F(PreferencesTest, ClearEmptiesTheStoreAndKeepsTheNames) {
    Preferences p = Store();
    p.PagePrefsFilename = "page";
    p.Put("a", fw::Int32ToVariant(1));
    p.Clear();
    EXPECT_EQ(p.Filename, "KivraPrefs.plist");
    EXPECT_EQ(p.PagePrefsFilename, "page");
    p.WriteFile();
    EXPECT_EQ(Messages(), std::vector<std::string>{"can't write preferences because none have been set"});
    EXPECT_FALSE(fs::exists(Config()));
    p.Put("b", fw::Int32ToVariant(2));
    fw::testing::MsgBoxLog().clear();
    p.WriteFile();
    EXPECT_EQ(ReadBytes(), PlistText({{"b", "2"}}));
}

TEST_F(PreferencesTest, WriteReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    WriteBytes(PlistText({{"old", "1"}, {"other", "2"}}));
    Preferences p = Store();
    p.Put("new", fw::Int32ToVariant(3));
    p.WriteFile();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ReadBytes(), PlistText({{"new", "3"}}));
    EXPECT_EQ(std::distance(fs::directory_iterator(mRoot / "config"), fs::directory_iterator()), 1);
}

TEST_F(PreferencesTest, MissingPreferencesFolderIsMadePrivate) {
    SetConfigHome(mRoot / "new" / "deeper");
    Preferences p = Store();
    EXPECT_FALSE(p.ReadFile());
    p.Put("a", fw::Int32ToVariant(1));
    p.WriteFile();
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(fs::is_regular_file(mRoot / "new" / "deeper" / "KivraPrefs.plist"));
    for (const auto& folder : {mRoot / "new", mRoot / "new" / "deeper"}) {
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
}

TEST_F(PreferencesTest, FolderInTheFilesPlaceIsNotReadNorReplaced) {
    fs::create_directories(Config() / "inside");
    Preferences p = Store();
    EXPECT_FALSE(p.ReadFile());
    EXPECT_TRUE(p.ReadFailed());
    p.Put("a", fw::Int32ToVariant(1));
    p.WriteFile();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"couldn't read preferences File", "couldn't write preferences File"}));
    EXPECT_TRUE(fs::is_directory(Config() / "inside"));

    fw::testing::MsgBoxLog().clear();
    Preferences fresh = Store();
    fresh.Put("a", fw::Int32ToVariant(1));
    fresh.WriteFile();
    EXPECT_EQ(Messages(), std::vector<std::string>{"couldn't write preferences File"});
    EXPECT_TRUE(fs::is_directory(Config() / "inside"));
}

// The clock writes defaults after a False read: that must not destroy a file that
// was there but could not be read.
TEST_F(PreferencesTest, StoreThatCouldNotReadTheFileNeverReplacesIt) {
    fs::create_directory(Config());
    Preferences p = Store();
    EXPECT_FALSE(p.ReadFile());
    ASSERT_TRUE(p.ReadFailed());
    // The file is readable again, but this store never saw what it holds.
    fs::remove(Config());
    WriteBytes("precious");
    p.Get("WinMain.Top", fw::Int32ToVariant(40));
    p.WriteFile();
    EXPECT_EQ(ReadBytes(), "precious");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"couldn't read preferences File", "couldn't write preferences File"}));

    // Another file name is no such file.
    fw::testing::MsgBoxLog().clear();
    p.Filename = "Other.plist";
    p.WriteFile();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ReadBytes("Other.plist"), PlistText({{"WinMain.Top", "40"}}));

    // Once read, the file may be written.
    p.Filename = "KivraPrefs.plist";
    EXPECT_FALSE(p.ReadFile());
    EXPECT_FALSE(p.ReadFailed());
    p.WriteFile();
    EXPECT_EQ(ReadBytes(), PlistText({{"WinMain.Top", "40"}}));
}

TEST_F(PreferencesTest, FileWithoutReadPermissionIsNotReplaced) {
    if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
    WriteBytes("<key>a</key><string>1</string>");
    fs::permissions(Config(), fs::perms::none);
    Preferences p = Store();
    EXPECT_FALSE(p.ReadFile());
    EXPECT_TRUE(p.ReadFailed());
    p.Put("a", fw::Int32ToVariant(2));
    p.WriteFile();
    fs::permissions(Config(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes(), "<key>a</key><string>1</string>");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"couldn't read preferences File", "couldn't write preferences File"}));
}

TEST_F(PreferencesTest, ReadErrorIsReported) {
    // Reading a process's memory from address 0 fails with an I/O error.
    if (std::FILE* probe = std::fopen("/proc/self/mem", "rb"))
        std::fclose(probe);
    else
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    fs::create_symlink("/proc/self/mem", Config());
    Preferences p = Store();
    EXPECT_NO_THROW(EXPECT_FALSE(p.ReadFile()));
    EXPECT_TRUE(p.ReadFailed());
    EXPECT_EQ(Messages(), std::vector<std::string>{"couldn't read preferences File"});
}

// Runs out of room as a full disk would: past the file size limit.
TEST_F(PreferencesTest, FailedWriteKeepsTheOldFileAndSaysSo) {
    WriteBytes("old settings");
    Preferences p = Store();
    p.Put("big", fw::StringToVariant(std::string(1 << 20, 'x')));
    p.PagePrefsFilename = "KivraPrefs.plist";

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    p.WriteFile();
    p.WritePagePrefsFile(std::string(1 << 20, 'y'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadBytes(), "old settings");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"couldn't write preferences File", "couldn't write page preferences File"}));
}

TEST_F(PreferencesTest, PagePreferencesFileIsOneText) {
    Preferences p;
    p.PagePrefsFilename = "Page.prefs";
    EXPECT_EQ(p.ReadPagePrefsFile(), "");
    const std::string text = "page setup \0 \xFF\n<key>x</key>"s;
    p.WritePagePrefsFile(text);
    EXPECT_EQ(ReadBytes("Page.prefs"), text + "\n");
    EXPECT_EQ(p.ReadPagePrefsFile(), text + "\n");
    p.WritePagePrefsFile("shorter");
    EXPECT_EQ(p.ReadPagePrefsFile(), "shorter\n");
    EXPECT_TRUE(Messages().empty());

    fs::remove(Config("Page.prefs"));
    fs::create_directory(Config("Page.prefs"));
    EXPECT_EQ(p.ReadPagePrefsFile(), "");
    EXPECT_EQ(Messages(), std::vector<std::string>{"couldn't read page preferences File"});
}

TEST_F(PreferencesTest, ArbitraryBytesReadWithoutHarm) {
    std::mt19937 random(2026);
    std::string bytes(1 << 20, '\0');
    for (auto& b : bytes) b = static_cast<char>(random());
    // Sprinkle tags so the scan has work to do.
    const char* tags[] = {"<key>", "</key>", "<string>", "</string>"};
    for (int i = 0; i < 2000; ++i) {
        const char* tag = tags[random() % 4];
        bytes.replace(random() % (bytes.size() - 16), std::char_traits<char>::length(tag), tag);
    }
    WriteBytes(bytes);
    Preferences p = Store();
    EXPECT_NO_THROW(p.ReadFile());
    EXPECT_TRUE(Messages().empty());
}

// Settings files larger than this are refused unread; the files below stay just
// under it, with room for their last entry.
constexpr std::size_t kLargestFile = 4 * 1024 * 1024;
constexpr std::size_t kNearlyLargest = kLargestFile - 4096;

TEST_F(PreferencesTest, FileOfEntriesJustUnderTheLargestSize) {
    std::string file = kDeclaration + "\n<plist version=\"1.0\">\n<dict>";
    const std::string filler(80, 'v');
    int n = 0;
    while (file.size() < kNearlyLargest) {
        file += "\n\t<key>k" + std::to_string(n) + "</key>\n\t<string>" + filler + std::to_string(n) + "</string>";
        ++n;
    }
    file += "\n</dict>\n</plist>\n";
    WriteBytes(file);
    Preferences p = Store();
    ASSERT_TRUE(p.ReadFile());
    const fw::Variant absent = fw::Variant();
    for (const int i : {0, 1, n / 2, n - 1})
        EXPECT_EQ(p.Get("k" + std::to_string(i), absent), fw::StringToVariant(filler + std::to_string(i)));
    EXPECT_EQ(p.Get("k" + std::to_string(n), absent), absent);
}

// Every value here holds the "<key>" of the next entry, up to one "</string>" at the
// very end. Taken as they stand, the values would add up to a terabyte.
TEST_F(PreferencesTest, NestedEntriesJustUnderTheLargestSizeStayBounded) {
    std::string file;
    for (int i = 0; file.size() < kNearlyLargest; ++i) file += "<key>k" + std::to_string(i) + "</key><string>";
    file += "</string>";
    WriteBytes(file);
    Preferences p = Store();
    ASSERT_TRUE(p.ReadFile());
    const auto first = Stored(p, "k0");
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, file.substr(file.find("<key>k1<"), file.size() - 9 - file.find("<key>k1<")));
    EXPECT_EQ(Stored(p, "k1000"), std::nullopt);
}

// A file of exactly the largest size is read; one byte more and it is refused as
// unreadable, so that it is neither read whole nor replaced by the defaults.
TEST_F(PreferencesTest, FileLargerThanTheLargestSizeIsUnreadable) {
    const std::string entry = "<key>a</key><string>1</string>";
    for (const std::size_t size : {kLargestFile, kLargestFile + 1, std::size_t{1} << 31}) {
        SCOPED_TRACE(size);
        fw::testing::MsgBoxLog().clear();
        fs::remove(Config());
        WriteBytes(entry);
        fs::resize_file(Config(), size);  // sparse: the tail reads as NULs
        Preferences p = Store();
        const bool fits = size <= kLargestFile;
        EXPECT_NO_THROW(EXPECT_EQ(p.ReadFile(), fits));
        EXPECT_EQ(p.ReadFailed(), !fits);
        EXPECT_EQ(Stored(p, "a"), fits ? std::optional<std::string>("1") : std::nullopt);
        EXPECT_EQ(Messages(),
                  fits ? std::vector<std::string>{} : std::vector<std::string>{"couldn't read preferences File"});
        p.WriteFile();
        EXPECT_EQ(fs::file_size(Config()), fits ? WrittenEntries(p).size() : size);
    }
}

// The folder's name is bytes, not text: a name that is no UTF-8 is written and read
// through the very same bytes.
TEST_F(PreferencesTest, FolderNamedInBytesThatAreNoUtf8) {
    const fs::path folder = mRoot / "conf\xFF\xFE\xC3(";
    SetConfigHome(folder);
    Preferences out = Store();
    out.Put("a", fw::Int32ToVariant(7));
    out.WriteFile();
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "KivraPrefs.plist"));
    EXPECT_EQ(std::distance(fs::directory_iterator(mRoot), fs::directory_iterator()), 2) << "config and the folder";

    Preferences in = Store();
    ASSERT_TRUE(in.ReadFile());
    EXPECT_EQ(Stored(in, "a"), "7");
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace kivra
