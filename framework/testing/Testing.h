#pragma once

// The framework's test seams: used by tests only, never by the program.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/values/Color.h"
#include "framework/values/Date.h"
#include "framework/values/Types.h"

namespace kivra::framework {
class Window;
class RectControl;
class Timer;
}  // namespace kivra::framework

namespace kivra::framework::testing {

// The clock that a new Date reads; nullopt restores the system clock.
struct LocalTime {
    Int32 year = 2026, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
void SetClock(std::function<LocalTime()> clock);
void SetTime(const LocalTime& fixed);
void ResetClock();

// Every new Random is seeded with this seed; nullopt seeds from the system.
void SetRandomSeed(std::optional<unsigned long long> seed);

// Dialogs: while scripted, no dialog is shown; each call is recorded.
void ScriptDialogs(bool on);
std::vector<std::string>& MsgBoxLog();
// Runs once, while the next scripted box is up, as something that happens
// before the user answers it would.
void WhileNextMsgBoxIsUp(std::function<void()> action);
struct ColorAnswer {
    bool confirm = true;
    Color color;  // used when confirm is true
};
void ScriptSelectColor(std::vector<ColorAnswer> answers);
struct SelectColorCall {
    Color start;
    std::string prompt;
};
std::vector<SelectColorCall>& SelectColorLog();
std::vector<std::string>& ShowURLLog();

// Modifier keys as the program reads them; nullopt reads the real keyboard.
struct Modifiers {
    bool alt = false, command = false, shift = false;
};
void SetModifiers(std::optional<Modifiers> modifiers);

// Mouse input, delivered through the same path as the platform's events.
// Positions are in the window's (or control's) coordinates.
enum class Button { Left, Right };
void Press(Window& window, Int32 x, Int32 y, Button button = Button::Left);
void Move(Window& window, Int32 x, Int32 y);  // drag while pressed, else hover
void Release(Window& window, Int32 x, Int32 y);
void Wheel(Window& window, Int32 x, Int32 y, Int32 deltaX, Int32 deltaY);
void Press(RectControl& control, Int32 x, Int32 y);
void Move(RectControl& control, Int32 x, Int32 y);
void Release(RectControl& control, Int32 x, Int32 y);
void DropText(RectControl& control, const std::string& text);
// Texts dragged out of controls so far.
std::vector<std::string>& DragLog();

// Context menus: the next menu the framework would show is answered with the
// entry of this caption (empty: dismissed). The entries shown are recorded.
void ScriptContextMenu(const std::string& caption);
struct MenuEntry {
    std::string text;
    bool checked = false;
    bool separator = false;
};
const std::vector<MenuEntry>& LastContextMenu();

// Chooses a menu-bar item by name as the user would.
bool ChooseMenuItem(const std::string& name);

// How many times the control has asked to be redrawn, and the window's
// background has been set. Counting starts with the first such question, so
// only the difference between two answers means anything.
Int32 RedrawCount(const RectControl& control);
Int32 BackColorWrites(const Window& window);

// Fires a timer's Action now, as the platform would.
void Fire(Timer& timer);

// Closes every window and forgets the application object, so each test starts
// afresh; keeps the clock, the seed and the dialog script of the seams.
void ResetApplication();
// Puts every seam back as the program finds it: the system clock and keyboard,
// real dialogs, no scripts and empty logs.
void ResetSeams();

// True once Quit has been asked for since the last ResetApplication, and its code.
bool QuitRequested();
int QuitCode();

}  // namespace kivra::framework::testing
