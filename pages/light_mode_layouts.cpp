// The mode layouts of the lighting page: which control groups each lighting
// mode of each device kind uses. Every layout is a fresh set of calls on the
// groups; a group a layout does not name keeps what the skin or an earlier
// layout left.
#include "pages/light_control_ui.h"

#include "platform/ui/button.h"

using namespace DuiLib;

namespace {

// What a layout does to one group.
enum Group : uint8_t { kKeep, kOn, kOff, kHidden };

struct ModeRow {
    Group sevenColor, colour, palette, brightness, speed, direction, colourGroup;
    bool sync;
};

struct DirectionTexts {
    const wchar_t* left;
    const wchar_t* right;
};

constexpr DirectionTexts kLeftRight{L"light_set_right_to_left_text", L"light_set_left_to_right_text"};
constexpr DirectionTexts kClockwise{L"light_set_clockwise_text", L"light_set_anticlockwise_text"};
constexpr DirectionTexts kUpward{L"light_set_down_to_up_text", L"light_set_up_to_down_text"};
constexpr DirectionTexts kInward{L"light_set_outside_to_inside_text", L"light_set_inside_to_outside_text"};
constexpr DirectionTexts kDownward{L"light_set_up_to_down_text", L"light_set_down_to_up_text"};

constexpr ModeRow kAllOff{kOff, kOff, kOff, kOff, kOff, kOff, kKeep, false};

ModeRow KeyboardRow(int mode) {
    switch (mode) {
        case 1:
            return {kOn, kOn, kOn, kOn, kOff, kOff, kOn, true};
        case 2:
        case 23:
            return {kOn, kOn, kOn, kOn, kOn, kOff, kOn, true};
        case 3:
            return {kOff, kOff, kOff, kOn, kOn, kOff, kOff, true};
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 11:
        case 12:
        case 25:
        case 30:
            return {kOn, kOn, kOn, kOn, kOn, kOff, kOn, false};
        case 9:
        case 10:
        case 13:
        case 24:
        case 29:
            return {kOn, kOn, kOn, kOn, kOn, kOn, kOn, false};
        case 14:
            return {kOff, kOff, kOff, kOn, kOn, kOn, kOff, false};
        case 15:
        case 26:
            return {kOff, kOff, kOff, kOn, kOn, kOff, kOff, false};
        case 16:
            return {kOn, kOn, kOn, kOn, kOff, kOff, kOn, false};
        case 17:
            return {kOff, kOff, kOff, kOn, kHidden, kOff, kOff, false};
        case 18:
            return {kOff, kOff, kOff, kOn, kOff, kOn, kOff, false};
        case 19:
            return {kOff, kOn, kOn, kOn, kHidden, kOff, kOn, false};
        case 20:
            return {kOff, kOff, kOff, kOff, kOff, kOff, kOff, true};
        case 21:
            return {kOn, kOn, kOn, kOn, kHidden, kOn, kOn, false};
        case 22:
            return {kOff, kOff, kOff, kOn, kOff, kOff, kOff, false};
        case 27:
            return {kOff, kOff, kOff, kOn, kOn, kOff, kOn, false};
        default:
            return {kOff, kOff, kOff, kOff, kOff, kOff, kOn, false};
    }
}

DirectionTexts KeyboardTexts(int mode) {
    switch (mode) {
        case 13:
        case 24:
            return kClockwise;
        case 14:
            return kUpward;
        case 18:
            return kInward;
        case 29:
            return kDownward;
        default:
            return kLeftRight;
    }
}

ModeRow MouseRow(int mode) {
    switch (mode) {
        case 0:
        case 5:
            return {kOn, kOn, kOn, kOn, kOn, kOn, kKeep, false};
        case 1:
            return {kOff, kOff, kOff, kOn, kOn, kOff, kKeep, true};
        case 2:
        case 4:
        case 6:
            return {kOn, kOn, kOn, kOn, kOn, kOff, kKeep, true};
        case 3:
            return {kOff, kOn, kOn, kOn, kOff, kOff, kKeep, true};
        case 7:
        case 8:
            return {kOff, kOff, kOff, kOn, kOn, kOff, kKeep, false};
        case 9:
            return {kOff, kOff, kOff, kOff, kOff, kOff, kKeep, true};
        default:
            return kAllOff;
    }
}

ModeRow MousePadRow(int mode) {
    switch (mode) {
        case 0:
            return {kOn, kOn, kOn, kOn, kOn, kOn, kKeep, false};
        case 1:
            return {kOff, kOff, kOff, kOn, kOn, kOff, kKeep, true};
        case 2:
        case 4:
            return {kOn, kOn, kOn, kOn, kOn, kOff, kKeep, true};
        case 3:
            return {kOff, kOn, kOn, kOn, kOff, kOff, kKeep, true};
        case 8:
            return {kOff, kOff, kOff, kOff, kOff, kOff, kKeep, true};
        default:
            return kAllOff;
    }
}

// The hub touches neither the direction group nor the sync button.
ModeRow HubRow(int mode) {
    switch (mode) {
        case 0:
        case 2:
        case 3:
            return {kOn, kOn, kOn, kOn, kOn, kKeep, kKeep, false};
        case 1:
            return {kOff, kOn, kOn, kOn, kOff, kKeep, kKeep, false};
        case 4:
            return {kOff, kOff, kOff, kOn, kOn, kKeep, kKeep, false};
        default:
            return {kOff, kOff, kOff, kOff, kOff, kKeep, kKeep, false};
    }
}

}  // namespace

void CLightControlUI::SetGroupEnabled(const wchar_t* name, bool enabled) {
    if (CControlUI* c = Find(name)) c->SetEnabled(enabled);
}

void CLightControlUI::SetGroupVisible(const wchar_t* name, bool visible) {
    if (CControlUI* c = Find(name)) c->SetVisible(visible);
}

namespace {

// Applies one row's groups (sync button and extras are the caller's).
template <class Page>
void ApplyRow(Page& page, const ModeRow& row, void (Page::*enable)(const wchar_t*, bool),
              void (Page::*show)(const wchar_t*, bool)) {
    auto set = [&](const wchar_t* name, Group g) {
        if (g == kKeep) return;
        if (g == kHidden)
            (page.*show)(name, false);
        else
            (page.*enable)(name, g == kOn);
    };
    (page.*enable)(L"lighteffect_layout", true);
    set(L"deng_7color_check", row.sevenColor);
    set(L"deng_color_layout", row.colour);
    set(L"colorpallet_layout", row.palette);
    set(L"deng_light_layout", row.brightness);
    set(L"deng_speed_layout", row.speed);
    set(L"deng_fx_layout", row.direction);
    set(L"light_color_layout", row.colourGroup);
}

}  // namespace

void CLightControlUI::ApplyModeLayout(int kind, int mode) {
    switch (kind) {
        // A keyboard or mouse through its receiver is laid out as by cable.
        case 1:
        case 9:
            LayoutKeyboard(mode);
            break;
        case 2:
        case 6:
            LayoutMouse(mode);
            break;
        case 3:
        case 4:
        case 7:
            LayoutMousePad(mode);
            break;
        case 5:
            LayoutHub(mode);
            break;
        default:
            break;
    }
}

void CLightControlUI::LayoutKeyboard(int mode) {
    SetGroupVisible(L"lightcustom_layout", false);
    ShowSameModeOption(false);
    SetGroupEnabled(L"deng_fx_layout", true);
    SetGroupVisible(L"deng_speed_layout", true);
    SetGroupVisible(L"light_combo_ZZCCmodeSelectLayout", false);
    SetGroupEnabled(L"light_color_layout", true);
    SetGroupVisible(L"light_combo_AudiomodeSelectLayout", false);
    int tabPage = 0;

    const ModeRow row = KeyboardRow(mode);
    ApplyRow(*this, row, &CLightControlUI::SetGroupEnabled, &CLightControlUI::SetGroupVisible);
    const DirectionTexts texts = KeyboardTexts(mode);
    if (CControlUI* c = Find(L"deng_FXL_check")) c->SetText(texts.left);
    if (CControlUI* c = Find(L"deng_FXR_check")) c->SetText(texts.right);
    if (mode == 17) SetGroupVisible(L"light_combo_ZZCCmodeSelectLayout", true);
    if (mode == 19) SetGroupVisible(L"lightcustom_layout", true);
    if (mode == 21) {
        SetGroupVisible(L"light_combo_AudiomodeSelectLayout", true);
        tabPage = 1;
    }
    if (CControlUI* c = Find(L"light_color_tablayout"))
        if (auto* tab = static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout"))) tab->SelectItem(tabPage, false);
    ShowSameModeOption(row.sync);
}

void CLightControlUI::LayoutMouse(int mode) {
    ShowSameModeOption(false);
    SetGroupEnabled(L"deng_fx_layout", true);
    const ModeRow row = MouseRow(mode);
    ApplyRow(*this, row, &CLightControlUI::SetGroupEnabled, &CLightControlUI::SetGroupVisible);
    ShowSameModeOption(row.sync);
}

void CLightControlUI::LayoutMousePad(int mode) {
    ShowSameModeOption(false);
    SetGroupEnabled(L"deng_fx_layout", true);
    const ModeRow row = MousePadRow(mode);
    ApplyRow(*this, row, &CLightControlUI::SetGroupEnabled, &CLightControlUI::SetGroupVisible);
    ShowSameModeOption(row.sync);
}

void CLightControlUI::LayoutHub(int mode) {
    ApplyRow(*this, HubRow(mode), &CLightControlUI::SetGroupEnabled, &CLightControlUI::SetGroupVisible);
}
