#include "catalogue/AliasHealth.h"

#include <gtest/gtest.h>

namespace {

Entry MakeEntry(const wchar_t* path, const wchar_t* work, const wchar_t* args, const wchar_t* comment) {
    Entry e;
    e.fields = {kKindProgram, L"np", path, work, args, comment};
    return e;
}

}  // namespace

TEST(AliasHealth, ClassifiesFromTheFieldsReadBackAndWhatTheSearchFinds) {
    const Entry entry = MakeEntry(L"C:\\Tools\\np.exe", L"C:\\Tools\\", L"-a", L"记事本");
    const std::wstring own = L"C:\\windows\\system\\np.lnk";
    const LinkFields same{L"c:\\tools\\NP.EXE", L"-a", L"C:\\Tools", L"记事本"};
    struct Case {
        std::optional<LinkFields> link;
        std::wstring opens;
        AliasState state;
        bool targetGone = false;
    };
    const Case cases[] = {
        {std::nullopt, L"", AliasState::Missing},
        {std::nullopt, own, AliasState::Missing},
        {same, own, AliasState::Ok},
        {same, L"C:\\WINDOWS\\SYSTEM\\NP.LNK", AliasState::Ok},
        {same, L"C:\\windows\\system32\\np.exe", AliasState::Shadowed},
        {same, L"", AliasState::Unreached},
        {LinkFields{L"C:\\Tools\\other.exe", L"-a", L"C:\\Tools\\", L"记事本"}, own, AliasState::Different},
        {LinkFields{L"C:\\Tools\\np.exe", L"-A", L"C:\\Tools\\", L"记事本"}, own, AliasState::Different},
        {LinkFields{L"C:\\Tools\\np.exe", L"-a", L"C:\\", L"记事本"}, own, AliasState::Different},
        {LinkFields{L"C:\\Tools\\np.exe", L"-a", L"C:\\Tools\\", L"记事本 "}, own, AliasState::Different},
        {LinkFields{L"C:\\Tools\\np.exe", L"", L"C:\\Tools\\", L"记事本"}, own, AliasState::Different},
        // A target that is gone is what matters, whatever the shortcut.
        {same, own, AliasState::TargetGone, true},
        {std::nullopt, L"", AliasState::TargetGone, true},
        {LinkFields{L"C:\\Tools\\other.exe", L"-a", L"C:\\Tools\\", L"记事本"}, own, AliasState::TargetGone, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyAlias(entry, c.link, own, c.opens, c.targetGone), c.state) << testing::PrintToString(c.opens);
    }
    EXPECT_TRUE(Repairable(AliasState::Missing));
    EXPECT_TRUE(Repairable(AliasState::Different));
    EXPECT_TRUE(Repairable(AliasState::Unreached));
    EXPECT_FALSE(Repairable(AliasState::Shadowed));
    EXPECT_FALSE(Repairable(AliasState::TargetGone));
    EXPECT_FALSE(Repairable(AliasState::Ok));
}

TEST(AliasHealth, PathTextComparesAsFileNamesDo) {
    EXPECT_TRUE(SamePathText(L"C:\\A\\b", L"c:/a/B\\"));
    EXPECT_TRUE(SamePathText(L"D:\\", L"d:\\"));
    EXPECT_TRUE(SamePathText(L"C:\\Temp\\\\t\\x.exe", L"C:\\temp\\t\\x.exe"));
    EXPECT_TRUE(SamePathText(L"\\\\srv\\share\\", L"\\\\SRV\\share"));
    EXPECT_FALSE(SamePathText(L"\\\\srv\\share", L"\\srv\\share"));
    EXPECT_FALSE(SamePathText(L"D:\\", L"D:"));
    EXPECT_FALSE(SamePathText(L"C:\\a", L"C:\\ab"));
    EXPECT_FALSE(SamePathText(L"C:\\a", L""));
    EXPECT_FALSE(SamePathText(L"\\", L""));
}

TEST(AliasHealth, ListsAtMostTenNamesThenHowManyMore) {
    std::vector<std::wstring> names;
    EXPECT_EQ(ListAliasNames(names), L"");
    for (int i = 1; i <= 3; ++i) names.push_back(L"n" + std::to_wstring(i));
    EXPECT_EQ(ListAliasNames(names), L"    n1\r\n    n2\r\n    n3\r\n");
    for (int i = 4; i <= 13; ++i) names.push_back(L"n" + std::to_wstring(i));
    const std::wstring listed = ListAliasNames(names);
    EXPECT_NE(listed.find(L"    n10\r\n"), std::wstring::npos);
    EXPECT_EQ(listed.find(L"n11"), std::wstring::npos);
    EXPECT_NE(listed.find(L"另外还有 3 个"), std::wstring::npos);
}
