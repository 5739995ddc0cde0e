#include "catalogue/AnsiEncoder.h"

#include <algorithm>
#include <cstring>

namespace {

static_assert(sizeof(wchar_t) == 2, "the ASCII path reads four UTF-16 units as one 64-bit word");

bool IsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

AnsiEncoder::AnsiEncoder(UINT codePage) : codePage_(codePage) {
    if (codePage_ == CP_UTF8) {
        maxBytes_ = 3;
        return;
    }
    CPINFO info{};
    if (!GetCPInfo(codePage_, &info) || info.MaxCharSize == 0) return;
    maxBytes_ = info.MaxCharSize;
    // The stateful and multi-unit code pages (ISO-2022, HZ, GB18030, UTF-7)
    // all sit at 50000 and above, and are never the ANSI code page anyway.
    perUnit_ = info.MaxCharSize <= 2 && codePage_ < 50000;
    if (perUnit_) units_ = std::make_unique<std::atomic<std::uint32_t>[]>(0x10000);
}

AnsiEncoder& AnsiEncoder::ForProcess() {
    static AnsiEncoder encoder(GetACP());
    return encoder;
}

std::uint32_t AnsiEncoder::Unit(wchar_t c) {
    std::atomic<std::uint32_t>& slot = units_[static_cast<std::uint16_t>(c)];
    std::uint32_t known = slot.load(std::memory_order_relaxed);
    if (known) return known;
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr,
                                      &usedDefault);
    if (n == 1 || n == 2) {
        known = kKnown | static_cast<std::uint32_t>(n) << 16 | static_cast<std::uint8_t>(bytes[0]) |
                static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[1])) << 8;
        if (usedDefault) known |= kLost;
    } else {
        known = kKnown | kBySystem;
    }
    slot.store(known, std::memory_order_relaxed);
    return known;
}

bool AnsiEncoder::Append(const wchar_t* text, std::size_t size, std::string& out) {
    if (size == 0) return false;
    const std::size_t start = out.size();
    out.resize(start + size * maxBytes_);
    bool lost = false;
    char* const end = Encode(text, size, out.data() + start, lost);
    out.resize(static_cast<std::size_t>(end - out.data()));
    return lost;
}

char* AnsiEncoder::Encode(const wchar_t* text, std::size_t size, char* to, bool& lost) {
    std::size_t i = 0;
    while (i < size) {
        // ASCII is the same in every ANSI code page, and most of a catalogue
        // is ASCII: four units at a time while all four are.
        while (i + 4 <= size) {
            std::uint64_t four;
            std::memcpy(&four, text + i, sizeof four);
            if (four & 0xFF80FF80FF80FF80ull) break;
            to[0] = static_cast<char>(four);
            to[1] = static_cast<char>(four >> 16);
            to[2] = static_cast<char>(four >> 32);
            to[3] = static_cast<char>(four >> 48);
            to += 4;
            i += 4;
        }
        if (i == size) break;
        const wchar_t c = text[i];
        if (c < 0x80) {
            *to++ = static_cast<char>(c);
            ++i;
            continue;
        }
        const std::uint32_t unit = perUnit_ && !IsSurrogate(c) ? Unit(c) : kBySystem;
        if (!(unit & kBySystem)) {
            to[0] = static_cast<char>(unit & 0xFF);
            if ((unit >> 16 & 3) == 2) to[1] = static_cast<char>(unit >> 8 & 0xFF);
            to += unit >> 16 & 3;
            if (unit & kLost) lost = true;
            ++i;
            continue;
        }
        // The rest of this non-ASCII run goes to the system as it stands: a
        // surrogate pair is one character there, not two.
        std::size_t end = i + 1;
        while (end < size && text[end] >= 0x80) ++end;
        std::string converted;
        if (AppendBySystem(text + i, end - i, converted)) lost = true;
        to = std::copy(converted.begin(), converted.end(), to);
        i = end;
    }
    return to;
}

bool AnsiEncoder::AppendBySystem(const wchar_t* text, std::size_t size, std::string& out) const {
    // One UTF-16 unit never takes more than the code page's longest
    // character, so a buffer of that many bytes per unit always suffices.
    const std::size_t capacity = size * maxBytes_;
    const std::size_t start = out.size();
    out.resize(start + capacity);
    BOOL usedDefault = FALSE;
    int n = 0;
    if (codePage_ == CP_UTF8) {
        // UTF-8 holds every character; it accepts neither the best-fit flag
        // nor the default-character report, and would write nothing with them.
        n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), out.data() + start,
                                static_cast<int>(capacity), nullptr, nullptr);
        usedDefault = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, static_cast<int>(size), nullptr, 0,
                                          nullptr, nullptr) == 0;
    } else {
        // No best-fit mapping: a character the code page lacks must show up
        // as lost, not silently turn into a look-alike.
        n = WideCharToMultiByte(codePage_, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(size), out.data() + start,
                                static_cast<int>(capacity), nullptr, &usedDefault);
    }
    out.resize(start + static_cast<std::size_t>(n > 0 ? n : 0));
    return usedDefault != FALSE;
}
