#include "catalogue/AliasName.h"

#include <array>

namespace {

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

bool IsDeviceDigit(wchar_t c) {
    // Windows also reserves COM and LPT with the superscript digits 1, 2, 3.
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

bool IsReservedDeviceName(std::wstring_view name) {
    // The device is found by the part before the first dot, blanks before
    // that dot ignored: "con.txt" and "NUL .lnk" both reach the device.
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.remove_suffix(1);
    for (const std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
        if (EqualsIgnoringCase(stem, device)) return true;
    }
    if (stem.size() == 4 && IsDeviceDigit(stem[3])) {
        const std::wstring_view prefix = stem.substr(0, 3);
        return EqualsIgnoringCase(prefix, L"COM") || EqualsIgnoringCase(prefix, L"LPT");
    }
    return false;
}

}  // namespace

AliasNameProblem CheckAliasName(std::wstring_view name) {
    if (name.empty()) return AliasNameProblem::Empty;
    for (const wchar_t c : name) {
        if (c < 0x20 || c == 0x7F) return AliasNameProblem::ControlCharacter;
    }
    if (name.find_first_of(L"\\/:*?\"<>|") != std::wstring_view::npos) {
        return AliasNameProblem::ForbiddenCharacter;
    }
    if (name == L"." || name == L"..") return AliasNameProblem::DotName;
    if (name.back() == L'.' || name.back() == L' ') return AliasNameProblem::TrailingDotOrBlank;
    if (IsReservedDeviceName(name)) return AliasNameProblem::ReservedDeviceName;
    return AliasNameProblem::None;
}

std::wstring DescribeAliasNameProblem(AliasNameProblem problem) {
    switch (problem) {
    case AliasNameProblem::None: return {};
    case AliasNameProblem::Empty: return L"名称不能为空。";
    case AliasNameProblem::ControlCharacter: return L"名称中不能包含换行符、制表符等控制字符。";
    case AliasNameProblem::ForbiddenCharacter:
        return L"名称中不能包含下列字符：\\ / : * ? \" < > |";
    case AliasNameProblem::DotName: return L"名称不能是“.”或“..”。";
    case AliasNameProblem::TrailingDotOrBlank: return L"名称不能以点或空格结尾。";
    case AliasNameProblem::ReservedDeviceName:
        return L"名称不能是系统保留的设备名（CON、PRN、AUX、NUL、COM1-COM9、LPT1-LPT9）。";
    }
    return {};
}
