#include "plumbing/MSubclass.h"

#include <atomic>
#include <memory>
#include <unordered_map>
#include <vector>

#include "plumbing/CallbackGuard.h"
#include "plumbing/PlumbingError.h"
#include "plumbing/SubclassNames.h"

namespace MSubclass {
namespace {

UINT g_currentMessage = 0;
WNDPROC g_currentOldProc = nullptr;

std::int32_t Key(HWND hWnd) {
    return HandleKey(reinterpret_cast<std::uintptr_t>(hWnd));
}

std::int32_t MsgKey(UINT iMsg) {
    return static_cast<std::int32_t>(iMsg);
}

// Property values are pointer-sized: counts are stored as plain integers,
// procedures and clients as their addresses. An absent property reads 0.
std::intptr_t GetValue(HWND hWnd, const std::wstring& name) {
    return reinterpret_cast<std::intptr_t>(GetPropW(hWnd, name.c_str()));
}

void SetValue(HWND hWnd, const std::wstring& name, std::intptr_t value) {
    SetPropW(hWnd, name.c_str(), reinterpret_cast<HANDLE>(value));
}

std::int32_t GetCount(HWND hWnd, const std::wstring& name) {
    return static_cast<std::int32_t>(GetValue(hWnd, name));
}

ISubclass* GetClient(HWND hWnd, std::int32_t iMsg, std::int32_t n) {
    return reinterpret_cast<ISubclass*>(GetPropW(hWnd, ClientSlotPropName(Key(hWnd), iMsg, n).c_str()));
}

WNDPROC GetOldProc(HWND hWnd) {
    return reinterpret_cast<WNDPROC>(GetPropW(hWnd, OldProcPropName(Key(hWnd)).c_str()));
}

// The properties stay the registry; dispatch reads them through a copy kept
// per thread, because each property read is a round trip to the window
// server and every message of a subclassed window needs two or more. Any
// attach or detach in the process moves the generation on, and a thread's
// copy of an older generation is dropped before it is used again.
std::atomic<std::uint64_t> g_generation{0};

struct Registered {
    WNDPROC old = nullptr;
    std::vector<ISubclass*> clients;  // slot k is clients[k - 1]
};

struct DispatchCache {
    std::uint64_t generation = ~std::uint64_t{0};
    std::unordered_map<std::uint64_t, std::shared_ptr<const Registered>> entries;
};

thread_local DispatchCache t_cache;

void RegistryChanged() {
    g_generation.fetch_add(1, std::memory_order_acq_rel);
}

// Shared, so that a nested dispatch filling the cache cannot pull the entry
// from under an outer one.
std::shared_ptr<const Registered> Lookup(HWND hWnd, UINT iMsg, std::uint64_t generation) {
    if (t_cache.generation != generation) {
        t_cache.entries.clear();
        t_cache.generation = generation;
    }
    const std::uint64_t key = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(hWnd)) << 32 ^ iMsg;
    auto found = t_cache.entries.find(key);
    if (found != t_cache.entries.end()) return found->second;
    auto registered = std::make_shared<Registered>();
    registered->old = GetOldProc(hWnd);
    const std::int32_t m = MsgKey(iMsg);
    const std::int32_t n = GetCount(hWnd, MessageCountPropName(Key(hWnd), m));
    for (std::int32_t k = 1; k <= n; ++k) registered->clients.push_back(GetClient(hWnd, m, k));
    return t_cache.entries.emplace(key, std::move(registered)).first->second;
}

}  // namespace

void RaiseSubclassError(std::int32_t code) {
    switch (code) {
    case ErrSubclassFailed: throw PlumbingError(code, L"Can't subclass window");
    case ErrDuplicateClient: throw PlumbingError(code, L"Message already handled by another class");
    case ErrInvalidWindow: throw PlumbingError(code, L"Invalid window");
    case ErrForeignWindow: throw PlumbingError(code, L"Can't modify external window");
    default: throw PlumbingError(code, L"");
    }
}

bool IsOwnProcessWindow(HWND hWnd) noexcept {
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    return pid == GetCurrentProcessId();
}

void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) {
    if (!IsWindow(hWnd)) RaiseSubclassError(ErrInvalidWindow);
    if (!IsOwnProcessWindow(hWnd)) RaiseSubclassError(ErrForeignWindow);

    const std::int32_t h = Key(hWnd);
    const std::int32_t m = MsgKey(iMsg);
    const std::wstring msgCountName = MessageCountPropName(h, m);
    const std::int32_t n = GetCount(hWnd, msgCountName);

    // Duplicates are rejected before anything is counted, so a refused
    // attachment leaves the registry exactly as it was.
    for (std::int32_t k = 1; k <= n; ++k) {
        if (GetClient(hWnd, m, k) == iwp) RaiseSubclassError(ErrDuplicateClient);
    }

    const std::wstring countName = AttachCountPropName(h);
    const std::int32_t c = GetCount(hWnd, countName);
    if (c == 0) {
        const LONG_PTR old =
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassDispatchProc));
        if (old == 0) RaiseSubclassError(ErrSubclassFailed);
        SetValue(hWnd, OldProcPropName(h), old);
        SetValue(hWnd, countName, 1);
    } else {
        SetValue(hWnd, countName, c + 1);
    }

    SetValue(hWnd, msgCountName, n + 1);
    SetValue(hWnd, ClientSlotPropName(h, m, n + 1), reinterpret_cast<std::intptr_t>(iwp));
    RegistryChanged();
}

void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) {
    const std::int32_t h = Key(hWnd);
    const std::int32_t m = MsgKey(iMsg);
    const std::wstring msgCountName = MessageCountPropName(h, m);
    const std::int32_t n = GetCount(hWnd, msgCountName);

    std::int32_t k = 1;
    while (k <= n && GetClient(hWnd, m, k) != iwp) ++k;
    // A pair that was never attached is ignored: lowering the window count
    // for it would unsubclass the window under another client.
    if (k > n) return;

    const std::wstring countName = AttachCountPropName(h);
    const std::int32_t c = GetCount(hWnd, countName);
    if (c <= 1) {
        // Never install a null procedure, even if the registry was damaged.
        if (const std::intptr_t old = GetValue(hWnd, OldProcPropName(h))) {
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, old);
        }
        RemovePropW(hWnd, OldProcPropName(h).c_str());
        RemovePropW(hWnd, countName.c_str());
    } else {
        SetValue(hWnd, countName, c - 1);
    }

    for (std::int32_t j = k + 1; j <= n; ++j) {
        SetValue(hWnd, ClientSlotPropName(h, m, j - 1), reinterpret_cast<std::intptr_t>(GetClient(hWnd, m, j)));
    }
    RemovePropW(hWnd, ClientSlotPropName(h, m, n).c_str());
    // The count stays on the window at 0 when the last client leaves.
    SetValue(hWnd, msgCountName, n - 1);
    RegistryChanged();
}

UINT CurrentMessage() noexcept {
    return g_currentMessage;
}

WNDPROC CurrentOldWindowProc() noexcept {
    return g_currentOldProc;
}

LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (!g_currentOldProc) return 0;  // no dispatch has run yet
    return CallWindowProcW(g_currentOldProc, hWnd, iMsg, wParam, lParam);
}

LRESULT CALLBACK SubclassDispatchProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    const std::uint64_t generation = g_generation.load(std::memory_order_acquire);
    // Without the registry's copy (memory ran out making it) the window's own
    // procedure answers, as if no client were attached.
    std::shared_ptr<const Registered> registered;
    RunGuarded([&] { registered = Lookup(hWnd, iMsg, generation); });
    if (!registered) {
        const WNDPROC old = RunGuarded(WNDPROC{}, [&] { return GetOldProc(hWnd); });
        return old ? CallWindowProcW(old, hWnd, iMsg, wParam, lParam) : DefWindowProcW(hWnd, iMsg, wParam, lParam);
    }
    const WNDPROC old = registered->old;
    const std::int32_t m = MsgKey(iMsg);
    const std::int32_t n = static_cast<std::int32_t>(registered->clients.size());
    if (n < 1) return CallWindowProcW(old, hWnd, iMsg, wParam, lParam);

    bool called = false;
    LRESULT result = 0;
    for (std::int32_t k = 1; k <= n; ++k) {
        // A client that fails has answered 0; the others and the window's own
        // procedure still get the message as registered.
        RunGuarded([&] {
            // A client may attach or detach others while it handles the message:
            // from then on the slots are read from the window again.
            ISubclass* const p = g_generation.load(std::memory_order_acquire) == generation
                                     ? registered->clients[static_cast<std::size_t>(k - 1)]
                                     : GetClient(hWnd, m, k);
            if (!p) {
                // A slot emptied under us (a client detached during this dispatch).
                result = CallWindowProcW(old, hWnd, iMsg, wParam, lParam);
                return;
            }
            const Ref<ISubclass> client = ObjectFromPointer(p);
            g_currentMessage = iMsg;
            g_currentOldProc = old;
            if (k == 1 && client->MsgResponse() == mrPreviousFirst && !called) {
                called = true;
                CallWindowProcW(old, hWnd, iMsg, wParam, lParam);
            }
            result = RunGuarded(LRESULT{0}, [&] { return client->WindowProc(hWnd, iMsg, wParam, lParam); });
            if (k == n && client->MsgResponse() == mrPreviousAfter && !called) {
                called = true;
                result = CallWindowProcW(old, hWnd, iMsg, wParam, lParam);
            }
        });
    }
    return result;
}

}  // namespace MSubclass
