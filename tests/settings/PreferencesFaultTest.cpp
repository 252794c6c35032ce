// What happens to the settings file when the disk, the folder or the process
// fail the writer: the old file stays whole, or the new one is there whole,
// and a file the clock could not read is never replaced by its defaults.

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "clock/App.h"
#include "clock/WinMain.h"
#include "framework/Runtime.h"
#include "framework/Testing.h"
#include "framework/Variant.h"
#include "settings/Preferences.h"

namespace kivra {
namespace {

namespace fs = std::filesystem;
namespace fw = framework;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kFile = "KivraPrefs.plist";

// Two sets of the clock's fourteen settings. The second holds a long value so
// that writing it takes long enough for a kill to land inside the write.
Entries Settings(bool second) {
    Entries entries = {{"WinMain.Top", second ? "300" : "40"},      {"WinMain.Left", second ? "900" : "10"},
                       {"WinMain.Width", second ? "1020" : "510"}, {"WinMain.Height", second ? "300" : "150"},
                       {"Rotation", second ? "1" : "0"},           {"24HrMode", second ? "True" : "False"},
                       {"ChangeMode", second ? "2" : "1"},         {"Update Icon", second ? "False" : "True"},
                       {"ColorBG", "&h00000000"},                   {"ColorH0", "&h0000FF00"},
                       {"ColorH1", "&h00FF0000"},                   {"ColorM0", "&h00FF0000"},
                       {"ColorM1", "&h000055FF"},                   {"ColorOff", "&h007F7F7F"}};
    if (second) entries.emplace_back("Notes", std::string(64 * 1024, 'n'));
    return entries;
}

Preferences Store(const Entries& entries = {}) {
    Preferences store;
    store.Filename = kFile;
    for (const auto& [key, value] : entries) store.Put(key, fw::StringToVariant(value));
    return store;
}

// Each entry as the store gives it back, or nullopt for a missing one.
std::vector<std::optional<std::string>> ReadBack(const Entries& entries) {
    Preferences store = Store();
    store.ReadFile();
    std::vector<std::optional<std::string>> values;
    for (const auto& entry : entries) {
        const fw::Variant v = store.Get(entry.first, fw::Variant());
        values.push_back(v.IsNil() ? std::nullopt : std::optional<std::string>(fw::VariantToString(v)));
    }
    return values;
}

std::vector<std::optional<std::string>> Values(const Entries& entries) {
    std::vector<std::optional<std::string>> values;
    for (const auto& entry : entries) values.emplace_back(entry.second);
    return values;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool RunningAsRoot() { return ::geteuid() == 0; }

class PreferencesFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kivra-faults-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) mOldConfigHome = old;
        UseFolder(mRoot / "config");
        fs::create_directory(Folder());
        fw::testing::ScriptDialogs(true);
        fw::testing::MsgBoxLog().clear();
    }
    void TearDown() override {
        fw::testing::ResetApplication();
        fw::testing::MsgBoxLog().clear();
        if (mOldConfigHome)
            ::setenv("XDG_CONFIG_HOME", mOldConfigHome->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(mRoot, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(mRoot, ignored);
    }

    void UseFolder(const fs::path& folder) {
        mFolder = folder;
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    const fs::path& Folder() const { return mFolder; }
    fs::path SettingsPath() const { return mFolder / kFile; }
    // The text the writer makes of these entries, as it lands on disk.
    std::string FileTextOf(const Entries& entries) {
        const fs::path saved = mFolder;
        UseFolder(mRoot / "reference");
        Store(entries).WriteFile();
        std::string text = ReadBytes(SettingsPath());
        UseFolder(saved);
        return text;
    }
    static std::vector<std::string> Messages() { return fw::testing::MsgBoxLog(); }

    fs::path mRoot;

private:
    fs::path mFolder;
    std::optional<std::string> mOldConfigHome;
};

// The writer's outcome for each state of the preferences folder.
enum class Place { Missing, ReadOnly, FileInItsPlace };

struct PlaceCase {
    const char* name;
    Place place;
};

class FolderFaultTest : public PreferencesFaultTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(FolderFaultTest, WriteEitherSucceedsOrKeepsWhatWasThere) {
    const Entries entries = Settings(false);
    const std::string old = FileTextOf(Settings(true));
    switch (GetParam().place) {
        case Place::Missing:
            UseFolder(mRoot / "new" / "deeper");
            break;
        case Place::ReadOnly:
            if (RunningAsRoot()) GTEST_SKIP() << "root writes into read-only folders";
            WriteBytes(SettingsPath(), old);
            fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec);
            break;
        case Place::FileInItsPlace:
            fs::remove_all(Folder());
            WriteBytes(Folder(), "not a folder");
            break;
    }

    Preferences reader = Store();
    EXPECT_EQ(reader.ReadFile(), GetParam().place == Place::ReadOnly);
    Store(entries).WriteFile();

    switch (GetParam().place) {
        case Place::Missing:
            EXPECT_TRUE(Messages().empty());
            for (const fs::path& made : {mRoot / "new", mRoot / "new" / "deeper"}) {
                struct stat st {};
                ASSERT_EQ(::stat(made.c_str(), &st), 0) << made;
                EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
            }
            EXPECT_EQ(ReadBack(entries), Values(entries));
            break;
        case Place::ReadOnly:
            EXPECT_FALSE(reader.ReadFailed());
            EXPECT_EQ(Messages(), std::vector<std::string>{"couldn't write preferences File"});
            fs::permissions(Folder(), fs::perms::owner_all);
            EXPECT_EQ(ReadBytes(SettingsPath()), old);
            EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1);
            break;
        case Place::FileInItsPlace:
            EXPECT_TRUE(reader.ReadFailed());
            EXPECT_EQ(Messages(), (std::vector<std::string>{"couldn't read preferences File",
                                                            "couldn't write preferences File"}));
            EXPECT_EQ(ReadBytes(Folder()), "not a folder");
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Places, FolderFaultTest,
                         ::testing::Values(PlaceCase{"MissingFolder", Place::Missing},
                                           PlaceCase{"ReadOnlyFolder", Place::ReadOnly},
                                           PlaceCase{"FileInTheFoldersPlace", Place::FileInItsPlace}),
                         [](const auto& test) { return std::string(test.param.name); });

// Exit codes of the disk-full child.
enum DiskFull { kKeptOldFile = 0, kCannotSetUp = 3, kReplacedOrLost = 4, kNoMessage = 5, kLeftovers = 6 };

// A full disk: a 64 KiB tmpfs over the folder, mounted in a mount namespace of a
// child of its own so that nothing outlives the test; without the rights for
// that, a file size limit in the child makes the same failed writes.
TEST_F(PreferencesFaultTest, FullDiskKeepsTheOldFileAndSaysSo) {
    const std::string old = FileTextOf(Settings(false));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool onTmpfs = ::unshare(CLONE_NEWNS) == 0 &&
                       ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                       ::mount("tmpfs", Folder().c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0;
        WriteBytes(SettingsPath(), old);
        if (ReadBytes(SettingsPath()) != old) ::_exit(kCannotSetUp);
        if (onTmpfs) {
            // Fill what room is left, so that not even a small file fits.
            std::ofstream filler(Folder() / "filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), block.size())) {}
        } else {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 4096;
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kCannotSetUp);
        }
        fw::testing::MsgBoxLog().clear();
        Store(Settings(true)).WriteFile();
        if (fw::testing::MsgBoxLog() != std::vector<std::string>{"couldn't write preferences File"}) ::_exit(kNoMessage);
        if (ReadBytes(SettingsPath()) != old) ::_exit(kReplacedOrLost);
        for (const auto& entry : fs::directory_iterator(Folder()))
            if (entry.path().filename() != kFile && entry.path().filename() != "filler") ::_exit(kLeftovers);
        ::_exit(kKeptOldFile);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer died of signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == kCannotSetUp) GTEST_SKIP() << "neither a tmpfs nor a file size limit could be set";
    EXPECT_NE(WEXITSTATUS(status), kNoMessage) << "a failed write was not reported";
    EXPECT_NE(WEXITSTATUS(status), kReplacedOrLost) << "the old settings did not survive a full disk";
    EXPECT_NE(WEXITSTATUS(status), kLeftovers) << "a failed write left a temporary file behind";
    EXPECT_EQ(WEXITSTATUS(status), kKeptOldFile);
}

// A child writes the two sets of settings in turn until it is killed at a random
// moment; whatever the moment, the file is one of the two, whole, and reads back.
TEST_F(PreferencesFaultTest, KilledWhileWritingLeavesTheOldOrTheNewFile) {
    const Entries first = Settings(false), second = Settings(true);
    const std::string firstText = FileTextOf(first), secondText = FileTextOf(second);
    WriteBytes(SettingsPath(), firstText);

    std::mt19937 random(20260314);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    int sawFirst = 0, sawSecond = 0, leftovers = 0;
    constexpr int kKills = 200;
    for (int kill = 0; kill < kKills; ++kill) {
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(started[0]);
            bool which = kill % 2 == 0;
            Store(which ? second : first).WriteFile();
            // From here on the kill lands somewhere in the loop of writes.
            if (::write(started[1], "w", 1) != 1) ::_exit(1);
            for (;;) {
                which = !which;
                Store(which ? second : first).WriteFile();
            }
        }
        ::close(started[1]);
        char signal = 0;
        ASSERT_EQ(::read(started[0], &signal, 1), 1) << "the writer did not start";
        ::close(started[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer ended on its own";

        const std::string text = ReadBytes(SettingsPath());
        ASSERT_TRUE(text == firstText || text == secondText)
            << "after kill " << kill << " the file holds " << text.size() << " bytes that are neither set";
        const Entries& expected = text == firstText ? first : second;
        ++(text == firstText ? sawFirst : sawSecond);
        ASSERT_EQ(ReadBack(expected), Values(expected)) << "after kill " << kill;

        // A writer killed between naming its temporary file and renaming it leaves
        // that file behind; the reader never looks at it.
        for (const auto& entry : fs::directory_iterator(Folder())) {
            if (entry.path().filename() == kFile) continue;
            ++leftovers;
            fs::remove(entry.path());
        }
    }
    EXPECT_TRUE(Messages().empty());
    // Kills that all landed before or after every write would prove nothing.
    EXPECT_GT(sawFirst, 0);
    EXPECT_GT(sawSecond, 0);
    RecordProperty("UnfinishedTemporaryFiles", leftovers);
}

// The clock reads its settings at open and writes its defaults at once when the
// read gives nothing; a file that exists but cannot be read must survive that.
enum class Unreadable { FolderInItsPlace, NoReadPermission };

struct UnreadableCase {
    const char* name;
    Unreadable kind;
};

class UnreadableAtOpenTest : public PreferencesFaultTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableAtOpenTest, ClockOpensWithDefaultsAndLeavesTheFileAlone) {
    const std::string settings = FileTextOf(Settings(true));
    switch (GetParam().kind) {
        case Unreadable::FolderInItsPlace:
            fs::create_directories(SettingsPath() / "inside");
            break;
        case Unreadable::NoReadPermission:
            if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
            WriteBytes(SettingsPath(), settings);
            fs::permissions(SettingsPath(), fs::perms::owner_write);
            break;
    }

    fw::RuntimeRegisterAppObject(fw::New<App>());
    const fw::Ref<WinMain> win = WinMain::Instance();
    EXPECT_EQ(win->Width(), 510);
    EXPECT_EQ(win->Height(), 150);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().front(), "couldn't read preferences File");

    switch (GetParam().kind) {
        case Unreadable::FolderInItsPlace:
            EXPECT_TRUE(fs::is_directory(SettingsPath() / "inside"));
            break;
        case Unreadable::NoReadPermission:
            fs::permissions(SettingsPath(), fs::perms::owner_read | fs::perms::owner_write);
            EXPECT_EQ(ReadBytes(SettingsPath()), settings);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableAtOpenTest,
                         ::testing::Values(UnreadableCase{"FolderInTheFilesPlace", Unreadable::FolderInItsPlace},
                                           UnreadableCase{"NoReadPermission", Unreadable::NoReadPermission}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace kivra
