#include "link/string_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

using DuiLib::CDuiString;

TEST(SplitControlName, SplitsAtTheLastUnderscore) {
    const struct {
        const wchar_t* name;
        const wchar_t* prefix;
        int number;
    } cases[] = {
        {L"keyboard_key_12", L"keyboard_key_", 12},
        {L"plenta_DPI_slider_3", L"plenta_DPI_slider_", 3},
        {L"DPI_slider_", L"DPI_slider_", 0},
        {L"a_b_x", L"a_b_", 0},
        {L"item_ -7x", L"item_", -7},
        {L"item_+5", L"item_", 5},
        {L"item_99999999999", L"item_", INT_MAX},
        {L"item_-99999999999", L"item_", INT_MIN},
        {L"_4", L"_", 4},
    };
    for (const auto& c : cases) {
        CDuiString prefix = L"untouched";
        int number = 123;
        EXPECT_TRUE(SplitControlName(c.name, prefix, number)) << c.name;
        EXPECT_EQ(prefix, CDuiString(c.prefix)) << c.name;
        EXPECT_EQ(number, c.number) << c.name;
    }
}

TEST(SplitControlName, NameWithoutUnderscoreLeavesOutputsUntouched) {
    for (const wchar_t* name : {L"okbtn", L""}) {
        CDuiString prefix = L"before";
        int number = 42;
        EXPECT_FALSE(SplitControlName(name, prefix, number));
        EXPECT_EQ(prefix, L"before");
        EXPECT_EQ(number, 42);
    }
}

TEST(StringUtil, FormatHex8) {
    EXPECT_EQ(FormatHex8(0xFFFF0000u), "FFFF0000");
    EXPECT_EQ(FormatHex8(10), "0000000A");
    EXPECT_EQ(FormatHex8(0), "00000000");
    EXPECT_EQ(FormatHex8(0x89ABCDEFu), "89ABCDEF");
}

TEST(StringUtil, RemoveChar) {
    const struct {
        const char* in;
        char ch;
        const char* out;
    } cases[] = {
        {"1.0.3", '.', "103"}, {"...", '.', ""}, {"", '.', ""}, {"abc", 'x', "abc"}, {"a b c ", ' ', "abc"},
    };
    for (const auto& c : cases) {
        char buffer[16];
        std::strcpy(buffer, c.in);
        char* end = RemoveChar(buffer, c.ch);
        EXPECT_STREQ(buffer, c.out);
        EXPECT_EQ(end, buffer + std::strlen(c.out)) << "points at the new terminating zero";
        EXPECT_EQ(*end, '\0');
    }
    EXPECT_EQ(RemoveChar(nullptr, '.'), nullptr);
}

TEST(StringUtil, IsBlankString) {
    EXPECT_TRUE(IsBlankString(L""));
    EXPECT_TRUE(IsBlankString(L" \t \t"));
    EXPECT_TRUE(IsBlankString(L"\r\n"));
    EXPECT_FALSE(IsBlankString(L"a"));
    EXPECT_FALSE(IsBlankString(L"  name  "));
}

TEST(StringUtil, TextToIntReadsLikeAtoiWithoutOverflow) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"300", 300},
        {"  42ms", 42},
        {"-12", -12},
        {"+7", 7},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToInt(c.text), c.value) << c.text;
    }
    EXPECT_EQ(TextToInt(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(TextToInt(L" 15_"), 15);
}
