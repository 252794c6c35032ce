#pragma once

#include <memory>

#include "framework/values/NilObjectException.h"

namespace kivra::framework {

// An object reference: a shared pointer whose use while Nil raises
// NilObjectException instead of undefined behaviour.
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(std::shared_ptr<T> p) : mPtr(std::move(p)) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(const Ref<U>& other) : mPtr(other.shared()) {}
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(std::shared_ptr<U> p) : mPtr(std::move(p)) {}

    T* operator->() const { return &operator*(); }
    T& operator*() const {
        if (!mPtr) throw NilObjectException();
        return *mPtr;
    }
    explicit operator bool() const { return static_cast<bool>(mPtr); }
    bool IsNil() const { return !mPtr; }
    T* get() const { return mPtr.get(); }
    const std::shared_ptr<T>& shared() const { return mPtr; }
    operator std::shared_ptr<T>() const { return mPtr; }

    template <typename U>
    Ref<U> As() const {
        return Ref<U>(std::dynamic_pointer_cast<U>(mPtr));
    }

    friend bool operator==(const Ref& a, const Ref& b) { return a.mPtr == b.mPtr; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return !a.mPtr; }

private:
    std::shared_ptr<T> mPtr;
};

template <typename T, typename... Args>
Ref<T> New(Args&&... args) {
    return Ref<T>(std::make_shared<T>(std::forward<Args>(args)...));
}

}  // namespace kivra::framework
