// Targets typed with environment variables: the shortcut opens the real
// file and keeps the typed form beside it where the format has room for one.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "catalogue/AliasHealth.h"
#include "catalogue/ShellLinkFile.h"
#include "catalogue/ShortcutStore.h"
#include "plumbing/SystemInfo.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserEnvironmentGuard.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> FileBytes(const fs::path& file) {
    const std::string bytes = testsupport::ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

// The target through the shell link interface, as stored and as resolved.
struct Targets {
    std::wstring raw, plain, workDir, args;
};

Targets ReadTargets(const fs::path& file) {
    Targets t;
    ComRef<IShellLinkW> link;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()),
              S_OK);
    ComRef<IPersistFile> persist;
    EXPECT_EQ(link->QueryInterface(IID_IPersistFile, persist.put_void()), S_OK);
    EXPECT_EQ(persist->Load(file.c_str(), STGM_READ), S_OK) << file;
    wchar_t buffer[MAX_PATH * 2] = {};
    link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
    t.raw = buffer;
    buffer[0] = 0;
    link->GetPath(buffer, MAX_PATH * 2, nullptr, 0);
    t.plain = buffer;
    buffer[0] = 0;
    link->GetWorkingDirectory(buffer, MAX_PATH * 2);
    t.workDir = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, MAX_PATH * 2);
    t.args = buffer;
    return t;
}

// A Windows directory of the test's own with its "system" folder, and a
// LOCALAPPDATA of its own holding a program.
class ExpandableShortcutTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(windows_ / L"system");
        SetEnvironmentVariableW(L"LOCALAPPDATA", local_.path().c_str());
        fs::create_directories(local_ / L"Programs\\工具");
        testsupport::WriteBytes(local_ / L"Programs\\工具\\工具.exe", "MZ");
    }
    std::wstring windir() const { return windows_.path().wstring(); }
    fs::path Lnk(const std::wstring& name) const { return windows_ / L"system" / (name + L".lnk"); }

    testsupport::UserEnvironmentGuard environment_;  // puts LOCALAPPDATA back
    testsupport::TempDir windows_;
    testsupport::TempDir local_;
    WshShellObject shell_;
};

}  // namespace

TEST_F(ExpandableShortcutTest, TheShortcutOpensTheExpandedTargetAndKeepsTheTypedOne) {
    const struct {
        std::wstring name, path, workDir, args;
    } cases[] = {
        {L"np", L"%windir%\\notepad.exe", L"%windir%", L"%TEMP%\\a.txt"},
        {L"工具", L"%LOCALAPPDATA%\\Programs\\工具\\工具.exe", L"%LOCALAPPDATA%\\Programs\\工具\\", L""},
        {L"mixed", L"%SystemDrive%\\windows\\notepad.exe", L"C:\\", L"-x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        const ShortcutResult r = WriteShortcut(shell_, windir(), c.name, c.path, c.args, c.workDir, L"注释");
        ASSERT_TRUE(r.ok()) << r.reason;
        const std::wstring expanded = ExpandedPath(c.path);
        ASSERT_NE(expanded, c.path);
        ASSERT_TRUE(fs::exists(expanded));
        const Targets t = ReadTargets(Lnk(c.name));
        // What the shell opens is the real file, not "<folder>\%windir%\...".
        EXPECT_TRUE(SamePathText(t.plain, expanded)) << testing::PrintToString(t.plain);
        // Stored: the typed form where the shell reads the expandable target
        // (Windows), else the expanded one (Wine's shell link object ignores it).
        EXPECT_TRUE(t.raw == c.path || SamePathText(t.raw, expanded)) << testing::PrintToString(t.raw);
        EXPECT_EQ(ExpandableTargetOf(FileBytes(Lnk(c.name))), std::u16string(c.path.begin(), c.path.end()));
        EXPECT_TRUE(SamePathText(t.workDir, ExpandedPath(c.workDir))) << testing::PrintToString(t.workDir);
        EXPECT_EQ(t.args, c.args);  // passed as typed

    }
}

TEST_F(ExpandableShortcutTest, ATargetWithoutVariablesTakesAnOldTypedFormOut) {
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"np", L"%windir%\\notepad.exe", L"", L"C:\\", L"").ok());
    ASSERT_TRUE(ExpandableTargetOf(FileBytes(Lnk(L"np"))));
    // Rewritten in place (a repair writes over the existing file).
    const std::wstring plain = ExpandedPath(L"%windir%\\notepad.exe");
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"np", plain, L"", L"C:\\", L"").ok());
    const std::vector<std::uint8_t> bytes = FileBytes(Lnk(L"np"));
    EXPECT_EQ(ExpandableTargetOf(bytes), std::nullopt);
    ASSERT_GT(bytes.size(), 22u);
    EXPECT_EQ(bytes[21] & 0x02, 0);  // the HasExpString flag is off too
    EXPECT_TRUE(SamePathText(ReadTargets(Lnk(L"np")).plain, plain));
    // Nothing else is left in the folder (no temporary file of the edit).
    EXPECT_EQ(std::distance(fs::directory_iterator(windows_ / L"system"), fs::directory_iterator()), 1);
    // A '%' that names no variable is no variable form.
    testsupport::WriteBytes(windows_ / L"100%.exe", "MZ");
    const std::wstring percent = windir() + L"\\100%.exe";
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"pc", percent, L"", windir(), L"").ok());
    EXPECT_EQ(ExpandableTargetOf(FileBytes(Lnk(L"pc"))), std::nullopt);
}

TEST_F(ExpandableShortcutTest, OpeningTheAliasRunsTheRealProgramInTheExpandedFolderWithTheArgumentsAsTyped) {
    const testsupport::TempDir out;
    const fs::path seen = out / L"folder.txt";
    const std::wstring args = L"/c cd > \"" + seen.wstring() + L"\"";
    ASSERT_TRUE(WriteShortcut(shell_, windir(), L"where", L"%windir%\\system32\\cmd.exe", args, L"%windir%", L"")
                    .ok());
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    const std::wstring lnk = Lnk(L"where").wstring();
    info.lpFile = lnk.c_str();
    info.nShow = SW_HIDE;
    ASSERT_TRUE(ShellExecuteExW(&info)) << GetLastError();
    // Done when the program has ended (it has its answer written and closed).
    if (info.hProcess) {
        EXPECT_EQ(WaitForSingleObject(info.hProcess, 15000), WAIT_OBJECT_0);
        CloseHandle(info.hProcess);
    }
    ASSERT_TRUE(testsupport::WaitFor([&] { return !testsupport::ReadBytes(seen).empty(); }));
    std::string folder = testsupport::ReadBytes(seen);
    while (!folder.empty() && (folder.back() == '\n' || folder.back() == '\r' || folder.back() == ' ')) {
        folder.pop_back();
    }
    EXPECT_TRUE(SamePathText(testsupport::FromUtf8(folder), ExpandedPath(L"%windir%"))) << folder;
}
