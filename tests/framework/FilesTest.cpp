#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "framework/files/FolderItem.h"
#include "framework/files/IOException.h"
#include "framework/files/SpecialFolder.h"
#include "framework/files/TextInputStream.h"
#include "framework/files/TextOutputStream.h"
#include "framework/files/detail/SaveFile.h"

namespace kivra::framework {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : mName(name) {
        if (const char* old = std::getenv(name)) mOld = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (mOld)
            ::setenv(mName, mOld->c_str(), 1);
        else
            ::unsetenv(mName);
    }

private:
    const char* mName;
    std::optional<std::string> mOld;
};

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kivra-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
    }
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(mRoot))
            if (fs::is_directory(entry.symlink_status()))
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(mRoot);
    }

    std::string Path(const std::string& name) const { return (mRoot / name).string(); }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static unsigned Mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 07777;
    }
    std::size_t EntriesInRoot() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(mRoot), fs::directory_iterator()));
    }
    static bool RunningAsRoot() { return ::geteuid() == 0; }

    fs::path mRoot;
};

// Every save runs twice: with unnamed temporary files, and with the named ones
// of file systems that have no unnamed files.
class SaveFilesTest : public FilesTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        detail::SaveFile::UseUnnamedFiles(GetParam());
    }
    void TearDown() override {
        detail::SaveFile::UseUnnamedFiles(true);
        FilesTest::TearDown();
    }
    static bool Save(FolderItem& item, const std::string& text) {
        const auto out = item.CreateTextFile();
        if (!out) return false;
        out->WriteLine(text);
        return out->Close();
    }
};

INSTANTIATE_TEST_SUITE_P(TemporaryFiles, SaveFilesTest, ::testing::Values(true, false),
                         [](const auto& test) { return std::string(test.param ? "Unnamed" : "Named"); });

TEST_F(FilesTest, PreferencesFolderFromAbsoluteXdgConfigHome) {
    ScopedEnv xdg("XDG_CONFIG_HOME", mRoot.string());
    const auto folder = SpecialFolder::Preferences();
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->NativePath(), mRoot.string());
}

TEST_F(FilesTest, MissingPreferencesFoldersAreMadePrivate) {
    ScopedEnv xdg("XDG_CONFIG_HOME", Path("a/b/c"));
    const auto folder = SpecialFolder::Preferences();
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->NativePath(), Path("a/b/c"));
    for (const char* made : {"a", "a/b", "a/b/c"}) {
        EXPECT_TRUE(fs::is_directory(Path(made))) << made;
        EXPECT_EQ(Mode(Path(made)), 0700u) << made;
    }
}

TEST_F(FilesTest, RelativeOrEmptyXdgConfigHomeFallsBackToHomeConfig) {
    ScopedEnv home("HOME", Path("home"));
    fs::create_directory(Path("home"));
    for (const std::optional<std::string>& value : {std::optional<std::string>("relative/config"),
                                                    std::optional<std::string>(""), std::optional<std::string>()}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", value);
        const auto folder = SpecialFolder::Preferences();
        ASSERT_TRUE(folder);
        EXPECT_EQ(folder->NativePath(), Path("home/.config"));
        EXPECT_EQ(Mode(Path("home/.config")), 0700u);
    }
    EXPECT_FALSE(fs::exists("relative"));
}

TEST_F(FilesTest, UnusableHomeFallsBackToTheAccountsHome) {
    const passwd* account = ::getpwuid(::getuid());
    if (!account || !account->pw_dir || account->pw_dir[0] != '/' ||
        !fs::is_directory(std::string(account->pw_dir) + "/.config"))
        GTEST_SKIP() << "the account has no home with a .config folder to compare with";
    ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    for (const std::optional<std::string>& value :
         {std::optional<std::string>("not/absolute"), std::optional<std::string>()}) {
        ScopedEnv home("HOME", value);
        const auto folder = SpecialFolder::Preferences();
        ASSERT_TRUE(folder);
        EXPECT_EQ(fs::path(folder->NativePath()), fs::path(account->pw_dir) / ".config");
    }
}

TEST_F(FilesTest, PreferencesFolderThatCannotBeMadeIsNil) {
    WriteBytes(Path("file"), "x");
    for (const char* place : {"file", "file/sub"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", Path(place));
        EXPECT_FALSE(SpecialFolder::Preferences()) << place;
    }
}

TEST_F(FilesTest, ChildParentAndName) {
    const FolderItem folder("/a/b");
    for (const std::string& bad : {""s, "."s, ".."s, "x/y"s, "/"s, "a\0b"s}) EXPECT_FALSE(folder.Child(bad)) << bad;
    EXPECT_EQ(folder.Child("c")->NativePath(), "/a/b/c");
    EXPECT_EQ(FolderItem("/a/b/").Child("c")->NativePath(), "/a/b/c");
    EXPECT_EQ(FolderItem("/").Child("etc")->NativePath(), "/etc");
    EXPECT_EQ(FolderItem("/").Child("...")->NativePath(), "/...");

    EXPECT_EQ(folder.Parent()->NativePath(), "/a");
    EXPECT_EQ(FolderItem("/a/b/").Parent()->NativePath(), "/a");
    EXPECT_EQ(FolderItem("/a").Parent()->NativePath(), "/");
    EXPECT_FALSE(FolderItem("/").Parent());

    EXPECT_EQ(folder.Name(), "b");
    EXPECT_EQ(FolderItem("/a/b/").Name(), "b");
    EXPECT_EQ(FolderItem("/").Name(), "");
}

TEST_F(FilesTest, ExistsDirectoryAndDelete) {
    WriteBytes(Path("file"), "x");
    fs::create_directory(Path("empty"));
    fs::create_directories(Path("full/inner"));
    FolderItem file(Path("file")), empty(Path("empty")), full(Path("full")), missing(Path("missing"));

    EXPECT_TRUE(file.Exists());
    EXPECT_FALSE(file.Directory());
    EXPECT_TRUE(empty.Exists());
    EXPECT_TRUE(empty.Directory());
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.Directory());

    file.Delete();
    EXPECT_FALSE(fs::exists(Path("file")));
    empty.Delete();
    EXPECT_FALSE(fs::exists(Path("empty")));
    EXPECT_NO_THROW(missing.Delete());
    EXPECT_THROW(full.Delete(), IOException);
    EXPECT_TRUE(fs::exists(Path("full/inner")));
}

TEST_P(SaveFilesTest, TextFilesKeepEveryByte) {
    const std::string bytes = "line\r\n\0NUL\xFF\xFE invalid \xE2\x82 and \xE2\x82\xAC"s;
    FolderItem item(Path("data"));
    const auto out = item.CreateTextFile();
    ASSERT_TRUE(out);
    out->WriteLine(bytes);
    out->WriteLine("");
    ASSERT_TRUE(out->Close());
    EXPECT_EQ(ReadBytes(Path("data")), bytes + "\n\n");

    const auto in = item.OpenAsTextFile();
    ASSERT_TRUE(in);
    EXPECT_EQ(in->ReadAll(1 << 20), bytes + "\n\n");
    in->Close();
    EXPECT_THROW(in->ReadAll(1 << 20), IOException);
}

TEST_P(SaveFilesTest, FileIsReplacedOnlyWhenCloseSucceeds) {
    WriteBytes(Path("prefs"), "old");
    FolderItem item(Path("prefs"));
    {
        const auto out = item.CreateTextFile();
        ASSERT_TRUE(out);
        out->WriteLine("dropped without Close");
    }
    EXPECT_EQ(ReadBytes(Path("prefs")), "old");
    EXPECT_EQ(EntriesInRoot(), 1u) << "no temporary file may stay behind";

    const auto out = item.CreateTextFile();
    ASSERT_TRUE(out);
    out->WriteLine("new");
    EXPECT_EQ(ReadBytes(Path("prefs")), "old");
    ASSERT_TRUE(out->Close());
    EXPECT_EQ(ReadBytes(Path("prefs")), "new\n");
    EXPECT_EQ(EntriesInRoot(), 1u);
    EXPECT_FALSE(out->Close());
    EXPECT_THROW(out->WriteLine("after Close"), IOException);
}

// A write that runs out of room (here: past the file size limit, as on a full
// disk) makes Close fail and leaves the old file whole.
TEST_P(SaveFilesTest, FailedWriteKeepsTheOldFile) {
    WriteBytes(Path("prefs"), "old");
    FolderItem item(Path("prefs"));
    const auto out = item.CreateTextFile();
    ASSERT_TRUE(out);

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    out->WriteLine(std::string(1 << 20, 'x'));
    const bool closed = out->Close();
    // Lines each well under the limit: a writer that buffers them sees the
    // failure only when it flushes.
    const auto lines = item.CreateTextFile();
    bool linesClosed = true;
    if (lines) {
        for (int i = 0; i < 100; ++i) lines->WriteLine(std::string(99, 'y'));
        linesClosed = lines->Close();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(closed);
    ASSERT_TRUE(lines);
    EXPECT_FALSE(linesClosed);
    EXPECT_EQ(ReadBytes(Path("prefs")), "old");
    EXPECT_EQ(EntriesInRoot(), 1u);
}

// People keep settings in a dotfiles folder and link them into place: the link
// stays, its target is replaced in the target's own folder and keeps its mode.
TEST_P(SaveFilesTest, LinkToRegularFileIsKeptAndItsTargetReplaced) {
    fs::create_directories(Path("dotfiles"));
    fs::create_directories(Path("config"));
    WriteBytes(Path("dotfiles/prefs"), "old");
    ::chmod(Path("dotfiles/prefs").c_str(), 0640);
    fs::create_symlink("../dotfiles/prefs", Path("config/prefs"));
    FolderItem item(Path("config/prefs"));
    ASSERT_TRUE(Save(item, "new"));
    EXPECT_EQ(fs::read_symlink(Path("config/prefs")), "../dotfiles/prefs");
    EXPECT_EQ(ReadBytes(Path("dotfiles/prefs")), "new\n");
    EXPECT_EQ(Mode(Path("dotfiles/prefs")), 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("dotfiles")), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("config")), fs::directory_iterator()), 1);
}

// A new file is private whatever the umask; a replaced one keeps its permissions.
TEST_P(SaveFilesTest, NewFileIsPrivateAndReplacedFileKeepsItsMode) {
    const mode_t oldMask = ::umask(0);
    FolderItem item(Path("prefs"));
    const bool created = Save(item, "first");
    ::umask(oldMask);
    ASSERT_TRUE(created);
    EXPECT_EQ(Mode(Path("prefs")), 0600u);
    ::chmod(Path("prefs").c_str(), 0644);
    ASSERT_TRUE(Save(item, "second"));
    EXPECT_EQ(Mode(Path("prefs")), 0644u);
    EXPECT_EQ(ReadBytes(Path("prefs")), "second\n");
}

// Another instance that starts while a save is being written cleans the folder of
// leftovers: the save goes on and ends whole, at whatever moment the cleaner comes.
TEST_P(SaveFilesTest, CleanerDuringASaveLeavesItWhole) {
    WriteBytes(Path("prefs"), "old");
    FolderItem item(Path("prefs"));
    const auto out = item.CreateTextFile();
    ASSERT_TRUE(out);
    out->WriteLine("new");
    FolderItem(Path("prefs")).RemoveUnfinishedTextFiles();
    ASSERT_TRUE(out->Close());
    EXPECT_EQ(ReadBytes(Path("prefs")), "new\n");
    EXPECT_EQ(EntriesInRoot(), 1u);

    // A cleaner in a process of its own, as fast as it can, against saves large
    // enough to be caught in the middle.
    const pid_t cleaner = ::fork();
    ASSERT_GE(cleaner, 0);
    if (cleaner == 0) {
        for (;;) FolderItem(Path("prefs")).RemoveUnfinishedTextFiles();
    }
    int failed = 0;
    for (int save = 0; save < 300; ++save) {
        const std::string text = std::to_string(save) + std::string(64 * 1024, 'x');
        if (!Save(item, text))
            ++failed;
        else if (ReadBytes(Path("prefs")) != text + "\n")
            ++failed;
    }
    ::kill(cleaner, SIGKILL);
    ::waitpid(cleaner, nullptr, 0);
    EXPECT_EQ(failed, 0) << "saves lost their temporary file to the cleaner";
    EXPECT_EQ(EntriesInRoot(), 1u);
}

// Saves through a link write their temporary files beside its target, so that is
// where the leftovers of killed ones are removed; the person's files there stay.
TEST_F(FilesTest, LeftoversBesideALinksTargetGo) {
    fs::create_directories(Path("dotfiles"));
    fs::create_directories(Path("config"));
    WriteBytes(Path("dotfiles/kivra.plist"), "settings");
    WriteBytes(Path("dotfiles/.kivra.plist.kivra-tmp-Ab12Cd"), "unfinished");
    WriteBytes(Path("dotfiles/kivra.plist.Ab12Cd"), "a person's");
    fs::create_symlink("../dotfiles/kivra.plist", Path("config/prefs"));
    FolderItem(Path("config/prefs")).RemoveUnfinishedTextFiles();
    EXPECT_FALSE(fs::exists(Path("dotfiles/.kivra.plist.kivra-tmp-Ab12Cd")));
    EXPECT_EQ(ReadBytes(Path("dotfiles/kivra.plist.Ab12Cd")), "a person's");
    EXPECT_EQ(ReadBytes(Path("dotfiles/kivra.plist")), "settings");
}

// Only a regular file is read or replaced. Anything else at the path, or at the
// end of a link, is neither opened (a FIFO would block, a device may act on it)
// nor replaced.
TEST_F(FilesTest, WhatIsNoRegularFileIsNeitherOpenedNorReplaced) {
    // A test that blocks ends here instead of at the harness's time-out.
    ::alarm(20);
    fs::create_directory(Path("other"));
    const auto socketAt = [](const std::string& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return bound;
    };
    const struct {
        const char* what;
        bool needsRoot;
        std::function<bool(const std::string&)> make;
    } things[] = {
        {"folder", false, [](const std::string& p) { return fs::create_directory(p); }},
        {"FIFO", false, [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }},
        {"socket", false, socketAt},
        {"null device", true,
         [](const std::string& p) { return ::mknod(p.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; }},
        {"dangling link", false,
         [this](const std::string& p) { return ::symlink(Path("other/gone").c_str(), p.c_str()) == 0; }},
        {"looping link", false, [](const std::string& p) { return ::symlink(p.c_str(), p.c_str()) == 0; }},
        {"link to a folder", false,
         [this](const std::string& p) { return ::symlink(Path("other").c_str(), p.c_str()) == 0; }},
        {"link to a FIFO", false,
         [this](const std::string& p) {
             return ::mkfifo(Path("other/fifo").c_str(), 0600) == 0 &&
                    ::symlink(Path("other/fifo").c_str(), p.c_str()) == 0;
         }},
        {"link to a zero device", true,
         [this](const std::string& p) {
             return ::mknod(Path("other/zero").c_str(), S_IFCHR | 0600, makedev(1, 5)) == 0 &&
                    ::symlink(Path("other/zero").c_str(), p.c_str()) == 0;
         }},
    };
    int n = 0;
    for (const auto& thing : things) {
        SCOPED_TRACE(thing.what);
        if (thing.needsRoot && !RunningAsRoot()) {
            std::printf("skipped %s: only root makes device nodes\n", thing.what);
            continue;
        }
        const std::string path = Path("thing" + std::to_string(n++));
        ASSERT_TRUE(thing.make(path)) << std::strerror(errno);
        struct stat before {};
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);
        FolderItem item(path);
        EXPECT_TRUE(item.Exists());
        EXPECT_FALSE(item.OpenAsTextFile());
        EXPECT_FALSE(item.CreateTextFile());
        struct stat after {};
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        fs::remove_all(Path("other"));
        fs::create_directory(Path("other"));
    }
    EXPECT_EQ(EntriesInRoot(), static_cast<std::size_t>(n) + 1) << "a temporary file was left";
    ::alarm(0);
}

// The bound holds where the file tells no size (a pipe here, files of /proc
// alike): reading stops one byte past it.
TEST_F(FilesTest, ReadAllStopsAtItsBound) {
    for (const std::size_t size : {std::size_t{1000}, std::size_t{1001}}) {
        SCOPED_TRACE(size);
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const std::string bytes(size, 'p');
        ASSERT_EQ(::write(pipeFds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(size));
        ::close(pipeFds[1]);
        TextInputStream in(pipeFds[0]);
        if (size <= 1000)
            EXPECT_EQ(in.ReadAll(1000), bytes);
        else
            EXPECT_THROW(in.ReadAll(1000), IOException);
    }
    WriteBytes(Path("large"), std::string(5000, 'l'));
    const auto in = FolderItem(Path("large")).OpenAsTextFile();
    ASSERT_TRUE(in);
    EXPECT_THROW(in->ReadAll(4999), IOException);
    EXPECT_EQ(FolderItem(Path("large")).OpenAsTextFile()->ReadAll(5000), std::string(5000, 'l'));
}

TEST_P(SaveFilesTest, FileThatCannotBeCreatedGivesNil) {
    EXPECT_FALSE(FolderItem(Path("missing/prefs")).CreateTextFile());
    EXPECT_FALSE(fs::exists(Path("missing")));

    fs::create_directories(Path("folder/inside"));
    EXPECT_FALSE(FolderItem(Path("folder")).CreateTextFile());
    EXPECT_TRUE(fs::is_directory(Path("folder/inside")));
}

TEST_P(SaveFilesTest, ReadOnlyFolderGivesNilOrFailedClose) {
    if (RunningAsRoot()) GTEST_SKIP() << "root writes into read-only folders";
    fs::create_directory(Path("locked"));
    WriteBytes(Path("locked/prefs"), "old");
    fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    const auto out = FolderItem(Path("locked/prefs")).CreateTextFile();
    if (out) {
        out->WriteLine("new");
        EXPECT_FALSE(out->Close());
    }
    EXPECT_EQ(ReadBytes(Path("locked/prefs")), "old");
}

TEST_F(FilesTest, OpeningWhatIsNoReadableFileGivesNil) {
    fs::create_directory(Path("folder"));
    EXPECT_FALSE(FolderItem(Path("missing")).OpenAsTextFile());
    EXPECT_FALSE(FolderItem(Path("folder")).OpenAsTextFile());
    if (!RunningAsRoot()) {
        WriteBytes(Path("secret"), "x");
        fs::permissions(Path("secret"), fs::perms::none);
        EXPECT_FALSE(FolderItem(Path("secret")).OpenAsTextFile());
    }
}

TEST_F(FilesTest, ReadErrorRaisesIOException) {
    fs::create_directory(Path("folder"));
    const int folder = ::open(Path("folder").c_str(), O_RDONLY);
    if (folder < 0) GTEST_SKIP() << "this system does not open folders as files";
    TextInputStream in(folder);
    EXPECT_THROW(in.ReadAll(1 << 20), IOException);
}

TEST_F(FilesTest, AppFolderItemIsTheRunningExecutable) {
    const auto app = AppFolderItem();
    ASSERT_TRUE(app);
    EXPECT_EQ(app->NativePath(), fs::canonical("/proc/self/exe").string());
    EXPECT_TRUE(app->Exists());
    EXPECT_FALSE(app->Directory());
    EXPECT_EQ(app->NativePath().front(), '/');
}

}  // namespace
}  // namespace kivra::framework
