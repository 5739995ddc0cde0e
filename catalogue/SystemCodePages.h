#pragma once
// The system's code pages and the platform's conversion for them: what the
// program hands the catalogue's window-free codec.
#include <windows.h>

#include "catalogue/CatalogueEncoding.h"
#include "catalogue/CodePageConverter.h"

// The ANSI code page, and the system locale's legacy code page: what the
// locale reports as its ANSI code page, unless that is UTF-8 or nothing (a
// system set to "Beta: Use Unicode UTF-8 for worldwide language support"
// may say 65001), in which case the one LegacyCodePageForLocale gives for
// the system locale's name.
CodePages SystemCodePages();

// MultiByteToWideChar and WideCharToMultiByte, without best-fit look-alikes.
class SystemCodePageConverter : public CodePageConverter {
public:
    // One for the whole program: it holds nothing.
    static const SystemCodePageConverter& Instance();

    unsigned MaxCharSize(unsigned codePage) const override;
    void Decode(unsigned codePage, std::string_view bytes, std::wstring& out) const override;
    std::size_t Encode(unsigned codePage, const wchar_t* text, std::size_t size, char* to,
                       bool& lost) const override;
};
