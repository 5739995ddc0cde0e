#include "app/Prompt.h"

namespace {
PromptHandler g_handler;
}

int Prompt(HWND owner, const std::wstring& text, const std::wstring& title, UINT style) {
    if (g_handler) return g_handler(owner, text, title, style);
    return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

PromptHandler SetPromptHandler(PromptHandler handler) {
    std::swap(g_handler, handler);
    return handler;
}
