// The pictures of the device panels: the device list entries' icons (seven
// kinds, each plain and selected, with and without the sync mark), the sync
// option, the power tile's battery, charge, link and phone pictures, the
// device pictures the pages are drawn over and the recoil page's guns.

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

// The device pictures the pages' buttons lie over. Each is drawn in the
// coordinates of the page's picture panel (96 DPI), so the buttons, the LED
// zones and the hot spots of the page skins land on what they stand for.
enum Device { kKeyboardPicture, kMousePicture, kPadPicture, kHeadsetPicture };

struct Zone {
    double left, top, right, bottom;
};

// A button of the device: a raised part with an edge, as on the real thing.
void DrawPart(cairo_t* cr, const Zone& z, double radius) {
    FillRoundedRect(cr, z.left, z.top, z.right - z.left, z.bottom - z.top, radius, kPanelHot);
    StrokeRoundedRect(cr, z.left + 0.5, z.top + 0.5, z.right - z.left - 1, z.bottom - z.top - 1, radius, 1.2,
                      Hex(0x5A6272));
}

// Where an LED shines through: a soft ring the LED's colour fills on the page.
void DrawLedZone(cairo_t* cr, const Zone& z) {
    const double cx = (z.left + z.right) / 2, cy = (z.top + z.bottom) / 2;
    const double r = std::min(z.right - z.left, z.bottom - z.top) / 2;
    cairo_arc(cr, cx, cy, r - 1, 0, 2 * M_PI);
    SetColor(cr, Hex(0x1A1E25));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.5);
    SetColor(cr, Hex(0x00B4FF, 0.55));
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, std::max(2.0, r * 0.25), 0, 2 * M_PI);
    SetColor(cr, Hex(0x00B4FF, 0.8));
    cairo_fill(cr);
}

// The mouse, in the 165 x 300 panel of the mouse page: body, the two main
// buttons split by the wheel, the DPI button, two side buttons on each
// flank and the two thumb buttons, each where the page's key button is.
void DrawMouse(cairo_t* cr) {
    // Body: narrow at the front, wide at the palm.
    cairo_new_path(cr);
    cairo_move_to(cr, 82.5, 8);
    cairo_curve_to(cr, 145, 8, 156, 60, 154, 150);
    cairo_curve_to(cr, 152, 250, 130, 292, 82.5, 292);
    cairo_curve_to(cr, 35, 292, 13, 250, 11, 150);
    cairo_curve_to(cr, 9, 60, 20, 8, 82.5, 8);
    cairo_close_path(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 165, 0);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0.13, 0.15, 0.19);
    cairo_pattern_add_color_stop_rgb(shade, 0.5, 0.19, 0.21, 0.26);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0.13, 0.15, 0.19);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    cairo_set_line_width(cr, 2);
    SetColor(cr, Hex(0x5A6272));
    cairo_stroke(cr);
    // The main buttons' seam and their lower edge.
    Line(cr, 82.5, 10, 82.5, 108, 1.5, Hex(0x5A6272));
    Line(cr, 22, 108, 143, 108, 1.5, Hex(0x5A6272));
    DrawPart(cr, {45, 30, 82, 98}, 8);   // left button
    DrawPart(cr, {98, 30, 135, 98}, 8);  // right button
    // Wheel with its grooves.
    FillRoundedRect(cr, 84, 45, 12, 30, 6, Hex(0x3A404C));
    for (double y = 50; y < 72; y += 4) Line(cr, 86, y, 94, y, 1, Hex(0x6A7282));
    DrawPart(cr, {75, 90, 90, 105}, 3);   // DPI button
    DrawPart(cr, {15, 112, 33, 150}, 4);  // side buttons
    DrawPart(cr, {15, 158, 33, 195}, 4);
    DrawPart(cr, {132, 112, 150, 150}, 4);
    DrawPart(cr, {132, 158, 150, 195}, 4);
    DrawPart(cr, {45, 135, 63, 153}, 4);  // thumb buttons
    DrawPart(cr, {102, 135, 120, 153}, 4);
    DrawPart(cr, {68, 225, 98, 240}, 4);  // the button under the palm
    // Logo and the light bar at the back.
    cairo_arc(cr, 83, 165, 12, 0, 2 * M_PI);
    SetColor(cr, Hex(0x00B4FF, 0.5));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    FillRoundedRect(cr, 52, 268, 28, 16, 6, Hex(0x00B4FF, 0.35));
}

// The mouse pad, in its 640 x 340 panel: the cloth, the lit rim and the
// fifteen LED zones of the page's light buttons.
void DrawPad(cairo_t* cr) {
    FillRoundedRect(cr, 4, 4, 632, 332, 18, Hex(0x2A3A4A));
    FillRoundedRect(cr, 10, 10, 620, 320, 14, kPanel);
    // The weave of the cloth.
    for (double x = 14; x < 626; x += 6) Line(cr, x, 14, x, 326, 0.5, Hex(0x2A303B));
    StrokeRoundedRect(cr, 7, 7, 626, 326, 16, 3, Hex(0x00B4FF, 0.6));
    // The corner with the cable and the charging spot for a phone.
    FillRoundedRect(cr, 580, 14, 46, 20, 6, Hex(0x1A1E25));
    StrokeRoundedRect(cr, 560, 120, 60, 110, 10, 1.2, Hex(0x5A6272));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 5; ++col) {
            const double x = 20 + col * 120, y = 20 + row * 110;
            DrawLedZone(cr, {x, y, x + 40, y + 40});
        }
    }
}

// The headset, in its 400 x 260 panel: headband, ear cups and the thirteen
// LED zones of the page's light buttons (seven along the band, six over the
// cups).
void DrawHeadset(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 22);
    SetColor(cr, Hex(0x2E3440));
    cairo_arc(cr, 200, 175, 155, M_PI * 1.05, M_PI * 1.95);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    SetColor(cr, Hex(0x5A6272));
    cairo_arc(cr, 200, 175, 166, M_PI * 1.05, M_PI * 1.95);
    cairo_stroke(cr);
    // Ear cups with their cushions.
    for (double x : {22.0, 262.0}) {
        FillRoundedRect(cr, x, 150, 116, 104, 30, Hex(0x2E3440));
        StrokeRoundedRect(cr, x + 1, 151, 114, 102, 30, 2, Hex(0x5A6272));
        FillRoundedRect(cr, x + 12, 160, 92, 84, 24, kPanel);
    }
    // The microphone boom on the left cup.
    Line(cr, 40, 240, 10, 200, 5, Hex(0x3A404C));
    for (int i = 0; i < 7; ++i) DrawLedZone(cr, {40.0 + i * 50, 40, 70.0 + i * 50, 70});
    for (int i = 0; i < 6; ++i) DrawLedZone(cr, {40.0 + i * 50, 190, 70.0 + i * 50, 220});
}

void DrawDevice(cairo_t* cr, int w, int h, int device) {
    switch (device) {
        case kKeyboardPicture:
            FillRoundedRect(cr, 4, 4, w - 8, h - 8, 14, kPanel);
            StrokeRoundedRect(cr, 4.5, 4.5, w - 9, h - 9, 14, 1.5, kLine);
            break;
        case kMousePicture:
            cairo_scale(cr, w / 165.0, h / 300.0);
            DrawMouse(cr);
            break;
        case kPadPicture:
            cairo_scale(cr, w / 640.0, h / 340.0);
            DrawPad(cr);
            break;
        default:
            cairo_scale(cr, w / 400.0, h / 260.0);
            DrawHeadset(cr);
            break;
    }
}

// The recoil page's picture of a gun: a rifle in profile over the recoil
// pattern its bullets climb, one picture per gun, told apart by their number
// of pattern points.
void DrawRecoil(cairo_t* cr, int w, int h, int gun) {
    cairo_scale(cr, w / 260.0, h / 80.0);
    FillRoundedRect(cr, 0, 0, 260, 80, 6, kPanel);
    const Rgba body = Hex(0x8A94A6);
    // Stock, body, barrel, its guard, grip, magazine and sight.
    auto quad = [&](double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3) {
        cairo_new_path(cr);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
        cairo_line_to(cr, x3, y3);
        cairo_close_path(cr);
        SetColor(cr, body);
        cairo_fill(cr);
    };
    quad(14, 30, 60, 34, 60, 46, 20, 52);
    FillRoundedRect(cr, 58, 30, 80, 16, 3, body);
    FillRoundedRect(cr, 138, 34, 70, 6, 2, body);
    FillRoundedRect(cr, 150, 33, 20, 9, 2, body);
    quad(84, 46, 96, 46, 90, 64, 80, 64);
    quad(110, 46, 124, 46, 130, 66, 118, 68);
    FillRoundedRect(cr, 96, 24, 22, 6, 2, body);
    // The pattern the shots climb.
    const int points = 4 + gun * 2;
    SetColor(cr, kAccent);
    cairo_set_line_width(cr, 1.5);
    for (int i = 0; i < points; ++i) {
        const double x = 232 + ((i % 3) - 1) * 4.0 * (gun + 1) / 2.0;
        const double y = 70 - i * (60.0 / points);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
    for (int i = 0; i < points; ++i) {
        const double x = 232 + ((i % 3) - 1) * 4.0 * (gun + 1) / 2.0;
        const double y = 70 - i * (60.0 / points);
        cairo_arc(cr, x, y, 2, 0, 2 * M_PI);
        cairo_fill(cr);
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
    pictures.push_back({"device/mouse.png", 330, 600, &DrawDevice, kMousePicture});
    pictures.push_back({"device/mousepad.png", 1280, 680, &DrawDevice, kPadPicture});
    pictures.push_back({"device/headset.png", 800, 520, &DrawDevice, kHeadsetPicture});
    for (int gun = 0; gun < 4; ++gun) {
        pictures.push_back({"device/recoil_gun_" + std::to_string(gun + 1) + ".png", 520, 160, &DrawRecoil, gun});
    }
}

}  // namespace skinimages
