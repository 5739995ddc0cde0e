#pragma once
// Conversion between UTF-16 and one of the platform's code pages (936,
// 1252, 932, ...), behind an interface so that the code deciding how the
// catalogue is read and written takes the code page as a parameter and runs
// without the platform too. The text is UTF-16 code units held in wchar_t,
// whatever the width of wchar_t.
#include <cstddef>
#include <string>
#include <string_view>

class CodePageConverter {
public:
    virtual ~CodePageConverter() = default;

    // The most bytes one character takes in `codePage`; 0 when the code
    // page is not available.
    virtual unsigned MaxCharSize(unsigned codePage) const = 0;

    // Appends the units `bytes` read as in `codePage`. Bytes with no
    // meaning there become a replacement character; nothing is skipped.
    virtual void Decode(unsigned codePage, std::string_view bytes, std::wstring& out) const = 0;

    // Writes `size` units in `codePage` at `to`, which has room for
    // MaxCharSize bytes per unit; returns the number of bytes written.
    // Sets `lost` (never clears it) when a character has no exact
    // equivalent there -- no look-alike is ever substituted -- or the
    // conversion failed.
    virtual std::size_t Encode(unsigned codePage, const wchar_t* text, std::size_t size, char* to,
                               bool& lost) const = 0;
};
