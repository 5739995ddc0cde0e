#include "catalogue/UserPath.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kExpanded[] = L"C:\\Users\\李雷\\AppData\\Local\\Tarvolo\\Aliases";
const FolderForms kForms{kAliasFolderEntry, kExpanded};

}  // namespace

TEST(UserPath, RecognisesTheFolderInEitherFormCaseAndTrailingBackslash) {
    struct Case {
        const wchar_t* value;
        bool has;
    };
    const Case cases[] = {
        {L"%LOCALAPPDATA%\\Tarvolo\\Aliases", true},
        {L"C:\\bin;%localappdata%\\TARVOLO\\aliases\\", true},
        {L"C:\\bin;C:\\Users\\李雷\\AppData\\Local\\Tarvolo\\Aliases\\\\;D:\\x", true},
        {L"c:\\users\\李雷\\appdata\\local\\tarvolo\\aliases", true},
        {L"\"C:\\Users\\李雷\\AppData\\Local\\Tarvolo\\Aliases\";C:\\bin", true},
        {L" %LOCALAPPDATA%\\Tarvolo\\Aliases ", true},
        {L"", false},
        {L";;;", false},
        {L"C:\\bin;%LOCALAPPDATA%\\Tarvolo", false},
        {L"%LOCALAPPDATA%\\Tarvolo\\Aliases2", false},
        {L"X%LOCALAPPDATA%\\Tarvolo\\Aliases", false},
        {L"C:\\Users\\李雷\\AppData\\Local\\Tarvolo\\Aliases\\sub", false},
    };
    for (const Case& c : cases) EXPECT_EQ(PathValueHasFolder(c.value, kForms), c.has) << testing::PrintToString(std::wstring(c.value));
}

TEST(UserPath, AddsOnceAtTheEndAndRemovalGivesTheValueBack) {
    struct Case {
        const wchar_t* before;
        const wchar_t* entry;
        const wchar_t* after;
    };
    const std::wstring e = kAliasFolderEntry;
    const Case cases[] = {
        {L"", kAliasFolderEntry, kAliasFolderEntry},
        {L"C:\\bin", kAliasFolderEntry, L"C:\\bin;%LOCALAPPDATA%\\Tarvolo\\Aliases"},
        // Trailing ';' and empty segments are kept as they are.
        {L"C:\\bin;", kAliasFolderEntry, L"C:\\bin;;%LOCALAPPDATA%\\Tarvolo\\Aliases"},
        {L"a;;b", kAliasFolderEntry, L"a;;b;%LOCALAPPDATA%\\Tarvolo\\Aliases"},
        {L";", kAliasFolderEntry, L";;%LOCALAPPDATA%\\Tarvolo\\Aliases"},
        {L"C:\\bin", kExpanded, L"C:\\bin;C:\\Users\\李雷\\AppData\\Local\\Tarvolo\\Aliases"},
    };
    for (const Case& c : cases) {
        const std::wstring added = AddFolderToPathValue(c.before, c.entry, kForms);
        EXPECT_EQ(added, c.after);
        EXPECT_EQ(AddFolderToPathValue(added, c.entry, kForms), added) << "added twice";
        EXPECT_EQ(RemoveFolderFromPathValue(added, kForms), c.before);
    }
    // A long PATH survives whole.
    std::wstring longPath;
    while (longPath.size() < 2500) longPath += L"C:\\Program Files\\Tool " + std::to_wstring(longPath.size()) + L";";
    longPath += L"D:\\end";
    const std::wstring grown = AddFolderToPathValue(longPath, e, kForms);
    EXPECT_EQ(grown, longPath + L";" + e);
    EXPECT_EQ(RemoveFolderFromPathValue(grown, kForms), longPath);
}

TEST(UserPath, RemovalAnywhereKeepsTheOtherSegmentsAndAValueWithoutTheFolderIsLeftAlone) {
    struct Case {
        const wchar_t* before;
        const wchar_t* after;
    };
    const Case cases[] = {
        {L"%LOCALAPPDATA%\\Tarvolo\\Aliases;C:\\bin", L"C:\\bin"},
        {L"a;%localappdata%\\tarvolo\\aliases\\;b", L"a;b"},
        {L"a;;%LOCALAPPDATA%\\Tarvolo\\Aliases;;b", L"a;;;b"},
        {L"a;%LOCALAPPDATA%\\Tarvolo\\Aliases;C:\\Users\\李雷\\AppData\\Local\\Tarvolo\\Aliases", L"a"},
        {L"a;b;", L"a;b;"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(RemoveFolderFromPathValue(c.before, kForms), c.after);
}

TEST(UserPath, EntriesThatCouldNotBeTakenOutAgainAreNotAdded) {
    for (const wchar_t* entry : {L"", L"C:\\other", L"%LOCALAPPDATA%\\Tarvolo\\Aliases;C:\\x"}) {
        EXPECT_EQ(AddFolderToPathValue(L"C:\\bin", entry, kForms), L"C:\\bin");
    }
    // Empty folder forms never match the empty segments of a value.
    const FolderForms none{L"", L"\\"};
    EXPECT_FALSE(PathValueHasFolder(L";;", none));
}
