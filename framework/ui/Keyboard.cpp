#include "framework/ui/Keyboard.h"

#include <QGuiApplication>

#include "framework/app/detail/RuntimeState.h"
#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework {

namespace {

// The one place where the modifier keys are read.
Qt::KeyboardModifiers ReadModifiers() {
    if (const auto& scripted = detail::Seams().modifiers) {
        Qt::KeyboardModifiers m;
        if (scripted->alt) m |= Qt::AltModifier;
        if (scripted->command) m |= Qt::ControlModifier;
        if (scripted->shift) m |= Qt::ShiftModifier;
        return m;
    }
    return QGuiApplication::queryKeyboardModifiers();
}

}  // namespace

namespace Keyboard {
bool AsyncAltKey() { return ReadModifiers().testFlag(Qt::AltModifier); }
bool AsyncOptionKey() { return AsyncAltKey(); }
bool AsyncCommandKey() { return ReadModifiers().testFlag(Qt::ControlModifier); }
bool AsyncShiftKey() { return ReadModifiers().testFlag(Qt::ShiftModifier); }
}  // namespace Keyboard

bool IsContextualClick() { return detail::State().contextualClick; }

}  // namespace kivra::framework
