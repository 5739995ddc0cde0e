// The catalogue in the encodings users' tools write, through the real main
// window: loaded at its creation, saved when it closes, read again by the
// next one. (Each code page through the platform's conversion:
// CatalogueCodecTest, which runs here too.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "tests/app/AppFixture.h"

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

const std::vector<WideRow> kRows = {
    {L"应用程序", L"np", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本"},
    {L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录"},
};

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::string Utf8File(const std::vector<WideRow>& rows, bool mark) {
    std::string out = mark ? "\xEF\xBB\xBF" : "";
    for (const WideRow& row : rows) {
        for (const std::wstring& field : row) out += Utf8(field) + "\r\n";
    }
    return out;
}

// Closes the window the way the user does, which saves the catalogue.
void Close(std::unique_ptr<frmMain>& main) {
    SendMessageW(main->hWnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(main->hWnd(), nullptr);
    main.reset();
}

}  // namespace

TEST(CatalogueEncoding, Utf8FilesLoadRightAndKeepEveryCharacterAcrossASaveAndARestart) {
    for (const bool mark : {false, true}) {
        SCOPED_TRACE(mark ? "with a mark" : "without a mark");
        TempDir dir;
        const std::string file = Utf8File(kRows, mark);
        WriteBytes(dir / L"applist.ini", file);
        PromptRecorder prompts;
        auto main = OpenMain(dir);
        // The mark is not part of the first field, and the folder entry is
        // still a folder.
        EXPECT_EQ(ReadList(main->List1), kRows);
        Close(main);
        EXPECT_EQ(ReadBytes(dir / L"applist.ini"), file);

        main = OpenMain(dir);
        EXPECT_EQ(ReadList(main->List1), kRows);
        std::vector<WideRow> all = kRows;
        all.push_back({L"应用程序", L"calc", L"C:\\工具\\calc.exe", L"C:\\工具\\", L"-x", L"计算器"});
        FillList(main->List1, {all.back()});
        Close(main);
        EXPECT_EQ(ReadBytes(dir / L"applist.ini"), Utf8File(all, mark));

        main = OpenMain(dir);
        EXPECT_EQ(ReadList(main->List1), all);
        main.reset();
        EXPECT_TRUE(prompts.calls.empty());
    }
}

TEST(CatalogueEncoding, CharactersTheCodePageLacksAreSavedWithoutAQuestionAndSurviveARestart) {
    TempDir dir;
    WriteBytes(dir / L"applist.ini", AnsiLines({L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录"}));
    PromptRecorder prompts(IDNO);
    auto main = OpenMain(dir);
    const WideRow rare = {L"应用程序", L"\U00020BB7", L"C:\\tools\\x.exe", L"C:\\tools\\", L"", L"启动 \U0001F680"};
    FillList(main->List1, {rare});
    EXPECT_TRUE(main->CmdTmp_Click());
    EXPECT_TRUE(prompts.calls.empty()) << "nothing is lost, so nothing is asked";
    const std::vector<WideRow> all = {{L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录"}, rare};
    EXPECT_EQ(ReadBytes(dir / L"applist.ini"), Utf8File(all, true));
    Close(main);

    main = OpenMain(dir);
    EXPECT_EQ(ReadList(main->List1), all);
    main.reset();
    EXPECT_TRUE(prompts.calls.empty());
}
