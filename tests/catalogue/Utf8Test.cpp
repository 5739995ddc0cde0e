#include "catalogue/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/catalogue/CodePageSupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

using codepagetest::B;
using codepagetest::U;

namespace {

struct Tricky {
    std::string bytes;
    bool valid;
    std::wstring units;  // what Decode gives, replacements included
};

const wchar_t R = L'\xFFFD';

const std::vector<Tricky>& TrickyInputs() {
    static const std::vector<Tricky> cases = {
        {"", true, L""},
        {std::string("a\0b", 3), true, std::wstring(L"a\0b", 3)},
        {"\xC2\x80", true, L"\x0080"},
        {"\xDF\xBF", true, L"\x07FF"},
        {"\xE0\xA0\x80", true, L"\x0800"},
        {"\xED\x9F\xBF", true, L"\xD7FF"},            // just below the surrogates
        {"\xEE\x80\x80", true, L"\xE000"},            // just above them
        {"\xEF\xBF\xBE\xEF\xBF\xBF", true, L"\xFFFE\xFFFF"},
        {"\xEF\xBB\xBFx", true, L"\xFEFFx"},           // a mark is a character inside the text
        {"\xF0\x90\x80\x80", true, {wchar_t(0xD800), wchar_t(0xDC00)}},
        {"\xF4\x8F\xBF\xBF", true, {wchar_t(0xDBFF), wchar_t(0xDFFF)}},
        {B(u8"𠮷🚀文件夹"), true, U(u8"𠮷🚀文件夹")},
        // Overlong forms.
        {"\xC0\x80", false, {R, R}},
        {"\xC1\xBF", false, {R, R}},
        {"\xE0\x80\x80", false, {R, R, R}},
        {"\xE0\x9F\xBF", false, {R, R, R}},
        {"\xF0\x8F\xBF\xBF", false, {R, R, R, R}},
        // Encoded surrogates, and past U+10FFFF.
        {"\xED\xA0\x80", false, {R, R, R}},
        {"\xED\xBF\xBF", false, {R, R, R}},
        {"\xED\xA0\xBD\xED\xB8\x80", false, {R, R, R, R, R, R}},
        {"\xF4\x90\x80\x80", false, {R, R, R, R}},
        {"\xF5\x80\x80\x80", false, {R, R, R, R}},
        {"\xFE\xFF", false, {R, R}},
        // Continuation bytes alone, and sequences cut short.
        {"\x80", false, {R}},
        {"a\xBFz", false, {L'a', R, L'z'}},
        {"\xC2", false, {R}},
        {"\xE4\xB8", false, {R}},
        {"\xF0\x9F\x98", false, {R}},
        {"\xC2" "A", false, {R, L'A'}},
        {"\xE4" "A\xB8", false, {R, L'A', R}},
        {"\xE4\xB8\xE4\xB8\xAD", false, {R, L'中'}},
        // Code page 936 bytes: 文件夹 (of which C4 BC reads as Ļ), and 茅
        // (C3 A9, which UTF-8 reads as é).
        {"\xCE\xC4\xBC\xFE\xBC\xD0", false, {R, L'\x013C', R, R, R}},
        {"\xC3\xA9", true, L"\x00E9"},
    };
    return cases;
}

}  // namespace

TEST(Utf8, TrickyInputsAreJudgedAndReplacedByTheStrictRule) {
    for (const Tricky& c : TrickyInputs()) {
        EXPECT_EQ(utf8::IsValid(c.bytes), c.valid) << testing::PrintToString(c.bytes);
        std::wstring units = L"kept";
        EXPECT_EQ(utf8::Decode(c.bytes, units), c.valid) << testing::PrintToString(c.bytes);
        EXPECT_EQ(units, L"kept" + c.units) << testing::PrintToString(c.bytes);
        bool ascii = true;
        for (const char b : c.bytes) ascii = ascii && static_cast<unsigned char>(b) < 0x80;
        EXPECT_EQ(utf8::IsAscii(c.bytes), ascii) << testing::PrintToString(c.bytes);
    }
}

TEST(Utf8, EncodesEveryCharacterReplacesLoneSurrogatesAndGoesEightAsciiUnitsAtATime) {
    // Units of every class, each alone between ASCII runs shorter, longer
    // and across the eight units taken at once, into exactly the room
    // asked for: the bytes past it stay as they were.
    const struct {
        std::wstring unit;
        std::string bytes;
        bool lost;
    } units[] = {
        {U(u8"é"), B(u8"é"), false},
        {U(u8"工"), B(u8"工"), false},
        {U(u8"🚀"), B(u8"🚀"), false},
        {{wchar_t(0xDC00)}, "\xEF\xBF\xBD", true},  // a surrogate without its partner
        {{wchar_t(0xD83D)}, "\xEF\xBF\xBD", true},
    };
    int mismatches = 0, texts = 0;
    for (const auto& u : units) {
        for (size_t before = 0; before <= 19; ++before) {
            for (size_t after = 0; after <= 19; ++after) {
                const std::wstring text = std::wstring(before, L'a') + u.unit + std::wstring(after, L'z') + u.unit;
                const std::string expected = std::string(before, 'a') + u.bytes + std::string(after, 'z') + u.bytes;
                const size_t room = text.size() * utf8::kMaxBytesPerUnit;
                std::string buffer(room + 16, '#');
                bool lost = false;
                char* const end = utf8::Encode(text.data(), text.size(), buffer.data(), lost);
                if (std::string(buffer.data(), end) != expected || lost != u.lost) ++mismatches;
                if (buffer.substr(room) != std::string(16, '#')) ++mismatches;
                ++texts;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << texts;
}

#ifdef _WIN32
namespace {

// The platform's checked conversion: whether it takes the bytes, and what
// it gives when it does.
bool PlatformValid(const std::string& bytes, std::wstring* units = nullptr) {
    if (bytes.empty()) return true;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    if (n <= 0) return false;
    if (units) {
        units->assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                            units->data(), n);
    }
    return true;
}

}  // namespace

TEST(Utf8, AgreesWithThePlatformsCheckedConversion) {
    for (const Tricky& c : TrickyInputs()) {
        std::wstring units;
        EXPECT_EQ(PlatformValid(c.bytes, &units), c.valid) << testing::PrintToString(c.bytes);
        if (c.valid) {
            EXPECT_EQ(units, c.units) << testing::PrintToString(c.bytes);
        }
    }
    // Every one- and two-byte sequence, and every lead byte with every
    // second byte before continuations and before ASCII.
    int disagreements = 0, tried = 0;
    const auto check = [&](const std::string& bytes) {
        ++tried;
        if (PlatformValid(bytes) != utf8::IsValid(bytes)) ++disagreements;
    };
    for (int a = 0; a < 256; ++a) {
        check(std::string(1, static_cast<char>(a)));
        for (int b = 0; b < 256; ++b) {
            const std::string two{static_cast<char>(a), static_cast<char>(b)};
            check(two);
            if (a < 0xC0) continue;
            for (const char tail : {'\x80', '\xBF', 'A'}) {
                check(two + tail);
                check(two + tail + '\x80');
                check(two + tail + '\xBF');
            }
        }
    }
    EXPECT_EQ(disagreements, 0) << "of " << tried;
    EXPECT_GT(tried, 200000);
}
#endif
