#include "app/Launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestSupport.h"

TEST(Launcher, StartsAProgramWhosePathHasBlanksAndReportsAMissingOne) {
    testsupport::TempDir dir;
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    // A folder with a blank: the file is started as itself, not split at the blank.
    std::filesystem::create_directory(dir / L"my tools");
    const std::filesystem::path program = dir / L"my tools" / L"hostname.exe";
    std::filesystem::copy_file(std::filesystem::path(system) / L"hostname.exe", program);
    EXPECT_TRUE(StartProgramByPath(program.wstring()));
    EXPECT_FALSE(StartProgramByPath((dir / L"absent.exe").wstring()));
    EXPECT_FALSE(StartProgramByPath((dir / L"my tools").wstring()));  // a folder is no program
    // Anything that is not an existing file is a command line.
    EXPECT_TRUE(StartProgramByPath(L"hostname.exe"));
}
