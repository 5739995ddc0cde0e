#pragma once
// The code page a locale's programs wrote text in before UTF-8: what an old
// catalogue on a system now set to UTF-8 (code page 65001) is in.
#include <string_view>

// For a locale name such as "zh-CN", "zh-Hant-TW", "ja-JP" or "ru-RU"
// (also "zh_CN" and names with a sort suffix, "zh-TW_radstr"): 936 for
// simplified Chinese, 950 for traditional Chinese, 932 Japanese, 949 Korean,
// 874 Thai, 1250 central European, 1251 Cyrillic, 1253 Greek, 1254 Turkish,
// 1255 Hebrew, 1256 Arabic, 1257 Baltic, 1258 Vietnamese; 1252 otherwise.
unsigned LegacyCodePageForLocale(std::wstring_view localeName);
