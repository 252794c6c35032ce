// What happens to the settings file when the disk, the folder or the process
// fail the writer: the old file stays whole, or the new one is there whole,
// and a file the clock could not read is never replaced by its defaults.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "clock/App.h"
#include "clock/WinMain.h"
#include "framework/app/Runtime.h"
#include "framework/files/detail/SaveFile.h"
#include "framework/testing/Testing.h"
#include "framework/values/Variant.h"
#include "settings/Preferences.h"

namespace kivra {
namespace {

namespace fs = std::filesystem;
namespace fw = framework;
using namespace std::string_literals;
using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kFile = "KivraPrefs.plist";

// Two sets of the clock's fourteen settings. The second holds a long value so
// that writing it takes long enough for a kill to land inside the write.
Entries Settings(bool second) {
    Entries entries = {{"WinMain.Top", second ? "300" : "40"},
                       {"WinMain.Left", second ? "900" : "10"},
                       {"WinMain.Width", second ? "1020" : "510"},
                       {"WinMain.Height", second ? "300" : "150"},
                       {"Rotation", second ? "1" : "0"},
                       {"24HrMode", second ? "True" : "False"},
                       {"ChangeMode", second ? "2" : "1"},
                       {"Update Icon", second ? "False" : "True"},
                       {"ColorBG", "&h00000000"},
                       {"ColorH0", "&h0000FF00"},
                       {"ColorH1", "&h00FF0000"},
                       {"ColorM0", "&h00FF0000"},
                       {"ColorM1", "&h000055FF"},
                       {"ColorOff", "&h007F7F7F"}};
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

void WriteBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

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
            EXPECT_EQ(Messages(),
                      (std::vector<std::string>{"couldn't read preferences File", "couldn't write preferences File"}));
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
            while (filler.write(block.data(), block.size())) {
            }
        } else {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 256;  // under the size of any settings file
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(kCannotSetUp);
        }
        fw::testing::MsgBoxLog().clear();
        // The clock's own settings, under a kilobyte: a writer that buffers them sees
        // no failed write before it flushes.
        Entries changed = Settings(true);
        changed.pop_back();
        Store(changed).WriteFile();
        if (fw::testing::MsgBoxLog() != std::vector<std::string>{"couldn't write preferences File"})
            ::_exit(kNoMessage);
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
// With unnamed temporary files, and with the named ones of file systems that have none.
class KilledWriterTest : public PreferencesFaultTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        PreferencesFaultTest::SetUp();
        fw::detail::SaveFile::UseUnnamedFiles(GetParam());
    }
    void TearDown() override {
        fw::detail::SaveFile::UseUnnamedFiles(true);
        PreferencesFaultTest::TearDown();
    }
};

TEST_P(KilledWriterTest, KilledWhileWritingLeavesTheOldOrTheNewFile) {
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
        // A writer killed between naming its temporary file and renaming it leaves
        // that file behind; the next read removes it.
        leftovers += static_cast<int>(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator())) - 1;
        ASSERT_EQ(ReadBack(expected), Values(expected)) << "after kill " << kill;
        ASSERT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1)
            << "a read after kill " << kill << " left a temporary file";
    }
    EXPECT_TRUE(Messages().empty());
    // Kills that all landed before or after every write would prove nothing.
    EXPECT_GT(sawFirst, 0);
    EXPECT_GT(sawSecond, 0);
    RecordProperty("UnfinishedTemporaryFiles", leftovers);
}

INSTANTIATE_TEST_SUITE_P(TemporaryFiles, KilledWriterTest, ::testing::Values(true, false),
                         [](const auto& test) { return std::string(test.param ? "Unnamed" : "Named"); });

// What can stand at the settings path. Only a regular file, or a link to one, is
// read and replaced; anything else is never opened for writing, never replaced
// and never waited on, and the clock opens with its defaults and says so once.
enum class Thing {
    RegularFile,
    LinkToRegularFile,
    LinkToLinkToRegularFile,
    Folder,
    Fifo,
    Socket,
    Device,
    DanglingLink,
    LoopingLink,
    LinkToFolder,
    LinkToFifo,
    LinkToDevice,
    LinkToEndlessDevice,
    TooLarge,
    NoReadPermission,
};

struct ThingCase {
    const char* name;
    Thing thing;
};

bool IsReadable(Thing thing) {
    return thing == Thing::RegularFile || thing == Thing::LinkToRegularFile || thing == Thing::LinkToLinkToRegularFile;
}

// Regular files that the clock cannot read: it leaves them alone, but another writer
// may replace them like any other regular file.
bool IsUnreadableRegularFile(Thing thing) { return thing == Thing::TooLarge || thing == Thing::NoReadPermission; }

// What stands at a path, told apart well enough to see that it was not replaced.
struct Standing {
    bool exists = false;
    mode_t type = 0;
    ino_t inode = 0;
    dev_t device = 0;
    std::string link;
    bool operator==(const Standing&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Standing& s) {
        if (!s.exists) return out << "nothing";
        return out << "type " << std::oct << s.type << std::dec << ", inode " << s.inode << ", device " << s.device
                   << (s.link.empty() ? "" : ", link to " + s.link);
    }
};

Standing StandingAt(const fs::path& path) {
    Standing standing;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return standing;
    standing = {true, st.st_mode & S_IFMT, st.st_ino, st.st_rdev, {}};
    if (S_ISLNK(st.st_mode)) standing.link = fs::read_symlink(path);
    return standing;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class ThingAtThePathTest : public PreferencesFaultTest, public ::testing::WithParamInterface<ThingCase> {
protected:
    void SetUp() override {
        PreferencesFaultTest::SetUp();
        // A test that blocks in open() or read() ends here instead of at the harness's time-out.
        ::alarm(20);
    }
    void TearDown() override {
        ::alarm(0);
        PreferencesFaultTest::TearDown();
    }
    // Makes the thing; the settings that a readable one holds are `settings`.
    void Make(Thing thing, const std::string& settings) {
        const fs::path path = SettingsPath(), other = mRoot / "elsewhere";
        fs::create_directory(other);
        switch (thing) {
            case Thing::RegularFile:
                WriteBytes(path, settings);
                break;
            case Thing::LinkToRegularFile:
                WriteBytes(other / "kivra.plist", settings);
                fs::permissions(other / "kivra.plist", fs::perms(0644));
                fs::create_symlink(other / "kivra.plist", path);
                break;
            case Thing::LinkToLinkToRegularFile:
                WriteBytes(other / "kivra.plist", settings);
                fs::create_symlink("kivra.plist", other / "link");
                fs::create_symlink(other / "link", path);
                break;
            case Thing::Folder:
                fs::create_directories(path / "inside");
                break;
            case Thing::Fifo:
                ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
                break;
            case Thing::Socket:
                MakeSocket(path);
                break;
            case Thing::Device:
                MakeDevice(path, 3);
                break;
            case Thing::DanglingLink:
                fs::create_symlink(other / "gone" / "kivra.plist", path);
                break;
            case Thing::LoopingLink:
                fs::create_symlink(Folder() / "loop", path);
                fs::create_symlink(path, Folder() / "loop");
                break;
            case Thing::LinkToFolder:
                fs::create_directory(other / "folder");
                fs::create_symlink(other / "folder", path);
                break;
            case Thing::LinkToFifo:
                ASSERT_EQ(::mkfifo((other / "fifo").c_str(), 0600), 0);
                fs::create_symlink(other / "fifo", path);
                break;
            case Thing::LinkToDevice:
                MakeDevice(other / "null", 3);
                fs::create_symlink(other / "null", path);
                break;
            case Thing::LinkToEndlessDevice:
                MakeDevice(other / "zero", 5);
                fs::create_symlink(other / "zero", path);
                break;
            case Thing::TooLarge:
                WriteBytes(path, settings);
                fs::resize_file(path, std::uintmax_t{1} << 31);
                break;
            case Thing::NoReadPermission:
                if (RunningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
                WriteBytes(path, settings);
                fs::permissions(path, fs::perms::owner_write);
                break;
        }
    }

private:
    static void MakeSocket(const fs::path& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.native().size(), sizeof address.sun_path);
        std::strcpy(address.sun_path, path.c_str());
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    // A private copy of a memory device (3: null, 5: zero) in the test's own folder.
    static void MakeDevice(const fs::path& path, unsigned minor) {
        if (!RunningAsRoot()) GTEST_SKIP() << "only root makes device nodes";
        ASSERT_EQ(::mknod(path.c_str(), S_IFCHR | 0600, makedev(1, minor)), 0) << std::strerror(errno);
    }
};

TEST_P(ThingAtThePathTest, ClockOpensWithItsSettingsOrDefaultsAndSaysSoAtMostOnce) {
    const Thing thing = GetParam().thing;
    const std::string settings = FileTextOf(Settings(true));
    Make(thing, settings);
    if (IsSkipped()) return;
    const Standing before = StandingAt(SettingsPath());

    fw::RuntimeRegisterAppObject(fw::New<App>());
    const fw::Ref<WinMain> win = WinMain::Instance();
    EXPECT_EQ(win->Width(), IsReadable(thing) ? 1020 : 510);
    EXPECT_EQ(win->Height(), IsReadable(thing) ? 300 : 150);
    win->Width(600);
    win->Close();

    if (thing == Thing::RegularFile)
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(SettingsPath())));
    else
        EXPECT_EQ(StandingAt(SettingsPath()), before) << "the thing at the path was replaced";
    if (IsReadable(thing)) {
        EXPECT_TRUE(Messages().empty());
        std::vector<std::optional<std::string>> wanted = Values(Settings(true));
        wanted[2] = "600";
        wanted.back() = std::nullopt;  // the clock writes its own settings only
        EXPECT_EQ(ReadBack(Settings(true)), wanted);
    } else {
        EXPECT_EQ(Messages(), std::vector<std::string>{"couldn't read preferences File"});
    }
    if (!IsReadable(thing) && !IsUnreadableRegularFile(thing)) {
        // A store that never read it must not replace it either.
        fw::testing::MsgBoxLog().clear();
        Store(Settings(false)).WriteFile();
        EXPECT_EQ(Messages(), std::vector<std::string>{"couldn't write preferences File"});
        EXPECT_EQ(StandingAt(SettingsPath()), before) << "a writer replaced the thing at the path";
    }
    switch (thing) {
        case Thing::Folder:
            EXPECT_TRUE(fs::is_directory(SettingsPath() / "inside"));
            break;
        case Thing::DanglingLink:
            EXPECT_FALSE(fs::exists(mRoot / "elsewhere" / "gone"));
            break;
        case Thing::TooLarge:
            EXPECT_EQ(fs::file_size(SettingsPath()), std::uintmax_t{1} << 31);
            break;
        case Thing::NoReadPermission:
            fs::permissions(SettingsPath(), fs::perms::owner_read | fs::perms::owner_write);
            EXPECT_EQ(ReadBytes(SettingsPath()), settings);
            break;
        case Thing::LinkToRegularFile: {
            // The target is replaced in its own folder and keeps its permissions.
            struct stat st {};
            ASSERT_EQ(::stat((mRoot / "elsewhere" / "kivra.plist").c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0644u);
            EXPECT_EQ(NamesIn(mRoot / "elsewhere"), std::vector<std::string>{"kivra.plist"});
            break;
        }
        default:
            break;
    }
    for (const auto& name : NamesIn(Folder()))
        EXPECT_TRUE(name == kFile || (thing == Thing::LoopingLink && name == "loop")) << "left in the folder: " << name;
}

INSTANTIATE_TEST_SUITE_P(
    Things, ThingAtThePathTest,
    ::testing::Values(
        ThingCase{"RegularFile", Thing::RegularFile}, ThingCase{"LinkToRegularFileElsewhere", Thing::LinkToRegularFile},
        ThingCase{"LinkToLinkToRegularFile", Thing::LinkToLinkToRegularFile}, ThingCase{"Folder", Thing::Folder},
        ThingCase{"Fifo", Thing::Fifo}, ThingCase{"Socket", Thing::Socket}, ThingCase{"Device", Thing::Device},
        ThingCase{"DanglingLink", Thing::DanglingLink}, ThingCase{"LoopingLink", Thing::LoopingLink},
        ThingCase{"LinkToFolder", Thing::LinkToFolder}, ThingCase{"LinkToFifo", Thing::LinkToFifo},
        ThingCase{"LinkToDevice", Thing::LinkToDevice}, ThingCase{"LinkToEndlessDevice", Thing::LinkToEndlessDevice},
        ThingCase{"TwoGigabyteFile", Thing::TooLarge}, ThingCase{"NoReadPermission", Thing::NoReadPermission}),
    [](const auto& test) { return std::string(test.param.name); });

// Temporary files of killed writers go at the next read, and nothing else does:
// not a person's files beside the settings, whatever their names (the old
// temporary names among them), not what only looks like ours, not a file that a
// save still holds. Also when the settings file cannot be read, which is when a
// person keeps a backup.
class LeftoversTest : public PreferencesFaultTest, public ::testing::WithParamInterface<bool> {};

TEST_P(LeftoversTest, ReadRemovesOnlyTheWritersLeftovers) {
    const bool readable = GetParam();
    WriteBytes(SettingsPath(), FileTextOf(Settings(false)));
    if (!readable) fs::resize_file(SettingsPath(), std::uintmax_t{1} << 31);
    fs::create_directory(mRoot / "elsewhere");
    WriteBytes(mRoot / "elsewhere" / "target", "kept");
    const std::string ours = ".KivraPrefs.plist.kivra-tmp-";
    for (const char* suffix : {"Ab12Cd", "zzzzzz", "000000"}) WriteBytes(Folder() / (ours + suffix), "unfinished");
    const std::vector<std::string> persons = {"KivraPrefs.plist.backup",
                                              "KivraPrefs.plist.old123",
                                              "KivraPrefs.plist.orig12",
                                              "KivraPrefs.plist~",
                                              "KivraPrefs.plist.bak",
                                              "KivraPrefs.plist.Ab12Cd",
                                              "KivraPrefs.plist.zzzzzz",
                                              ".KivraPrefs.plist.swp",
                                              ours + "Ab12C",
                                              ours + "Ab12Cde",
                                              ours + "Ab-2Cd",
                                              "KivraPrefs.plist.kivra-tmp-Ab12Cd",
                                              ".Other.plist.kivra-tmp-Ab12Cd",
                                              ".KivraPrefs.plistkivra-tmp-Ab12Cd"};
    for (const auto& name : persons) WriteBytes(Folder() / name, "a person's " + name + "\n\0\xff"s);
    fs::create_directory(Folder() / (ours + "Dir000"));
    fs::create_symlink(mRoot / "elsewhere" / "target", Folder() / (ours + "Lnk000"));
    ASSERT_EQ(::mkfifo((Folder() / (ours + "Fifo00")).c_str(), 0600), 0);
    // A save of another instance, still writing: its lock is held.
    const std::string held = ours + "Held00";
    WriteBytes(Folder() / held, "half a save");
    const int lock = ::open((Folder() / held).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);

    Preferences store = Store();
    EXPECT_EQ(store.ReadFile(), readable);
    ::close(lock);
    std::vector<std::string> wanted = persons;
    for (const char* kept : {"Dir000", "Lnk000", "Fifo00", "Held00"}) wanted.push_back(ours + kept);
    wanted.push_back(kFile);
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(NamesIn(Folder()), wanted);
    for (const auto& name : persons) EXPECT_EQ(ReadBytes(Folder() / name), "a person's " + name + "\n\0\xff"s);
    EXPECT_EQ(ReadBytes(Folder() / held), "half a save");
    EXPECT_EQ(ReadBytes(mRoot / "elsewhere" / "target"), "kept");

    // Once that save has ended without a rename, its file is a leftover like any other.
    Store().ReadFile();
    EXPECT_FALSE(fs::exists(Folder() / held));
}

INSTANTIATE_TEST_SUITE_P(SettingsFile, LeftoversTest, ::testing::Values(true, false),
                         [](const auto& test) { return std::string(test.param ? "Readable" : "Unreadable"); });

}  // namespace
}  // namespace kivra
