#include "catalogue/CatalogueFormat.h"
#include "catalogue/CatalogueText.h"

#include <gtest/gtest.h>

namespace {

std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

}  // namespace

TEST(CatalogueFormat, RowsStartOnlyWhenASeventhLineIsRead) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<size_t> fieldsPerRow;
    };
    const Case cases[] = {
        {"empty file: one row without fields", "", {0}},
        {"six lines: one full row", Lines({"a", "b", "c", "d", "e", "f"}), {6}},
        {"seven lines: a full row and one holding only its kind", Lines({"a", "b", "c", "d", "e", "f", "g"}), {6, 1}},
        {"twelve lines: two rows, no empty third", Lines({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"}),
         {6, 6}},
        {"three lines: a short row", Lines({"a", "b", "c"}), {3}},
        {"last line without terminator still counts", "a\r\nb", {2}},
        {"a single empty line", "\r\n", {1}},
    };
    for (const Case& c : cases) {
        const auto rows = ParseCatalogue(c.bytes);
        ASSERT_EQ(rows.size(), c.fieldsPerRow.size()) << c.what;
        for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].size(), c.fieldsPerRow[i]) << c.what << " row " << i;
    }
}

TEST(CatalogueFormat, FieldsKeepBlanksAndEmptiness) {
    const auto rows = ParseCatalogue(Lines({"kind", "  np  ", "C:\\a b\\x.exe", "C:\\a b\\", "", ""}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (CatalogueRow{"kind", "  np  ", "C:\\a b\\x.exe", "C:\\a b\\", "", ""}));
}

TEST(CatalogueFormat, LineEndsAtCrLfLoneCrOrLoneLf) {
    const auto rows = ParseCatalogue("a\rb\nc\r\nd\n\re");
    ASSERT_EQ(rows.size(), 1u);
    // "\n\r" is a lone LF followed by a lone CR: two terminators, one empty line.
    EXPECT_EQ(rows[0], (CatalogueRow{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(CountCatalogueLines("x\r\n\r\n"), 2u);
}

TEST(CatalogueFormat, SaveWritesSixCrLfLinesPerRowAndRoundTrips) {
    const std::string file = Lines({"k1", "n1", "p1", "w1", "", "", "k2", "n2", "p2", "w2", "a2", "c2"});
    EXPECT_EQ(SerializeCatalogue(ParseCatalogue(file)), file);
    // Missing fields of a short row are written as empty lines.
    EXPECT_EQ(SerializeCatalogue({{"k"}}), Lines({"k", "", "", "", "", ""}));
    EXPECT_EQ(SerializeCatalogue(std::vector<CatalogueRow>{}), "");
}

TEST(CatalogueFormat, BinaryBytesPassThroughUntouched) {
    std::string junk;
    for (int i = 0; i < 256; ++i) {
        if (i != '\r' && i != '\n') junk += static_cast<char>(i);
    }
    const auto rows = ParseCatalogue(junk);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].size(), 1u);
    EXPECT_EQ(rows[0][0], junk);
}

TEST(CatalogueFormat, Utf16TextMatchesTheByteLayout) {
    const struct {
        std::vector<std::vector<std::wstring>> wide;
        std::string bytes;
    } cases[] = {
        {{{L"k1", L"n1", L"p1", L"w1", L"", L""}, {L"k2"}}, Lines({"k1", "n1", "p1", "w1", "", "", "k2", "", "", "", "", ""})},
        {{{L"a", L"b", L"c", L"d", L"e", L"f", L"dropped"}}, Lines({"a", "b", "c", "d", "e", "f"})},
        {{{}}, Lines({"", "", "", "", "", ""})},
        {{}, ""},
    };
    // One text through all cases, as the save keeps it: nothing of an
    // earlier catalogue may show.
    CatalogueText text;
    for (const auto& c : cases) {
        text.Clear();
        text.AddRows(c.wide);
        EXPECT_EQ(text.Text(), std::wstring(c.bytes.begin(), c.bytes.end()));
        const auto lines = ParseCatalogue(c.bytes);
        ASSERT_EQ(text.LineCount(), CountCatalogueLines(c.bytes));
        for (size_t i = 0; i < text.LineCount(); ++i) {
            const std::string& field = lines[i / 6][i % 6];
            EXPECT_EQ(text.Field(i / 6, i % 6), std::wstring(field.begin(), field.end()));
        }
    }
    // Fields past the sixth are dropped in the byte layout too.
    EXPECT_EQ(SerializeCatalogue(std::vector<CatalogueRow>{{"a", "b", "c", "d", "e", "f", "g"}}),
              Lines({"a", "b", "c", "d", "e", "f"}));
    text.Clear();
    text.AddRows(std::vector<std::vector<std::wstring>>{{L"中文"}});
    EXPECT_EQ(text.Text(), L"中文\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(text.Line(0), L"中文");
    EXPECT_EQ(text.Line(5), L"");
}
