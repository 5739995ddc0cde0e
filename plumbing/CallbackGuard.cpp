#include "plumbing/CallbackGuard.h"

#include <windows.h>

#include <mutex>
#include <new>

#include "plumbing/PlumbingError.h"

namespace {

// Callbacks run on the user-interface thread, but the look-up threads end
// their work through the same guard.
std::mutex g_lock;
int g_pending = 0;
// The first failure's reason decides the text; kept as a kind and a short
// narrow text so that noting one never needs more memory than it has.
enum class Kind { None, OutOfMemory, Plumbing, Other } g_kind = Kind::None;
char g_what[128] = {};

}  // namespace

void NoteCallbackFailure(const std::exception& failure) noexcept {
    const std::lock_guard<std::mutex> lock(g_lock);
    if (g_pending++ > 0) return;
    g_kind = dynamic_cast<const std::bad_alloc*>(&failure)      ? Kind::OutOfMemory
             : dynamic_cast<const PlumbingError*>(&failure) ? Kind::Plumbing
                                                             : Kind::Other;
    lstrcpynA(g_what, failure.what(), static_cast<int>(sizeof(g_what)));
}

std::wstring TakeCallbackFailure() {
    Kind kind;
    std::string what;
    {
        const std::lock_guard<std::mutex> lock(g_lock);
        if (g_pending == 0) return {};
        g_pending = 0;
        kind = g_kind;
        what = g_what;
        g_kind = Kind::None;
    }
    std::wstring reason;
    switch (kind) {
    case Kind::OutOfMemory: reason = L"内存不足"; break;
    case Kind::Plumbing: reason = L"系统没有提供所需的窗口资源"; break;
    default: reason = L"程序内部错误 " + std::wstring(what.begin(), what.end()); break;
    }
    return L"刚才的操作没有完成：" + reason + L"。\r\n\r\n请检查列表后再试一次。";
}

int PendingCallbackFailures() noexcept {
    const std::lock_guard<std::mutex> lock(g_lock);
    return g_pending;
}
