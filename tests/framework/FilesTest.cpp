#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "framework/FolderItem.h"
#include "framework/IOException.h"
#include "framework/SpecialFolder.h"
#include "framework/TextInputStream.h"
#include "framework/TextOutputStream.h"

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
            if (entry.is_directory()) fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
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
                                                     std::optional<std::string>(""),
                                                     std::optional<std::string>()}) {
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
    for (const std::optional<std::string>& value : {std::optional<std::string>("not/absolute"),
                                                     std::optional<std::string>()}) {
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
    for (const std::string& bad : {""s, "."s, ".."s, "x/y"s, "/"s, "a\0b"s})
        EXPECT_FALSE(folder.Child(bad)) << bad;
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

TEST_F(FilesTest, TextFilesKeepEveryByte) {
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

TEST_F(FilesTest, FileIsReplacedOnlyWhenCloseSucceeds) {
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
TEST_F(FilesTest, FailedWriteKeepsTheOldFile) {
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
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(closed);
    EXPECT_EQ(ReadBytes(Path("prefs")), "old");
    EXPECT_EQ(EntriesInRoot(), 1u);
}

TEST_F(FilesTest, FileThatCannotBeCreatedGivesNil) {
    EXPECT_FALSE(FolderItem(Path("missing/prefs")).CreateTextFile());
    EXPECT_FALSE(fs::exists(Path("missing")));

    fs::create_directories(Path("folder/inside"));
    EXPECT_FALSE(FolderItem(Path("folder")).CreateTextFile());
    EXPECT_TRUE(fs::is_directory(Path("folder/inside")));
}

TEST_F(FilesTest, ReadOnlyFolderGivesNilOrFailedClose) {
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
