#include "clock/WinMain.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>

#include "clock/SecTimer.h"
#include "clock/sq.h"
#include "framework/app/Runtime.h"

namespace kivra {

using framework::Color;
using framework::Int32;
using framework::Ref;

Ref<WinMain> WinMain::Instance() {
    Ref<WinMain> window = framework::GetImplicitWindow("WinMain.WinMain").As<WinMain>();
    if (window) return window;
    // While the constructor runs (Open reads the settings through this accessor)
    // the new window is found through its registration, never made a second time.
    auto created = std::make_shared<WinMain>();
    created->Constructor("WinMain.WinMain");
    return Ref<WinMain>(created);
}

void WinMain::Layout() {
    SetProperties({
        {"Placement", 0},
        {"Width", 510},
        {"Height", 150},
        {"MinWidth", 51},
        {"MinHeight", 15},
        {"MaxWidth", 32000},
        {"MaxHeight", 32000},
        {"Frame", 4},
        {"Composite", true},
        {"HasBackColor", true},
        {"BackColor", Color{0x000000}},
        {"Title", std::string("Kivra")},
        {"Visible", true},
        {"FullScreen", false},
        {"MenuBarVisible", true},
        {"CloseButton", false},
        {"Resizeable", false},
        {"LiveResize", false},
        {"MaximizeButton", false},
        {"MinimizeButton", false},
        {"MacProcID", 0},
    });
}

void WinMain::CreateControls() { CreateControls0(); }

void WinMain::CreateControls0() {
    Ref<SecTimer> timer = New<SecTimer>();
    timer->Constructor();
    timer->SetWindow(Ref<framework::Window>(shared_from_this()));
    AddControl(timer, "SecTimer");
    ControlByName("SecTimer")->SetProperties({{"Mode", 2}, {"Period", 1000}});
    ControlByName("SecTimer").As<SecTimer>()->Action.Bind(this, &WinMain::SecTimer_Action);
    mSecTimer = timer.get();

    for (const auto& [first, last] : {std::pair{0, 11}, std::pair{15, 26}, std::pair{12, 14}}) {
        for (Int32 index = first; index <= last; ++index) {
            Ref<sq> square = New<sq>();
            square->Constructor(index);
            AddControl(square, "sq");
            ControlByNameIndex("sq", index)->SetProperties(sq::DesignProperties(index));
        }
    }
}

void WinMain::Event_Open() {
    r = framework::New<framework::Random>();

    for (Int32 i = 0; i < sq::kCount; ++i) {
        const sq::Cell cell = sq::GridCell(i);
        s.at(static_cast<std::size_t>(cell.row)).at(static_cast<std::size_t>(cell.column)) = SquareAt(i);
    }
    for (std::size_t k = 0; k < sMin0.size(); ++k) sMin0[k] = SquareAt(18 + static_cast<Int32>(k));
    for (std::size_t k = 0; k < sMin1.size(); ++k) sMin1[k] = SquareAt(12 + static_cast<Int32>(k));
    for (std::size_t k = 0; k < sHr0.size(); ++k) sHr0[k] = SquareAt(3 + static_cast<Int32>(k));
    for (std::size_t k = 0; k < sHr1.size(); ++k) sHr1[k] = SquareAt(static_cast<Int32>(k));

    ReadPrefs();
    ResizeDots();
    BackColor(ColorBG);
    for (Int32 i = 0; i < sq::kCount; ++i) SquareAt(i)->FillColor(ColorOff);

    // The opening pattern, 05:35, until the timer's first display change.
    for (Int32 i : {3, 6, 7, 8, 9}) SquareAt(i)->FillColor(ColorH0);
    for (Int32 i : {12, 13, 14}) SquareAt(i)->FillColor(ColorM1);
    for (Int32 i : {18, 20, 22, 24, 26}) SquareAt(i)->FillColor(ColorM0);
}

void WinMain::Event_Close() {
    WritePrefs();
    framework::Quit(0);
}

void WinMain::Event_Resized() {
    ResizeDots();
    if (mUpdateIcon) UpdateAppIcon();
}

WinMain::Square WinMain::SquareAt(Int32 index) const {
    return ControlByNameIndex("sq", index).As<framework::RoundRectangle>();
}

Int32 WinMain::Add(Int32 a, Int32 b) {
    return static_cast<Int32>(std::clamp<long long>(static_cast<long long>(a) + b, std::numeric_limits<Int32>::min(),
                                                    std::numeric_limits<Int32>::max()));
}

Int32 WinMain::Subtract(Int32 a, Int32 b) {
    return static_cast<Int32>(std::clamp<long long>(static_cast<long long>(a) - b, std::numeric_limits<Int32>::min(),
                                                    std::numeric_limits<Int32>::max()));
}

}  // namespace kivra
