#pragma once

#include <memory>

#include "framework/app/Timer.h"
#include "framework/ui/Window.h"
#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra {

// The clock window's repeating timer. Its index is the Control's own; the owner
// is held weakly, since the window holds the timer.
class SecTimer : public framework::Timer {
public:
    void SetWindow(const framework::Ref<framework::Window>& owner);
    framework::Ref<framework::Window> Window() const;
    framework::Int32 GetIndex() const;
    void SetIndex(framework::Int32 index);
    void Constructor() {}

private:
    std::weak_ptr<framework::Window> ownerWindow;
};

}  // namespace kivra
