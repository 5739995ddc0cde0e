#include "catalogue/SystemCodePages.h"

#include "catalogue/LegacyCodePage.h"
#include "catalogue/Utf8.h"

namespace {

unsigned SystemLegacyCodePage() {
    DWORD codePage = 0;
    if (GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) &&
        codePage != CP_ACP && codePage != CP_UTF8 && IsValidCodePage(codePage)) {
        return codePage;
    }
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (!GetSystemDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH)) return 1252;
    return LegacyCodePageForLocale(name);
}

}  // namespace

CodePages SystemCodePages() { return {GetACP(), SystemLegacyCodePage()}; }

const SystemCodePageConverter& SystemCodePageConverter::Instance() {
    static const SystemCodePageConverter converter;
    return converter;
}

unsigned SystemCodePageConverter::MaxCharSize(unsigned codePage) const {
    CPINFO info{};
    return GetCPInfo(codePage, &info) ? info.MaxCharSize : 0;
}

void SystemCodePageConverter::Decode(unsigned codePage, std::string_view bytes, std::wstring& out) const {
    if (bytes.empty()) return;
    if (codePage == CP_UTF8) {
        utf8::Decode(bytes, out);
        return;
    }
    // No code page gives more UTF-16 units than it has bytes, so one call
    // into a buffer of that size does it.
    const size_t start = out.size();
    out.resize(start + bytes.size());
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data() + start,
                                      static_cast<int>(bytes.size()));
    if (n > 0) {
        out.resize(start + static_cast<size_t>(n));
        return;
    }
    // A code page the system does not have: nothing of it can be read.
    out.resize(start);
    out.append(bytes.size(), L'\xFFFD');
}

std::size_t SystemCodePageConverter::Encode(unsigned codePage, const wchar_t* text, std::size_t size, char* to,
                                            bool& lost) const {
    if (size == 0) return 0;
    if (codePage == CP_UTF8) return static_cast<std::size_t>(utf8::Encode(text, size, to, lost) - to);
    const unsigned maxCharSize = MaxCharSize(codePage);
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(size), to,
                                      static_cast<int>(size * (maxCharSize ? maxCharSize : 1)), nullptr,
                                      &usedDefault);
    if (usedDefault || n <= 0) lost = true;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}
