#pragma once
// Owners for kernel handles. Kernel calls disagree on what "no handle" is:
// CreateFile answers INVALID_HANDLE_VALUE, CreateMutex and CreateFileMapping
// answer null. Each owner knows its own, so a check can never test the wrong
// one. Move-only; the handle is closed with the owner.
#include <windows.h>

#include <utility>

template <HANDLE (*Invalid)()>
class KernelHandle {
public:
    KernelHandle() noexcept = default;
    explicit KernelHandle(HANDLE h) noexcept : h_(h) {}
    ~KernelHandle() { reset(); }
    KernelHandle(KernelHandle&& other) noexcept : h_(std::exchange(other.h_, Invalid())) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, Invalid());
        }
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    HANDLE get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != Invalid() && h_ != nullptr; }
    explicit operator bool() const noexcept { return valid(); }
    // Closes now (the file is then free for others, before the owner goes).
    void reset(HANDLE h = Invalid()) noexcept {
        if (valid()) CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = Invalid();
};

namespace handle_detail {
inline HANDLE NoFile() noexcept { return INVALID_HANDLE_VALUE; }
inline HANDLE NoObject() noexcept { return nullptr; }
}  // namespace handle_detail

// A file handle from CreateFile.
using FileHandle = KernelHandle<&handle_detail::NoFile>;
// A mutex, mapping, event, process or thread handle.
using ObjectHandle = KernelHandle<&handle_detail::NoObject>;

// A search started by FindFirstFile, ended with the guard.
class FindHandle {
public:
    explicit FindHandle(HANDLE h) noexcept : h_(h) {}
    ~FindHandle() {
        if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

// A mapped view of a file mapping, unmapped with the guard.
class MappedView {
public:
    MappedView(HANDLE mapping, DWORD access, SIZE_T bytes) noexcept
        : view_(mapping ? MapViewOfFile(mapping, access, 0, 0, bytes) : nullptr) {}
    ~MappedView() {
        if (view_) UnmapViewOfFile(view_);
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    template <class T>
    T* as() const noexcept {
        return static_cast<T*>(view_);
    }

private:
    void* view_;
};
