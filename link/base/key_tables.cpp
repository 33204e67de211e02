// The key tables. KeyTable, ScanCodeTable and KeyDisplayTable share their row order.
#include "link/base/key_tables.h"

const KeyCodeEntry KeyTable[kKeyTableCount] = {
    {0xA2, {0x20, 0x01, 0x00}},   // 0 LCtrl
    {0xA0, {0x20, 0x02, 0x00}},   // 1 LShift
    {0xA4, {0x20, 0x04, 0x00}},   // 2 LAlt
    {0x5B, {0x20, 0x08, 0x00}},   // 3 LWin
    {0xA3, {0x20, 0x10, 0x00}},   // 4 RCtrl
    {0xA1, {0x20, 0x20, 0x00}},   // 5 RShift
    {0xA5, {0x20, 0x40, 0x00}},   // 6 RAlt
    {0x5C, {0x20, 0x80, 0x00}},   // 7 RWin
    {0x41, {0x20, 0x00, 0x04}},   // 8 A
    {0x42, {0x20, 0x00, 0x05}},   // 9 B
    {0x43, {0x20, 0x00, 0x06}},   // 10 C
    {0x44, {0x20, 0x00, 0x07}},   // 11 D
    {0x45, {0x20, 0x00, 0x08}},   // 12 E
    {0x46, {0x20, 0x00, 0x09}},   // 13 F
    {0x47, {0x20, 0x00, 0x0A}},   // 14 G
    {0x48, {0x20, 0x00, 0x0B}},   // 15 H
    {0x49, {0x20, 0x00, 0x0C}},   // 16 I
    {0x4A, {0x20, 0x00, 0x0D}},   // 17 J
    {0x4B, {0x20, 0x00, 0x0E}},   // 18 K
    {0x4C, {0x20, 0x00, 0x0F}},   // 19 L
    {0x4D, {0x20, 0x00, 0x10}},   // 20 M
    {0x4E, {0x20, 0x00, 0x11}},   // 21 N
    {0x4F, {0x20, 0x00, 0x12}},   // 22 O
    {0x50, {0x20, 0x00, 0x13}},   // 23 P
    {0x51, {0x20, 0x00, 0x14}},   // 24 Q
    {0x52, {0x20, 0x00, 0x15}},   // 25 R
    {0x53, {0x20, 0x00, 0x16}},   // 26 S
    {0x54, {0x20, 0x00, 0x17}},   // 27 T
    {0x55, {0x20, 0x00, 0x18}},   // 28 U
    {0x56, {0x20, 0x00, 0x19}},   // 29 V
    {0x57, {0x20, 0x00, 0x1A}},   // 30 W
    {0x58, {0x20, 0x00, 0x1B}},   // 31 X
    {0x59, {0x20, 0x00, 0x1C}},   // 32 Y
    {0x5A, {0x20, 0x00, 0x1D}},   // 33 Z
    {0x31, {0x20, 0x00, 0x1E}},   // 34 1
    {0x32, {0x20, 0x00, 0x1F}},   // 35 2
    {0x33, {0x20, 0x00, 0x20}},   // 36 3
    {0x34, {0x20, 0x00, 0x21}},   // 37 4
    {0x35, {0x20, 0x00, 0x22}},   // 38 5
    {0x36, {0x20, 0x00, 0x23}},   // 39 6
    {0x37, {0x20, 0x00, 0x24}},   // 40 7
    {0x38, {0x20, 0x00, 0x25}},   // 41 8
    {0x39, {0x20, 0x00, 0x26}},   // 42 9
    {0x30, {0x20, 0x00, 0x27}},   // 43 0
    {0xD, {0x20, 0x00, 0x28}},    // 44 Enter
    {0x1B, {0x20, 0x00, 0x29}},   // 45 Esc
    {0x8, {0x20, 0x00, 0x2A}},    // 46 BackSpace
    {0x9, {0x20, 0x00, 0x2B}},    // 47 Tab
    {0x20, {0x20, 0x00, 0x2C}},   // 48 Space
    {0xBD, {0x20, 0x00, 0x2D}},   // 49 -
    {0xBB, {0x20, 0x00, 0x2E}},   // 50 =
    {0xDB, {0x20, 0x00, 0x2F}},   // 51 [
    {0xDD, {0x20, 0x00, 0x30}},   // 52 ]
    {0xDC, {0x20, 0x00, 0x31}},   // 53 xiegang
    {0xBA, {0x20, 0x00, 0x33}},   // 54 ;
    {0xDE, {0x20, 0x00, 0x34}},   // 55 '
    {0xC0, {0x20, 0x00, 0x35}},   // 56 `
    {0xBC, {0x20, 0x00, 0x36}},   // 57 ,
    {0xBE, {0x20, 0x00, 0x37}},   // 58 .
    {0xBF, {0x20, 0x00, 0x38}},   // 59 /
    {0x14, {0x20, 0x00, 0x39}},   // 60 Caplk
    {0x70, {0x20, 0x00, 0x3A}},   // 61 F1
    {0x71, {0x20, 0x00, 0x3B}},   // 62 F2
    {0x72, {0x20, 0x00, 0x3C}},   // 63 F3
    {0x73, {0x20, 0x00, 0x3D}},   // 64 F4
    {0x74, {0x20, 0x00, 0x3E}},   // 65 F5
    {0x75, {0x20, 0x00, 0x3F}},   // 66 F6
    {0x76, {0x20, 0x00, 0x40}},   // 67 F7
    {0x77, {0x20, 0x00, 0x41}},   // 68 F8
    {0x78, {0x20, 0x00, 0x42}},   // 69 F9
    {0x79, {0x20, 0x00, 0x43}},   // 70 F10
    {0x7A, {0x20, 0x00, 0x44}},   // 71 F11
    {0x7B, {0x20, 0x00, 0x45}},   // 72 F12
    {0x2C, {0x20, 0x00, 0x46}},   // 73 Print Scr
    {0x91, {0x20, 0x00, 0x47}},   // 74 Scroll Lock
    {0x13, {0x20, 0x00, 0x48}},   // 75 Pause
    {0x2D, {0x20, 0x00, 0x49}},   // 76 Insert
    {0x24, {0x20, 0x00, 0x4A}},   // 77 Home
    {0x21, {0x20, 0x00, 0x4B}},   // 78 Page Up
    {0x2E, {0x20, 0x00, 0x4C}},   // 79 Delete
    {0x23, {0x20, 0x00, 0x4D}},   // 80 End
    {0x22, {0x20, 0x00, 0x4E}},   // 81 Page Down
    {0x27, {0x20, 0x00, 0x4F}},   // 82 Right
    {0x25, {0x20, 0x00, 0x50}},   // 83 Left
    {0x28, {0x20, 0x00, 0x51}},   // 84 Down
    {0x26, {0x20, 0x00, 0x52}},   // 85 Up
    {0x90, {0x20, 0x00, 0x53}},   // 86 Num Lock
    {0x6F, {0x20, 0x00, 0x54}},   // 87 Num /
    {0x6A, {0x20, 0x00, 0x55}},   // 88 Num *
    {0x6D, {0x20, 0x00, 0x56}},   // 89 Num -
    {0x6B, {0x20, 0x00, 0x57}},   // 90 Num +
    {0x101, {0x20, 0x00, 0x58}},  // 91 Num Enter
    {0x61, {0x20, 0x00, 0x59}},   // 92 Num 1
    {0x62, {0x20, 0x00, 0x5A}},   // 93 Num 2
    {0x63, {0x20, 0x00, 0x5B}},   // 94 Num 3
    {0x64, {0x20, 0x00, 0x5C}},   // 95 Num 4
    {0x65, {0x20, 0x00, 0x5D}},   // 96 Num 5
    {0x66, {0x20, 0x00, 0x5E}},   // 97 Num 6
    {0x67, {0x20, 0x00, 0x5F}},   // 98 Num 7
    {0x68, {0x20, 0x00, 0x60}},   // 99 Num 8
    {0x69, {0x20, 0x00, 0x61}},   // 100 Num 9
    {0x60, {0x20, 0x00, 0x62}},   // 101 Num 0
    {0x6E, {0x20, 0x00, 0x63}},   // 102 Decimal
    {0x5D, {0x20, 0x00, 0x65}},   // 103 App
    {0xE2, {0x20, 0x00, 0x64}},   // 104 K45
    {0xC1, {0x20, 0x00, 0x87}},   // 105 K56
    {0xFF, {0x20, 0x00, 0x89}},   // 106 K14
    {0xC2, {0x20, 0x00, 0x85}},   // 107 K107
    {0xEB, {0x20, 0x00, 0x8B}},   // 108 K131
    {0xFF, {0x20, 0x00, 0x8A}},   // 109 K132
    {0xFF, {0x20, 0x00, 0x88}},   // 110 K133
    {0xE9, {0x20, 0x00, 0x91}},   // 111 K150
    {0xFF, {0x20, 0x00, 0x90}},   // 112 K151
    {0xBF, {0x20, 0x00, 0x32}},   // 113 K42
    {0xB7, {0x30, 0x92, 0x01}},   // 114 Launch App2
    {0xAC, {0x30, 0x23, 0x02}},   // 115 Browaer Home
    {0xB3, {0x30, 0xCD, 0x00}},   // 116 Media Play Pause
    {0xAA, {0x30, 0x21, 0x02}},   // 117 Browser Search
    {0xB4, {0x30, 0x8A, 0x01}},   // 118 Launch Mail
    {0xAF, {0x30, 0xE9, 0x00}},   // 119 Volume Up
    {0xAD, {0x30, 0xE2, 0x00}},   // 120 Volume Mute
    {0xB2, {0x30, 0xB7, 0x00}},   // 121 Media Stop
    {0xAE, {0x30, 0xEA, 0x00}},   // 122 Volume Down
    {0xAB, {0x30, 0x2A, 0x02}},   // 123 Browser Favorites
    {0xA7, {0x30, 0x25, 0x02}},   // 124 Browser ForWard
    {0xA6, {0x30, 0x24, 0x02}},   // 125 Browser Back
    {0xB1, {0x30, 0xB6, 0x00}},   // 126 Media Prev Track
    {0xB0, {0x30, 0xB5, 0x00}},   // 127 Media Next Track
    {0xB6, {0x30, 0x94, 0x01}},   // 128 Computer
    {0xA8, {0x30, 0x27, 0x02}},   // 129 Browser Refresh
    {0xA9, {0x30, 0x26, 0x02}},   // 130 wed_stop
    {0xB5, {0x30, 0x83, 0x01}},   // 131 Launch Media Select
    {0x103, {0x40, 0x01, 0x00}},  // 132 Power
    {0x104, {0x40, 0x02, 0x00}},  // 133 Sleep
    {0x105, {0x40, 0x04, 0x00}},  // 134 Wakeup
    {0x0, {0xD0, 0xA2, 0x01}},    // 135 M1
    {0x0, {0xD0, 0xA2, 0x02}},    // 136 M2
    {0x0, {0xD0, 0xA2, 0x03}},    // 137 M3
    {0x0, {0xD0, 0xA2, 0x04}},    // 138 M4
    {0x0, {0xD0, 0xA2, 0x05}},    // 139 M5
    {0x0, {0xA0, 0x01, 0x00}},    // 140 FN
    {0x0, {0xA0, 0x1B, 0x00}},    // 141 GM
};

const ScanCodeEntry ScanCodeTable[kScanCodeTableCount] = {
    {0xA2, 0x1D, 0},   // 0 LCtrl
    {0xA0, 0x2A, 0},   // 1 LShift
    {0xA4, 0x38, 0},   // 2 LAlt
    {0x5B, 0x5B, 1},   // 3 LWin
    {0xA3, 0x1D, 1},   // 4 RCtrl
    {0xA1, 0x36, 1},   // 5 RShift
    {0xA5, 0x38, 1},   // 6 RAlt
    {0x5C, 0x5C, 1},   // 7 RWin
    {0x41, 0x1E, 0},   // 8 A
    {0x42, 0x30, 0},   // 9 B
    {0x43, 0x2E, 0},   // 10 C
    {0x44, 0x20, 0},   // 11 D
    {0x45, 0x12, 0},   // 12 E
    {0x46, 0x21, 0},   // 13 F
    {0x47, 0x22, 0},   // 14 G
    {0x48, 0x23, 0},   // 15 H
    {0x49, 0x17, 0},   // 16 I
    {0x4A, 0x24, 0},   // 17 J
    {0x4B, 0x25, 0},   // 18 K
    {0x4C, 0x26, 0},   // 19 L
    {0x4D, 0x32, 0},   // 20 M
    {0x4E, 0x31, 0},   // 21 N
    {0x4F, 0x18, 0},   // 22 O
    {0x50, 0x19, 0},   // 23 P
    {0x51, 0x10, 0},   // 24 Q
    {0x52, 0x13, 0},   // 25 R
    {0x53, 0x1F, 0},   // 26 S
    {0x54, 0x14, 0},   // 27 T
    {0x55, 0x16, 0},   // 28 U
    {0x56, 0x2F, 0},   // 29 V
    {0x57, 0x11, 0},   // 30 W
    {0x58, 0x2D, 0},   // 31 X
    {0x59, 0x15, 0},   // 32 Y
    {0x5A, 0x2C, 0},   // 33 Z
    {0x31, 0x02, 0},   // 34 1
    {0x32, 0x03, 0},   // 35 2
    {0x33, 0x04, 0},   // 36 3
    {0x34, 0x05, 0},   // 37 4
    {0x35, 0x06, 0},   // 38 5
    {0x36, 0x07, 0},   // 39 6
    {0x37, 0x08, 0},   // 40 7
    {0x38, 0x09, 0},   // 41 8
    {0x39, 0x0A, 0},   // 42 9
    {0x30, 0x0B, 0},   // 43 0
    {0xD, 0x1C, 0},    // 44 Enter
    {0x1B, 0x01, 0},   // 45 Esc
    {0x8, 0x0E, 0},    // 46 BackSpace
    {0x9, 0x0F, 0},    // 47 Tab
    {0x20, 0x39, 0},   // 48 Space
    {0xBD, 0x0C, 0},   // 49 -
    {0xBB, 0x0D, 0},   // 50 =
    {0xDB, 0x1A, 0},   // 51 [
    {0xDD, 0x1B, 0},   // 52 ]
    {0xDC, 0x2B, 0},   // 53 xiegang
    {0xBA, 0x27, 0},   // 54 ;
    {0xDE, 0x28, 0},   // 55 '
    {0xC0, 0x29, 0},   // 56 `
    {0xBC, 0x33, 0},   // 57 ,
    {0xBE, 0x34, 0},   // 58 .
    {0xBF, 0x35, 0},   // 59 /
    {0x14, 0x3A, 0},   // 60 Caplk
    {0x70, 0x3B, 0},   // 61 F1
    {0x71, 0x3C, 0},   // 62 F2
    {0x72, 0x3D, 0},   // 63 F3
    {0x73, 0x3E, 0},   // 64 F4
    {0x74, 0x3F, 0},   // 65 F5
    {0x75, 0x40, 0},   // 66 F6
    {0x76, 0x41, 0},   // 67 F7
    {0x77, 0x42, 0},   // 68 F8
    {0x78, 0x43, 0},   // 69 F9
    {0x79, 0x44, 0},   // 70 F10
    {0x7A, 0x57, 0},   // 71 F11
    {0x7B, 0x58, 0},   // 72 F12
    {0x2C, 0x37, 1},   // 73 Print Scr
    {0x91, 0x46, 0},   // 74 Scroll Lock
    {0x13, 0x45, 0},   // 75 Pause
    {0x2D, 0x52, 1},   // 76 Insert
    {0x24, 0x47, 1},   // 77 Home
    {0x21, 0x49, 1},   // 78 Page Up
    {0x2E, 0x53, 1},   // 79 Delete
    {0x23, 0x4F, 1},   // 80 End
    {0x22, 0x51, 1},   // 81 Page Down
    {0x27, 0x4D, 1},   // 82 Right
    {0x25, 0x4B, 1},   // 83 Left
    {0x28, 0x50, 1},   // 84 Down
    {0x26, 0x48, 1},   // 85 Up
    {0x90, 0x45, 1},   // 86 Num Lock
    {0x6F, 0x35, 1},   // 87 Num /
    {0x6A, 0x37, 0},   // 88 Num *
    {0x6D, 0x4A, 0},   // 89 Num -
    {0x6B, 0x4E, 0},   // 90 Num +
    {0x101, 0x1C, 1},  // 91 Num Enter
    {0x61, 0x4F, 0},   // 92 Num 1
    {0x62, 0x50, 0},   // 93 Num 2
    {0x63, 0x51, 0},   // 94 Num 3
    {0x64, 0x4B, 0},   // 95 Num 4
    {0x65, 0x4C, 0},   // 96 Num 5
    {0x66, 0x4D, 0},   // 97 Num 6
    {0x67, 0x47, 0},   // 98 Num 7
    {0x68, 0x48, 0},   // 99 Num 8
    {0x69, 0x49, 0},   // 100 Num 9
    {0x60, 0x52, 0},   // 101 Num 0
    {0x6E, 0x53, 0},   // 102 Decimal
    {0x5D, 0x5D, 1},   // 103 App
    {0xE2, 0x56, 0},   // 104 K45
    {0xC1, 0x73, 0},   // 105 K56
    {0xFF, 0x7D, 0},   // 106 K14
    {0xC2, 0x7E, 0},   // 107 K107
    {0xEB, 0x7B, 0},   // 108 K131
    {0xFF, 0x79, 0},   // 109 K132
    {0xFF, 0x70, 0},   // 110 K133
    {0xE9, 0x71, 0},   // 111 K150
    {0xFF, 0x72, 0},   // 112 K151
};

const KeyDisplayEntry KeyDisplayTable[kKeyDisplayTableCount] = {
    {L"keyboard_key_LCtrl", L"LCtrl"},
    {L"keyboard_key_LShift", L"LShift"},
    {L"keyboard_key_LAlt", L"LAlt"},
    {L"keyboard_key_LWin", L"LWin"},
    {L"keyboard_key_RCtrl", L"RCtrl"},
    {L"keyboard_key_RShift", L"RShift"},
    {L"keyboard_key_RAlt", L"RAlt"},
    {L"keyboard_key_RWin", L"RWin"},
    {L"keyboard_key_A", L"A"},
    {L"keyboard_key_B", L"B"},
    {L"keyboard_key_C", L"C"},
    {L"keyboard_key_D", L"D"},
    {L"keyboard_key_E", L"E"},
    {L"keyboard_key_F", L"F"},
    {L"keyboard_key_G", L"G"},
    {L"keyboard_key_H", L"H"},
    {L"keyboard_key_I", L"I"},
    {L"keyboard_key_J", L"J"},
    {L"keyboard_key_K", L"K"},
    {L"keyboard_key_L", L"L"},
    {L"keyboard_key_M", L"M"},
    {L"keyboard_key_N", L"N"},
    {L"keyboard_key_O", L"O"},
    {L"keyboard_key_P", L"P"},
    {L"keyboard_key_Q", L"Q"},
    {L"keyboard_key_R", L"R"},
    {L"keyboard_key_S", L"S"},
    {L"keyboard_key_T", L"T"},
    {L"keyboard_key_U", L"U"},
    {L"keyboard_key_V", L"V"},
    {L"keyboard_key_W", L"W"},
    {L"keyboard_key_X", L"X"},
    {L"keyboard_key_Y", L"Y"},
    {L"keyboard_key_Z", L"Z"},
    {L"keyboard_key_1", L"1"},
    {L"keyboard_key_2", L"2"},
    {L"keyboard_key_3", L"3"},
    {L"keyboard_key_4", L"4"},
    {L"keyboard_key_5", L"5"},
    {L"keyboard_key_6", L"6"},
    {L"keyboard_key_7", L"7"},
    {L"keyboard_key_8", L"8"},
    {L"keyboard_key_9", L"9"},
    {L"keyboard_key_0", L"0"},
    {L"keyboard_key_Enter", L"Enter"},
    {L"keyboard_key_Esc", L"Esc"},
    {L"keyboard_key_BackSpace", L"Backspace"},
    {L"keyboard_key_Tab", L"Tab"},
    {L"keyboard_key_Space", L"Space"},
    {L"keyboard_key_-", L"-"},
    {L"keyboard_key_=", L"="},
    {L"keyboard_key_[", L"["},
    {L"keyboard_key_]", L"]"},
    {L"keyboard_key_xiegang", L"\\"},
    {L"keyboard_key_;", L";"},
    {L"keyboard_key_'", L"'"},
    {L"keyboard_key_`", L"`"},
    {L"keyboard_key_,", L","},
    {L"keyboard_key_.", L"."},
    {L"keyboard_key_/", L"/"},
    {L"keyboard_key_Caplk", L"Caps Lock"},
    {L"keyboard_key_F1", L"F1"},
    {L"keyboard_key_F2", L"F2"},
    {L"keyboard_key_F3", L"F3"},
    {L"keyboard_key_F4", L"F4"},
    {L"keyboard_key_F5", L"F5"},
    {L"keyboard_key_F6", L"F6"},
    {L"keyboard_key_F7", L"F7"},
    {L"keyboard_key_F8", L"F8"},
    {L"keyboard_key_F9", L"F9"},
    {L"keyboard_key_F10", L"F10"},
    {L"keyboard_key_F11", L"F11"},
    {L"keyboard_key_F12", L"F12"},
    {L"keyboard_key_Print Scr", L"Print Scr"},
    {L"keyboard_key_Scroll Lock", L"Scroll Lock"},
    {L"keyboard_key_Pause", L"Pause"},
    {L"keyboard_key_Insert", L"Insert"},
    {L"keyboard_key_Home", L"Home"},
    {L"keyboard_key_Page Up", L"Page Up"},
    {L"keyboard_key_Delete", L"Delete"},
    {L"keyboard_key_End", L"End"},
    {L"keyboard_key_Page Down", L"Page Down"},
    {L"keyboard_key_Right", L"Right"},
    {L"keyboard_key_Left", L"Left"},
    {L"keyboard_key_Down", L"Down"},
    {L"keyboard_key_Up", L"Up"},
    {L"keyboard_key_Num Lock", L"Num Lock"},
    {L"keyboard_key_Num /", L"Num /"},
    {L"keyboard_key_Num *", L"Num *"},
    {L"keyboard_key_Num -", L"Num -"},
    {L"keyboard_key_Num +", L"Num +"},
    {L"keyboard_key_Num Enter", L"Num Enter"},
    {L"keyboard_key_Num 1", L"Num 1"},
    {L"keyboard_key_Num 2", L"Num 2"},
    {L"keyboard_key_Num 3", L"Num 3"},
    {L"keyboard_key_Num 4", L"Num 4"},
    {L"keyboard_key_Num 5", L"Num 5"},
    {L"keyboard_key_Num 6", L"Num 6"},
    {L"keyboard_key_Num 7", L"Num 7"},
    {L"keyboard_key_Num 8", L"Num 8"},
    {L"keyboard_key_Num 9", L"Num 9"},
    {L"keyboard_key_Num 0", L"Num 0"},
    {L"keyboard_key_Decimal", L"Decimal"},
    {L"keyboard_key_App", L"App"},
    {L"keyboard_key_K45", L"K45"},
    {L"keyboard_key_K56", L"K56"},
    {L"keyboard_key_K14", L"K14"},
    {L"keyboard_key_K107", L"K107"},
    {L"keyboard_key_K131", L"K131"},
    {L"keyboard_key_K132", L"K132"},
    {L"keyboard_key_K133", L"K133"},
    {L"keyboard_key_K150", L"K150"},
    {L"keyboard_key_K151", L"K151"},
    {L"keyboard_key_K42", L"K42"},
    {L"keyboard_key_Launch App2", L"Launch App2"},
    {L"keyboard_key_Browaer Home", L"Browaer Home"},
    {L"keyboard_key_Media Play Pause", L"Media Play Pause"},
    {L"keyboard_key_Browser Search", L"Browser Search"},
    {L"keyboard_key_Launch Mail", L"Launch Mail"},
    {L"keyboard_key_Volume Up", L"Volume Up"},
    {L"keyboard_key_Volume Mute", L"Volume Mute"},
    {L"keyboard_key_Media Stop", L"Media Stop"},
    {L"keyboard_key_Volume Down", L"Volume Down"},
    {L"keyboard_key_Browser Favorites", L"Browser Favorites"},
    {L"keyboard_key_Browser ForWard", L"Browser ForWard"},
    {L"keyboard_key_Browser Back", L"Browser Back"},
    {L"keyboard_key_Media Prev Track", L"Media Prev Track"},
    {L"keyboard_key_Media Next Track", L"Media Next Track"},
    {L"keyboard_key_Computer", L"Computer"},
    {L"keyboard_key_Browser Refresh", L"Browser Refresh"},
    {L"wed_stop", L"wed_stop"},
    {L"keyboard_key_Launch Media Select", L"Launch Media Select"},
    {L"keyboard_key_Power", L"Power"},
    {L"keyboard_key_Sleep", L"Sleep"},
    {L"keyboard_key_Wakeup", L"Wakeup"},
    {L"keyboard_key_M1", L"M1"},
    {L"keyboard_key_M2", L"M2"},
    {L"keyboard_key_M3", L"M3"},
    {L"keyboard_key_M4", L"M4"},
    {L"keyboard_key_M5", L"M5"},
    {L"keyboard_key_FN", L"FN"},
    {L"keyboard_key_GM", L"GM"},
    {L"keyboard_key_COLOR", L"COLOR"},
};

const wchar_t* const KeyNameTable[kKeyNameTableCount] = {
    L"gun_1_txt",                         // 0
    L"gun_2_txt",                         // 1
    L"gun_3_txt",                         // 2
    L"gun_4_txt",                         // 3
    L"custem_open",                       // 4
    L"custem_new",                        // 5
    L"custem_undo",                       // 6
    L"custem_save",                       // 7
    L"custem_copy",                       // 8
    L"custem_cut",                        // 9
    L"custem_paste",                      // 10
    L"custem_find",                       // 11
    L"custem_select_all",                 // 12
    L"custem_narrow",                     // 13
    L"custem_magnify",                    // 14
    L"custem_cut",                        // 15
    L"custem_copy",                       // 16
    L"custem_paste",                      // 17
    L"custem_undo",                       // 18
    L"custem_select_all",                 // 19
    L"custem_find",                       // 20
    L"custem_new",                        // 21
    L"custem_save",                       // 22
    L"custem_open",                       // 23
    L"mouse_key_left",                    // 24
    L"mouse_key_middle",                  // 25
    L"mouse_key_right",                   // 26
    L"mouse_key_forward",                 // 27
    L"mouse_key_back",                    // 28
    L"mouse_key_fire_key",                // 29
    L"mouse_key_shortcut_key",            // 30
    L"win_key_text",                      // 31
    L"mouse_key_smart_key",               // 32
    L"close_text",                        // 33
    L"mouse_key_DPI_loop",                // 34
    L"mouse_key_DPI_add",                 // 35
    L"mouse_key_DPI_sub",                 // 36
    L"mouse_key_DPI_shift",               // 37
    L"show_window",                       // 38
    L"system_power",                      // 39
    L"system_sleep",                      // 40
    L"system_wake_up",                    // 41
    L"mouse_key_fire_key",                // 42
    L"media_text",                        // 43
    L"media_play",                        // 44
    L"media_stop",                        // 45
    L"media_prev",                        // 46
    L"media_next",                        // 47
    L"media_vol_sub",                     // 48
    L"media_vol_add",                     // 49
    L"media_mute",                        // 50
    L"web_text",                          // 51
    L"web_refresh",                       // 52
    L"wed_stop",                          // 53
    L"wed_back",                          // 54
    L"wed_forward",                       // 55
    L"wed_favorite",                      // 56
    L"web_search",                        // 57
    L"media_mypc",                        // 58
    L"media_calc",                        // 59
    L"media_mail",                        // 60
    L"mouse_key_DPI_add",                 // 61
    L"mouse_key_DPI_sub",                 // 62
    L"mouse_key_DPI_loop",                // 63
    L"mouse_key_up_Swing",                // 64
    L"mouse_key_down_Swing",              // 65
    L"mouse_key_left_Swing",              // 66
    L"mouse_key_right_Swing",             // 67
    L"mouse_key_left",                    // 68
    L"mouse_key_middle",                  // 69
    L"mouse_key_right",                   // 70
    L"mouse_key_forward",                 // 71
    L"mouse_key_back",                    // 72
    L"mouse_key_left",                    // 73
    L"mouse_key_left",                    // 74
    L"mouse_key_right",                   // 75
    L"mouse_key_right",                   // 76
    L"mouse_key_middle",                  // 77
    L"mouse_key_middle",                  // 78
    L"mouse_key_forward",                 // 79
    L"mouse_key_forward",                 // 80
    L"mouse_key_back",                    // 81
    L"mouse_key_back",                    // 82
    L"mouse_move_to_left_text",           // 83
    L"mouse_move_to_right_text",          // 84
    L"mouse_move_to_up_text",             // 85
    L"mouse_move_to_down_text",           // 86
    L"mouse_cursor_text",                 // 87
    L"mouse_text",                        // 88
    L"keyboard_key_LCtrl",                // 89
    L"keyboard_key_LShift",               // 90
    L"keyboard_key_LAlt",                 // 91
    L"keyboard_key_LWin",                 // 92
    L"keyboard_key_RCtrl",                // 93
    L"keyboard_key_RShift",               // 94
    L"keyboard_key_RAlt",                 // 95
    L"keyboard_key_RWin",                 // 96
    L"keyboard_key_A",                    // 97
    L"keyboard_key_B",                    // 98
    L"keyboard_key_C",                    // 99
    L"keyboard_key_D",                    // 100
    L"keyboard_key_E",                    // 101
    L"keyboard_key_F",                    // 102
    L"keyboard_key_G",                    // 103
    L"keyboard_key_H",                    // 104
    L"keyboard_key_I",                    // 105
    L"keyboard_key_J",                    // 106
    L"keyboard_key_K",                    // 107
    L"keyboard_key_L",                    // 108
    L"keyboard_key_M",                    // 109
    L"keyboard_key_N",                    // 110
    L"keyboard_key_O",                    // 111
    L"keyboard_key_P",                    // 112
    L"keyboard_key_Q",                    // 113
    L"keyboard_key_R",                    // 114
    L"keyboard_key_S",                    // 115
    L"keyboard_key_T",                    // 116
    L"keyboard_key_U",                    // 117
    L"keyboard_key_V",                    // 118
    L"keyboard_key_W",                    // 119
    L"keyboard_key_X",                    // 120
    L"keyboard_key_Y",                    // 121
    L"keyboard_key_Z",                    // 122
    L"keyboard_key_1",                    // 123
    L"keyboard_key_2",                    // 124
    L"keyboard_key_3",                    // 125
    L"keyboard_key_4",                    // 126
    L"keyboard_key_5",                    // 127
    L"keyboard_key_6",                    // 128
    L"keyboard_key_7",                    // 129
    L"keyboard_key_8",                    // 130
    L"keyboard_key_9",                    // 131
    L"keyboard_key_0",                    // 132
    L"keyboard_key_Enter",                // 133
    L"keyboard_key_Esc",                  // 134
    L"keyboard_key_BackSpace",            // 135
    L"keyboard_key_Tab",                  // 136
    L"keyboard_key_Space",                // 137
    L"keyboard_key_-",                    // 138
    L"keyboard_key_=",                    // 139
    L"keyboard_key_[",                    // 140
    L"keyboard_key_]",                    // 141
    L"keyboard_key_xiegang",              // 142
    L"keyboard_key_;",                    // 143
    L"keyboard_key_'",                    // 144
    L"keyboard_key_`",                    // 145
    L"keyboard_key_,",                    // 146
    L"keyboard_key_.",                    // 147
    L"keyboard_key_/",                    // 148
    L"keyboard_key_Caplk",                // 149
    L"keyboard_key_F1",                   // 150
    L"keyboard_key_F2",                   // 151
    L"keyboard_key_F3",                   // 152
    L"keyboard_key_F4",                   // 153
    L"keyboard_key_F5",                   // 154
    L"keyboard_key_F6",                   // 155
    L"keyboard_key_F7",                   // 156
    L"keyboard_key_F8",                   // 157
    L"keyboard_key_F9",                   // 158
    L"keyboard_key_F10",                  // 159
    L"keyboard_key_F11",                  // 160
    L"keyboard_key_F12",                  // 161
    L"keyboard_key_Print Scr",            // 162
    L"keyboard_key_Scroll Lock",          // 163
    L"keyboard_key_Pause",                // 164
    L"keyboard_key_Insert",               // 165
    L"keyboard_key_Home",                 // 166
    L"keyboard_key_Page Up",              // 167
    L"keyboard_key_Delete",               // 168
    L"keyboard_key_End",                  // 169
    L"keyboard_key_Page Down",            // 170
    L"keyboard_key_Right",                // 171
    L"keyboard_key_Left",                 // 172
    L"keyboard_key_Down",                 // 173
    L"keyboard_key_Up",                   // 174
    L"keyboard_key_Num Lock",             // 175
    L"keyboard_key_Num /",                // 176
    L"keyboard_key_Num *",                // 177
    L"keyboard_key_Num -",                // 178
    L"keyboard_key_Num +",                // 179
    L"keyboard_key_Num Enter",            // 180
    L"keyboard_key_Num 1",                // 181
    L"keyboard_key_Num 2",                // 182
    L"keyboard_key_Num 3",                // 183
    L"keyboard_key_Num 4",                // 184
    L"keyboard_key_Num 5",                // 185
    L"keyboard_key_Num 6",                // 186
    L"keyboard_key_Num 7",                // 187
    L"keyboard_key_Num 8",                // 188
    L"keyboard_key_Num 9",                // 189
    L"keyboard_key_Num 0",                // 190
    L"keyboard_key_Decimal",              // 191
    L"keyboard_key_App",                  // 192
    L"keyboard_key_K45",                  // 193
    L"keyboard_key_K56",                  // 194
    L"keyboard_key_K14",                  // 195
    L"keyboard_key_K107",                 // 196
    L"keyboard_key_K131",                 // 197
    L"keyboard_key_K132",                 // 198
    L"keyboard_key_K133",                 // 199
    L"keyboard_key_K150",                 // 200
    L"keyboard_key_K151",                 // 201
    L"keyboard_key_K42",                  // 202
    L"keyboard_key_Launch App2",          // 203
    L"keyboard_key_Browaer Home",         // 204
    L"keyboard_key_Media Play Pause",     // 205
    L"keyboard_key_Browser Search",       // 206
    L"keyboard_key_Launch Mail",          // 207
    L"keyboard_key_Volume Up",            // 208
    L"keyboard_key_Volume Mute",          // 209
    L"keyboard_key_Media Stop",           // 210
    L"keyboard_key_Volume Down",          // 211
    L"keyboard_key_Browser Favorites",    // 212
    L"keyboard_key_Browser ForWard",      // 213
    L"keyboard_key_Browser Back",         // 214
    L"keyboard_key_Media Prev Track",     // 215
    L"keyboard_key_Media Next Track",     // 216
    L"keyboard_key_Computer",             // 217
    L"keyboard_key_Browser Refresh",      // 218
    L"wed_stop",                          // 219
    L"keyboard_key_Launch Media Select",  // 220
    L"keyboard_key_Power",                // 221
    L"keyboard_key_Sleep",                // 222
    L"keyboard_key_Wakeup",               // 223
    L"keyboard_key_M1",                   // 224
    L"keyboard_key_M2",                   // 225
    L"keyboard_key_M3",                   // 226
    L"keyboard_key_M4",                   // 227
    L"keyboard_key_M5",                   // 228
    L"keyboard_key_FN",                   // 229
    L"keyboard_key_GM",                   // 230
    L"keyboard_key_COLOR",                // 231
};

const KeyCodeEntry ComboKeyTable[kComboKeyTableCount] = {
    {0, {0x20, 0x10, 0x12}},   // open: right Ctrl + O
    {1, {0x20, 0x10, 0x11}},   // new
    {2, {0x20, 0x10, 0x1D}},   // undo
    {3, {0x20, 0x10, 0x16}},   // save
    {4, {0x20, 0x10, 0x06}},   // copy
    {5, {0x20, 0x10, 0x1B}},   // cut
    {6, {0x20, 0x10, 0x19}},   // paste
    {7, {0x20, 0x10, 0x09}},   // find
    {8, {0x20, 0x10, 0x04}},   // select all
    {9, {0x20, 0x10, 0x2D}},   // narrow
    {10, {0x20, 0x10, 0x2E}},  // magnify
};

const KeyCodeEntry ShortcutKeyTable[kShortcutKeyTableCount] = {
    {0x21, {0x22, 0, 0}}, {0x22, {0x22, 0, 1}}, {0x23, {0x22, 0, 2}},  // cut, copy, paste
    {0x24, {0x22, 0, 3}}, {0x25, {0x22, 0, 4}}, {0x26, {0x22, 0, 5}},  // undo, select all, find
    {0x27, {0x22, 0, 6}}, {0x28, {0x22, 0, 7}}, {0x29, {0x22, 0, 8}},  // new, save, open
};

const KeyCodeEntry MouseKeyTable[kMouseKeyTableCount] = {
    {0, {0x10, 0x01, 0}},  // left
    {1, {0x10, 0x04, 0}},  // middle
    {2, {0x10, 0x02, 0}},  // right
    {3, {0x10, 0x10, 0}},  // forward
    {4, {0x10, 0x08, 0}},  // back
};

const KeyCodeEntry MouseFunctionTable[kMouseFunctionTableCount] = {
    {0, {0x10, 0x01, 0}},     // left
    {1, {0x10, 0x04, 0}},     // middle
    {2, {0x10, 0x02, 0}},     // right
    {3, {0x10, 0x10, 0}},     // forward
    {4, {0x10, 0x08, 0}},     // back
    {5, {0x14, 0x50, 0x02}},  // fire
    {6, {0x20, 0, 0}},        // shortcut key
    {7, {0x20, 0x80, 0}},     // Win key
    {8, {0xA0, 0x02, 0}},     // smart key
    {9, {0xA0, 0x00, 0}},     // close
    {10, {0x13, 3, 0}},       // DPI loop
    {11, {0x13, 1, 0}},       // DPI add
    {12, {0x13, 2, 0}},       // DPI sub
    {13, {0x16, 0, 0}},       // DPI shift
    {14, {0x23, 0, 0}},       // show window
};

const KeyCodeEntry SystemKeyTable[kSystemKeyTableCount] = {
    {0, {0x40, 1, 0}}, {1, {0x40, 2, 0}}, {2, {0x40, 4, 0}},  // power, sleep, wake
};

// HID consumer usages, low byte in param1, high byte in param2.
const KeyCodeEntry MediaKeyTable[kMediaKeyTableCount] = {
    {0, {0x30, 0x83, 0x01}},   // AL Consumer Control Configuration
    {1, {0x30, 0xCD, 0x00}},   // Play/Pause
    {2, {0x30, 0xB7, 0x00}},   // Stop
    {3, {0x30, 0xB6, 0x00}},   // Scan Previous Track
    {4, {0x30, 0xB5, 0x00}},   // Scan Next Track
    {5, {0x30, 0xEA, 0x00}},   // Volume Decrement
    {6, {0x30, 0xE9, 0x00}},   // Volume Increment
    {7, {0x30, 0xE2, 0x00}},   // Mute
    {8, {0x30, 0x23, 0x02}},   // AC Home
    {9, {0x30, 0x27, 0x02}},   // AC Refresh
    {10, {0x30, 0x26, 0x02}},  // AC Stop
    {11, {0x30, 0x24, 0x02}},  // AC Back
    {12, {0x30, 0x25, 0x02}},  // AC Forward
    {13, {0x30, 0x2A, 0x02}},  // AC Bookmarks
    {14, {0x30, 0x21, 0x02}},  // AC Search
    {15, {0x30, 0x94, 0x01}},  // AL Local Machine Browser
    {16, {0x30, 0x92, 0x01}},  // AL Calculator
    {17, {0x30, 0x8A, 0x01}},  // AL Email Reader
};

const KeyCodeEntry DpiKeyTable[kDpiKeyTableCount] = {
    {0, {0x13, 1, 0}}, {1, {0x13, 2, 0}}, {2, {0x13, 3, 0}},  // add, sub, loop
};

const MouseEventEntry MouseEventTable[kMouseEventTableCount] = {
    {0x0201, 0x10, 0x01, 0x81},  // left button down
    {0x0202, 0x10, 0x01, 0x01},  // left button up
    {0x0204, 0x10, 0x02, 0x81},  // right button down
    {0x0205, 0x10, 0x02, 0x01},  // right button up
    {0x0207, 0x10, 0x04, 0x81},  // middle button down
    {0x0208, 0x10, 0x04, 0x01},  // middle button up
    {0x020B, 0x10, 0x10, 0x81},  // forward button down
    {0x020C, 0x10, 0x10, 0x01},  // forward button up
    {0x020B, 0x10, 0x08, 0x81},  // back button down
    {0x020C, 0x10, 0x08, 0x01},  // back button up
    {4, 0x15, 0, 0x84},          // move left
    {4, 0x15, 0, 0x04},          // move right
    {5, 0x15, 0, 0x85},          // move up
    {5, 0x15, 0, 0x05},          // move down
    {0x020A, 0x12, 0, 0},        // wheel
};
