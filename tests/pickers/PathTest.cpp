#include "pickers/Path.h"

#include <gtest/gtest.h>

TEST(Path, SplitsFolderAndFileName) {
    struct Case {
        const wchar_t* path;
        const wchar_t* folder;
        const wchar_t* file;
    };
    const Case cases[] = {
        {L"C:\\Tools\\app.exe", L"C:\\Tools\\", L"app.exe"},
        {L"C:app.exe", L"C:", L"C:app.exe"},  // a colon splits the folder only
        {L"app.exe", L"", L"app.exe"},
        {L"C:\\Tools\\", L"C:\\Tools\\", L""},
        {L"\\\\server\\share\\app.exe", L"\\\\server\\share\\", L"app.exe"},
        {L"", L"", L""},
        {L"C:\\", L"C:\\", L""},
        {L"D:\\游戏\\启动.exe", L"D:\\游戏\\", L"启动.exe"},
        {L"C:\\a:b\\c", L"C:\\a:b\\", L"c"},
        {L"C:\\dir\\x:y", L"C:\\dir\\x:", L"x:y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetFolderPart(c.path), c.folder) << testing::PrintToString(std::wstring(c.path));
        EXPECT_EQ(GetFileNamePart(c.path), c.file) << testing::PrintToString(std::wstring(c.path));
    }
}
