// The pictures of the device panels: the device list entries' icons (seven
// kinds, each plain and selected, with and without the sync mark), the sync
// option, the power tile's battery, charge, link and phone pictures, and the
// device pictures the pages are drawn over.

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

enum IconKind { kKeyboard, kMouse, kHardPad, kSoftPad, kHeadset, kHub, kUnknown, kIconKindCount };
constexpr const char* kIconWords[kIconKindCount] = {"kb", "ms", "hard_mp", "soft_mp", "hd", "hub", "unknow"};
enum IconState { kPlain, kSelected, kSyncPlain, kSyncSelected, kIconStateCount };
constexpr const char* kIconSuffixes[kIconStateCount] = {"_device_normal.png", "_device_selected.png",
                                                        "_device_synchro_normal.png", "_device_synchro_selected.png"};

// The glyph of a kind, in a 44 x 44 box.
void DrawKindGlyph(cairo_t* cr, int kind, Rgba c) {
    switch (kind) {
        case kKeyboard:
            StrokeRoundedRect(cr, 8, 14, 28, 16, 3, 2, c);
            for (int row = 0; row < 2; ++row)
                for (int k = 0; k < 4; ++k) FillRoundedRect(cr, 11 + k * 6, 17 + row * 5, 4, 3, 1, c);
            break;
        case kMouse:
            StrokeRoundedRect(cr, 15, 9, 14, 26, 7, 2, c);
            Line(cr, 22, 10, 22, 18, 2, c);
            break;
        case kHardPad:
        case kSoftPad:
            StrokeRoundedRect(cr, 7, 13, 30, 18, kind == kSoftPad ? 6 : 2, 2, c);
            Line(cr, 11, 27, 33, 27, 2, c);
            break;
        case kHeadset:
            cairo_set_line_width(cr, 2);
            SetColor(cr, c);
            cairo_arc(cr, 22, 24, 12, M_PI, 2 * M_PI);
            cairo_stroke(cr);
            FillRoundedRect(cr, 8, 24, 6, 10, 2, c);
            FillRoundedRect(cr, 30, 24, 6, 10, 2, c);
            break;
        case kHub:
            StrokeRoundedRect(cr, 10, 16, 24, 12, 3, 2, c);
            for (int k = 0; k < 3; ++k) FillRoundedRect(cr, 13 + k * 7, 20, 4, 4, 1, c);
            break;
        default:
            cairo_set_line_width(cr, 2);
            SetColor(cr, c);
            cairo_arc(cr, 22, 18, 6, M_PI, 2.25 * M_PI);
            cairo_stroke(cr);
            Line(cr, 22, 25, 22, 28, 2, c);
            FillRoundedRect(cr, 21, 31, 2, 2, 1, c);
            break;
    }
}

void DrawEntryIcon(cairo_t* cr, int w, int h, int variant) {
    const int kind = variant / kIconStateCount;
    const int state = variant % kIconStateCount;
    const bool selected = state == kSelected || state == kSyncSelected;
    cairo_scale(cr, w / 44.0, h / 44.0);
    FillRoundedRect(cr, 1, 1, 42, 42, 8, selected ? kPanelHot : kPanel);
    if (selected) StrokeRoundedRect(cr, 1.5, 1.5, 41, 41, 8, 1.5, kAccent);
    DrawKindGlyph(cr, kind, selected ? kAccent : kTextDim);
    if (state == kSyncPlain || state == kSyncSelected) {
        // Two arrows chasing each other in the lower right corner.
        cairo_set_line_width(cr, 1.5);
        SetColor(cr, kAccent);
        cairo_arc(cr, 35, 35, 5, 0.2, M_PI);
        cairo_stroke(cr);
        cairo_arc(cr, 35, 35, 5, M_PI + 0.2, 2 * M_PI);
        cairo_stroke(cr);
    }
}

// The sync option on the icon's corner: off (ring) or on (filled).
void DrawSyncOption(cairo_t* cr, int w, int h, int on) {
    const double r = std::min(w, h) / 2.0 - 1;
    cairo_arc(cr, w / 2.0, h / 2.0, r, 0, 2 * M_PI);
    if (on) {
        SetColor(cr, kAccent);
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, 1.5);
        SetColor(cr, kTextDim);
        cairo_stroke(cr);
    }
}

// Battery frames: full (the bar's back) and empty (what covers the used part).
void DrawBattery(cairo_t* cr, int w, int h, int empty) {
    StrokeRoundedRect(cr, 1, 2, w - 5, h - 4, 2, 1.5, kTextDim);
    FillRoundedRect(cr, w - 4, h / 2.0 - 3, 3, 6, 1, kTextDim);
    FillRoundedRect(cr, 3, 4, w - 9, h - 8, 1, empty ? kPanelPushed : Hex(0x3CC864));
}

enum Charge { kPowered, kPowering, kPowerLow };
void DrawCharge(cairo_t* cr, int w, int h, int charge) {
    const Rgba c = charge == kPowered ? Hex(0x3CC864) : charge == kPowering ? kAccent : kDanger;
    if (charge == kPowering) {
        cairo_move_to(cr, w * 0.6, 1);
        cairo_line_to(cr, w * 0.2, h * 0.55);
        cairo_line_to(cr, w * 0.5, h * 0.55);
        cairo_line_to(cr, w * 0.4, h - 1);
        cairo_line_to(cr, w * 0.8, h * 0.45);
        cairo_line_to(cr, w * 0.5, h * 0.45);
        cairo_close_path(cr);
        SetColor(cr, c);
        cairo_fill(cr);
    } else {
        cairo_arc(cr, w / 2.0, h / 2.0, std::min(w, h) / 3.0, 0, 2 * M_PI);
        SetColor(cr, c);
        cairo_fill(cr);
    }
}

// The 2.4 GHz link: three arcs over a dot.
void DrawWireless(cairo_t* cr, int w, int h, int) {
    SetColor(cr, kAccent);
    cairo_set_line_width(cr, 1.5);
    for (int k = 1; k <= 3; ++k) {
        cairo_arc(cr, w / 2.0, h - 3, k * (h / 4.0), 1.25 * M_PI, 1.75 * M_PI);
        cairo_stroke(cr);
    }
    cairo_arc(cr, w / 2.0, h - 3, 1.5, 0, 2 * M_PI);
    cairo_fill(cr);
}

enum Phone { kIphone, kSamsung, kOther, kNoPhone, kPhoneCount };
constexpr const char* kPhoneNames[kPhoneCount] = {"iphone", "samsung", "other", "no_device"};
void DrawPhone(cairo_t* cr, int w, int h, int phone) {
    const Rgba c = phone == kNoPhone ? kLine : kText;
    StrokeRoundedRect(cr, w * 0.3, 2, w * 0.4, h - 4, 2, 1.5, c);
    if (phone == kIphone) FillRoundedRect(cr, w / 2.0 - 1.5, h - 6, 3, 2, 1, c);
    if (phone == kSamsung) Line(cr, w * 0.4, 4, w * 0.6, 4, 1.2, c);
    if (phone == kOther) FillRoundedRect(cr, w * 0.38, h * 0.4, w * 0.24, h * 0.2, 1, c);
    if (phone == kNoPhone) Line(cr, 2, h - 2, w - 2, 2, 1.5, kDanger);
}

// The device pictures the pages' buttons lie over.
enum Device { kKeyboardPicture, kMousePicture, kPadPicture, kHeadsetPicture };
void DrawDevice(cairo_t* cr, int w, int h, int device) {
    switch (device) {
        case kKeyboardPicture:
            FillRoundedRect(cr, 4, 4, w - 8, h - 8, 14, kPanel);
            StrokeRoundedRect(cr, 4.5, 4.5, w - 9, h - 9, 14, 1.5, kLine);
            break;
        case kMousePicture:
            FillRoundedRect(cr, 16, 16, w - 32, h - 32, (w - 32) / 2.0, kPanel);
            StrokeRoundedRect(cr, 16.5, 16.5, w - 33, h - 33, (w - 33) / 2.0, 1.5, kLine);
            Line(cr, w / 2.0, 18, w / 2.0, h * 0.35, 1.5, kLine);
            break;
        case kPadPicture:
            FillRoundedRect(cr, 4, 4, w - 8, h - 8, 10, kPanel);
            StrokeRoundedRect(cr, 4.5, 4.5, w - 9, h - 9, 10, 2, kAccentDark);
            break;
        default:
            cairo_set_line_width(cr, 14);
            SetColor(cr, kPanel);
            cairo_arc(cr, w / 2.0, h * 0.75, w * 0.38, M_PI, 2 * M_PI);
            cairo_stroke(cr);
            FillRoundedRect(cr, w * 0.05, h * 0.55, w * 0.18, h * 0.4, 12, kPanel);
            FillRoundedRect(cr, w * 0.77, h * 0.55, w * 0.18, h * 0.4, 12, kPanel);
            break;
    }
}

}  // namespace

void AddDevicePictures(std::vector<Picture>& pictures) {
    for (int kind = 0; kind < kIconKindCount; ++kind) {
        for (int state = 0; state < kIconStateCount; ++state) {
            pictures.push_back({std::string("common/device_ico/") + kIconWords[kind] + kIconSuffixes[state], 44, 44,
                                &DrawEntryIcon, kind * kIconStateCount + state});
        }
    }
    pictures.push_back({"common/device_ico/synchro_off.png", 14, 14, &DrawSyncOption, 0});
    pictures.push_back({"common/device_ico/synchro_on.png", 14, 14, &DrawSyncOption, 1});
    pictures.push_back({"power/power_full.png", 36, 16, &DrawBattery, 0});
    pictures.push_back({"power/power_empty.png", 36, 16, &DrawBattery, 1});
    pictures.push_back({"power/powered.png", 12, 16, &DrawCharge, kPowered});
    pictures.push_back({"power/powering.png", 12, 16, &DrawCharge, kPowering});
    pictures.push_back({"power/power.png", 12, 16, &DrawCharge, kPowerLow});
    pictures.push_back({"power/wuxian.png", 16, 16, &DrawWireless, 0});
    for (int phone = 0; phone < kPhoneCount; ++phone) {
        pictures.push_back({std::string("power/Phone_type_") + kPhoneNames[phone] + ".png", 20, 20, &DrawPhone, phone});
    }
    pictures.push_back({"device/keyboard.png", 680, 290, &DrawDevice, kKeyboardPicture});
    pictures.push_back({"device/mouse.png", 220, 400, &DrawDevice, kMousePicture});
    pictures.push_back({"device/mousepad.png", 640, 340, &DrawDevice, kPadPicture});
    pictures.push_back({"device/headset.png", 400, 260, &DrawDevice, kHeadsetPicture});
}

}  // namespace skinimages
