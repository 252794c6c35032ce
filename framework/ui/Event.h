#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace kivra::framework {

template <typename Signature>
class Event;

// A control's event as its window sees it: bound to one method of the window,
// checked by the compiler. An event with no handler bound does nothing and
// gives the result type's default (False for Boolean events).
template <typename R, typename... Args>
class Event<R(Args...)> {
public:
    // The object is held weakly, and kept alive while its method runs: a
    // control kept past its window raises nothing into a window that is gone.
    // The object must already be owned by a shared pointer.
    template <typename Obj, typename Method>
    void Bind(Obj* object, Method method) {
        std::weak_ptr<Obj> owner = std::shared_ptr<Obj>(object->shared_from_this(), object);
        mHandler = [owner, method](Args... args) -> R {
            const std::shared_ptr<Obj> held = owner.lock();
            if (!held) return R();
            return (held.get()->*method)(args...);
        };
    }
    void Bind(std::function<R(Args...)> handler) { mHandler = std::move(handler); }
    void Unbind() { mHandler = nullptr; }
    bool IsBound() const { return static_cast<bool>(mHandler); }

    R Raise(Args... args) const {
        if (!mHandler) return R();
        return mHandler(std::forward<Args>(args)...);
    }

private:
    std::function<R(Args...)> mHandler;
};

}  // namespace kivra::framework
