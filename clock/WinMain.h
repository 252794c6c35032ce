#pragma once

#include <array>
#include <string>

#include "framework/app/MenuItem.h"
#include "framework/app/Timer.h"
#include "framework/ui/RoundRectangle.h"
#include "framework/ui/Window.h"
#include "framework/values/Color.h"
#include "framework/values/Date.h"
#include "framework/values/Random.h"
#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra {

// The clock window: a borderless face of 27 rounded squares in four digit
// groups on a grid of 3 rows and 12 cell columns, driven by its repeating
// timer. It moves, resizes and turns itself; its settings are read when it
// opens and written when it closes.
class WinMain : public framework::Window {
public:
    using Square = framework::Ref<framework::RoundRectangle>;

    // The clock window's single instance, created and opened on first use.
    static framework::Ref<WinMain> Instance();

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void ReadPrefs();
    void WritePrefs();
    void ResizeDots();
    // Nil shows the current time.
    void UpdateDisplay(framework::Ref<framework::Date> d);
    void UpdateAppIcon();
    bool IsInLowerRightCorner(framework::Int32 X, framework::Int32 Y);
    double GetBaseUnit();
    void ResizeWindow(framework::Int32 dx, framework::Int32 dy);
    void CorrectRatio();

    void SecTimer_Action();
    void Event_Close() override;
    void Event_Resized() override;
    void Event_Open() override;
    bool Event_MouseDown(framework::Int32 X, framework::Int32 Y) override;
    void Event_MouseDrag(framework::Int32 X, framework::Int32 Y) override;
    bool Event_ConstructContextualMenu(framework::MenuItem& menu, framework::Int32 X, framework::Int32 Y) override;
    bool Event_ContextualMenuAction(framework::MenuItem& chosenItem) override;
    void Event_MouseMove(framework::Int32 X, framework::Int32 Y) override;
    bool Event_MouseWheel(framework::Int32 X, framework::Int32 Y, framework::Int32 deltaX,
                          framework::Int32 deltaY) override;
    void Event_MouseUp(framework::Int32 X, framework::Int32 Y) override;

private:
    Square SquareAt(framework::Int32 index) const;
    // Lights `digit` distinct squares of the group at random, the rest unlit,
    // writing only squares whose colour changes.
    template <std::size_t N>
    void ShowDigit(const std::array<Square, N>& group, framework::Int32 digit, framework::Color lit);
    // Int32 sum and difference that saturate instead of overflowing.
    static framework::Int32 Add(framework::Int32 a, framework::Int32 b);
    static framework::Int32 Subtract(framework::Int32 a, framework::Int32 b);

public:
    // The palette of a new clock: the window starts with it, a settings file
    // without a colour gives it, and the colours window's "Use Defaults" puts
    // it back.
    static constexpr framework::Color kDefaultColorH0{0x00FF00};
    static constexpr framework::Color kDefaultColorH1{0xFF0000};
    static constexpr framework::Color kDefaultColorBG{0x000000};
    static constexpr framework::Color kDefaultColorM0{0xFF0000};
    static constexpr framework::Color kDefaultColorM1{0x0055FF};
    static constexpr framework::Color kDefaultColorOff{0x7F7F7F};

    framework::Color ColorH0 = kDefaultColorH0;
    framework::Color ColorH1 = kDefaultColorH1;
    framework::Color ColorBG = kDefaultColorBG;

private:
    std::array<std::array<Square, 12>, 3> s;
    std::array<Square, 9> sMin0;
    std::array<Square, 6> sMin1;
    std::array<Square, 9> sHr0;
    std::array<Square, 3> sHr1;

public:
    framework::Color ColorM0 = kDefaultColorM0;
    framework::Color ColorM1 = kDefaultColorM1;
    framework::Color ColorOff = kDefaultColorOff;
    framework::Ref<framework::Random> r;

private:
    framework::Int32 MouseX = 0;
    framework::Int32 MouseY = 0;
    bool mResizing = false;
    framework::Int32 mLeft = 0;
    framework::Int32 mTop = 0;
    framework::Int32 mDir = 0;
    bool m24hr = true;
    framework::Int32 mChangeMode = 1;
    framework::Int32 mLastSecond = -1;
    framework::Int32 mLastMinute = -1;
    // The hour and minute the face shows; -1 while it shows the opening
    // pattern, which is no time at all.
    framework::Int32 mShownHour = -1;
    framework::Int32 mShownMinute = -1;
    // The firing timer at hand for its handler, which runs ten times a second:
    // no look-up by name each time. The window owns it.
    framework::Timer* mSecTimer = nullptr;
    bool mUpdateIcon = false;
    // The settings file existed but could not be read: it is kept as it is, for
    // the user to mend, rather than replaced by what this run began with.
    bool mPrefsUnreadable = false;
};

}  // namespace kivra
