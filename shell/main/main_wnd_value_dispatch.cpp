#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "link/device/corvane_usb_device.h"
#include "link/debug_log.h"
#include "platform/os/message_queue.h"
#include "platform/ui/progress.h"
#include "shell/main/dispatch_rows.h"
#include "shell/main/main_wnd.h"
#include "shell/main/name_routing.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;
using dispatch::Bound;
using dispatch::FamilyRow;
using dispatch::NameRow;
using dispatch::Needs;
using P = PageOperation;

namespace {

// The DPI a "plenta_DPI_" edit may show.
constexpr int kPlentaDpiMin = 200;
constexpr int kPlentaDpiMax = 6500;
// Keys the key picker ("keyboard_key_" plus 0 to 125) can select.
constexpr int kPickerKeyCount = 126;

// What a function tab does to the screen editor's flags besides switching.
struct FunctionTab {
    int tab;
    bool guard;        // asks before leaving unsaved screen frames
    int isFirst;       // -1: unchanged
    const char* log;   // with isFirst
    int screenTab;     // ScreenTabActive; -1: unchanged
    bool showsScreen;  // the screen tab shows the editor, the others close it
};

constexpr FunctionTab kFunctionTabs[] = {
    {1, true, 1, "kDeviceDengOptionControlName>isFirst = true", 0, false},
    {2, true, 1, "kDeviceKeyOptionControlName>isFirst = true", 0, false},
    {3, true, 1, "kDeviceMacroOptionControlName>isFirst = true", 0, false},
    {4, true, 1, "kDeviceSystemOptionControlName>isFirst = true", 0, false},
    {5, false, -1, nullptr, 0, false},
    {6, false, -1, nullptr, 0, false},
    {7, false, -1, nullptr, 0, false},
    {8, false, -1, nullptr, -1, false},
    {9, false, 0, "kDeviceViewScreenOptionControlName>isFirst = false;", 1, true},
};

CProgressUI* AsProgress(CControlUI* control) {
    return control != nullptr ? static_cast<CProgressUI*>(control->GetInterface(L"Progress")) : nullptr;
}

int SliderValue(const TNotifyUI& msg) {
    const CProgressUI* slider = AsProgress(msg.pSender);
    return slider != nullptr ? slider->GetValue() : 0;
}

// Text read as a decimal number the way a typed value is: leading blanks, a
// sign and the digits up to the first other character; no digits give 0.
int LeadingNumber(const CDuiString& text) {
    const wchar_t* p = text.GetData();
    while (*p == L' ' || *p == L'\t') ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
    long long value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) value = std::min<long long>(value * 10 + (*p - L'0'), 1LL << 40);
    return static_cast<int>(std::clamp<long long>(negative ? -value : value, INT32_MIN, INT32_MAX));
}

// A label of the colour sliders: "R 255".
void ShowChannel(CMainWnd& w, const wchar_t* label, const wchar_t* letter, int value) {
    if (CControlUI* c = w.GetPaintManager()->FindControl(label)) {
        c->SetText((std::wstring(letter) + L" " + std::to_wstring(value)).c_str());
    }
}

CDuiString Member(const wchar_t* prefix, int index) { return CDuiString((prefix + std::to_wstring(index)).c_str()); }

// A page operation followed by the commit, or the commit and the write.
void OperateAndCommit(CMainWnd& w, CCorvaneUSBDevice* page, P operation, int index) {
    w.RunPageOperation(page, operation, index);
    if (page != nullptr) page->SaveProfile();
}
void OperateCommitAndWrite(CMainWnd& w, CCorvaneUSBDevice* page, P operation, int index) {
    w.RunPageOperation(page, operation, index);
    if (page != nullptr) page->SaveAndWriteProfile();
}

}  // namespace

// Switches the current device to a function tab with the steps of its row:
// the guard for unsaved screen frames, isFirst and its log line,
// ScreenTabActive, the switch, and the screen editor shown or closed.
void CMainWnd::SwitchFunctionTab(int tab) {
    const FunctionTab* row = nullptr;
    for (const FunctionTab& t : kFunctionTabs) {
        if (t.tab == tab) row = &t;
    }
    if (row == nullptr) return;
    if (row->guard && (ScreenFramesUnsaved != 0 || ScreenUndoPosition != 0)) {
        if (ShowMainMessage(L"message_text_33", 1, 1) != 1) {
            SelectFunctionTab(9);
            return;
        }
        ScreenFramesUnsaved = 0;
        ScreenUndoPosition = 0;
    }
    if (row->isFirst >= 0) {
        isFirst = static_cast<std::uint8_t>(row->isFirst);
        WriteLog(row->log);
    }
    if (row->screenTab >= 0) ScreenTabActive = row->screenTab;
    SelectFunctionTab(tab);
    if (row->showsScreen) {
        ShowScreenEditor();
        ShowScreenFramesPage();
    } else {
        CloseScreenEditor();
    }
}

void CMainWnd::OnNotifySelectChanged(TNotifyUI& msg) {
    static const std::vector<FamilyRow> families = {
        {L"DPI_enable_check_", Needs::Mouse, Bound::DpiStage,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) {
             OperateCommitAndWrite(w, p, P::DpiStageEnable, n);
         }},
        {L"DPI_select_check_", Needs::Mouse, Bound::DpiStage,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) {
             OperateCommitAndWrite(w, p, P::DpiStageSelect, n);
         }},
        {L"polling_rate_option_", Needs::Mouse, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) {
             OperateCommitAndWrite(w, p, P::MousePollingRate, n);
         }},
        {L"polling_rate_option_", Needs::Keyboard, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) {
             OperateCommitAndWrite(w, p, P::KeyboardPollingRate, n);
         }},
        {L"repeat_delay_check_", Needs::Keyboard, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) { OperateAndCommit(w, p, P::RepeatDelay, n); }},
        {L"mouse_device_seting_option_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnMouseSettingOption(n); }},
        {L"shoot_gun_op_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnGunSelected(n); }},
        {L"bullet_op_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnBulletSelected(n); }},
        {L"magic_option_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnMagicVoiceSelected(n); }},
        {L"6533_eq_option_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnEqPresetSelected(n); }},
        {L"key_ComBox_check_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnModifierCheck(n); }},
        {L"frame_option_", Needs::Keyboard, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) { w.RunPageOperation(p, P::SelectFrame, n); }},
    };
    static const std::vector<NameRow> first = {
        {{L"pointer_precision_check"},
         Needs::Mouse,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateAndCommit(w, p, P::PointerPrecision, 0); }},
        {{L"scrolls_page_check"},
         Needs::Mouse,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateAndCommit(w, p, P::ScrollByPage, 0); }},
        {{L"winlockflag_option"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateCommitAndWrite(w, p, P::WinLock, 0); }},
        {{L"wflag_option"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateCommitAndWrite(w, p, P::WFlag, 0); }},
        {{L"6flag_option"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateCommitAndWrite(w, p, P::Key6Flag, 0); }},
        {{L"synchro_device_select"}, Needs::Never, [](CMainWnd&, CCorvaneUSBDevice*, int, TNotifyUI&) {}},
    };
    static const std::vector<NameRow> second = {
        {{L"device_select"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnDeviceSelected(); }},
        {{L"deng_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(1); }},
        {{L"frame_option"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SelectScreenPage(0); }},
        {{L"uploading_option"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SelectScreenPage(1); }},
        {{L"key_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(2); }},
        {{L"macro_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(3); }},
        {{L"system_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(4); }},
        {{L"cursor_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(5); }},
        {{L"6533_voice_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(6); }},
        {{L"magic_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(7); }},
        {{L"Virtual7.1_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(8); }},
        {{L"screen_Op_tab"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SwitchFunctionTab(9); }},
        {{L"deng_FXL_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnDirectionCheck(1); }},
        {{L"deng_FXR_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnDirectionCheck(0); }},
        {{L"deng_7color_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnSevenColorCheck(); }},
        {{L"bullet_x_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnBulletXCheck(); }},
        {{L"bullet_y_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnBulletYCheck(); }},
        {{L"magic_enable_option"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMagicVoiceToggle(); }},
        {{L"virtual_surround_option"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnVirtualSurroundToggle(); }},
        {{L"6533_MicIn_option"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMicInToggle(); }},
        {{L"6533_MicMoniter_option"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMicMonitorToggle(); }},
        {{L"deng_7audiocolor_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ApplyAudioLightSetting(); }},
        {{L"audio_BkColor_check", L"audio_FgColor_check"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ReapplyAudioLightSetting(); }},
    };
    dispatch::RunFamily(*this, families, msg);
    dispatch::RunChain(*this, first, msg);
    dispatch::RunChain(*this, second, msg);

    // The key picker of the key-assignment page.
    if (msg.pSender == nullptr) return;
    const CDuiString name = msg.pSender->GetName();
    const std::optional<int> key = name_routing::FamilyIndex(name, L"keyboard_key_");
    if (!key || *key >= kPickerKeyCount || name.CompareNoCase(Member(L"keyboard_key_", *key)) != 0) return;
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page != nullptr && (page->GetDeviceType() == CCorvaneUSBDevice::kTypeKeyboard ||
                            page->GetDeviceType() == CCorvaneUSBDevice::kTypeMouse)) {
        SelectKeySetKey(page, *key);
    }
    ApplyKeyAssignment();
}

void CMainWnd::OnNotifyValueChanged(TNotifyUI& msg) {
    static const std::vector<FamilyRow> families = {
        {L"DPI_slider_", Needs::Mouse, Bound::DpiStage,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) {
             OperateCommitAndWrite(w, p, P::DpiSliderReleased, n);
         }},
        {L"6533_eq_hz_slider_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnEqBandChanged(n); }},
    };
    static const std::vector<NameRow> chain = {
        {{L"pointer_speed_slider"},
         Needs::Mouse,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateAndCommit(w, p, P::PointerSpeed, 0); }},
        {{L"scroll_speed_slider"},
         Needs::Mouse,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateAndCommit(w, p, P::ScrollSpeed, 0); }},
        {{L"double_click_slider"},
         Needs::Mouse,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateAndCommit(w, p, P::DoubleClickSpeed, 0); }},
        {{L"repeat_rate_slider"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateAndCommit(w, p, P::RepeatRate, 0); }},
        {{L"deng_light_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnBrightnessChanged(); }},
        {{L"deng_speed_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnSpeedChanged(); }},
        {{L"6533_MicIn_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMicInVolume(); }},
        {{L"6533_MicMoniter_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMicMonitorVolume(); }},
        {{L"R_light_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI& m) {
             ShowChannel(w, L"R_light_label", L"R", SliderValue(m));
         }},
        {{L"G_light_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI& m) {
             ShowChannel(w, L"G_light_label", L"G", SliderValue(m));
         }},
        {{L"B_light_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI& m) {
             ShowChannel(w, L"B_light_label", L"B", SliderValue(m));
         }},
        {{L"key_shake_slider"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnKeyShakeChanged(); }},
    };
    dispatch::RunFamily(*this, families, msg);
    dispatch::RunChain(*this, chain, msg);
}

// A slider being dragged only redraws its edit; nothing is stored.
void CMainWnd::OnNotifyMoveValueChanged(TNotifyUI& msg) {
    static const std::vector<FamilyRow> families = {
        {L"plenta_DPI_slider_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI& m) {
             if (CControlUI* edit = w.GetPaintManager()->FindControl(Member(L"plenta_DPI_edit_", n))) {
                 edit->SetText(std::to_wstring(SliderValue(m)).c_str());
             }
         }},
        {L"DPI_slider_", Needs::Mouse, Bound::DpiStage,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) { w.RunPageOperation(p, P::DpiSliderMoving, n); }},
    };
    dispatch::RunFamily(*this, families, msg);
}

void CMainWnd::OnNotifyKillFocus(TNotifyUI& msg) {
    static const std::vector<FamilyRow> families = {
        {L"plenta_DPI_edit_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI& m) {
             const int dpi = std::clamp(LeadingNumber(m.pSender->GetText()), kPlentaDpiMin, kPlentaDpiMax);
             m.pSender->SetText(std::to_wstring(dpi).c_str());
             if (CProgressUI* slider = AsProgress(w.GetPaintManager()->FindControl(Member(L"plenta_DPI_slider_", n)))) {
                 slider->SetValue(dpi);
             }
         }},
        {L"DPI_edit_", Needs::Mouse, Bound::DpiStage,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int n, TNotifyUI&) { OperateCommitAndWrite(w, p, P::DpiEditLeft, n); }},
    };
    static const std::vector<NameRow> first = {
        {{L"deng_edit_R"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnRedEdit(); }},
        {{L"frame_interval_time_edit"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             // The page stores and commits the interval; the device follows.
             w.RunPageOperation(p, P::FrameIntervalEdit, 0);
             p->WriteCurrentProfileBlock();
         }},
        {{L"key_shake_edit"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { OperateCommitAndWrite(w, p, P::KeyShakeEdit, 0); }},
        {{L"deng_edit_G"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnGreenEdit(); }},
        {{L"deng_edit_B"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnBlueEdit(); }},
        {{L"deng_audioedit_R"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnAudioEditColor(0); }},
        {{L"deng_audioedit_G"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnAudioEditColor(1); }},
        {{L"deng_audioedit_B"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnAudioEditColor(2); }},
        {{L"keyset_keyboard_text_edit"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             win::SendMessageW(w.GetHWND(), WM_KEY_CAPTURE, 0, 0);
         }},
        {{L"device_profile_name_edit"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             if (CControlUI* edit = w.GetPaintManager()->FindControl(L"device_profile_name_edit")) {
                 edit->SetToolTip(edit->GetText());
             }
         }},
        {{L"bullet_x_eidt", L"bullet_y_eidt", L"bullet_delay_eidt"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SaveBullet(); }},
        {{L"macro_delay"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SaveMacro(); }},
    };
    static const std::vector<NameRow> second = {
        {{L"keyset_mouseswing_num_edit", L"keyset_mouseswing_delay_edit", L"keyset_mouseswing_speed_edit",
          L"keyset_mousewheel_num_edit", L"keyset_mousewheel_delay_edit", L"keyset_mousewheel_speed_edit",
          L"keyset_mousefire_interval_edit", L"keyset_mousefire_num_edit", L"keyset_macro_cycle_edit"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ApplyKeyAssignment(); }},
    };
    dispatch::RunFamily(*this, families, msg);
    dispatch::RunChain(*this, first, msg);
    dispatch::RunChain(*this, second, msg);
}
