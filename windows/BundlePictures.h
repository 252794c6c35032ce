#pragma once

#include "framework/drawing/Picture.h"
#include "framework/files/FolderItem.h"
#include "framework/values/Ref.h"

namespace kivra {

// The About window's pictures, read from the bundle's resources folder on first
// demand and kept for the rest of the run. While a picture cannot be read its
// accessor gives Nil and tries again on the next call, so a file put in place
// later is picked up.
framework::Ref<framework::Picture> Plenko();
framework::Ref<framework::Picture> PlenkoMask();
framework::Ref<framework::Picture> AboutIcon();
framework::Ref<framework::Picture> AboutMask();

// The pictures' folder, share/kivra beside the executable's folder (bin), in
// the build tree as under the install prefix. Raises NilObjectException when
// there is no executable or parent on the way.
framework::Ref<framework::FolderItem> GetApplicationBundleResources();

// For tests only: takes the pictures from folder instead of the bundle (Nil:
// from the bundle again) and forgets every picture loaded so far.
void UseBundleResourcesForTesting(const framework::Ref<framework::FolderItem>& folder);

}  // namespace kivra
