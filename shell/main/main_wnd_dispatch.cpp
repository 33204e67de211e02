#include <vector>

#include "link/device/corvane_usb_device.h"
#include "platform/os/message_queue.h"
#include "shell/main/control_panel_thread.h"
#include "shell/main/dispatch_rows.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;
using dispatch::NameRow;
using dispatch::Needs;

namespace {

struct TypeRow {
    const wchar_t* type;
    void (*handler)(CMainWnd& wnd, TNotifyUI& msg);  // null: no handler
    bool passOn;
};

}  // namespace

// Routes every notification by its type (compared exactly), then hands it to
// the base window, whose message map reaches OnItemActivate and
// OnNotifySetFocus. "click_wpremove" and "click_wpedit" are not passed on.
void CMainWnd::Notify(TNotifyUI& msg) {
    static const std::vector<TypeRow> types = {
        {L"windowinit", [](CMainWnd& w, TNotifyUI&) { w.OnWindowInit(); }, true},
        {L"windowsize", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyWindowSize(m); }, true},
        {L"colorchanged", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyColorChanged(m); }, true},
        {L"click", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyClick(m); }, true},
        {L"msleave", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyMouseLeave(m); }, true},
        {L"msenter", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyMouseEnter(m); }, true},
        {L"selectchanged", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifySelectChanged(m); }, true},
        {L"valuechanged", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyValueChanged(m); }, true},
        {L"movevaluechanged", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyMoveValueChanged(m); }, true},
        {L"itemselect", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyItemSelect(m); }, true},
        {L"itemclick", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyItemClick(m); }, true},
        {L"textchanged", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyItemClick(m); }, true},
        {L"click_wpremove", nullptr, false},
        {L"click_wpedit", nullptr, false},
        {L"click_wpadd", nullptr, true},
        {L"click_wpselect", nullptr, true},
        {L"killfocus", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyKillFocus(m); }, true},
        {L"click_select_end", [](CMainWnd& w, TNotifyUI& m) { w.OnNotifyClickSelectEnd(m); }, true},
    };
    bool passOn = true;
    for (const TypeRow& row : types) {
        if (msg.sType.Compare(row.type) != 0) continue;
        if (row.handler != nullptr) row.handler(*this, msg);
        passOn = row.passOn;
        break;
    }
    if (passOn) WindowImplBase::Notify(msg);
}

void CMainWnd::OnItemActivate(TNotifyUI& msg) {
    static const std::vector<NameRow> chain = {
        {{L"macro_action"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI& m) { w.ShowMacroActionMenu(m); }},
    };
    dispatch::RunChain(*this, chain, msg);
}

void CMainWnd::OnNotifySetFocus(TNotifyUI& msg) {
    static const std::vector<NameRow> chain = {
        {{L"keyset_keyboard_text_edit"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             win::SendMessageW(w.GetHWND(), WM_KEY_CAPTURE, 1, 0);
         }},
    };
    dispatch::RunChain(*this, chain, msg);
}

void CMainWnd::OnNotifyItemSelect(TNotifyUI& msg) {
    static const std::vector<NameRow> first = {
        {{L"device_profile_combo"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             // Re-arming replaces a pending switch: only the last choice within
             // the delay is applied.
             win::SetTimer(w.GetHWND(), TIMER_MAIN_PROFILE_SWITCH, 400, nullptr);
         }},
        {{L"light_combo_modeSelect"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnLightModeSelected(); }},
        {{L"light_combo_custommodeSelect"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnCustomModeSelected(); }},
        {{L"keyset_function_combo"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnKeyFunctionSelected(); }},
        {{L"keyset_macro_over_combo"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMacroRepeatSelected(); }},
        {{L"macro_name_list"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnMacroSelected(); }},
        {{L"custom_eq_name_combo"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnCustomEqSelected(); }},
        {{L"light_combo_ZZCCmodeSelect"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnZZCCModeSelected(); }},
        {{L"light_combo_audiomodeSelect"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ApplyAudioLightSetting(); }},
        {{L"Screen_tool_combo_Select"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             w.RunPageOperation(p, PageOperation::ScreenToolSelected, 0);
         }},
        {{L"Pixel_size_combo_Select"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             w.RunPageOperation(p, PageOperation::PixelSizeSelected, 0);
         }},
        {{L"screen_mode_combo_Select"},
         Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             w.RunPageOperation(p, PageOperation::ScreenModeSelected, 0);
         }},
    };
    static const std::vector<NameRow> second = {
        {{L"keyset_function_combo", L"keyset_mousekey_combo", L"keyset_mouseswing_combo", L"keyset_mousewheel_combo",
          L"keyset_mousedpi_combo", L"keyset_media_combo", L"keyset_system_combo", L"keyset_macro_combo",
          L"keyset_macro_over_combo", L"keyset_gunkey_combo", L"keyset_combokey_combo"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ApplyKeyAssignment(); }},
    };
    dispatch::RunChain(*this, first, msg);
    dispatch::RunChain(*this, second, msg);
}

void CMainWnd::OnNotifyColorChanged(TNotifyUI& msg) {
    static const std::vector<NameRow> chain = {
        {{L"deng_Color_Pallet"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnPaletteColorChanged(); }},
        {{L"deng_audioColor_Pallet"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnAudioPaletteColor(); }},
    };
    dispatch::RunChain(*this, chain, msg);
}

// The first resize of the root after a display change fits the window once more.
void CMainWnd::OnNotifyWindowSize(TNotifyUI& msg) {
    if (msg.pSender == nullptr || msg.pSender->GetName().CompareNoCase(L"root") != 0) return;
    if (m_nDisplayFit == 0) return;
    m_nDisplayFit = 0;
    FitToScreen();
}

void CMainWnd::OnNotifyClickSelectEnd(TNotifyUI& msg) {
    static const std::vector<NameRow> chain = {
        {{L"device_key_light"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI& m) { w.ApplyKeySelectionLight(m.pSender); }},
        {{L"mouse_device_key_light"},
         Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI& m) { w.ApplyMouseKeySelectionLight(m.pSender); }},
    };
    dispatch::RunChain(*this, chain, msg);
}

// Row clicks, text changes and the pointer entering or leaving a control
// change nothing.
void CMainWnd::OnNotifyItemClick(TNotifyUI&) {}
void CMainWnd::OnNotifyMouseEnter(TNotifyUI&) {}
void CMainWnd::OnNotifyMouseLeave(TNotifyUI&) {}

int CMainWnd::ShowMainMessage(const wchar_t* text, int textIsKey, int buttonMode) {
    return ShowMessageBox(GetHWND(), nullptr, text, m_nDpi, textIsKey, buttonMode);
}

// The thread ends by itself; no handle is kept.
void CMainWnd::OpenSystemSettings(int page) { StartControlPanelThread(page); }
