#include "framework/testing/Testing.h"

#include <QCoreApplication>

#include <iterator>
#include <utility>

#include "framework/app/Runtime.h"
#include "framework/app/Timer.h"
#include "framework/app/detail/RuntimeState.h"
#include "framework/testing/detail/TestSeams.h"
#include "framework/ui/RectControl.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlDispatch.h"
#include "framework/ui/detail/WindowDispatch.h"
#include "framework/ui/detail/WindowWidget.h"

namespace kivra::framework::testing {

namespace {
QPoint Global(Window& window, Int32 x, Int32 y) { return QPoint(window.Left() + x, window.Top() + y); }
}  // namespace

void Press(Window& window, Int32 x, Int32 y, Button button) {
    detail::WindowDispatch::Press(window, x, y, button == Button::Right, Global(window, x, y));
}

void Move(Window& window, Int32 x, Int32 y) { detail::WindowDispatch::Move(window, x, y); }

void Release(Window& window, Int32 x, Int32 y) { detail::WindowDispatch::Release(window, x, y); }

void Wheel(Window& window, Int32 x, Int32 y, Int32 deltaX, Int32 deltaY) {
    detail::WindowDispatch::Wheel(window, x, y, deltaX, deltaY);
}

void Press(RectControl& control, Int32 x, Int32 y) { detail::ControlDispatch::Press(control, x, y, false); }
void Move(RectControl& control, Int32 x, Int32 y) { detail::ControlDispatch::Move(control, x, y); }
void Release(RectControl& control, Int32 x, Int32 y) { detail::ControlDispatch::Release(control, x, y); }
void DropText(RectControl& control, const std::string& text) { detail::ControlDispatch::DropText(control, text); }

void SetClock(std::function<LocalTime()> clock) { detail::Seams().clock = std::move(clock); }
void SetTime(const LocalTime& fixed) {
    detail::Seams().clock = [fixed] { return fixed; };
}
void ResetClock() { detail::Seams().clock = nullptr; }
void SetRandomSeed(std::optional<unsigned long long> seed) { detail::Seams().randomSeed = seed; }

void ScriptDialogs(bool on) { detail::Seams().dialogsScripted = on; }
std::vector<std::string>& MsgBoxLog() { return detail::Seams().msgBoxLog; }
void WhileNextMsgBoxIsUp(std::function<void()> action) { detail::Seams().whileNextMsgBoxIsUp = std::move(action); }
void ScriptSelectColor(std::vector<ColorAnswer> answers) {
    detail::Seams().colorAnswers.assign(std::make_move_iterator(answers.begin()),
                                        std::make_move_iterator(answers.end()));
}
std::vector<SelectColorCall>& SelectColorLog() { return detail::Seams().selectColorLog; }
std::vector<std::string>& ShowURLLog() { return detail::Seams().showURLLog; }
std::vector<std::string>& DragLog() { return detail::Seams().dragLog; }

void SetModifiers(std::optional<Modifiers> modifiers) { detail::Seams().modifiers = modifiers; }

void ScriptContextMenu(const std::string& caption) { detail::Seams().scriptedMenuChoice = caption; }

const std::vector<MenuEntry>& LastContextMenu() { return detail::Seams().lastContextMenu; }

Int32 RedrawCount(const RectControl& control) {
    auto& seams = detail::Seams();
    seams.counting = true;
    return seams.redraws[&control];
}

Int32 BackColorWrites(const Window& window) {
    auto& seams = detail::Seams();
    seams.counting = true;
    return seams.backColorWrites[&window];
}

void Fire(Timer& timer) {
    auto keepAlive = timer.shared_from_this();
    Guarded([&timer] { timer.Event_Action(); });
}

void ResetApplication() {
    auto& state = detail::State();
    state.quitting = true;  // closing them is not a quit of its own
    detail::CloseWindows();
    detail::ReleaseClosedWindows();
    state.windows.clear();
    state.app = nullptr;
    state.quitting = false;
    state.quitRequested = false;
    state.quitCode = 0;
    state.running = false;
    state.quitPending = false;
    state.quietDialogs = false;
    state.displayLost = false;
    // What a run of the program does not carry over to the next.
    auto& seams = detail::Seams();
    seams.scriptedMenuChoice.reset();
    seams.lastContextMenu.clear();
    seams.modifiers.reset();
}

void ResetSeams() { detail::Seams() = detail::TestSeams{}; }

bool QuitRequested() { return detail::State().quitRequested; }
int QuitCode() { return detail::State().quitCode; }

}  // namespace kivra::framework::testing

namespace kivra::framework::detail {

TestSeams& Seams() {
    static TestSeams seams;
    return seams;
}

}  // namespace kivra::framework::detail
