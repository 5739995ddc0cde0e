#include "catalogue/AliasName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Show(std::wstring_view name) {
    std::string out;
    for (const wchar_t c : name) {
        if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else out += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
    return out;
}

}  // namespace

TEST(AliasName, GoodNamesPass) {
    for (const std::wstring_view name :
         {L"np", L"NotePad", L"记事本", L"a", L"my tool", L" lead", L"v1.2", L".hidden", L"a..b",
          L"con2", L"console", L"COM0", L"COM10", L"LPT", L"nul-ish", L"auxx.txt", L"x(1)", L"#&%$"}) {
        EXPECT_EQ(CheckAliasName(name), AliasNameProblem::None) << Show(name);
    }
}

TEST(AliasName, BadNamesReportTheRuleTheyBreak) {
    using P = AliasNameProblem;
    struct Case {
        std::wstring name;
        P problem;
    };
    const Case cases[] = {
        {L"", P::Empty},
        {L"a\rb", P::ControlCharacter},
        {L"a\nb", P::ControlCharacter},
        {L"tab\t", P::ControlCharacter},
        {std::wstring(L"nul\0x", 5), P::ControlCharacter},
        {L"del\x7F", P::ControlCharacter},
        {L"a\\b", P::ForbiddenCharacter},
        {L"..\\..\\evil", P::ForbiddenCharacter},
        {L"a/b", P::ForbiddenCharacter},
        {L"c:np", P::ForbiddenCharacter},
        {L"np:stream", P::ForbiddenCharacter},
        {L"*", P::ForbiddenCharacter},
        {L"what?", P::ForbiddenCharacter},
        {L"say\"hi\"", P::ForbiddenCharacter},
        {L"<a>", P::ForbiddenCharacter},
        {L"a|b", P::ForbiddenCharacter},
        {L".", P::DotName},
        {L"..", P::DotName},
        {L"np.", P::TrailingDotOrBlank},
        {L"np ", P::TrailingDotOrBlank},
        {L" ", P::TrailingDotOrBlank},  // one blank: refused here, after the dialog's empty check
        {L"...", P::TrailingDotOrBlank},
        {L"CON", P::ReservedDeviceName},
        {L"con", P::ReservedDeviceName},
        {L"Prn", P::ReservedDeviceName},
        {L"aux.txt", P::ReservedDeviceName},
        {L"NUL.tar.gz", P::ReservedDeviceName},
        {L"nul .lnk", P::ReservedDeviceName},
        {L"COM1", P::ReservedDeviceName},
        {L"com9.exe", P::ReservedDeviceName},
        {L"lpt5", P::ReservedDeviceName},
        {L"LPT\u00B9", P::ReservedDeviceName},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckAliasName(c.name), c.problem) << Show(c.name);
        EXPECT_FALSE(DescribeAliasNameProblem(c.problem).empty()) << Show(c.name);
    }
    EXPECT_TRUE(DescribeAliasNameProblem(P::None).empty());
}
