#pragma once
// Intrusive reference counting for the frame and plumbing objects.
//
// Registries (subclass slots, the engine list, the menu-tracker slot, the
// tracker's bar pointer) keep raw pointers that hold no reference; whoever
// calls into such an object first turns the raw pointer into a Ref for the
// length of the call, so the object cannot be destroyed under the call.
// Every object that registers somewhere unregisters in its own Detach, which
// its destructor calls.
#include <cstddef>
#include <utility>

class RefCounted {
public:
    void AddRef() const noexcept { ++refs_; }
    void Release() const noexcept {
        if (--refs_ == 0) delete this;  // the one place objects are freed
    }
    long RefCount() const noexcept { return refs_; }

    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

private:
    mutable long refs_ = 0;
};

// Counted reference to a RefCounted object (an interface or a class).
template <class T>
class Ref {
public:
    Ref() noexcept = default;
    Ref(std::nullptr_t) noexcept {}
    explicit Ref(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    Ref(const Ref& other) noexcept : Ref(other.p_) {}
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
    Ref(const Ref<U>& other) noexcept : Ref(static_cast<T*>(other.get())) {}
    ~Ref() { reset(); }

    Ref& operator=(Ref other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    void reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.p_ == b.p_; }

private:
    T* p_ = nullptr;
};

// Creates a counted object; the returned Ref holds its first reference.
template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

// Turns a stored raw pointer back into a counted reference (null gives none).
template <class T>
Ref<T> ObjectFromPointer(T* p) noexcept {
    return Ref<T>(p);
}
