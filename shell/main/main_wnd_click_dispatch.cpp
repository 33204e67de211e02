#include <vector>

#include "link/device/corvane_usb_device.h"
#include "link/debug_log.h"
#include "link/registered_messages.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/remote.h"
#include "platform/ui/resource_manager.h"
#include "shell/controls/format_number.h"
#include "shell/main/dispatch_rows.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;
using dispatch::Bound;
using dispatch::FamilyRow;
using dispatch::NameRow;
using dispatch::Needs;

namespace {

// The texts of the lighting-control switch (the same in every language).

// "message k": a question or notice by language key, confirm and cancel.
int MessageKey(CMainWnd& w, const wchar_t* key) { return w.ShowMainMessage(key, 1, 1); }

// A page operation whose failure (-1) shows the message of `key`.
void RunWithFailureMessage(CMainWnd& w, CCorvaneUSBDevice* page, PageOperation operation, const wchar_t* key) {
    if (w.RunPageOperation(page, operation, 0) == -1) MessageKey(w, key);
}

// A save of screen frames: success clears the unsaved mark, failure keeps it.
void SaveFrames(CMainWnd& w, CCorvaneUSBDevice* page, PageOperation operation) {
    if (w.RunPageOperation(page, operation, 0) != 0) {
        MessageKey(w, L"save_succeed");
        ScreenFramesUnsaved = 0;
    } else {
        MessageKey(w, L"save_erro_text");
    }
}

}  // namespace

// The language text of a key, as the hidden label "str_test" shows it.
CDuiString CMainWnd::LanguageText(const wchar_t* key) {
    CControlUI* label = m_pm.FindControl(L"str_test");
    if (label == nullptr) return CResourceManager::GetInstance()->GetText(key);
    label->SetResourceText(true);
    label->SetText(key);
    return label->GetText();
}

// The result of an upload of all frames; a confirmed long upload is tried
// once more and its result reported the same way.
void CMainWnd::ReportUploadAllFrames(CCorvaneUSBDevice* keyboard, int result, bool mayRetry) {
    if (result == -1) {
        MessageKey(*this, L"upload_erro_text");
    } else if (result == -2) {
        const CDuiString text = FormatWithNumber(LanguageText(L"upload_erro_over_text"), GetFrameLimit(keyboard));
        ShowMainMessage(text, 0, 0);
    } else if (result == -3 && mayRetry) {
        if (MessageKey(*this, L"message_wait_text") == 1) {
            keyboard->CommandChannel().SetLongWait(true);
            ReportUploadAllFrames(keyboard, RunPageOperation(keyboard, PageOperation::UploadAllFrames, 0), false);
        } else {
            keyboard->CommandChannel().SetLongWait(false);
        }
    }
}

void CMainWnd::ToggleLightingControl() {
    m_nLightingEnabled = m_nLightingEnabled != 0 ? 0 : 1;
    win::DWORD recipients = win::BSM_APPLICATIONS;
    win::BroadcastSystemMessageW(win::BSF_POSTMESSAGE, &recipients, WM_LIGHTING_STATE, 1, m_nLightingEnabled);
    ShowLightingControlState();
    SetLightingEnabledAll(m_nLightingEnabled);
}

// The switch keeps a language key, so a language change re-translates it.
void CMainWnd::ShowLightingControlState() {
    CControlUI* status = m_pm.FindControl(L"control_light_status");
    if (status == nullptr) return;
    status->SetResourceText(true);
    status->SetText(m_nLightingEnabled != 0 ? L"lighting_controlled" : L"lighting_not_controlled");
}

// The window's own rows; true when the handler stops there.
bool CMainWnd::OnWindowButtonClick(TNotifyUI& msg) {
    const CDuiString name = msg.pSender->GetName();
    if (name.CompareNoCase(L"closebtn") == 0) {
        CloseChildWindows();
        ShowWindow(false, true);
        for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice, &m_keyboards})) {
            if (page != nullptr) page->SetWindowHidden(1);
        }
        HideScreenEditor();
        isFirst = 1;
        WriteLog("OnLClick>closebtn>isFirst = true");
        return true;
    }
    if (name.CompareNoCase(L"nodevice_ok_btn") == 0) {
        ShowWindow(false, true);
    } else if (name.CompareNoCase(L"control_light_status") == 0) {
        ToggleLightingControl();
    } else if (msg.pSender == m_captionButtons[3]) {  // minbtn
        SendMessage(win::WM_SYSCOMMAND, win::SC_MINIMIZE, 0);
        HideScreenEditor();
        return true;
    } else if (msg.pSender == m_captionButtons[1]) {  // maxbtn
        SendMessage(win::WM_SYSCOMMAND, win::SC_MAXIMIZE, 0);
        return true;
    } else if (msg.pSender == m_captionButtons[2]) {  // restorebtn
        SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
        return true;
    } else if (msg.pSender == m_captionButtons[4]) {  // skinbtn
        ShowSkinPicker();
    } else if (msg.pSender == m_captionButtons[8]) {  // setbtn: beside the main window
        ShowSettingsWindow(false);
    }
    return false;
}

void CMainWnd::OnNotifyClick(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    if (OnWindowButtonClick(msg)) return;

    static const std::vector<FamilyRow> families = {
        {L"key_", Needs::Always, Bound::PageKeys,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnDeviceKeyClick(n); }},
        {L"color_option_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnColorOptionClick(n); }},
        {L"audiocolor_option_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OnAudioColorOption(n); }},
        {L"windowdeviceset_", Needs::Always, Bound::Any,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.OpenSystemSettings(n); }},
        {L"DPI_color_option_", Needs::Always, Bound::DpiStage,
         [](CMainWnd& w, CCorvaneUSBDevice*, int n, TNotifyUI&) { w.PickDpiColor(n); }},
    };
    dispatch::RunFamily(*this, families, msg);

    using P = PageOperation;
    static const std::vector<NameRow> names = {
        {{L"default_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ConfirmRestoreDefaults(); }},
        {{L"reset_repeat_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { w.RunPageOperation(p, P::ClearRepeatTestBox, 0); }},
        {{L"device_add_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnAddProfile(); }},
        {{L"device_sub_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnDeleteProfile(); }},
        {{L"device_export_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnExportProfile(); }},
        {{L"device_import_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnImportProfile(); }},
        {{L"device_copy_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnCopyProfile(); }},
        {{L"device_reset_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnResetProfile(); }},
        {{L"device_profile_edit_save_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnSaveProfileName(); }},
        {{L"key_butt_keysave"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ApplyKeyAssignment(); }},
        {{L"key_butt_keydefalut"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ShowDefaultKeyAssignment(); }},
        {{L"key_butt_keycancel"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.CancelKeyAssignment(); }},
        {{L"key_butt_prosave"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SaveKeyAssignments(); }},
        {{L"macro_btn_starredio"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             // Set first: a recording that cannot start clears it again.
             w.m_nRecording = 1;
             w.OnStartRecordClick();
         }},
        {{L"macro_btn_stopredio"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             w.OnStopRecordClick();
             w.m_nRecording = 0;
         }},
        {{L"macro_btn_name_add"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnAddMacro(); }},
        {{L"macro_btn_name_sub"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnDeleteMacro(); }},
        {{L"macro_btn_name_edit"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnRenameMacro(); }},
        {{L"macro_btn_save"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SaveMacro(); }},
        {{L"macro_btn_cancel"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.CancelMacroEdit(); }},
        {{L"macro_btn_export"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnExportMacro(); }},
        {{L"macro_btn_import"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnImportMacro(); }},
        {{L"macro_btn_up"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.MoveMacroActionUp(); }},
        {{L"macro_btn_down"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.MoveMacroActionDown(); }},
        {{L"macro_btn_uptop"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.MoveMacroActionToTop(); }},
        {{L"macro_btn_downbottom"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.MoveMacroActionToBottom(); }},
        {{L"macro_btn_delete"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.DeleteMacroAction(); }},
        {{L"macro_btn_deleteall"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.DeleteAllMacroActions(); }},
        {{L"shootdate_save_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnSaveShootData(); }},
        {{L"shootdate_reset_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnResetShootData(); }},
        {{L"shootdate_import_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnImportShootData(); }},
        {{L"shootdate_export_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnExportShootData(); }},
        {{L"bullet_selected_prev"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnBulletStep(0); }},
        {{L"bullet_selected_next"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnBulletStep(1); }},
        {{L"custom_bright_color_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnCustomColorButton(1); }},
        {{L"custom_off_color_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnCustomColorButton(0); }},
        {{L"deng_same_mode"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnSameModeClick(); }},
        {{L"hs_EQ_btn_save"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnSaveCustomEq(); }},
        {{L"hs_EQ_btn_delete"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.OnDeleteCustomEq(); }},
        {{L"profile_fun_spread_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ToggleProfileMenu(); }, true},
        {{L"macro_inset_moveleftkey_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             w.OnMacroMoveX(true);
             w.SaveMacro();
         },
         true},
        {{L"macro_inset_moverightkey_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             w.OnMacroMoveX(false);
             w.SaveMacro();
         },
         true},
        {{L"macro_inset_moveupkey_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             w.OnMacroMoveY(true);
             w.SaveMacro();
         },
         true},
        {{L"macro_inset_movedownkey_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) {
             w.OnMacroMoveY(false);
             w.SaveMacro();
         },
         true},
        {{L"device_select_prev"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SelectPrevDevice(); }},
        {{L"device_select_next"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.SelectNextDevice(); }},
        {{L"Close_bkColor_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ClearAudioBackground(); }},
        {{L"music_setting_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ShowMusicWindow(); }},
        {{L"uploading_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             RunWithFailureMessage(w, p, P::UploadCurrentFrame, L"upload_erro_text");
         }},
        {{L"uploading_all_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             w.ReportUploadAllFrames(p, w.RunPageOperation(p, P::UploadAllFrames, 0), true);
         }},
        {{L"add_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             RunWithFailureMessage(w, p, P::AddFrame, L"message_erro_over_text");
         }},
        {{L"import_pictrue_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ImportScreenPicture(); }},
        {{L"import_gif_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ImportScreenAnimation(); }},
        {{L"reversal_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { w.RunPageOperation(p, P::InvertFrame, 0); }},
        {{L"reversal_all_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { w.RunPageOperation(p, P::InvertAllFrames, 0); }},
        {{L"delete_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             RunWithFailureMessage(w, p, P::DeleteFrame, L"delete_erro_text");
         }},
        {{L"clear_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { w.RunPageOperation(p, P::ClearFrame, 0); }},
        {{L"clear_all_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) {
             w.ClearFloatingWindows();
             w.RunPageOperation(p, P::ClearAllFrames, 0);
             ScreenFramesUnsaved = 0;
             w.ShowScreenEditor();
         }},
        {{L"save_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { SaveFrames(w, p, P::SaveFrame); }},
        {{L"save_all_frame_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { SaveFrames(w, p, P::SaveAllFrames); }},
        {{L"screen_undo_btn"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { w.RunPageOperation(p, P::UndoCanvas, 0); }},
        {{L"save_to_bin"}, Needs::Keyboard,
         [](CMainWnd& w, CCorvaneUSBDevice* p, int, TNotifyUI&) { w.RunPageOperation(p, P::DumpUploadImage, 0); }},
        {{L"save_pictrue_btn"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ExportScreenPicture(); }},
        {{L"save_gif_btn"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.ExportScreenVideo(); }},
        {{L"Pen_Color_Opation"}, Needs::Always, [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.PickScreenPenColor(); }},
        {{L"Bkground_Color_Opation"}, Needs::Always,
         [](CMainWnd& w, CCorvaneUSBDevice*, int, TNotifyUI&) { w.PickScreenBackgroundColor(); }},
    };
    dispatch::RunChain(*this, names, msg);
}
