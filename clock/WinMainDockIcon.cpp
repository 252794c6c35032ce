#include "clock/App.h"
#include "clock/GraphicUtils.h"
#include "clock/WinMain.h"
#include "framework/app/DockItem.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/values/Color.h"

namespace kivra {

namespace fw = framework;
using fw::Int32;

void WinMain::UpdateAppIcon() {
    constexpr Int32 kTile = 128;
    const Int32 w = Width();
    const Int32 h = Height();

    fw::Ref<fw::Picture> p = fw::NewPicture(w, h, 32);
    p->Graphics()->ForeColor(ColorBG);
    p->Graphics()->FillRect(0, 0, w, h);
    p->Mask(true)->Graphics()->ForeColor(fw::Color(0x000000));
    p->Mask(true)->Graphics()->FillRect(0, 0, w, h);
    DrawInto(*p->Graphics(), 0, 0, false);

    Int32 W2 = 0;
    Int32 H2 = 0;
    if (h < w) {
        W2 = kTile;
        H2 = fw::ToInt32(static_cast<double>(h) * (128.0 / static_cast<double>(w)));
    } else {
        W2 = fw::ToInt32(static_cast<double>(w) * (128.0 / static_cast<double>(h)));
        H2 = kTile;
    }

    fw::Ref<fw::Picture> q = fw::NewPicture(W2, H2, 32);
    q->Graphics()->DrawPicture(p, 0, 0, W2, H2, 0, 0, w, h);

    // Undo the face's turn in the window, so the tile shows it upright.
    switch (mDir) {
        case 1:
            q = GraphicUtils::Rotate90(q, true);
            break;
        case 2:
            q = GraphicUtils::Rotate180(q);
            break;
        case 3:
            q = GraphicUtils::Rotate90(q, false);
            break;
        default:
            break;
    }

    const Int32 W3 = q->Width();
    const Int32 H3 = q->Height();

    App::Instance()->DockItem()->ResetIcon();

    const Int32 x = fw::ToInt32(static_cast<double>(kTile - W3) / 2.0);
    const Int32 y = fw::ToInt32(static_cast<double>(kTile - H3) / 2.0);

    App::Instance()->DockItem()->Graphics()->DrawPicture(q, x, y, fw::Graphics::kOwnSize, fw::Graphics::kOwnSize, 0, 0,
                                                         fw::Graphics::kOwnSize, fw::Graphics::kOwnSize);

    App::Instance()->DockItem()->UpdateNow();
}

}  // namespace kivra
