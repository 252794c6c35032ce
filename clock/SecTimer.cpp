#include "clock/SecTimer.h"

namespace kivra {

void SecTimer::SetWindow(const framework::Ref<framework::Window>& owner) { ownerWindow = owner.shared(); }

framework::Ref<framework::Window> SecTimer::Window() const { return ownerWindow.lock(); }

framework::Int32 SecTimer::GetIndex() const { return Index(); }

void SecTimer::SetIndex(framework::Int32 index) { Index(index); }

}  // namespace kivra
