#pragma once
// Code page conversion without the platform, for the native tests and the
// fuzzer: glibc's iconv tables for the Windows code pages the tests use
// (936, 1252, 932, 950 and a few more), and UTF-8 for 65001. Like the
// platform's conversion it substitutes no look-alikes; bytes with no meaning
// become U+FFFD.
#include <string>
#include <string_view>

#include "catalogue/CodePageConverter.h"

class IconvCodePages : public CodePageConverter {
public:
    unsigned MaxCharSize(unsigned codePage) const override;
    void Decode(unsigned codePage, std::string_view bytes, std::wstring& out) const override;
    std::size_t Encode(unsigned codePage, const wchar_t* text, std::size_t size, char* to,
                       bool& lost) const override;
};
