#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/drawing/Picture.h"
#include "framework/files/FolderItem.h"
#include "windows/BundlePictures.h"

namespace kivra {
namespace {

namespace fs = std::filesystem;
namespace fw = framework;
using fw::Picture;
using fw::Ref;

// The build's own pictures: the test program runs from <build>/bin.
fs::path BuildResources() { return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "share" / "kivra"; }

class BundlePictures : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kivra-pictures-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        UseBundleResourcesForTesting(fw::New<fw::FolderItem>(folder.string()));
    }
    void TearDown() override {
        UseBundleResourcesForTesting(nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void PutInPlace(const char* name) { fs::copy_file(BuildResources() / name, folder / name); }

    fs::path folder;
};

TEST_F(BundlePictures, PicturesAreInShareKivraBesideTheExecutablesFolder) {
    UseBundleResourcesForTesting(nullptr);
    Ref<fw::FolderItem> resources = GetApplicationBundleResources();
    ASSERT_TRUE(resources);
    EXPECT_EQ(fs::path(resources->NativePath()), BuildResources());
}

TEST_F(BundlePictures, EachPictureLoadsOnceAndIsKept) {
    struct Accessor {
        const char* file;
        Ref<Picture> (*get)();
        int width, height;
    };
    const Accessor accessors[] = {{"Plenko.pct", Plenko, 216, 30},
                                  {"PlenkoMask.pct", PlenkoMask, 216, 30},
                                  {"AboutIcon.bmp", AboutIcon, 128, 128},
                                  {"AboutMask.bmp", AboutMask, 128, 128}};
    for (const Accessor& a : accessors) PutInPlace(a.file);
    for (const Accessor& a : accessors) {
        SCOPED_TRACE(a.file);
        Ref<Picture> first = a.get();
        ASSERT_TRUE(first);
        EXPECT_EQ(first->Width(), a.width);
        EXPECT_EQ(first->Height(), a.height);
        EXPECT_EQ(a.get().get(), first.get());
        fs::remove(folder / a.file);
        EXPECT_EQ(a.get().get(), first.get());
    }
}

TEST_F(BundlePictures, AMissingPictureIsNilUntilItsFileAppearsAndOthersStayLoaded) {
    EXPECT_TRUE(AboutIcon().IsNil());
    EXPECT_TRUE(AboutIcon().IsNil());
    EXPECT_TRUE(Plenko().IsNil());

    PutInPlace("Plenko.pct");
    Ref<Picture> badge = Plenko();
    ASSERT_TRUE(badge);
    EXPECT_TRUE(AboutIcon().IsNil());
    EXPECT_EQ(Plenko().get(), badge.get());

    PutInPlace("AboutIcon.bmp");
    Ref<Picture> icon = AboutIcon();
    ASSERT_TRUE(icon);
    EXPECT_EQ(AboutIcon().get(), icon.get());
    EXPECT_EQ(Plenko().get(), badge.get());
    EXPECT_TRUE(AboutMask().IsNil());
    EXPECT_TRUE(PlenkoMask().IsNil());
}

TEST_F(BundlePictures, AFileThatHoldsNoPictureCountsAsMissing) {
    for (const char* name : {"AboutMask.bmp", "PlenkoMask.pct"}) {
        std::FILE* f = std::fopen((folder / name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("no picture here", f);
        std::fclose(f);
    }
    fs::create_directory(folder / "AboutIcon.bmp");
    EXPECT_TRUE(AboutMask().IsNil());
    EXPECT_TRUE(PlenkoMask().IsNil());
    EXPECT_TRUE(AboutIcon().IsNil());
    fs::remove(folder / "PlenkoMask.pct");
    PutInPlace("PlenkoMask.pct");
    EXPECT_TRUE(PlenkoMask());
}

}  // namespace
}  // namespace kivra
