#include "catalogue/Utf8.h"

#include <cstdint>
#include <cstring>

#include "catalogue/UnitBlocks.h"

namespace utf8 {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Where the first byte at or after `i` with its high bit set is (ASCII is
// skipped eight bytes at a time), or `size`.
std::size_t SkipAscii(const unsigned char* p, std::size_t i, std::size_t size) {
    while (size - i >= 8) {
        std::uint64_t eight;
        std::memcpy(&eight, p + i, 8);
        if (eight & kHighBits) break;
        i += 8;
    }
    while (i < size && p[i] < 0x80) ++i;
    return i;
}

struct Sequence {
    std::size_t length;  // bytes taken: the whole character, or the invalid part
    char32_t code;       // U+FFFD when invalid
    bool valid;
};

// The character starting at `p` (`left` bytes from there, at least one).
// An invalid sequence is its longest start that could still have become a
// character, at least one byte: so a lead byte followed by ASCII costs only
// itself.
Sequence Next(const unsigned char* p, std::size_t left) {
    const unsigned lead = p[0];
    if (lead < 0x80) return {1, lead, true};
    std::size_t more = 0;
    char32_t code = 0;
    unsigned low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong below
        if (lead == 0xED) high = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong below
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF above
    } else {
        return {1, 0xFFFD, false};  // a continuation byte, C0, C1 or F5..FF
    }
    for (std::size_t k = 1; k <= more; ++k) {
        if (k == left) return {k, 0xFFFD, false};  // cut short by the end
        const unsigned next = p[k];
        if (next < low || next > high) return {k, 0xFFFD, false};
        low = 0x80;
        high = 0xBF;
        code = code << 6 | (next & 0x3F);
    }
    return {more + 1, code, true};
}

// A unit that is not a surrogate as its one to three bytes, the first in the
// low byte, and how many there are: without a branch.
inline std::uint32_t Packed(unsigned c, unsigned& length) {
    const std::uint32_t last = 0x80 | (c & 0x3F);
    const std::uint32_t two = (0xC0 | c >> 6) | last << 8;
    const std::uint32_t three = (0xE0 | c >> 12) | (0x80 | (c >> 6 & 0x3F)) << 8 | last << 16;
    length = 1 + (c >= 0x80) + (c >= 0x800);
    return c < 0x80 ? c : c < 0x800 ? two : three;
}

// The unit (or surrogate pair) at text[i] written at `to`; returns where the
// next one starts.
std::size_t EncodeOne(const wchar_t* text, std::size_t size, std::size_t i, char*& to, bool& lost) {
    const unsigned c = static_cast<std::uint16_t>(text[i++]);
    const unsigned next = i < size ? static_cast<std::uint16_t>(text[i]) : 0;
    if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
        const char32_t code = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
        *to++ = static_cast<char>(0xF0 | code >> 18);
        *to++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
        *to++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *to++ = static_cast<char>(0x80 | (code & 0x3F));
        return i + 1;
    }
    unsigned unit = c;
    if (c >= 0xD800 && c <= 0xDFFF) {
        unit = 0xFFFD;  // no UTF-8 form without its partner
        lost = true;
    }
    unsigned length;
    const std::uint32_t bytes = Packed(unit, length);
    for (unsigned k = 0; k < length; ++k) *to++ = static_cast<char>(bytes >> (8 * k));
    return i;
}

}  // namespace

bool IsAscii(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return SkipAscii(p, 0, bytes.size()) == bytes.size();
}

bool IsValid(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = SkipAscii(p, 0, size);
    while (i < size) {
        const Sequence s = Next(p + i, size - i);
        if (!s.valid) return false;
        i = SkipAscii(p, i + s.length, size);
    }
    return true;
}

bool Decode(std::string_view bytes, std::wstring& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    // Never more units than bytes.
    const std::size_t start = out.size();
    out.resize(start + size);
    wchar_t* to = out.data() + start;
    bool valid = true;
    std::size_t i = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            *to++ = static_cast<wchar_t>(p[i++]);
            continue;
        }
        const Sequence s = Next(p + i, size - i);
        valid = valid && s.valid;
        i += s.length;
        if (s.code >= 0x10000) {
            const char32_t v = s.code - 0x10000;
            *to++ = static_cast<wchar_t>(0xD800 + (v >> 10));
            *to++ = static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
        } else {
            *to++ = static_cast<wchar_t>(s.code);
        }
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return valid;
}

char* Encode(const wchar_t* text, std::size_t size, char* to, bool& lost) {
    std::size_t i = 0;
    // Eight units at a time while a unit is left after them: a unit's
    // four-byte store below then falls into the room of the ones after it.
    while (size - i > 8) {
        const __m128i eight = unitblocks::LoadEight(text + i);
        if (unitblocks::AsciiMask(eight) == unitblocks::kAllAscii) {
            unitblocks::StoreLowBytes(to, eight);
            to += 8;
            i += 8;
            continue;
        }
        // Mixed text: each unit's bytes in straight-line code. In a
        // catalogue ASCII and Chinese alternate every few units, and a
        // branch per unit would mostly guess wrong.
        char* const from = to;
        bool surrogate = false;
#pragma GCC unroll 8
        for (std::size_t k = 0; k < 8; ++k) {
            const unsigned c = static_cast<std::uint16_t>(text[i + k]);
            unsigned length;
            const std::uint32_t bytes = Packed(c, length);
            std::memcpy(to, &bytes, 4);
            to += length;
            surrogate |= (c & 0xF800) == 0xD800;
        }
        if (!surrogate) {
            i += 8;
            continue;
        }
        // A surrogate: these eight again one by one, and on past the end
        // of a pair the eight end in the middle of.
        to = from;
        for (const std::size_t stop = i + 8; i < stop;) i = EncodeOne(text, size, i, to, lost);
    }
    while (i < size) i = EncodeOne(text, size, i, to, lost);
    return to;
}

}  // namespace utf8
