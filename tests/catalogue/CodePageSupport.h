#pragma once
// What the encoding tests share in both builds: the code page conversion --
// the platform's under Wine, glibc's iconv natively -- and text written as
// UTF-8 literals, since a native wchar_t literal would hold a character past
// U+FFFF as one 32-bit unit instead of two UTF-16 units.
#include <string>
#include <string_view>

#include "catalogue/CodePageConverter.h"
#include "catalogue/Utf8.h"

#ifdef _WIN32
#include "catalogue/SystemCodePages.h"
#else
#include "tests/native/IconvCodePages.h"
#endif

namespace codepagetest {

inline const CodePageConverter& Converter() {
#ifdef _WIN32
    return SystemCodePageConverter::Instance();
#else
    static const IconvCodePages converter;
    return converter;
#endif
}

// UTF-16 units of a UTF-8 literal.
inline std::wstring U(std::u8string_view text) {
    std::wstring out;
    utf8::Decode({reinterpret_cast<const char*>(text.data()), text.size()}, out);
    return out;
}

// The bytes of a UTF-8 literal, or of any byte string.
inline std::string B(std::u8string_view text) { return {reinterpret_cast<const char*>(text.data()), text.size()}; }

}  // namespace codepagetest
