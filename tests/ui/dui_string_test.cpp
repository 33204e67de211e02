#include "platform/ui/dui_string.h"

#include <gtest/gtest.h>

using DuiLib::CDuiString;

TEST(DuiString, FormatTakesWideStringsForPercentS) {
    CDuiString s;
    s.Format(L"%s-%d-%02d-%c|%hs|%S", L"name\u00e9", 7, 3, L'x', "narrow", "N");
    EXPECT_EQ(s, L"name\u00e9-7-03-x|narrow|N");
    s.Format(L"%d_%02d_%02d_%02d_%02d_%02d_%03d", 2026, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(s, L"2026_01_02_03_04_05_006");
    s.Format(L"100%% %ls %5.1f", L"w", 2.25);
    EXPECT_EQ(s, L"100% w   2.2");  // round-half-even of 2.25 prints 2.2
}

TEST(DuiString, FormatLongOutputGrows) {
    std::wstring big(5000, L'a');
    CDuiString s;
    EXPECT_EQ(s.Format(L"<%s>", big.c_str()), 5002);
    EXPECT_EQ(s.Left(2), L"<a");
}

TEST(DuiString, CompareAndCase) {
    CDuiString a(L"Keyboard_Key_3");
    EXPECT_EQ(a.CompareNoCase(L"KEYBOARD_key_3"), 0);
    EXPECT_NE(a.Compare(L"KEYBOARD_key_3"), 0);
    EXPECT_LT(CDuiString(L"abc").CompareNoCase(L"ABD"), 0);
    EXPECT_GT(CDuiString(L"b").CompareNoCase(nullptr), 0);
    CDuiString b = a;
    EXPECT_EQ(b.MakeLower(), L"keyboard_key_3");
    EXPECT_EQ(b.MakeUpper(), L"KEYBOARD_KEY_3");
}

TEST(DuiString, PartsAndSearchClipOutOfRange) {
    CDuiString s(L"DPI_slider_12");
    EXPECT_EQ(s.Find(L'_'), 3);
    EXPECT_EQ(s.Find(L'_', 4), 10);
    EXPECT_EQ(s.ReverseFind(L'_'), 10);
    EXPECT_EQ(s.Find(L"slider"), 4);
    EXPECT_EQ(s.Find(L"zz"), -1);
    EXPECT_EQ(s.Find(L'x', 99), -1);
    EXPECT_EQ(s.Left(3), L"DPI");
    EXPECT_EQ(s.Mid(11), L"12");
    EXPECT_EQ(s.Mid(4, 6), L"slider");
    EXPECT_EQ(s.Mid(40), L"");
    EXPECT_EQ(s.Right(2), L"12");
    EXPECT_EQ(s.Right(99), s);
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.GetAt(99), L'\0');
    EXPECT_EQ(s[0], L'D');
}

TEST(DuiString, ChangeInPlace) {
    CDuiString s(L"a.b.c");
    EXPECT_EQ(s.Replace(L".", L".."), 2);
    EXPECT_EQ(s, L"a..b..c");
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    s = L"  \t pad \n";
    EXPECT_EQ(s.Trim(), L"pad");
    s.SetAt(0, L'P');
    s.SetAt(10, L'!');
    s += L'!';
    s += CDuiString(L"?");
    EXPECT_EQ(s, L"Pad!?");
    EXPECT_EQ(CDuiString(L"abc", 2), L"ab");
    EXPECT_TRUE(CDuiString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_EQ(L"x" + CDuiString(L"y") + L"z", L"xyz");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetLength(), 0);
}
