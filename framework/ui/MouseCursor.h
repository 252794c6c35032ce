#pragma once

namespace kivra::framework {

enum class MouseCursor { Arrow, ArrowNorthwestSoutheast };

// The cursors of the system, by the names the program uses.
namespace System::Cursors {
inline constexpr MouseCursor ArrowNorthwestSoutheast = MouseCursor::ArrowNorthwestSoutheast;
}
inline constexpr MouseCursor ArrowCursor = MouseCursor::Arrow;

}  // namespace kivra::framework
