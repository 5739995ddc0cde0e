// The catalogue's encodings, natively through glibc's tables and under Wine
// through the platform's conversion, with the system's code pages passed in.
#include "catalogue/CatalogueCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/catalogue/CodePageSupport.h"

using codepagetest::B;
using codepagetest::Converter;
using codepagetest::U;

namespace {

const CatalogueEncoding kUtf8{Charset::Utf8, 0, false};
const CatalogueEncoding kUtf8Mark{Charset::Utf8, 0, true};
const CatalogueEncoding kUtf16Le{Charset::Utf16Le, 0, true};
const CatalogueEncoding kUtf16Be{Charset::Utf16Be, 0, true};
CatalogueEncoding InCodePage(unsigned codePage) { return {Charset::CodePage, codePage, false}; }

// A system setting and words its legacy code page holds.
struct Setting {
    const char* name;
    CodePages pages;
    std::vector<std::wstring> words;
};

const std::vector<Setting>& Settings() {
    static const std::vector<Setting> settings = {
        {"936", {936, 936}, {L"应用程序", L"文件夹", L"记事本", L"系统目录"}},
        {"1252", {1252, 1252}, {L"Café", L"Ünïcödé", L"€uro", L"naïve"}},
        {"932", {932, 932}, {L"メモ帳", L"日本語", L"フォルダー", L"ｶﾀｶﾅ"}},
        {"950", {950, 950}, {L"記事本", L"應用程式", L"資料夾", L"繁體"}},
        {"65001 with legacy 936", {65001, 936}, {L"应用程序", L"文件夹", L"记事本", L"系统目录"}},
    };
    return settings;
}

unsigned Legacy(const CodePages& pages) { return pages.ansi == kCodePageUtf8 ? pages.legacy : pages.ansi; }

std::vector<WideRow> RowsOf(const Setting& s) {
    return {{s.words[0], L"np", L"C:\\" + s.words[0] + L"\\" + s.words[1] + L".exe", L"C:\\", L"-x", s.words[2] + L" comment"},
            {s.words[1], L" " + s.words[3] + L" ", L"D:\\" + s.words[3], L"D:\\", L"", L""}};
}

// The file's bytes, each field converted on its own, independently of the
// codec's one pass.
std::string FileOf(const std::vector<WideRow>& rows, const CatalogueEncoding& encoding) {
    std::string out;
    if (encoding.mark) {
        out = encoding.charset == Charset::Utf8     ? "\xEF\xBB\xBF"
              : encoding.charset == Charset::Utf16Le ? "\xFF\xFE"
                                                     : "\xFE\xFF";
    }
    const auto unit = [&](unsigned u) {
        const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
        out += encoding.charset == Charset::Utf16Be ? high : low;
        out += encoding.charset == Charset::Utf16Be ? low : high;
    };
    for (const WideRow& row : rows) {
        for (size_t i = 0; i < 6; ++i) {
            const std::wstring field = i < row.size() ? row[i] : L"";
            if (encoding.charset == Charset::Utf16Le || encoding.charset == Charset::Utf16Be) {
                for (const wchar_t c : field) unit(static_cast<unsigned>(c));
                unit('\r');
                unit('\n');
                continue;
            }
            std::string bytes(field.size() * 4 + 1, '\0');
            bool lost = false;
            const size_t n = encoding.charset == Charset::Utf8
                                 ? static_cast<size_t>(utf8::Encode(field.data(), field.size(), bytes.data(), lost) -
                                                       bytes.data())
                                 : Converter().Encode(encoding.codePage, field.data(), field.size(), bytes.data(), lost);
            EXPECT_FALSE(lost) << "the test's own text must fit";
            out += bytes.substr(0, n) + "\r\n";
        }
    }
    return out;
}

CatalogueBytes Encoded(CatalogueCodec& codec, const std::vector<WideRow>& rows) {
    CatalogueText text;
    text.AddRows(rows);
    CatalogueBytes bytes;
    codec.Encode(text, bytes);
    return bytes;
}

// What a fresh start reads from the bytes.
std::vector<WideRow> ReadFresh(const CodePages& pages, std::string_view bytes) {
    CatalogueCodec codec(pages, Converter());
    return codec.Decode(bytes);
}

}  // namespace

// Readable failures.
void PrintTo(const CatalogueEncoding& e, std::ostream* os) {
    static const char* const names[] = {"code page", "UTF-8", "UTF-16 LE", "UTF-16 BE"};
    *os << names[static_cast<int>(e.charset)];
    if (e.charset == Charset::CodePage) *os << " " << e.codePage;
    if (e.mark) *os << " with a mark";
}

TEST(CatalogueCodec, DetectsTheEncodingByMarkThenUtf8ThenTheCodePage) {
    const CodePages cp936{936, 936}, cp1252{1252, 1252}, utf8System{65001, 936};
    const struct {
        std::string bytes;
        CodePages pages;
        CatalogueEncoding expected;
    } cases[] = {
        {"", cp936, InCodePage(936)},
        {"np\r\nC:\\x.exe\r\n", cp936, InCodePage(936)},
        {"np\r\n", utf8System, kUtf8},  // ASCII on a UTF-8 system is what a new file is
        {"", utf8System, kUtf8},
        {"\xEF\xBB\xBFnp", cp936, kUtf8Mark},
        {"\xEF\xBB\xBF\xCE\xC4", cp936, kUtf8Mark},  // the mark decides, even before bytes that are not UTF-8
        {"\xFF\xFEn\0p\0", cp936, kUtf16Le},
        {"\xFE\xFF\0n\0p", cp1252, kUtf16Be},
        {B(u8"文件夹\r\n"), cp936, kUtf8},
        {B(u8"文件夹\r\n"), utf8System, kUtf8},
        {"\xCE\xC4\xBC\xFE\xBC\xD0\r\n", cp936, InCodePage(936)},
        {"\xCE\xC4\xBC\xFE\xBC\xD0\r\n", utf8System, InCodePage(936)},
        {"Caf\xE9\r\n", cp1252, InCodePage(1252)},
        {"Caf\xE9\r\n", utf8System, InCodePage(936)},
        {"\xC0\xAF", cp936, InCodePage(936)},          // overlong
        {"\xED\xA0\x80", cp936, InCodePage(936)},      // an encoded surrogate
        {"\xF4\x90\x80\x80", cp936, InCodePage(936)},  // past U+10FFFF
        {"x\xE6\x96", cp936, InCodePage(936)},         // cut short
        {"\xEF\xBBx", cp936, InCodePage(936)},         // two thirds of a mark
        {"\xFFx", cp1252, InCodePage(1252)},           // half a UTF-16 mark
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectCatalogueEncoding(c.bytes, c.pages), c.expected) << testing::PrintToString(c.bytes);
    }
}

TEST(CatalogueCodec, EverySettingReadsItsFilesAndWritesThemBackByteForByte) {
    for (const Setting& s : Settings()) {
        const std::vector<WideRow> rows = RowsOf(s);
        for (const CatalogueEncoding& encoding : {InCodePage(Legacy(s.pages)), kUtf8, kUtf8Mark, kUtf16Le, kUtf16Be}) {
            SCOPED_TRACE(std::string(s.name) + ", charset " + std::to_string(static_cast<int>(encoding.charset)) +
                         (encoding.mark ? " with a mark" : ""));
            const std::string file = FileOf(rows, encoding);
            CatalogueCodec codec(s.pages, Converter());
            EXPECT_EQ(codec.Decode(file), rows);
            EXPECT_EQ(codec.Encoding(), encoding);
            const CatalogueBytes saved = Encoded(codec, rows);
            EXPECT_EQ(saved.encoding, encoding);
            EXPECT_EQ(saved.bytes(), file);
        }
    }
}

TEST(CatalogueCodec, CharactersTheCodePageLacksMakeTheFileUtf8WithAMark) {
    for (const Setting& s : Settings()) {
        SCOPED_TRACE(s.name);
        std::vector<WideRow> rows = RowsOf(s);
        rows.push_back({L"应用程序", U(u8"𠮷"), L"C:\\x.exe", L"C:\\", L"", U(u8"🚀 启动")});
        // Read from a file in the code page, and as a new file.
        CatalogueCodec read(s.pages, Converter());
        read.Decode(FileOf(RowsOf(s), InCodePage(Legacy(s.pages))));
        CatalogueCodec fresh(s.pages, Converter());
        for (CatalogueCodec* codec : {&read, &fresh}) {
            const CatalogueBytes saved = Encoded(*codec, rows);
            // A new file on a UTF-8 system is UTF-8 already, and holds them.
            const CatalogueEncoding expected = codec == &fresh && s.pages.ansi == kCodePageUtf8 ? kUtf8 : kUtf8Mark;
            EXPECT_EQ(saved.encoding, expected);
            EXPECT_EQ(saved.bytes(), FileOf(rows, expected));
            EXPECT_EQ(ReadFresh(s.pages, saved.bytes()), rows);
        }
        // A surrogate without its partner has no UTF-8 form: UTF-16 holds it.
        rows[0][5] = {L'x', wchar_t(0xD800), L'y'};
        const CatalogueBytes saved = Encoded(read, rows);
        EXPECT_EQ(saved.encoding, kUtf16Le);
        EXPECT_EQ(ReadFresh(s.pages, saved.bytes()), rows);
    }
}

TEST(CatalogueCodec, BytesTheLoaderWouldReadAsOtherTextAreWrittenInUtf8Instead) {
    const struct {
        CodePages pages;
        std::string file;    // as read
        std::wstring first;  // the first field the save writes
    } cases[] = {
        {{1252, 1252}, "Caf\xE9\r\n", L"\x00C3\x00A9"},     // Ã© is C3 A9 in 1252, é in UTF-8
        {{1252, 1252}, "Caf\xE9\r\n", L"\x00FF\x00FEx"},    // ÿþ begins the file with FF FE, the UTF-16 mark
        {{936, 936}, "\xCE\xC4\r\n", L"应目路伟"},            // D3 A6 C4 BF C2 B7 CE B0: all valid UTF-8
        {{65001, 936}, "\xCE\xC4\r\n", L"应目路伟"},
        {{936, 936}, "\xCE\xC4\r\n", L"锘靠"},                // EF BB BF BF: the UTF-8 mark
        {{936, 936}, B(u8"文件夹\r\n"), U(u8"\uFEFF文件夹")},  // UTF-8 without a mark, beginning with one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.first));
        const std::vector<WideRow> rows = {{c.first, L"np", L"C:\\np.exe", L"C:\\", L"", L""}};
        CatalogueCodec codec(c.pages, Converter());
        codec.Decode(c.file);
        const CatalogueBytes saved = Encoded(codec, rows);
        EXPECT_EQ(saved.encoding, kUtf8Mark);
        EXPECT_EQ(ReadFresh(c.pages, saved.bytes()), rows);
    }
}

TEST(CatalogueCodec, LinesWhoseTextWouldNotGiveTheirBytesBackKeepThem) {
    const struct {
        CodePages pages;
        std::string file;
        size_t sameText[2];  // two lines read as one text, or {0, 0}
    } cases[] = {
        // Code page 932 reads NEC's and IBM's duplicates as the characters
        // it writes in another form: ≒ twice, 纊 twice, ¬ twice.
        {{932, 932}, "\x87\x90\r\n\x81\xE0\r\n\xED\x40\r\n\xFA\x5C\r\n\xEE\xF9\r\n\x81\xCA\r\n", {0, 1}},
        // Bytes with no meaning in the code page.
        {{936, 936}, "\xCE\xC4\xFF\r\nnp\r\n\xCE\r\nC:\\\r\n\x81\x20x\r\n\r\n", {0, 0}},
        {{1252, 1252}, "\x81\x8D\x8F\x90\x9D\r\nnp\r\nx\r\nC:\\\r\n\r\n\r\n", {0, 0}},
        {{65001, 936}, "\xCE\xC4\xFF\r\nnp\r\n\xCE\r\nC:\\\r\n\r\n\r\n", {0, 0}},
        // UTF-8 after a mark that is not valid UTF-8.
        {{936, 936}, "\xEF\xBB\xBF\xE4\xB8\r\n\xE4\xB8\xAD\r\n\xC0\xAF\r\n\xCE\xC4\r\n\r\n\r\n", {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.file));
        CatalogueCodec codec(c.pages, Converter());
        std::vector<WideRow> rows = codec.Decode(c.file);
        ASSERT_EQ(rows.size(), 1u);
        if (c.sameText[1]) {
            ASSERT_EQ(rows[0][c.sameText[0]], rows[0][c.sameText[1]]);
        }
        EXPECT_EQ(Encoded(codec, rows).bytes(), c.file);
        // A row added and the kept lines moved down still keep their bytes.
        std::vector<WideRow> more = {{L"new", L"new", L"C:\\new", L"C:\\", L"", L""}, rows[0]};
        const CatalogueBytes saved = Encoded(codec, more);
        EXPECT_EQ(saved.encoding, codec.Encoding());
        const std::string_view tail = std::string_view(c.file).substr(MarkBytes(codec.Encoding()).size());
        EXPECT_TRUE(saved.bytes().ends_with(tail));
        EXPECT_EQ(ReadFresh(c.pages, saved.bytes()), more);
        // A kept line whose text changes is written from its text.
        rows[0][0] += L"x";
        EXPECT_EQ(ReadFresh(c.pages, Encoded(codec, rows).bytes()), rows);
    }
}

TEST(CatalogueCodec, TheEncodingLastWrittenIsWhereTheNextSaveStarts) {
    const CodePages pages{936, 936};
    const std::vector<WideRow> plain = {{L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录"}};
    std::vector<WideRow> rare = plain;
    rare[0][1] = U(u8"𠮷");
    CatalogueCodec codec(pages, Converter());
    codec.Decode(FileOf(plain, InCodePage(936)));
    // Not written (the write failed): the file is still in the code page.
    EXPECT_EQ(Encoded(codec, rare).encoding, kUtf8Mark);
    EXPECT_EQ(Encoded(codec, plain).encoding, InCodePage(936));
    // Written: the file is UTF-8 now, as a restart would read it.
    codec.Written(kUtf8Mark);
    EXPECT_EQ(codec.Encoding(), kUtf8Mark);
    EXPECT_EQ(Encoded(codec, plain).bytes(), FileOf(plain, kUtf8Mark));
}

TEST(CatalogueCodec, TheBufferIsKeptAcrossSavesOfEverySize) {
    // One text and one buffer through catalogues large and small after
    // each other, as the save command keeps them: nothing of an earlier
    // conversion may show.
    const std::vector<std::vector<WideRow>> cases = {
        {{L"应用程序", L"np", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本"}},
        {{L"文件夹", std::wstring(200000, L'汉') + L"x"}, {L"k", std::wstring(70000, L'a')}},
        {{L"文件夹", L"x"}, {L"应用程序", U(u8"emoji😀"), L"C:\\b.exe"}},
        {{L"k", L"n", L"p", L"w", L"a", L"c", L"seventh, dropped"}, {}},
        {{L"x", std::wstring(300000, L'a')}, {{L'y', wchar_t(0xDC00)}}},
        {{L"文件夹", L"small again"}},
    };
    CatalogueCodec codec({936, 936}, Converter());
    CatalogueText text;
    CatalogueBytes reused;
    for (const auto& rows : cases) {
        CatalogueCodec once({936, 936}, Converter());
        const CatalogueBytes alone = Encoded(once, rows);
        text.Clear();
        text.AddRows(rows);
        text.Trim();
        codec.Encode(text, reused);
        EXPECT_EQ(reused.bytes(), alone.bytes());
        EXPECT_EQ(reused.encoding, alone.encoding);
        EXPECT_GE(reused.capacity, reused.size);
        EXPECT_LE(reused.capacity / 4, reused.size + (size_t{64} << 10)) << "a buffer far too large was kept";
    }
}
