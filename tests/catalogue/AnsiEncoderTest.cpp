#include "catalogue/AnsiEncoder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/SystemCodePages.h"

namespace {

// The system's own checked conversion of the whole text at once.
struct Converted {
    std::string bytes;
    bool lost = false;
};

Converted BySystem(UINT codePage, const std::wstring& text) {
    Converted out;
    if (text.empty()) return out;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, &usedDefault);
    out.bytes.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.bytes.data(),
                        n, nullptr, &usedDefault);
    out.lost = usedDefault != FALSE;
    return out;
}

Converted ByEncoder(AnsiEncoder& encoder, const std::wstring& text) {
    Converted out;
    out.lost = encoder.Append(text.data(), text.size(), out.bytes);
    return out;
}

bool Installed(UINT codePage) {
    CPINFO info{};
    return GetCPInfo(codePage, &info) != FALSE;
}

}  // namespace

TEST(AnsiEncoder, GivesTheSystemsBytesAndLossForEveryUnit) {
    // Every non-surrogate unit past ASCII, each on its own between ASCII
    // text, then all of them in chunks of 97, each compared with the
    // system's conversion of the whole text; the chunks run twice, the
    // second time from the warm encoder.
    for (const UINT codePage : {936u, 1252u, 932u, 949u, 950u, 1251u}) {
        if (!Installed(codePage)) continue;
        AnsiEncoder encoder(codePage, SystemCodePageConverter::Instance());
        int mismatches = 0;
        std::vector<std::wstring> chunks;
        std::wstring chunk = L"a\\";
        for (unsigned u = 0x80; u <= 0xFFFF; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF) continue;
            const std::wstring alone = L"x" + std::wstring(1, static_cast<wchar_t>(u)) + L"y";
            const Converted want = BySystem(codePage, alone), got = ByEncoder(encoder, alone);
            if (got.bytes != want.bytes || got.lost != want.lost) ++mismatches;
            chunk += static_cast<wchar_t>(u);
            if (chunk.size() == 97) {
                chunks.push_back(chunk + L".exe");
                chunk = L"C:";
            }
        }
        chunks.push_back(chunk);
        EXPECT_EQ(mismatches, 0) << "code page " << codePage << ", one unit at a time";
        for (int pass = 0; pass < 2; ++pass) {
            mismatches = 0;
            for (const std::wstring& text : chunks) {
                const Converted want = BySystem(codePage, text), got = ByEncoder(encoder, text);
                if (got.bytes != want.bytes || got.lost != want.lost) ++mismatches;
            }
            EXPECT_EQ(mismatches, 0) << "code page " << codePage << ", chunks, pass " << pass;
        }
    }
}

TEST(AnsiEncoder, AsciiRunsOfEveryLengthAndPlace) {
    // ASCII goes eight units at a time: runs shorter, longer and across
    // that width, with a character, a lost one or a pair at every place.
    AnsiEncoder encoder(936, SystemCodePageConverter::Instance());
    int mismatches = 0, texts = 0;
    for (const std::wstring inner : {L"工", L"\u00C0", L"\U0001F600", L"项目"}) {
        for (size_t before = 0; before <= 19; ++before) {
            for (size_t after = 0; after <= 19; ++after) {
                const std::wstring text = std::wstring(before, L'a') + inner + std::wstring(after, L'z') + inner;
                const Converted want = BySystem(936, text), got = ByEncoder(encoder, text);
                if (got.bytes != want.bytes || got.lost != want.lost) ++mismatches;
                // Into exactly the room the encoder asks for: the bytes past
                // it stay as they were.
                size_t room = AnsiEncoder::kSlack;
                for (const wchar_t c : text) room += c < 0x80 ? 1 : encoder.MaxBytesPerUnit();
                std::string buffer(room + 16, '#');
                bool lost = false;
                encoder.Encode(text.data(), text.size(), buffer.data(), lost);
                if (buffer.substr(room) != std::string(16, '#')) ++mismatches;
                ++texts;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << texts;
}

TEST(AnsiEncoder, SurrogatesAndMixedTextAsTheSystemConvertsThem) {
    const std::wstring cases[] = {
        L"plain ascii \\path\\tool.exe",
        L"工具\U0001F600项目",           // a pair between Chinese
        L"\xD800",                       // lone high
        L"x\xDC00y",                     // lone low between ASCII
        L"\xD83D\xDE00\xD83D",           // a pair, then a lone high at the end
        L"第1个常用项目 Ą ü 한국어",
        L"",
    };
    for (const UINT codePage : {936u, 1252u}) {
        AnsiEncoder encoder(codePage, SystemCodePageConverter::Instance());
        for (const std::wstring& text : cases) {
            const Converted want = BySystem(codePage, text), got = ByEncoder(encoder, text);
            EXPECT_EQ(got.bytes, want.bytes) << "code page " << codePage;
            EXPECT_EQ(got.lost, want.lost) << "code page " << codePage;
        }
    }
}

TEST(AnsiEncoder, AppendsAndReportsLossPerCall) {
    AnsiEncoder encoder(936, SystemCodePageConverter::Instance());
    std::string out = "kept:";
    EXPECT_TRUE(encoder.Append(L"Ą", 1, out));    // best fit would give a plain A
    EXPECT_FALSE(encoder.Append(L"中文", 2, out)); // a loss is not carried over
    EXPECT_EQ(out.substr(0, 5), "kept:");
    EXPECT_EQ(out.substr(5, 1), "?");
    EXPECT_EQ(out.substr(6), BySystem(936, L"中文").bytes);
}
