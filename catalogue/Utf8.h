#pragma once
// UTF-8 to and from UTF-16 units, the program's own code so that it behaves
// the same with and without the platform. Strict, as the platform's checked
// conversion (MB_ERR_INVALID_CHARS) is: no overlong forms, no encoded
// surrogates, nothing past U+10FFFF, no sequence cut short.
#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

// Each UTF-16 unit becomes at most three bytes (a surrogate pair, two units,
// becomes four).
constexpr std::size_t kMaxBytesPerUnit = 3;

bool IsAscii(std::string_view bytes);
bool IsValid(std::string_view bytes);

// Appends the units of `bytes`; each invalid sequence (its longest start
// that could still have been valid) becomes U+FFFD. False when there was one.
bool Decode(std::string_view bytes, std::wstring& out);

// Writes `size` units as UTF-8 at `to` (kMaxBytesPerUnit bytes of room per
// unit) and returns the end. A surrogate without its partner has no UTF-8
// form: it becomes U+FFFD and sets `lost` (never cleared).
char* Encode(const wchar_t* text, std::size_t size, char* to, bool& lost);

}  // namespace utf8
