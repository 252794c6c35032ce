#include "windows/BundlePictures.h"

#include "framework/values/NilObjectException.h"

namespace kivra {

using framework::FolderItem;
using framework::Picture;
using framework::Ref;

namespace {

// Each accessor's own statics: the first-call flag and the cache.
struct CachedPicture {
    bool called = false;
    Ref<Picture> pic;
};

CachedPicture gPlenko, gPlenkoMask, gAboutIcon, gAboutMask;
Ref<FolderItem> gTestResources;

Ref<Picture> Load(CachedPicture& cached, const char* fileName) {
    if (!cached.called) {
        cached.called = true;
        cached.pic = nullptr;
    }
    if (cached.pic) return cached.pic;
    Ref<FolderItem> folder = GetApplicationBundleResources();
    if (!folder) return nullptr;
    Ref<FolderItem> file = folder->Child(fileName);
    if (!file) throw framework::NilObjectException();
    cached.pic = file->OpenAsPicture();
    return cached.pic;
}

}  // namespace

Ref<Picture> Plenko() { return Load(gPlenko, "Plenko.pct"); }
Ref<Picture> PlenkoMask() { return Load(gPlenkoMask, "PlenkoMask.pct"); }
Ref<Picture> AboutIcon() { return Load(gAboutIcon, "AboutIcon.bmp"); }
Ref<Picture> AboutMask() { return Load(gAboutMask, "AboutMask.bmp"); }

Ref<FolderItem> GetApplicationBundleResources() {
    if (gTestResources) return gTestResources;
    Ref<FolderItem> app = framework::AppFolderItem();
    if (!app) throw framework::NilObjectException();
    Ref<FolderItem> folder = app->Parent();
    if (!folder) throw framework::NilObjectException();
    Ref<FolderItem> prefix = folder->Parent();
    if (!prefix) throw framework::NilObjectException();
    Ref<FolderItem> share = prefix->Child("share");
    if (!share) return nullptr;
    return share->Child("kivra");
}

void UseBundleResourcesForTesting(const Ref<FolderItem>& folder) {
    gTestResources = folder;
    for (CachedPicture* cached : {&gPlenko, &gPlenkoMask, &gAboutIcon, &gAboutMask}) *cached = CachedPicture{};
}

}  // namespace kivra
