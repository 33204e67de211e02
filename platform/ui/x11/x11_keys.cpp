#include "platform/ui/x11/x11_keys.h"

#include <X11/keysym.h>
#include <X11/XF86keysym.h>

namespace tavrik::x11 {

std::uint32_t VirtualKeyFromKeysym(KeySym k) {
    if (k >= XK_a && k <= XK_z) return static_cast<std::uint32_t>('A' + (k - XK_a));
    if (k >= XK_A && k <= XK_Z) return static_cast<std::uint32_t>('A' + (k - XK_A));
    if (k >= XK_0 && k <= XK_9) return static_cast<std::uint32_t>('0' + (k - XK_0));
    if (k >= XK_F1 && k <= XK_F24) return static_cast<std::uint32_t>(0x70 + (k - XK_F1));
    if (k >= XK_KP_0 && k <= XK_KP_9) return static_cast<std::uint32_t>(0x60 + (k - XK_KP_0));
    switch (k) {
        case XK_BackSpace:
            return 0x08;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return 0x09;
        case XK_Clear:
        case XK_KP_Begin:
            return 0x0C;
        case XK_Return:
        case XK_KP_Enter:
            return 0x0D;
        case XK_Shift_L:
            return 0xA0;
        case XK_Shift_R:
            return 0xA1;
        case XK_Control_L:
            return 0xA2;
        case XK_Control_R:
            return 0xA3;
        case XK_Alt_L:
        case XK_Meta_L:
            return 0xA4;
        case XK_Alt_R:
        case XK_Meta_R:
        case XK_ISO_Level3_Shift:
            return 0xA5;
        case XK_Pause:
            return 0x13;
        case XK_Caps_Lock:
            return 0x14;
        case XK_Escape:
            return 0x1B;
        case XK_space:
            return 0x20;
        case XK_Prior:
        case XK_KP_Prior:
            return 0x21;
        case XK_Next:
        case XK_KP_Next:
            return 0x22;
        case XK_End:
        case XK_KP_End:
            return 0x23;
        case XK_Home:
        case XK_KP_Home:
            return 0x24;
        case XK_Left:
        case XK_KP_Left:
            return 0x25;
        case XK_Up:
        case XK_KP_Up:
            return 0x26;
        case XK_Right:
        case XK_KP_Right:
            return 0x27;
        case XK_Down:
        case XK_KP_Down:
            return 0x28;
        case XK_Print:
            return 0x2C;
        case XK_Insert:
        case XK_KP_Insert:
            return 0x2D;
        case XK_Delete:
        case XK_KP_Delete:
            return 0x2E;
        case XK_Super_L:
            return 0x5B;
        case XK_Super_R:
            return 0x5C;
        case XK_Menu:
            return 0x5D;
        case XK_KP_Multiply:
            return 0x6A;
        case XK_KP_Add:
            return 0x6B;
        case XK_KP_Separator:
            return 0x6C;
        case XK_KP_Subtract:
            return 0x6D;
        case XK_KP_Decimal:
            return 0x6E;
        case XK_KP_Divide:
            return 0x6F;
        case XK_Num_Lock:
            return 0x90;
        case XK_Scroll_Lock:
            return 0x91;
        case XK_semicolon:
        case XK_colon:
            return 0xBA;
        case XK_equal:
        case XK_plus:
            return 0xBB;
        case XK_comma:
        case XK_less:
            return 0xBC;
        case XK_minus:
        case XK_underscore:
            return 0xBD;
        case XK_period:
        case XK_greater:
            return 0xBE;
        case XK_slash:
        case XK_question:
            return 0xBF;
        case XK_grave:
        case XK_asciitilde:
            return 0xC0;
        case XK_bracketleft:
        case XK_braceleft:
            return 0xDB;
        case XK_backslash:
        case XK_bar:
            return 0xDC;
        case XK_bracketright:
        case XK_braceright:
            return 0xDD;
        case XK_apostrophe:
        case XK_quotedbl:
            return 0xDE;
        case XF86XK_AudioMute:
            return 0xAD;
        case XF86XK_AudioLowerVolume:
            return 0xAE;
        case XF86XK_AudioRaiseVolume:
            return 0xAF;
        case XF86XK_AudioNext:
            return 0xB0;
        case XF86XK_AudioPrev:
            return 0xB1;
        case XF86XK_AudioStop:
            return 0xB2;
        case XF86XK_AudioPlay:
            return 0xB3;
        default:
            return 0;
    }
}

std::uint32_t ScanCodeFromKeycode(unsigned keycode) {
    // The evdev driver's X key code is the kernel key code + 8; kernel codes
    // 1..88 are the set 1 scan codes themselves.
    if (keycode < 8) return 0;
    const unsigned code = keycode - 8;
    if (code >= 1 && code <= 88) return code;
    switch (code) {
        case 89:
            return 0x73;  // Japanese ro (international 1)
        case 92:
            return 0x79;  // henkan (international 4)
        case 93:
            return 0x70;  // katakana/hiragana (international 2)
        case 94:
            return 0x7B;  // muhenkan (international 5)
        case 96:
            return 0xE01C;  // keypad enter
        case 97:
            return 0xE01D;  // right control
        case 98:
            return 0xE035;  // keypad divide
        case 99:
            return 0xE037;  // print screen
        case 100:
            return 0xE038;  // right alt
        case 102:
            return 0xE047;  // home
        case 103:
            return 0xE048;  // up
        case 104:
            return 0xE049;  // page up
        case 105:
            return 0xE04B;  // left
        case 106:
            return 0xE04D;  // right
        case 107:
            return 0xE04F;  // end
        case 108:
            return 0xE050;  // down
        case 109:
            return 0xE051;  // page down
        case 110:
            return 0xE052;  // insert
        case 111:
            return 0xE053;  // delete
        case 119:
            return 0xE11D;  // pause
        case 121:
            return 0x7E;  // keypad comma (Brazilian keypad)
        case 124:
            return 0x7D;  // yen (international 3)
        case 125:
            return 0xE05B;  // left super
        case 126:
            return 0xE05C;  // right super
        case 127:
            return 0xE05D;  // menu
        default:
            return 0;
    }
}

}  // namespace tavrik::x11
