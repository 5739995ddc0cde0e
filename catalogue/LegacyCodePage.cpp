#include "catalogue/LegacyCodePage.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool OneOf(const std::wstring& value, std::initializer_list<const wchar_t*> list) {
    return std::any_of(list.begin(), list.end(), [&](const wchar_t* item) { return value == item; });
}

}  // namespace

unsigned LegacyCodePageForLocale(std::wstring_view localeName) {
    // Subtags in lower case: the language first, then a four-letter script
    // and a two-letter or three-digit region wherever they stand; a sort
    // suffix or variant matches neither and is passed over.
    std::vector<std::wstring> subtags(1);
    for (const wchar_t c : localeName) {
        if (c == L'-' || c == L'_') {
            subtags.emplace_back();
        } else {
            subtags.back() += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        }
    }
    const std::wstring& language = subtags[0];
    std::wstring script, region;
    for (size_t i = 1; i < subtags.size(); ++i) {
        const std::wstring& s = subtags[i];
        if (script.empty() && s.size() == 4 && std::all_of(s.begin(), s.end(), IsLetter)) script = s;
        if (region.empty() && ((s.size() == 2 && std::all_of(s.begin(), s.end(), IsLetter)) ||
                               (s.size() == 3 && std::all_of(s.begin(), s.end(), IsDigit)))) {
            region = s;
        }
    }

    if (language == L"zh") {
        // The script decides; without one, the regions that write
        // traditional characters.
        if (script == L"hant") return 950;
        if (script == L"hans") return 936;
        return OneOf(region, {L"tw", L"hk", L"mo"}) ? 950 : 936;
    }
    if (language == L"ja") return 932;
    if (language == L"ko") return 949;
    if (language == L"th") return 874;
    if (language == L"vi") return 1258;
    if (language == L"el") return 1253;
    if (OneOf(language, {L"he", L"iw"})) return 1255;
    if (OneOf(language, {L"ar", L"fa", L"prs", L"ps", L"ur", L"ug", L"ckb", L"sd"})) return 1256;
    if (OneOf(language, {L"et", L"lv", L"lt"})) return 1257;
    if (OneOf(language, {L"ru", L"uk", L"be", L"bg", L"mk", L"kk", L"ky", L"tt", L"ba", L"sah", L"mn", L"tg"})) {
        return 1251;
    }
    // Languages written in either alphabet follow the script.
    if (script == L"cyrl" && OneOf(language, {L"sr", L"bs", L"az", L"uz"})) return 1251;
    if (OneOf(language, {L"pl", L"cs", L"sk", L"hu", L"sl", L"hr", L"ro", L"sq", L"bs", L"sr", L"tk"})) return 1250;
    if (OneOf(language, {L"tr", L"az", L"uz"})) return 1254;
    return 1252;
}
