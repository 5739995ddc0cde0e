#pragma once
// Eight UTF-16 units at a time, for the encoders' ASCII fast paths. The
// units sit in wchar_t, which is 16 bits on Windows and 32 bits in the
// native test build; both widths load into the same eight 16-bit lanes.
#include <emmintrin.h>

#include <cstddef>

namespace unitblocks {

// Eight units into eight 16-bit lanes. A 32-bit unit above 0x7FFF saturates
// to 0x7FFF there, which is still not ASCII.
inline __m128i LoadEight(const wchar_t* text) {
    if constexpr (sizeof(wchar_t) == 2) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    } else {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 4));
        return _mm_packs_epi32(low, high);
    }
}

// Two bits for each of the eight lanes, set where the unit is ASCII.
inline unsigned AsciiMask(__m128i eight) {
    const __m128i notAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(eight, notAscii), _mm_setzero_si128())));
}

constexpr unsigned kAllAscii = 0xFFFF;

// The number of ASCII units before the first other one, for a mask that is
// not all ASCII.
inline std::size_t AsciiLead(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(~mask)) / 2; }

// Stores the low bytes of the eight lanes (eight bytes at `to`); right for
// the lanes that are ASCII.
inline void StoreLowBytes(char* to, __m128i eight) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_packus_epi16(eight, eight));
}

}  // namespace unitblocks
