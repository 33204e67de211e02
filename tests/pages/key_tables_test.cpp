// The key tables: their lookups and the invariants that tie them together.
#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "pages/key_search.h"

namespace {

TEST(KeyTables, LookupEdgeCases) {
    // Middle and right are not in mask order.
    EXPECT_EQ(FindRowByParams(MouseKeyTable, kMouseKeyTableCount, {0x10, 0x04, 0}), 1);
    EXPECT_STREQ(KeyNameTable[kMouseKeyNameBase + 1], L"mouse_key_middle");
    EXPECT_EQ(kMouseKeyNameBase + 1, 69u);
    EXPECT_EQ(FindRowByParams(MouseKeyTable, kMouseKeyTableCount, {0x10, 0x02, 0}), 2);
    EXPECT_STREQ(KeyNameTable[70], L"mouse_key_right");
    // Two rows share virtual key 0xBF; the usage tells them apart.
    EXPECT_EQ(FindKeyTableRow({0x20, 0, 0x32}), 113);
    EXPECT_EQ(FindKeyTableRow({0x20, 0, 0x38}), 59);
    EXPECT_EQ(KeyTable[113].key, KeyTable[59].key);
    // Scan codes with and without the extended flag.
    EXPECT_EQ(FindScanCodeRow(0x45, 0), 75);     // Pause
    EXPECT_EQ(FindScanCodeRow(0x45, 1), 86);     // Num Lock
    EXPECT_EQ(FindScanCodeRow(0x1C, 1), 91);     // Num Enter
    EXPECT_EQ(FindScanCodeRow(0x1C, 0), 44);     // Enter
    EXPECT_EQ(FindScanCodeRow(0x1C, 0x81), 91);  // only bit 0 of the hook's flags counts
    EXPECT_EQ(FindScanCodeRow(0x7F, 0), -1);
    // Typed names: only the first 113 rows, case-sensitive.
    EXPECT_EQ(FindDisplayRow(L"K42"), -1);
    EXPECT_EQ(FindDisplayRow(L"K151"), 112);
    EXPECT_EQ(FindDisplayRow(L"Backspace"), 46);
    EXPECT_EQ(FindDisplayRow(L"backspace"), -1);
    EXPECT_EQ(FindDisplayRow(L"\\"), 53);
    EXPECT_EQ(FindDisplayRow(L"Caps Lock"), 60);
    EXPECT_EQ(FindDisplayRow(nullptr), -1);
    // A typed modifier name contributes no usage.
    for (size_t row = 0; row < kKeyTableModifierRows; ++row) {
        const int found = FindDisplayRow(KeyDisplayTable[row].text);
        ASSERT_EQ(found, int(row));
        EXPECT_EQ(KeyTable[found].function.param2, 0);
    }
}

TEST(KeyTables, ScrollParametersAndConsumerUsages) {
    const struct {
        KeyFunction f;
        bool down;
        int count;
    } wheel[] = {{{0x12, 0x21, 0xFF}, true, 1}, {{0x12, 0x21, 0x80}, true, 128}, {{0x12, 0x21, 0x05}, false, 5}};
    for (const auto& w : wheel) {
        EXPECT_EQ(int8_t(w.f.param2) < 0, w.down);
        EXPECT_EQ(w.down ? -int(int8_t(w.f.param2)) : int(w.f.param2), w.count);
    }
    const KeyFunction swing{0x11, 0x00, 0x85};
    EXPECT_TRUE(swing.param2 & 0x80);  // right
    EXPECT_EQ(swing.param2 & 0x7F, 5);
    EXPECT_EQ(ConsumerUsageOf(MediaKeyTable[0].function), 0x0183);
    EXPECT_EQ(ConsumerFunction(0x022A), MediaKeyTable[13].function);
    EXPECT_EQ(ConsumerUsageOf(KeyTable[114].function), 0x0192);
}

TEST(KeyTables, ModifierRowsHoldOneBitEach) {
    const uint8_t bits[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    for (size_t row = 0; row < 8; ++row) {
        EXPECT_EQ(KeyTable[row].function, (KeyFunction{0x20, bits[row], 0}));
        EXPECT_EQ(FindKeyTableRow({0x20, bits[row], 0}), int(row));
    }
    EXPECT_EQ(FindKeyTableRow({0x20, 0x03, 0}), -1);  // two modifiers: no single row
    EXPECT_EQ(FindKeyTableRow({0x20, 0x01, 4}), -1);
    EXPECT_EQ(FindKeyTableRow({0x30, 0, 4}), -1);
    EXPECT_EQ(FindKeyTableRow({0x20, 0, 0}), -1);
}

TEST(KeyTables, CountsAndCrossTableInvariants) {
    // Every keyboard usage has exactly one row, and the scan-code rows repeat the virtual keys.
    std::set<uint8_t> usages;
    for (size_t row = kKeyTableModifierRows; row < kKeyTableCount; ++row) {
        const KeyFunction f = KeyTable[row].function;
        if (f.code != kFunctionKeyboardKey) continue;
        EXPECT_TRUE(usages.insert(f.param2).second) << row;
        EXPECT_EQ(FindKeyTableRow(f), int(row));
    }
    EXPECT_EQ(usages.size(), 106u);  // rows 8..113
    for (size_t row = 0; row < kScanCodeTableCount; ++row) EXPECT_EQ(ScanCodeTable[row].virtualKey, KeyTable[row].key);
    // Scan codes are unique per (code, flag), so every captured key finds its own row.
    for (size_t row = 0; row < kScanCodeTableCount; ++row)
        EXPECT_EQ(FindScanCodeRow(ScanCodeTable[row].scanCode, ScanCodeTable[row].extended), int(row)) << row;
    // KeyDisplayTable follows KeyTable, and its name keys are KeyNameTable's.
    for (size_t row = 0; row < kKeyTableCount; ++row)
        EXPECT_STREQ(KeyDisplayTable[row].nameKey, KeyNameTable[kKeyNameBase + row]) << row;
    EXPECT_STREQ(KeyNameTable[kKeyNameBase + 130], L"wed_stop");
    EXPECT_STREQ(KeyNameTable[kColorName], L"keyboard_key_COLOR");
    EXPECT_STREQ(KeyDisplayTable[142].text, L"COLOR");
    EXPECT_STREQ(KeyNameTable[kMouseTextName], L"mouse_text");
    // The media rows and the consumer rows of KeyTable name the same usages.
    std::set<uint16_t> media;
    for (const auto& e : MediaKeyTable) media.insert(ConsumerUsageOf(e.function));
    for (size_t row = 114; row <= 131; ++row) EXPECT_TRUE(media.count(ConsumerUsageOf(KeyTable[row].function))) << row;
    // Combo rows are right-Ctrl shortcuts of keyboard usages.
    for (const auto& e : ComboKeyTable) {
        EXPECT_EQ(e.function.param1, 0x10);
        EXPECT_GE(FindKeyTableRow({0x20, 0, e.function.param2}), 0);
    }
    for (size_t i = 0; i < kShortcutKeyTableCount; ++i) EXPECT_EQ(ShortcutKeyTable[i].function.param2, i);
    // Names by base: each table's rows have names of their own kind.
    EXPECT_STREQ(KeyNameTable[kComboNameBase], L"custem_open");
    EXPECT_STREQ(KeyNameTable[kShortcutNameBase], L"custem_cut");
    EXPECT_STREQ(KeyNameTable[kMouseFunctionNameBase + 14], L"show_window");
    EXPECT_STREQ(KeyNameTable[kSystemNameBase + 2], L"system_wake_up");
    EXPECT_STREQ(KeyNameTable[kDpiNameBase + 2], L"mouse_key_DPI_loop");
    EXPECT_STREQ(KeyNameTable[kMouseEventNameBase + 14], L"mouse_cursor_text");
    EXPECT_EQ(KeyNameAt(kKeyNameTableCount), nullptr);
    // Mouse events: bit 7 is "down", bits 0..6 the macro event type.
    for (const auto& e : MouseEventTable) {
        const int type = e.eventCode & 0x7F;
        EXPECT_TRUE(type == 0 || type == 1 || type == 4 || type == 5);
    }
    EXPECT_EQ(FindMouseFunctionRow({0xA0, 0x02, 0}), 8);  // not "right" {0x10, 0x02, 0}
    EXPECT_EQ(FindMouseFunctionRow({0xA0, 0x00, 0}), 9);
    EXPECT_EQ(FindMouseFunctionRow({0x16, 0, 0}), 13);
    EXPECT_EQ(FindMouseFunctionRow({0x23, 0, 0}), 14);
    EXPECT_EQ(FindMouseFunctionRow({0x10, 0x01, 0}), -1);  // buttons are looked up in MouseKeyTable
    EXPECT_EQ(FindMouseFunctionRow({0xA0, 0x05, 0}), -1);
    EXPECT_EQ(FindRowByParams(DpiKeyTable, kDpiKeyTableCount, {0x13, 3, 0}), 2);
    EXPECT_EQ(FindRowByParams(SystemKeyTable, kSystemKeyTableCount, {0x40, 4, 0}), 2);
    EXPECT_EQ(FindRowByParams(nullptr, 3, {}), -1);
}

}  // namespace
