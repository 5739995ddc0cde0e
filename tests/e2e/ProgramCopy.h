#pragma once
// The fixture of the end-to-end tests: a copy of tarvolo.exe in a fresh
// folder (its catalogue beside it), the prefix's shortcut folder, and the
// aliases a test writes there removed before it starts and after it ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/e2e/Driver.h"

namespace e2e {

class ProgramCopy : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(g_exe.empty()) << "the program under test is passed as the first argument";
        fs::copy_file(g_exe, exe);
        ASSERT_TRUE(fs::is_directory(system)) << "the test prefix needs C:\\windows\\system";
    }
    void TearDown() override {
        for (const auto& name : aliases_) fs::remove(lnk(name));
    }
    // The shortcuts of these names are the test's own: gone now and at the end.
    void UsesAliases(std::initializer_list<std::wstring> names) {
        for (const auto& name : names) {
            fs::remove(lnk(name));
            aliases_.push_back(name);
        }
    }
    fs::path lnk(const std::wstring& name) const { return system / (name + L".lnk"); }

    testsupport::TempDir dir;
    const fs::path exe = dir / L"tarvolo.exe";
    const fs::path catalogue = dir / L"applist.ini";
    const fs::path system = SystemFolder();

private:
    std::vector<std::wstring> aliases_;
};

}  // namespace e2e
