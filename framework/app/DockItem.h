#pragma once

#include "framework/values/Ref.h"

namespace kivra::framework {

class Graphics;
class Picture;

// The application's tile in the taskbar: on Linux the windows' icon.
class DockItem {
public:
    DockItem();
    // Puts the application's own icon back on the tile (a clear tile when its
    // pictures are missing); UpdateNow shows it.
    void ResetIcon();
    // The 128 x 128 tile to draw on.
    Ref<framework::Graphics> Graphics();
    // Shows what was drawn on the tile.
    void UpdateNow();

    Ref<Picture> Tile() const { return mTile; }

private:
    Ref<Picture> mTile;
    // Kivra's own icon, drawn to the tile's size once it could be read.
    Ref<Picture> mOwnIcon;
    // A copy of what the windows' icon shows now, to set a new one only when
    // it changes, and to convert only the rows that did.
    Ref<Picture> mShown;
};

}  // namespace kivra::framework
