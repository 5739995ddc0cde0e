#include "catalogue/CatalogueFile.h"
#include "plumbing/SystemInfo.h"
#include "tests/app/AppFixture.h"

using testsupport::ChildProcess;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

const std::string kOld = AnsiLines({L"应用程序", L"old", L"C:\\old.exe", L"C:\\", L"", L""});

// A main window over the old catalogue with one more, unsaved, entry.
std::unique_ptr<frmMain> ChangedMain(const TempDir& dir) {
    WriteBytes(dir / L"applist.ini", kOld);
    auto main = OpenMain(dir);
    const int row = main->List1.AddRow();
    main->List1.SetSubItem(row, 1, L"应用程序");
    main->List1.SetSubItem(row, 2, L"new");
    return main;
}

void ExpectReported(const PromptRecorder& prompts, const TempDir& dir, const std::wstring& cause) {
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
    EXPECT_NE(prompts.calls[0].text.find((dir / L"applist.ini").wstring()), std::wstring::npos);
    EXPECT_NE(prompts.calls[0].text.find(cause), std::wstring::npos) << testing::PrintToString(prompts.calls[0].text);
}

}  // namespace

TEST(SaveFaults, WriteFailingAtAnyByteKeepsListAndOldFile) {
    for (size_t at : {size_t{0}, size_t{7}, size_t{40}, size_t{41}}) {
        TempDir dir;
        auto main = ChangedMain(dir);
        SetCatalogueWriteFault({true, at, ERROR_DISK_FULL});
        PromptRecorder prompts;
        EXPECT_FALSE(main->CmdTmp_Click());
        SetCatalogueWriteFault({});
        ExpectReported(prompts, dir, SystemErrorText(ERROR_DISK_FULL));
        EXPECT_EQ(main->List1.Count(), 2);
        EXPECT_EQ(ReadBytes(dir / L"applist.ini"), kOld) << at;
    }
}

TEST(SaveFaults, ReadOnlyAndLockedFilesAreReportedAndKept) {
    {
        TempDir dir;
        auto main = ChangedMain(dir);
        SetFileAttributesW((dir / L"applist.ini").c_str(), FILE_ATTRIBUTE_READONLY);
        PromptRecorder prompts;
        EXPECT_FALSE(main->CmdTmp_Click());
        ExpectReported(prompts, dir, SystemErrorText(ERROR_ACCESS_DENIED));
        SetFileAttributesW((dir / L"applist.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(dir / L"applist.ini"), kOld);
    }
    TempDir dir;
    auto main = ChangedMain(dir);
    ChildProcess locker(testsupport::WinePathFromUnix(HELPER_EXE), L"lock \"" + (dir / L"applist.ini").wstring() + L"\"");
    ASSERT_TRUE(locker.Started());
    // Wait until the other process really holds the file.
    ASSERT_TRUE(testsupport::WaitFor([&] {
        HANDLE probe = CreateFileW((dir / L"applist.ini").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return true;
        CloseHandle(probe);
        return false;
    }, 10000));
    PromptRecorder prompts;
    EXPECT_FALSE(main->CmdTmp_Click());
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_NE(prompts.calls[0].text.find((dir / L"applist.ini").wstring()), std::wstring::npos);
    EXPECT_EQ(main->List1.Count(), 2);
    locker.Kill();
    EXPECT_EQ(ReadBytes(dir / L"applist.ini"), kOld);
    EXPECT_TRUE(main->CmdTmp_Click());  // once the other program lets go, saving works
}
