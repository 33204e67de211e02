// The pictures of the main window: its background, icon, caption buttons,
// common push buttons, the device selector's arrows and the no-device picture.

#include <cmath>
#include <string>

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

enum ButtonState { kNormal, kHot, kPushed, kDisabled, kStateCount };
constexpr const char* kStateNames[kStateCount] = {"normal", "hot", "pushed", "disabled"};

void DrawBackground(cairo_t* cr, int w, int h, int) {
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, h);
    cairo_pattern_add_color_stop_rgb(fill, 0, kWindowLight.r, kWindowLight.g, kWindowLight.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, kWindow.r, kWindow.g, kWindow.b);
    cairo_set_source(cr, fill);
    cairo_paint(cr);
    cairo_pattern_destroy(fill);
    // A faint accent glow in the upper right corner.
    cairo_pattern_t* glow = cairo_pattern_create_radial(w * 0.85, h * 0.1, 0, w * 0.85, h * 0.1, w * 0.6);
    cairo_pattern_add_color_stop_rgba(glow, 0, kAccent.r, kAccent.g, kAccent.b, 0.10);
    cairo_pattern_add_color_stop_rgba(glow, 1, kAccent.r, kAccent.g, kAccent.b, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    // A fine diagonal line texture.
    SetColor(cr, Hex(0xFFFFFF, 0.018));
    cairo_set_line_width(cr, 1);
    for (int x = -h; x < w; x += 6) {
        cairo_move_to(cr, x, h);
        cairo_line_to(cr, x + h, 0);
    }
    cairo_stroke(cr);
}

// The program's icon: a key cap with an accent light bar.
void DrawIcon(cairo_t* cr, int w, int h, int) {
    const double s = w / 64.0;
    FillRoundedRect(cr, 4 * s, 4 * s, 56 * s, 56 * s, 12 * s, kPanel);
    cairo_pattern_t* cap = cairo_pattern_create_linear(0, 10 * s, 0, 50 * s);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.26, 0.29, 0.35);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.15, 0.17, 0.21);
    RoundedRect(cr, 12 * s, 10 * s, 40 * s, 36 * s, 7 * s);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    FillRoundedRect(cr, 12 * s, 48 * s, 40 * s, 6 * s, 3 * s, kAccent);
    Line(cr, 24 * s, 28 * s, 40 * s, 28 * s, 3 * s, kText);
    (void)h;
}

// Caption button glyphs, drawn in a 24 x 24 box centred in the picture.
enum Glyph { kClose, kMinimize, kMaximize, kRestore, kSkin, kGameMode, kCloud, kSmartEyes, kSettings, kGlyphCount };
constexpr const char* kGlyphNames[kGlyphCount] = {"close",    "min",   "max",       "restore", "skin",
                                                  "gamemode", "cloud", "smarteyes", "set"};

void DrawGlyph(cairo_t* cr, Glyph glyph, double x, double y, Rgba c) {
    const double lw = 1.8;
    cairo_set_line_width(cr, lw);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColor(cr, c);
    switch (glyph) {
        case kClose:
            Line(cr, x + 7, y + 7, x + 17, y + 17, lw, c);
            Line(cr, x + 17, y + 7, x + 7, y + 17, lw, c);
            break;
        case kMinimize:
            Line(cr, x + 6, y + 12, x + 18, y + 12, lw, c);
            break;
        case kMaximize:
            StrokeRoundedRect(cr, x + 6.5, y + 6.5, 11, 11, 1.5, lw, c);
            break;
        case kRestore:
            StrokeRoundedRect(cr, x + 5.5, y + 8.5, 10, 10, 1.5, lw, c);
            cairo_move_to(cr, x + 8.5, y + 5.5);
            cairo_line_to(cr, x + 18.5, y + 5.5);
            cairo_line_to(cr, x + 18.5, y + 15.5);
            cairo_stroke(cr);
            break;
        case kSkin:
            cairo_arc(cr, x + 12, y + 12, 8, 0, 2 * M_PI);
            cairo_stroke(cr);
            for (int i = 0; i < 3; ++i) {
                const double a = -M_PI / 2 + i * 2 * M_PI / 3;
                cairo_arc(cr, x + 12 + 4 * std::cos(a), y + 12 + 4 * std::sin(a), 1.6, 0, 2 * M_PI);
                cairo_fill(cr);
            }
            break;
        case kGameMode:
            StrokeRoundedRect(cr, x + 3.5, y + 7.5, 17, 10, 5, lw, c);
            Line(cr, x + 7, y + 12.5, x + 10, y + 12.5, lw, c);
            Line(cr, x + 8.5, y + 11, x + 8.5, y + 14, lw, c);
            cairo_arc(cr, x + 15.5, y + 11.5, 1.1, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_arc(cr, x + 17, y + 14, 1.1, 0, 2 * M_PI);
            cairo_fill(cr);
            break;
        case kCloud:
            cairo_new_sub_path(cr);
            cairo_arc(cr, x + 8, y + 14, 4, M_PI / 2, 3 * M_PI / 2);
            cairo_arc(cr, x + 12.5, y + 10, 5, M_PI, 2 * M_PI);
            cairo_arc(cr, x + 17, y + 14, 4, 3 * M_PI / 2, M_PI / 2);
            cairo_close_path(cr);
            cairo_stroke(cr);
            break;
        case kSmartEyes:
            cairo_move_to(cr, x + 3, y + 12);
            cairo_curve_to(cr, x + 8, y + 5, x + 16, y + 5, x + 21, y + 12);
            cairo_curve_to(cr, x + 16, y + 19, x + 8, y + 19, x + 3, y + 12);
            cairo_stroke(cr);
            cairo_arc(cr, x + 12, y + 12, 2.6, 0, 2 * M_PI);
            cairo_fill(cr);
            break;
        case kSettings:
            for (int i = 0; i < 8; ++i) {
                const double a = i * M_PI / 4;
                Line(cr, x + 12 + 6.5 * std::cos(a), y + 12 + 6.5 * std::sin(a), x + 12 + 9 * std::cos(a),
                     y + 12 + 9 * std::sin(a), 2.4, c);
            }
            cairo_set_line_width(cr, lw);
            cairo_arc(cr, x + 12, y + 12, 6, 0, 2 * M_PI);
            cairo_stroke(cr);
            cairo_arc(cr, x + 12, y + 12, 2.2, 0, 2 * M_PI);
            cairo_stroke(cr);
            break;
        case kGlyphCount:
            break;
    }
}

// variant = glyph * kStateCount + state
void DrawCaptionButton(cairo_t* cr, int w, int h, int variant) {
    const auto glyph = static_cast<Glyph>(variant / kStateCount);
    const auto state = static_cast<ButtonState>(variant % kStateCount);
    Rgba glyphColor = kTextDim;
    if (state == kHot || state == kPushed) {
        const Rgba back =
            glyph == kClose ? (state == kHot ? kDanger : Hex(0xB8383C)) : (state == kHot ? kPanelHot : kPanelPushed);
        FillRoundedRect(cr, 2, 2, w - 4, h - 4, 6, back);
        glyphColor = state == kPushed && glyph != kClose ? kAccent : kText;
    } else if (state == kDisabled) {
        glyphColor = Hex(0x8A9099, 0.4);
    }
    DrawGlyph(cr, glyph, (w - 24) / 2.0, (h - 24) / 2.0, glyphColor);
}

// A push button, stretched by the skin with corner='8,8,8,8'.
void DrawPushButton(cairo_t* cr, int w, int h, int state) {
    switch (state) {
        case kNormal:
            FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6, kAccentDark);
            break;
        case kHot:
            FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6, kAccent);
            break;
        case kPushed:
            FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6, Hex(0x006A9C));
            break;
        default:
            FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6, kPanel);
            break;
    }
}

// A quiet button (cancel), stretched the same way.
void DrawSecondaryButton(cairo_t* cr, int w, int h, int state) {
    const Rgba fill = state == kHot ? kPanelHot : state == kPushed ? kPanelPushed : kPanel;
    FillRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6, fill);
    StrokeRoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 6, 1, state == kDisabled ? kPanel : kLine);
}

// The device selector's arrows; variant = direction * kStateCount + state
// (direction 0 left, 1 right).
void DrawArrow(cairo_t* cr, int w, int h, int variant) {
    const bool right = variant / kStateCount == 1;
    const auto state = static_cast<ButtonState>(variant % kStateCount);
    if (state == kHot || state == kPushed) {
        cairo_arc(cr, w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 1, 0, 2 * M_PI);
        SetColor(cr, state == kHot ? kPanelHot : kPanelPushed);
        cairo_fill(cr);
    }
    const Rgba c = state == kDisabled ? Hex(0x8A9099, 0.35) : state == kNormal ? kTextDim : kAccent;
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    const double d = right ? 1 : -1;
    cairo_move_to(cr, cx - 3 * d, cy - 6);
    cairo_line_to(cr, cx + 3 * d, cy);
    cairo_line_to(cr, cx - 3 * d, cy + 6);
    SetColor(cr, c);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

// The no-device picture: a keyboard and a mouse, their cable unplugged.
void DrawNoDevice(cairo_t* cr, int w, int h, int) {
    (void)w;
    (void)h;
    // Keyboard body and key rows.
    FillRoundedRect(cr, 20, 60, 240, 92, 10, kPanel);
    StrokeRoundedRect(cr, 20.5, 60.5, 239, 91, 10, 1.5, kLine);
    for (int row = 0; row < 4; ++row) {
        const int keys = row == 3 ? 5 : 12;
        const double keyWidth = row == 3 ? 0 : 15;
        for (int k = 0; k < keys; ++k) {
            double x = 32 + k * 18.2;
            double width = keyWidth;
            if (row == 3) {
                const double widths[] = {26, 26, 96, 26, 26};
                x = 32;
                for (int j = 0; j < k; ++j) x += widths[j] + 6;
                width = widths[k];
            }
            FillRoundedRect(cr, x, 70 + row * 19, width, 14, 3, kPanelHot);
        }
    }
    // Light strip along the keyboard's front edge.
    cairo_pattern_t* strip = cairo_pattern_create_linear(20, 0, 260, 0);
    cairo_pattern_add_color_stop_rgba(strip, 0, kAccent.r, kAccent.g, kAccent.b, 0.0);
    cairo_pattern_add_color_stop_rgba(strip, 0.5, kAccent.r, kAccent.g, kAccent.b, 0.8);
    cairo_pattern_add_color_stop_rgba(strip, 1, kAccent.r, kAccent.g, kAccent.b, 0.0);
    cairo_rectangle(cr, 30, 148, 220, 2);
    cairo_set_source(cr, strip);
    cairo_fill(cr);
    cairo_pattern_destroy(strip);
    // Mouse.
    FillRoundedRect(cr, 290, 70, 46, 74, 23, kPanel);
    StrokeRoundedRect(cr, 290.5, 70.5, 45, 73, 22.5, 1.5, kLine);
    Line(cr, 313, 72, 313, 98, 1.5, kLine);
    FillRoundedRect(cr, 310, 80, 6, 12, 3, kAccent);
    // The cables end in plugs that do not meet.
    cairo_set_line_width(cr, 3);
    SetColor(cr, kTextDim);
    cairo_move_to(cr, 140, 60);
    cairo_curve_to(cr, 140, 30, 170, 24, 190, 24);
    cairo_stroke(cr);
    cairo_move_to(cr, 313, 70);
    cairo_curve_to(cr, 313, 40, 270, 24, 240, 24);
    cairo_stroke(cr);
    FillRoundedRect(cr, 188, 17, 14, 14, 2, kTextDim);
    FillRoundedRect(cr, 228, 17, 14, 14, 2, kTextDim);
    // The gap between them, marked.
    Line(cr, 209, 16, 213, 32, 2, kDanger);
    Line(cr, 217, 16, 221, 32, 2, kDanger);
}

}  // namespace

void AddMainWindowPictures(std::vector<Picture>& pictures) {
    pictures.push_back({"common/background.png", 1000, 640, &DrawBackground, 0});
    pictures.push_back({"icon107.png", 64, 64, &DrawIcon, 0});
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
        for (int state = 0; state < kStateCount; ++state) {
            pictures.push_back({std::string("caption/") + kGlyphNames[glyph] + "_" + kStateNames[state] + ".png", 40,
                                40, &DrawCaptionButton, glyph * kStateCount + state});
        }
    }
    for (int state = 0; state < kStateCount; ++state) {
        pictures.push_back(
            {std::string("common/button_") + kStateNames[state] + ".png", 48, 32, &DrawPushButton, state});
        pictures.push_back(
            {std::string("common/button2_") + kStateNames[state] + ".png", 48, 32, &DrawSecondaryButton, state});
        pictures.push_back(
            {std::string("common/arrow_left_") + kStateNames[state] + ".png", 28, 28, &DrawArrow, state});
        pictures.push_back({std::string("common/arrow_right_") + kStateNames[state] + ".png", 28, 28, &DrawArrow,
                            kStateCount + state});
    }
    pictures.push_back({"common/nodevice.png", 360, 160, &DrawNoDevice, 0});
}

void AddProgramIcons(std::vector<Picture>& pictures) {
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string box = std::to_string(size) + "x" + std::to_string(size);
        pictures.push_back({box + "/apps/tavrik.png", size, size, &DrawIcon, 0});
    }
}

}  // namespace skinimages
