#include "catalogue/LegacyCodePage.h"

#include <gtest/gtest.h>

TEST(LegacyCodePage, FollowsTheLanguageScriptAndRegionOfTheLocaleName) {
    const struct {
        const wchar_t* name;
        unsigned codePage;
    } cases[] = {
        {L"zh-CN", 936},      {L"zh-SG", 936},        {L"zh-Hans", 936},       {L"zh-Hans-HK", 936},
        {L"zh", 936},         {L"zh_CN", 936},        {L"ZH-cn", 936},         {L"zh-CN_stroke", 936},
        {L"zh-TW", 950},      {L"zh-HK", 950},        {L"zh-MO", 950},         {L"zh-Hant", 950},
        {L"zh-Hant-CN", 950}, {L"zh-TW_radstr", 950}, {L"ja-JP", 932},         {L"ja-JP_radstr", 932},
        {L"ko-KR", 949},      {L"th-TH", 874},        {L"vi-VN", 1258},        {L"ru-RU", 1251},
        {L"uk-UA", 1251},     {L"bg-BG", 1251},       {L"sr-Cyrl-RS", 1251},   {L"sr-Latn-RS", 1250},
        {L"sr", 1250},        {L"pl-PL", 1250},       {L"cs-CZ", 1250},        {L"hu-HU", 1250},
        {L"el-GR", 1253},     {L"tr-TR", 1254},       {L"az-Latn-AZ", 1254},   {L"az-Cyrl-AZ", 1251},
        {L"he-IL", 1255},     {L"ar-SA", 1256},       {L"fa-IR", 1256},        {L"lt-LT", 1257},
        {L"en-US", 1252},     {L"de-DE", 1252},       {L"fr-FR", 1252},        {L"hi-IN", 1252},
        {L"", 1252},          {L"x-invariant", 1252}, {L"zhx-CN", 1252},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LegacyCodePageForLocale(c.name), c.codePage) << testing::PrintToString(std::wstring(c.name));
    }
}
