#include "link/text_encoding.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace {

struct DecodeCase {
    const char* name;
    std::string utf8;
    std::wstring wide;
};

}  // namespace

TEST(TextEncoding, DecodesValidAndInvalidUtf8) {
    const DecodeCase cases[] = {
        {"ascii", "keyboard_key_12", L"keyboard_key_12"},
        {"two bytes", "Fn\xC3\xA9", L"Fn\u00E9"},
        {"three bytes", "\xE9\xBB\x98\xE8\xAE\xA4", L"\u9ED8\u8BA4"},
        {"outside the BMP",
         "a\xF0\x9F\x8E\xAE"
         "b",
         L"a\U0001F3AEb"},
        {"largest", "\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
        {"stray continuation",
         "a\x80"
         "b",
         L"a\uFFFDb"},
        {"invalid lead bytes", "\xC0\xC1\xF5\xFF", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"overlong three", "\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"truncated sequence then ascii",
         "\xE9\xBB"
         "x",
         L"\uFFFDx"},
        {"truncated at the end", "ok\xF0\x9F\x8E", L"ok\uFFFD"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Utf8ToWideString(c.utf8.c_str()), c.wide) << c.name;
        EXPECT_EQ(Utf8ToDuiString(c.utf8).str(), c.wide) << c.name;
    }
}

TEST(TextEncoding, TruncatedSequenceNeverReadsPastTheEnd) {
    // Exactly sized buffers: under the address sanitizer a read past the zero
    // byte would be reported.
    for (const char* tail : {"\xC3", "\xE9\xBB", "\xF0\x9F\x8E", "\xF4"}) {
        const std::size_t n = std::char_traits<char>::length(tail);
        auto buffer = std::make_unique<char[]>(n + 1);
        std::char_traits<char>::copy(buffer.get(), tail, n + 1);
        EXPECT_EQ(Utf8ToWideString(buffer.get()), L"\uFFFD");
    }
}

TEST(TextEncoding, EncodesAndRoundTrips) {
    const std::wstring samples[] = {L"", L"plain", L"Fn\u00E9 \u9ED8\u8BA4", L"\U0001F3AE\U0010FFFF\u0080\u07FF\u0800"};
    for (const std::wstring& s : samples) {
        EXPECT_EQ(Utf8ToWideString(WideToUtf8(s).c_str()), s);
    }
    EXPECT_EQ(WideToUtf8(L"\U0001F3AE"), "\xF0\x9F\x8E\xAE");
    EXPECT_EQ(WideToUtf8(DuiLib::CDuiString(L"\u00E9")), "\xC3\xA9");
}

TEST(TextEncoding, WideSurrogatesAndOutOfRangeValues) {
    const wchar_t pair[] = {0xD83C, 0xDFAE, 0};
    EXPECT_EQ(WideToUtf8(pair), "\xF0\x9F\x8E\xAE") << "a UTF-16 pair becomes one character";
    const wchar_t lone[] = {L'a', 0xD800, L'b', 0xDC00, 0};
    EXPECT_EQ(WideToUtf8(lone),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    const wchar_t highAtEnd[] = {0xDBFF, 0};
    EXPECT_EQ(WideToUtf8(highAtEnd), "\xEF\xBF\xBD");
    if constexpr (sizeof(wchar_t) == 4) {
        const wchar_t tooLarge[] = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1), 0};
        EXPECT_EQ(WideToUtf8(tooLarge), "\xEF\xBF\xBD\xEF\xBF\xBD");
    }
}

TEST(TextEncoding, NullInputs) {
    EXPECT_EQ(Utf8ToWideString(nullptr), L"");
    EXPECT_EQ(WideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
    EXPECT_EQ(WideToAnsi(nullptr), nullptr);
}

TEST(TextEncoding, WideToAnsiGivesZeroPaddedNarrowText) {
    const std::unique_ptr<char[]> text(WideToAnsi(L"v1.0 \u00E9"));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text.get(), "v1.0 \xC3\xA9");
    EXPECT_EQ(text[7], '\0');
    EXPECT_EQ(text[8], '\0') << "two zero bytes follow the text";
}

// Arbitrary bytes: decoding never fails, and what it gives survives a round
// trip through UTF-8 unchanged (every replacement is itself valid text).
TEST(TextEncoding, ArbitraryBytesDecodeToTextThatRoundTrips) {
    std::mt19937 random(20231204);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> length(0, 24);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : bytes) {
            c = static_cast<char>(byte(random));
        }
        const std::wstring wide = Utf8ToWideString(bytes.c_str());
        const std::string encoded = WideToUtf8(wide);
        ASSERT_EQ(Utf8ToWideString(encoded.c_str()), wide);
        ASSERT_LE(wide.size(), bytes.size());
        if (wide.find(L'\uFFFD') == std::wstring::npos) {
            ASSERT_EQ(encoded, bytes) << "valid text is kept byte for byte";
        }
    }
}
