#include "app/Prompt.h"

namespace {
PromptHandler g_handler;
int g_showing = 0;

struct Showing {
    Showing() { ++g_showing; }
    ~Showing() { --g_showing; }
    Showing(const Showing&) = delete;
    Showing& operator=(const Showing&) = delete;
};
}  // namespace

int Prompt(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    const Showing showing;
    if (g_handler) return g_handler(owner, text, title, style);
    return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

bool PromptShowing() { return g_showing > 0; }

PromptHandler SetPromptHandler(PromptHandler handler) {
    std::swap(g_handler, handler);
    return handler;
}
