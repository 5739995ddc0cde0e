#include <algorithm>
#include <random>

#include "tests/app/AppFixture.h"

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

// Opens the main window over `bytes` and checks it survives a look at every
// row, a save and a reload of what it saved.
void LoadsAndSurvives(const std::string& what, const std::string& bytes, int expectedRows) {
    TempDir dir;
    WriteBytes(dir / L"applist.ini", bytes);
    PromptRecorder prompts(IDYES);
    auto main = OpenMain(dir);
    EXPECT_TRUE(prompts.calls.empty()) << what;
    EXPECT_EQ(main->List1.Count(), expectedRows) << what;
    for (int r = 0; r < main->List1.Count(); ++r) main->List1.SubItem(r, 2);
    EXPECT_TRUE(main->CmdTmp_Click()) << what;
    const int rows = main->List1.Count();
    main.reset();
    auto again = OpenMain(dir);
    EXPECT_EQ(again->List1.Count(), rows) << what;
}

// The rows a file gives: six lines each, the last one possibly short; CR LF,
// a lone CR and a lone LF each end a line, and every file is at least one row.
int RowsOf(const std::string& bytes) {
    int lines = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n' || i + 1 == bytes.size()) ++lines;
    }
    return std::max(1, (lines + 5) / 6);
}

}  // namespace

TEST(HostileFiles, DamagedCataloguesLoadWithoutHarm) {
    std::mt19937 random(1234);
    std::string junk(64 * 1024, '\0');
    for (auto& c : junk) c = static_cast<char>(random());
    std::string lines200k;
    lines200k.reserve(200000 * 4);
    for (int i = 0; i < 200000; ++i) lines200k.append("x").append(std::to_string(i % 10)).append("\r\n");

    LoadsAndSurvives("10 MB on one line", std::string(10 * 1024 * 1024, 'a'), 1);
    // Every byte value, line breaks of all three kinds among them.
    ASSERT_GT(RowsOf(junk), 50);
    LoadsAndSurvives("binary junk", junk, RowsOf(junk));
    LoadsAndSurvives("NUL bytes", std::string("\xd3\xa6\xd3\xc3\0\xb3\xcc\r\nn\0p\r\n", 14) + "C:\\x\r\nC:\\\r\n\r\n\r\n", 1);
    LoadsAndSurvives("invalid double-byte sequences", "\x81\r\n\x81\x20\r\n\xff\xfe\r\n\x80\r\n\xa1\r\n\x81", 1);
    LoadsAndSurvives("CR without LF", std::string(12, '\r'), 2);
    LoadsAndSurvives("LF without CR", std::string(12, '\n'), 2);
    LoadsAndSurvives("200,000 lines", lines200k, 33334);
}

TEST(HostileFiles, AFileThatCannotBeReadIsReportedAndKeptWhole) {
    TempDir dir;
    const std::string old = AnsiLines({L"应用程序", L"np", L"C:\\np.exe", L"C:\\", L"", L""});
    WriteBytes(dir / L"applist.ini", old);
    // Another program holds the file open and shares nothing.
    HANDLE lock = CreateFileW((dir / L"applist.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        PromptRecorder prompts(IDYES);
        auto main = OpenMain(dir);
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_NE(prompts.calls[0].text.find((dir / L"applist.ini").wstring()), std::wstring::npos);
        EXPECT_EQ(main->List1.Count(), 0);
        CloseHandle(lock);  // readable again, but this run never read it
        const int row = main->List1.AddRow();
        main->List1.SetSubItem(row, 1, L"应用程序");
        main->List1.SetSubItem(row, 2, L"new");
        SendMessageW(main->hWnd(), WM_CLOSE, 0, 0);  // the save at exit is refused, the user quits anyway
        EXPECT_EQ(main->hWnd(), nullptr);
    }
    EXPECT_EQ(ReadBytes(dir / L"applist.ini"), old);
}

TEST(HostileFiles, StaleTemporariesOfAnInterruptedSaveAreCleared) {
    TempDir dir;
    WriteBytes(dir / L"applist.ini.4242.tmp", "half a catalogue");
    WriteBytes(dir / L"other.tmp", "not ours");
    auto main = OpenMain(dir);
    EXPECT_FALSE(std::filesystem::exists(dir / L"applist.ini.4242.tmp"));
    EXPECT_TRUE(std::filesystem::exists(dir / L"other.tmp"));
}
