#include "catalogue/AnsiEncoder.h"

#include <cstring>

#include "catalogue/UnitBlocks.h"

using unitblocks::AsciiMask;
using unitblocks::kAllAscii;

AnsiEncoder::AnsiEncoder(unsigned codePage, const CodePageConverter& converter)
    : codePage_(codePage), converter_(converter) {
    const unsigned maxCharSize = converter_.MaxCharSize(codePage_);
    if (maxCharSize == 0) return;
    maxBytes_ = maxCharSize;
    // The stateful and multi-unit code pages (ISO-2022, HZ, GB18030, UTF-7,
    // UTF-8) all sit at 50000 and above, and are never converted this way.
    perUnit_ = maxCharSize <= 2 && codePage_ < 50000;
    if (!perUnit_) return;
    units_ = std::make_unique<std::atomic<std::uint32_t>[]>(0x10000);
    // ASCII is the same in every ANSI code page, and surrogates only convert
    // in pairs: both are known before the first save.
    for (std::uint32_t c = 0; c < 0x80; ++c) units_[c].store(kKnown | 1u << 16 | c, std::memory_order_relaxed);
    for (std::uint32_t c = 0xD800; c <= 0xDFFF; ++c) units_[c].store(kKnown | kByConverter, std::memory_order_relaxed);
}

std::uint32_t AnsiEncoder::Unit(wchar_t c) {
    std::atomic<std::uint32_t>& slot = units_[static_cast<std::uint16_t>(c)];
    std::uint32_t known = slot.load(std::memory_order_relaxed);
    if (known) return known;
    char bytes[8] = {};
    bool usedDefault = false;
    const std::size_t n = converter_.Encode(codePage_, &c, 1, bytes, usedDefault);
    if (n == 1 || n == 2) {
        known = kKnown | static_cast<std::uint32_t>(n) << 16 | static_cast<std::uint8_t>(bytes[0]) |
                static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[1])) << 8;
        if (usedDefault) known |= kLost;
    } else {
        known = kKnown | kByConverter;
    }
    slot.store(known, std::memory_order_relaxed);
    return known;
}

bool AnsiEncoder::Append(const wchar_t* text, std::size_t size, std::string& out) {
    if (size == 0) return false;
    const std::size_t start = out.size();
    out.resize(start + size * maxBytes_ + kSlack);
    bool lost = false;
    char* const end = Encode(text, size, out.data() + start, lost);
    out.resize(static_cast<std::size_t>(end - out.data()));
    return lost;
}

char* AnsiEncoder::Encode(const wchar_t* text, std::size_t size, char* to, bool& lost) {
    if (!perUnit_) return EncodeRuns(text, size, to, lost);
    const std::atomic<std::uint32_t>* const units = units_.get();
    std::uint32_t seen = 0;
    std::size_t i = 0;
    while (size - i >= 8) {
        // Eight ASCII units are copied at once. Eight units of mixed text
        // each take their bytes from the table in straight-line code: in a
        // catalogue, ASCII and Chinese alternate every few units, and a
        // branch per run would mostly guess wrong.
        const __m128i eight = unitblocks::LoadEight(text + i);
        if (AsciiMask(eight) == kAllAscii) {
            unitblocks::StoreLowBytes(to, eight);
            to += 8;
            i += 8;
            continue;
        }
        char* const from = to;
        std::uint32_t any = 0, every = ~0u;
        // Unrolled: a loop here costs a compare and a branch per unit.
#pragma GCC unroll 8
        for (std::size_t k = 0; k < 8; ++k) {
            const std::uint32_t unit = units[static_cast<std::uint16_t>(text[i + k])].load(std::memory_order_relaxed);
            // Both bytes are stored; a one-byte unit's second byte is
            // overwritten by the next unit, or falls into the slack byte.
            const std::uint16_t bytes = static_cast<std::uint16_t>(unit);
            std::memcpy(to, &bytes, 2);
            to += unit >> 16 & 3;
            any |= unit;
            every &= unit;
        }
        if ((every & kKnown) && !(any & kByConverter)) {
            seen |= any;
            i += 8;
            continue;
        }
        // A unit not asked yet, or one the converter must take with its
        // neighbours: these eight again, one by one, and on to the end of a
        // run of other units that goes on past them, so that a surrogate
        // pair is never split.
        std::size_t stop = i + 8;
        while (stop < size && text[stop - 1] >= 0x80 && text[stop] >= 0x80) ++stop;
        to = EncodeRuns(text + i, stop - i, from, lost);
        i = stop;
    }
    if (seen & kLost) lost = true;
    return EncodeRuns(text + i, size - i, to, lost);
}

char* AnsiEncoder::EncodeRuns(const wchar_t* text, std::size_t size, char* to, bool& lost) {
    // Local copies: the stores through `to` could otherwise alias the members.
    const bool perUnit = perUnit_;
    const std::atomic<std::uint32_t>* const units = units_.get();
    std::uint32_t seen = 0;
    std::size_t i = 0;
    while (i < size) {
        // ASCII is the same in every ANSI code page, and most of a catalogue
        // is ASCII: eight units are stored at a time, of which the ASCII ones
        // before the first other unit are kept. Eight units left always have
        // room for eight bytes, one or more each.
        if (size - i >= 8) {
            const __m128i eight = unitblocks::LoadEight(text + i);
            const unsigned ascii = AsciiMask(eight);
            unitblocks::StoreLowBytes(to, eight);
            if (ascii == kAllAscii) {
                to += 8;
                i += 8;
                continue;
            }
            const std::size_t lead = unitblocks::AsciiLead(ascii);
            to += lead;
            i += lead;
        } else {
            while (i < size && text[i] < 0x80) *to++ = static_cast<char>(text[i++]);
        }
        // Then the run of other units up to the next ASCII one.
        while (i < size && text[i] >= 0x80) {
            const wchar_t c = text[i];
            std::uint32_t unit = kKnown | kByConverter;
            if (perUnit) {
                unit = units[static_cast<std::uint16_t>(c)].load(std::memory_order_relaxed);
                if (!unit) unit = Unit(c);
            }
            if (!(unit & kByConverter)) {
                // Both bytes are stored; a one-byte unit's second byte is
                // overwritten by the next unit, or falls into the slack byte.
                const std::uint16_t bytes = static_cast<std::uint16_t>(unit);
                std::memcpy(to, &bytes, 2);
                to += unit >> 16 & 3;
                seen |= unit;
                ++i;
                continue;
            }
            // The rest of this run goes to the converter as it stands: a
            // surrogate pair is one character there, not two.
            std::size_t end = i + 1;
            while (end < size && text[end] >= 0x80) ++end;
            to = EncodeByConverter(text + i, end - i, to, lost);
            i = end;
        }
    }
    if (seen & kLost) lost = true;
    return to;
}

char* AnsiEncoder::EncodeByConverter(const wchar_t* text, std::size_t size, char* to, bool& lost) const {
    // One UTF-16 unit never takes more than the code page's longest
    // character, so that many bytes per unit always suffice. No look-alike
    // is substituted: a character the code page lacks shows up as lost.
    return to + converter_.Encode(codePage_, text, size, to, lost);
}
