#pragma once
// UTF-16 to a code page (936, 1252, ...), byte for byte what its converter
// gives, and whether any character became the default character because the
// code page cannot hold it.
//
// The save converts every field of the catalogue, and the system's checked
// conversion is slow per character. In single- and double-byte code pages
// each UTF-16 unit converts on its own, so the encoder asks the converter
// once per distinct unit and remembers the answer; ASCII is copied.
// Surrogates, and code pages that are not converted unit by unit, go to the
// converter as they stand.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/CodePageConverter.h"

class AnsiEncoder {
public:
    // `converter` outlives the encoder.
    AnsiEncoder(unsigned codePage, const CodePageConverter& converter);
    AnsiEncoder(const AnsiEncoder&) = delete;
    AnsiEncoder& operator=(const AnsiEncoder&) = delete;

    unsigned CodePage() const { return codePage_; }

    // Appends `text` converted to `out`; true when a character was lost.
    bool Append(const wchar_t* text, std::size_t size, std::string& out);

    // Converts `text` into `to`, which has room for MaxBytesPerUnit() bytes
    // per non-ASCII unit, one per ASCII unit, and kSlack bytes more (the
    // encoder stores two bytes at a time); returns the end of what it wrote.
    // Sets `lost` when a character was lost (never clears it). The save lays
    // out the whole file in one buffer with it.
    char* Encode(const wchar_t* text, std::size_t size, char* to, bool& lost);

    static constexpr std::size_t kSlack = 1;

    // The most bytes one UTF-16 unit can become.
    std::size_t MaxBytesPerUnit() const { return maxBytes_; }

private:
    // A remembered unit: the bytes (first in the low byte), their count,
    // whether it was lost, and whether the converter could not answer for
    // the unit alone. Zero: not asked yet.
    static constexpr std::uint32_t kKnown = 1u << 31;
    static constexpr std::uint32_t kLost = 1u << 18;
    static constexpr std::uint32_t kByConverter = 1u << 19;

    std::uint32_t Unit(wchar_t c);
    // Encode one unit or run at a time: ASCII runs eight units at once, other
    // units from the table, asking the converter for those it has not
    // answered.
    char* EncodeRuns(const wchar_t* text, std::size_t size, char* to, bool& lost);
    char* EncodeByConverter(const wchar_t* text, std::size_t size, char* to, bool& lost) const;

    const unsigned codePage_;
    const CodePageConverter& converter_;
    std::size_t maxBytes_ = 4;
    bool perUnit_ = false;
    // Filled on first use of each unit; threads may fill it together, since
    // they all write the converter's same answer.
    std::unique_ptr<std::atomic<std::uint32_t>[]> units_;
};
