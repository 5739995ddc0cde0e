#include "catalogue/RunSearch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "catalogue/AliasHealth.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UserEnvironmentGuard.h"

namespace fs = std::filesystem;

namespace {

std::wstring ProcessPath() {
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(L"PATH", value.data(), static_cast<DWORD>(value.size())));
    return value;
}

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, folder);
    return folder;
}

// A Windows directory with its "system" folder, and a folder on the user's
// PATH in the registry (which the process's own PATH lacks).
class RunSearchTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(windows_ / L"system");
        testsupport::WriteBytes(onPath_ / L"onuserpath.exe", "MZ");
        testsupport::WriteUserPathValue(testsupport::TextValue(REG_SZ, onPath_.path().wstring()));
    }
    std::wstring windir() const { return windows_.path().wstring(); }

    testsupport::UserEnvironmentGuard environment_;  // puts the user's PATH back
    testsupport::TempDir windows_;
    testsupport::TempDir onPath_;
};

}  // namespace

TEST_F(RunSearchTest, SearchesOnOneThreadLeaveThePathAndFolderAnotherThreadReadsUnchanged) {
    const std::wstring path = ProcessPath();
    const std::wstring folder = CurrentFolder();
    std::atomic<bool> searching{true};
    std::atomic<int> seen{0}, changed{0};
    std::thread watcher([&] {
        while (searching) {
            if (ProcessPath() != path || CurrentFolder() != folder) ++changed;
            ++seen;
            std::this_thread::yield();
        }
    });
    int found = 0;
    const RunSearch search(windir());
    for (int i = 0; i < 25; ++i) {
        if (SamePathText(search.Resolve(L"onuserpath"), (onPath_ / L"onuserpath.exe").wstring())) ++found;
        if (!search.Resolve(L"no-such-name-anywhere").empty()) --found;
    }
    // The watcher has looked in between, however the threads were scheduled.
    while (seen < 50) std::this_thread::yield();
    searching = false;
    watcher.join();
    EXPECT_EQ(found, 25);
    EXPECT_EQ(changed, 0);
}

TEST_F(RunSearchTest, WhatOnlyThisProcesssPathHoldsIsNotTheRunBoxsAnswer) {
    // A folder on this process's PATH but not in the registry's: a program
    // started from the Run box does not see it.
    const testsupport::TempDir ours;
    testsupport::WriteBytes(ours / L"onlyours.exe", "MZ");
    const std::wstring path = ProcessPath();
    SetEnvironmentVariableW(L"PATH", (ours.path().wstring() + L";" + path).c_str());
    const RunSearch search(windir());
    const std::wstring onlyOurs = search.Resolve(L"onlyours");
    const std::wstring onUserPath = search.Resolve(L"onuserpath");
    SetEnvironmentVariableW(L"PATH", path.c_str());
    EXPECT_EQ(onlyOurs, L"");
    EXPECT_TRUE(SamePathText(onUserPath, (onPath_ / L"onuserpath.exe").wstring())) << testing::PrintToString(onUserPath);
    // The folders the search is given, in the shell's order.
    ASSERT_GE(search.Folders().size(), 4u);
    EXPECT_TRUE(SamePathText(search.Folders()[1], windir() + L"\\system"));
    EXPECT_TRUE(SamePathText(search.Folders()[2], windir()));
    EXPECT_TRUE(SamePathText(search.Folders().back(), onPath_.path().wstring()));
}
