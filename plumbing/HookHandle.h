#pragma once
// Owner of one thread hook: unhooked when reset or destroyed. Move-only.
#include <windows.h>

#include <utility>

class HookHandle {
public:
    HookHandle() noexcept = default;
    explicit HookHandle(HHOOK hook) noexcept : hook_(hook) {}
    HookHandle(HookHandle&& other) noexcept : hook_(std::exchange(other.hook_, nullptr)) {}
    HookHandle& operator=(HookHandle&& other) noexcept {
        if (this != &other) {
            reset();
            hook_ = std::exchange(other.hook_, nullptr);
        }
        return *this;
    }
    HookHandle(const HookHandle&) = delete;
    HookHandle& operator=(const HookHandle&) = delete;
    ~HookHandle() { reset(); }

    void reset() noexcept {
        if (HHOOK hook = std::exchange(hook_, nullptr)) UnhookWindowsHookEx(hook);
    }
    HHOOK get() const noexcept { return hook_; }
    explicit operator bool() const noexcept { return hook_ != nullptr; }

private:
    HHOOK hook_ = nullptr;
};
