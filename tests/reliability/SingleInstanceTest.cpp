#include "app/SingleInstance.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using testsupport::ChildProcess;
using testsupport::TempDir;
using testsupport::WaitFor;

namespace {

HWND MainWindowOf(DWORD pid) {
    std::pair<DWORD, HWND> search{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(w, cls, 64);
            if (owner != s->first || lstrcmpW(cls, L"TarvoloMain") != 0) return TRUE;
            s->second = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}


}  // namespace

TEST(SingleInstance, NamesFollowTheFolderNotItsCase) {
    EXPECT_EQ(SingleInstance::NameFor(L"C:\\Tools\\Tarvolo"), SingleInstance::NameFor(L"c:\\tools\\TARVOLO"));
    EXPECT_NE(SingleInstance::NameFor(L"C:\\Tools\\Tarvolo"), SingleInstance::NameFor(L"C:\\Tools\\Other"));
    EXPECT_EQ(SingleInstance::NameFor(L"C:\\x").find(L'\\', 6), std::wstring::npos);
}

TEST(SingleInstance, ASecondStartBringsTheFirstOutOfTheTrayAndEnds) {
    TempDir dir;
    const std::filesystem::path exe = dir / L"tarvolo.exe";
    std::filesystem::copy_file(testsupport::WinePathFromUnix(TARVOLO_EXE), exe);
    ChildProcess first(exe.wstring(), L"", dir.path().wstring());
    ASSERT_TRUE(first.Started());
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = MainWindowOf(first.Pid())) != nullptr && IsWindowVisible(main); }));

    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); })) << "did not go to the tray";

    ChildProcess second(exe.wstring(), L"", dir.path().wstring());
    DWORD code = 99;
    ASSERT_TRUE(second.Wait(15000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && !IsIconic(main); }));
    EXPECT_FALSE(first.Wait(0));  // the first copy is still running

    // A copy in another folder works on another catalogue and runs alongside.
    TempDir other;
    std::filesystem::copy_file(exe, other / L"tarvolo.exe");
    ChildProcess third((other / L"tarvolo.exe").wstring(), L"", other.path().wstring());
    HWND thirdMain = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (thirdMain = MainWindowOf(third.Pid())) != nullptr; }));
    if (thirdMain) PostMessageW(thirdMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(third.Wait(15000));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Wait(15000));
}
