// The notification dispatch of the main window: every row of the type, click,
// selection, value and focus tables reaches its operation with its argument,
// under its device condition, in its order.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files/utf8.h"
#include "platform/ui/resource_manager.h"
#include "shell/controls/process_state.h"
#include "tests/shell/dispatch_fixture.h"

namespace dispatchtest {
namespace {

using Calls = std::vector<std::string>;

constexpr int kNone = 0;
constexpr int kKeyboard = CCorvaneUSBDevice::kTypeKeyboard;
constexpr int kMouse = CCorvaneUSBDevice::kTypeMouse;
constexpr int kPad = CCorvaneUSBDevice::kTypeMousePad;

const Calls kCommit = {"Commit"};
const Calls kCommitWrite = {"Commit", "Write(0,0,1,1920x1080)"};

Calls Then(Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One row: what a notification reaches. `needs` is the device kind the row
// acts for (0: any device or none); it is tried with every kind.
struct Row {
    const wchar_t* type;
    const wchar_t* name;
    int needs;
    Calls calls;
};

std::vector<Row> AllRows() {
    std::vector<Row> rows = {
        // Click: families.
        {L"click", L"color_option_3", 0, {"OnColorOptionClick(3)"}},
        {L"click", L"audiocolor_option_2", 0, {"OnAudioColorOption(2)"}},
        {L"click", L"windowdeviceset_1", 0, {"OpenSystemSettings(1)"}},
        {L"click", L"DPI_color_option_4", 0, {"PickDpiColor(4)"}},
        // Click: names.
        {L"click", L"nodevice_ok_btn", 0, {}},
        {L"click", L"default_btn", 0, {"ConfirmRestoreDefaults()"}},
        {L"click", L"device_add_btn", 0, {"OnAddProfile()"}},
        {L"click", L"device_sub_btn", 0, {"OnDeleteProfile()"}},
        {L"click", L"device_export_btn", 0, {"OnExportProfile()"}},
        {L"click", L"device_import_btn", 0, {"OnImportProfile()"}},
        {L"click", L"device_copy_btn", 0, {"OnCopyProfile()"}},
        {L"click", L"device_reset_btn", 0, {"OnResetProfile()"}},
        {L"click", L"device_profile_edit_save_btn", 0, {"OnSaveProfileName()"}},
        {L"click", L"key_butt_keysave", 0, {"ApplyKeyAssignment()"}},
        {L"click", L"key_butt_keydefalut", 0, {"ShowDefaultKeyAssignment()"}},
        {L"click", L"key_butt_keycancel", 0, {"CancelKeyAssignment()"}},
        {L"click", L"key_butt_prosave", 0, {"SaveKeyAssignments()"}},
        {L"click", L"macro_btn_starredio", 0, {"OnStartRecordClick()"}},
        {L"click", L"macro_btn_stopredio", 0, {"OnStopRecordClick()"}},
        {L"click", L"macro_btn_name_add", 0, {"OnAddMacro()"}},
        {L"click", L"macro_btn_name_sub", 0, {"OnDeleteMacro()"}},
        {L"click", L"macro_btn_name_edit", 0, {"OnRenameMacro()"}},
        {L"click", L"macro_btn_save", 0, {"SaveMacro()"}},
        {L"click", L"MACRO_BTN_SAVE", 0, {"SaveMacro()"}},
        {L"click", L"macro_btn_cancel", 0, {"CancelMacroEdit()"}},
        {L"click", L"macro_btn_export", 0, {"OnExportMacro()"}},
        {L"click", L"macro_btn_import", 0, {"OnImportMacro()"}},
        {L"click", L"macro_btn_up", 0, {"MoveMacroActionUp()"}},
        {L"click", L"macro_btn_down", 0, {"MoveMacroActionDown()"}},
        {L"click", L"macro_btn_uptop", 0, {"MoveMacroActionToTop()"}},
        {L"click", L"macro_btn_downbottom", 0, {"MoveMacroActionToBottom()"}},
        {L"click", L"macro_btn_delete", 0, {"DeleteMacroAction()"}},
        {L"click", L"macro_btn_deleteall", 0, {"DeleteAllMacroActions()"}},
        {L"click", L"shootdate_save_btn", 0, {"OnSaveShootData()"}},
        {L"click", L"shootdate_reset_btn", 0, {"OnResetShootData()"}},
        {L"click", L"shootdate_import_btn", 0, {"OnImportShootData()"}},
        {L"click", L"shootdate_export_btn", 0, {"OnExportShootData()"}},
        {L"click", L"bullet_selected_prev", 0, {"OnBulletStep(0)"}},
        {L"click", L"bullet_selected_next", 0, {"OnBulletStep(1)"}},
        {L"click", L"custom_bright_color_btn", 0, {"OnCustomColorButton(1)"}},
        {L"click", L"custom_off_color_btn", 0, {"OnCustomColorButton(0)"}},
        {L"click", L"deng_same_mode", 0, {"OnSameModeClick()"}},
        {L"click", L"hs_EQ_btn_save", 0, {"OnSaveCustomEq()"}},
        {L"click", L"hs_EQ_btn_delete", 0, {"OnDeleteCustomEq()"}},
        {L"click", L"profile_fun_spread_btn", 0, {"ToggleProfileMenu()"}},
        {L"click", L"Profile_fun_spread_btn", 0, {}},
        {L"click", L"PROFILE_FUN_SPREAD_BTN", 0, {}},
        {L"click", L"macro_inset_moveleftkey_btn", 0, {"OnMacroMoveX(1)", "SaveMacro()"}},
        {L"click", L"Macro_inset_moveleftkey_btn", 0, {}},
        {L"click", L"macro_inset_moverightkey_btn", 0, {"OnMacroMoveX(0)", "SaveMacro()"}},
        {L"click", L"macro_inset_moveupkey_btn", 0, {"OnMacroMoveY(1)", "SaveMacro()"}},
        {L"click", L"macro_inset_movedownkey_btn", 0, {"OnMacroMoveY(0)", "SaveMacro()"}},
        {L"click", L"macro_inset_movedownkey_BTN", 0, {}},
        {L"click", L"device_select_prev", 0, {"SelectPrevDevice()"}},
        {L"click", L"device_select_next", 0, {"SelectNextDevice()"}},
        {L"click", L"Close_bkColor_btn", 0, {"ClearAudioBackground()"}},
        {L"click", L"music_setting_btn", 0, {"ShowMusicWindow()"}},
        {L"click", L"uploading_frame_btn", kKeyboard, {"UploadCurrentFrame(0)"}},
        {L"click", L"uploading_all_frame_btn", kKeyboard, {"UploadAllFrames(0)"}},
        {L"click", L"add_frame_btn", kKeyboard, {"AddFrame(0)"}},
        {L"click", L"import_pictrue_btn", 0, {"ImportScreenPicture()"}},
        {L"click", L"import_gif_btn", 0, {"ImportScreenAnimation()"}},
        {L"click", L"reversal_frame_btn", kKeyboard, {"InvertFrame(0)"}},
        {L"click", L"reversal_all_frame_btn", kKeyboard, {"InvertAllFrames(0)"}},
        {L"click", L"delete_frame_btn", kKeyboard, {"DeleteFrame(0)"}},
        {L"click", L"clear_frame_btn", kKeyboard, {"ClearFrame(0)"}},
        {L"click",
         L"clear_all_frame_btn",
         kKeyboard,
         {"ClearFloatingWindows()", "ClearAllFrames(0)", "ShowScreenEditor()"}},
        {L"click", L"save_frame_btn", kKeyboard, {"SaveFrame(0)", "Message(save_erro_text,1,1)"}},
        {L"click", L"save_all_frame_btn", kKeyboard, {"SaveAllFrames(0)", "Message(save_erro_text,1,1)"}},
        {L"click", L"screen_undo_btn", kKeyboard, {"UndoCanvas(0)"}},
        {L"click", L"save_to_bin", kKeyboard, {"DumpUploadImage(0)"}},
        {L"click", L"save_pictrue_btn", 0, {"ExportScreenPicture()"}},
        {L"click", L"save_gif_btn", 0, {"ExportScreenVideo()"}},
        {L"click", L"Pen_Color_Opation", 0, {"PickScreenPenColor()"}},
        {L"click", L"Bkground_Color_Opation", 0, {"PickScreenBackgroundColor()"}},
        // The decisions: no family member unless digits follow the prefix.
        {L"click", L"key_x", 0, {}},
        {L"click", L"key_-1", 0, {}},
        {L"click", L"DPI_color_option_5", 0, {}},
        {L"click", L"color_option_99999999999", 0, {}},
        // Item selection.
        {L"itemselect", L"light_combo_modeSelect", 0, {"OnLightModeSelected()"}},
        {L"itemselect", L"light_combo_custommodeSelect", 0, {"OnCustomModeSelected()"}},
        {L"itemselect", L"keyset_function_combo", 0, {"OnKeyFunctionSelected()", "ApplyKeyAssignment()"}},
        {L"itemselect", L"keyset_macro_over_combo", 0, {"OnMacroRepeatSelected()", "ApplyKeyAssignment()"}},
        {L"itemselect", L"macro_name_list", 0, {"OnMacroSelected()"}},
        {L"itemselect", L"custom_eq_name_combo", 0, {"OnCustomEqSelected()"}},
        {L"itemselect", L"light_combo_ZZCCmodeSelect", 0, {"OnZZCCModeSelected()"}},
        {L"itemselect", L"light_combo_audiomodeSelect", 0, {"ApplyAudioLightSetting()"}},
        {L"itemselect", L"Screen_tool_combo_Select", kKeyboard, {"ScreenToolSelected(0)"}},
        {L"itemselect", L"Pixel_size_combo_Select", kKeyboard, {"PixelSizeSelected(0)"}},
        {L"itemselect", L"screen_mode_combo_Select", kKeyboard, {"ScreenModeSelected(0)"}},
        {L"itemactivate", L"macro_action", 0, {"ShowMacroActionMenu(macro_action)"}},
        {L"colorchanged", L"deng_Color_Pallet", 0, {"OnPaletteColorChanged()"}},
        {L"colorchanged", L"deng_audioColor_Pallet", 0, {"OnAudioPaletteColor()"}},
        {L"click_select_end", L"device_key_light", 0, {"ApplyKeySelectionLight(device_key_light)"}},
        {L"click_select_end", L"mouse_device_key_light", 0, {"ApplyMouseKeySelectionLight(mouse_device_key_light)"}},
        {L"windowsize", L"root", 0, {}},
        {L"msenter", L"default_btn", 0, {}},
        {L"msleave", L"default_btn", 0, {}},
        {L"itemclick", L"default_btn", 0, {}},
        {L"textchanged", L"default_btn", 0, {}},
        {L"click_wpremove", L"default_btn", 0, {}},
        {L"click_wpedit", L"default_btn", 0, {}},
        {L"click_wpadd", L"default_btn", 0, {}},
        {L"click_wpselect", L"default_btn", 0, {}},
        {L"Click", L"default_btn", 0, {}},  // types compare exactly
        // Selection changes: families.
        {L"selectchanged", L"DPI_enable_check_2", kMouse, Then({"DpiStageEnable(2)"}, kCommitWrite)},
        {L"selectchanged", L"DPI_select_check_2", kMouse, Then({"DpiStageSelect(2)"}, kCommitWrite)},
        {L"selectchanged", L"DPI_select_check_5", 0, {}},
        {L"selectchanged", L"mouse_device_seting_option_2", 0, {"OnMouseSettingOption(2)"}},
        {L"selectchanged", L"shoot_gun_op_6", 0, {"OnGunSelected(6)"}},
        {L"selectchanged", L"bullet_op_3", 0, {"OnBulletSelected(3)"}},
        {L"selectchanged", L"magic_option_4", 0, {"OnMagicVoiceSelected(4)"}},
        {L"selectchanged", L"6533_eq_option_1", 0, {"OnEqPresetSelected(1)"}},
        {L"selectchanged", L"key_ComBox_check_2", 0, {"OnModifierCheck(2)"}},
        {L"selectchanged", L"frame_option_7", kKeyboard, {"SelectFrame(7)"}},
        // Selection changes: first chain.
        {L"selectchanged", L"pointer_precision_check", kMouse, Then({"PointerPrecision(0)"}, kCommit)},
        {L"selectchanged", L"scrolls_page_check", kMouse, Then({"ScrollByPage(0)"}, kCommit)},
        {L"selectchanged", L"synchro_device_select", 0, {}},
        // Selection changes: second chain (the tab rows are tested below).
        {L"selectchanged", L"device_select", 0, {"OnDeviceSelected()"}},
        {L"selectchanged", L"frame_option", 0, {"SelectScreenPage(0)"}},
        {L"selectchanged", L"uploading_option", 0, {"SelectScreenPage(1)"}},
        {L"selectchanged", L"deng_FXL_check", 0, {"OnDirectionCheck(1)"}},
        {L"selectchanged", L"deng_FXR_check", 0, {"OnDirectionCheck(0)"}},
        {L"selectchanged", L"deng_7color_check", 0, {"OnSevenColorCheck()"}},
        {L"selectchanged", L"bullet_x_check", 0, {"OnBulletXCheck()"}},
        {L"selectchanged", L"bullet_y_check", 0, {"OnBulletYCheck()"}},
        {L"selectchanged", L"magic_enable_option", 0, {"OnMagicVoiceToggle()"}},
        {L"selectchanged", L"6533_MicIn_option", 0, {"OnMicInToggle()"}},
        {L"selectchanged", L"6533_MicMoniter_option", 0, {"OnMicMonitorToggle()"}},
        {L"selectchanged", L"deng_7audiocolor_check", 0, {"ApplyAudioLightSetting()"}},
        {L"selectchanged", L"audio_BkColor_check", 0, {"ReapplyAudioLightSetting()"}},
        {L"selectchanged", L"audio_FgColor_check", 0, {"ReapplyAudioLightSetting()"}},
        // Value changes.
        {L"valuechanged", L"DPI_slider_3", kMouse, Then({"DpiSliderReleased(3)"}, kCommitWrite)},
        {L"valuechanged", L"DPI_slider_5", 0, {}},
        {L"valuechanged", L"6533_eq_hz_slider_9", 0, {"OnEqBandChanged(9)"}},
        {L"valuechanged", L"pointer_speed_slider", kMouse, Then({"PointerSpeed(0)"}, kCommit)},
        {L"valuechanged", L"scroll_speed_slider", kMouse, Then({"ScrollSpeed(0)"}, kCommit)},
        {L"valuechanged", L"double_click_slider", kMouse, Then({"DoubleClickSpeed(0)"}, kCommit)},
        {L"valuechanged", L"deng_light_slider", 0, {"OnBrightnessChanged()"}},
        {L"valuechanged", L"deng_speed_slider", 0, {"OnSpeedChanged()"}},
        {L"valuechanged", L"6533_MicIn_slider", 0, {"OnMicInVolume()"}},
        {L"valuechanged", L"6533_MicMoniter_slider", 0, {"OnMicMonitorVolume()"}},
        {L"valuechanged", L"key_shake_slider", 0, {"OnKeyShakeChanged()"}},
        {L"movevaluechanged", L"DPI_slider_0", kMouse, {"DpiSliderMoving(0)"}},
        {L"movevaluechanged", L"DPI_slider_-1", 0, {}},
        // Focus.
        {L"killfocus", L"DPI_edit_4", kMouse, Then({"DpiEditLeft(4)"}, kCommitWrite)},
        {L"killfocus", L"DPI_edit_5", 0, {}},
        {L"killfocus", L"deng_edit_R", 0, {"OnRedEdit()"}},
        {L"killfocus", L"frame_interval_time_edit", kKeyboard, {"FrameIntervalEdit(0)", "Write(0,0,1,1920x1080)"}},
        {L"killfocus", L"deng_edit_G", 0, {"OnGreenEdit()"}},
        {L"killfocus", L"deng_edit_B", 0, {"OnBlueEdit()"}},
        {L"killfocus", L"deng_audioedit_R", 0, {"OnAudioEditColor(0)"}},
        {L"killfocus", L"deng_audioedit_G", 0, {"OnAudioEditColor(1)"}},
        {L"killfocus", L"deng_audioedit_B", 0, {"OnAudioEditColor(2)"}},
        {L"killfocus", L"bullet_x_eidt", 0, {"SaveBullet()"}},
        {L"killfocus", L"bullet_y_eidt", 0, {"SaveBullet()"}},
        {L"killfocus", L"bullet_delay_eidt", 0, {"SaveBullet()"}},
        {L"killfocus", L"macro_delay", 0, {"SaveMacro()"}},
        {L"setfocus", L"keyset_keyboard_text_edit", 0, {"SetKeyCaptureHook(1)"}},
        {L"killfocus", L"keyset_keyboard_text_edit", 0, {"SetKeyCaptureHook(0)"}},
    };
    for (const wchar_t* name :
         {L"keyset_function_combo", L"keyset_mousekey_combo", L"keyset_mouseswing_combo", L"keyset_mousewheel_combo",
          L"keyset_mousedpi_combo", L"keyset_media_combo", L"keyset_system_combo", L"keyset_macro_combo",
          L"keyset_macro_over_combo", L"keyset_gunkey_combo", L"keyset_combokey_combo"}) {
        if (std::wstring(name) == L"keyset_function_combo" || std::wstring(name) == L"keyset_macro_over_combo")
            continue;
        rows.push_back({L"itemselect", name, 0, {"ApplyKeyAssignment()"}});
    }
    for (const wchar_t* name :
         {L"keyset_mouseswing_num_edit", L"keyset_mouseswing_delay_edit", L"keyset_mouseswing_speed_edit",
          L"keyset_mousewheel_num_edit", L"keyset_mousewheel_delay_edit", L"keyset_mousewheel_speed_edit",
          L"keyset_mousefire_interval_edit", L"keyset_mousefire_num_edit", L"keyset_macro_cycle_edit"}) {
        rows.push_back({L"killfocus", name, 0, {"ApplyKeyAssignment()"}});
    }
    return rows;
}

TEST_F(DispatchTest, EveryRowReachesItsOperationUnderItsDeviceCondition) {
    for (const Row& row : AllRows()) {
        for (int kind : {kNone, kKeyboard, kMouse, kPad}) {
            UseDevice(kind);
            wnd_->Clear();
            Send(row.type, row.name);
            const bool acts = row.needs == 0 || row.needs == kind;
            EXPECT_EQ(wnd_->calls, acts ? row.calls : Calls{})
                << win::ToUtf8(row.type) << " " << win::ToUtf8(row.name) << " with device kind " << kind;
        }
    }
}

TEST_F(DispatchTest, ReportRateRowsFollowTheDeviceKind) {
    const Row cases[] = {
        {L"selectchanged", L"polling_rate_option_3", kMouse, Then({"MousePollingRate(3)"}, kCommitWrite)},
        {L"selectchanged", L"polling_rate_option_3", kKeyboard, Then({"KeyboardPollingRate(3)"}, kCommitWrite)},
        {L"selectchanged", L"polling_rate_option_3", kPad, {}},
        {L"selectchanged", L"polling_rate_option_3", kNone, {}},
    };
    for (const Row& c : cases) {
        UseDevice(c.needs);
        wnd_->Clear();
        Send(c.type, c.name);
        EXPECT_EQ(wnd_->calls, c.calls) << "kind " << c.needs;
    }
}

TEST_F(DispatchTest, KeyFamilyTakesOnlyKeysOfTheCurrentPage) {
    struct Case {
        const wchar_t* name;
        int kind;
        Calls calls;
    } cases[] = {
        {L"key_7", kKeyboard, {"OnDeviceKeyClick(7)"}},
        {L"KEY_7", kMouse, {"OnDeviceKeyClick(7)"}},
        {L"key_7", kNone, {}},
        {L"key_103", kKeyboard, {"OnDeviceKeyClick(103)"}},
        {L"key_104", kKeyboard, {}},  // the keyboard page has 104 keys
        {L"key_8", kMouse, {}},       // and the mouse page 8
        {L"key_x", kKeyboard, {}},
        {L"key_-1", kKeyboard, {}},
        {L"key_butt_keysave", kKeyboard, {"ApplyKeyAssignment()"}},
    };
    for (const Case& c : cases) {
        UseDevice(c.kind);
        wnd_->Clear();
        Send(L"click", c.name);
        EXPECT_EQ(wnd_->calls, c.calls) << win::ToUtf8(c.name) << " kind " << c.kind;
    }
}

TEST_F(DispatchTest, KeyPickerSelectsOnKeyboardAndMousePagesThenAppliesAlways) {
    struct Case {
        const wchar_t* name;
        int kind;
        Calls calls;
    } cases[] = {
        {L"keyboard_key_40", kMouse, {"SelectKeySetKey(40)", "ApplyKeyAssignment()"}},
        {L"keyboard_key_0", kKeyboard, {"SelectKeySetKey(0)", "ApplyKeyAssignment()"}},
        {L"keyboard_key_125", kKeyboard, {"SelectKeySetKey(125)", "ApplyKeyAssignment()"}},
        {L"keyboard_key_40", kPad, {"ApplyKeyAssignment()"}},
        {L"keyboard_key_40", kNone, {"ApplyKeyAssignment()"}},
        {L"keyboard_key_126", kKeyboard, {}},
        {L"keyboard_key_040", kKeyboard, {}},
    };
    for (const Case& c : cases) {
        UseDevice(c.kind);
        wnd_->Clear();
        Send(L"selectchanged", c.name);
        EXPECT_EQ(wnd_->calls, c.calls) << win::ToUtf8(c.name) << " kind " << c.kind;
    }
}

TEST_F(DispatchTest, CloseButtonHidesToTheTrayAndStops) {
    FakePage mouse(kMouse, &wnd_->calls), keyboard(kKeyboard, &wnd_->calls), pad(kPad, &wnd_->calls);
    for (FakePage* p : {&mouse, &keyboard, &pad}) p->SetShowPower(1);
    wnd_->Mice().push_back(&mouse);
    wnd_->Keyboards().push_back(&keyboard);
    wnd_->MousePads().push_back(&pad);
    ASSERT_TRUE(wnd_->IsVisible());

    Send(L"click", L"CLOSEBTN");
    EXPECT_EQ(wnd_->calls, (Calls{"CloseChildWindows()", "HideScreenEditor()"}));
    EXPECT_FALSE(wnd_->IsVisible());
    EXPECT_EQ(mouse.GetWindowHidden(), 1);
    EXPECT_EQ(keyboard.GetWindowHidden(), 1);
    EXPECT_EQ(pad.GetWindowHidden(), 0);
    EXPECT_EQ(isFirst.load(), 1);

    // The skin's own close button: the window stays, hidden.
    wnd_->ShowWindow(true, true);
    wnd_->Clear();
    Send(L"click", L"closebtn", true);
    mainwndtest::Pump();
    EXPECT_TRUE(win::IsWindow(wnd_->GetHWND()));
    EXPECT_FALSE(wnd_->IsVisible());
    EXPECT_EQ(wnd_->calls, (Calls{"CloseChildWindows()", "HideScreenEditor()"}));
    wnd_->Mice().clear();
    wnd_->Keyboards().clear();
    wnd_->MousePads().clear();
}

TEST_F(DispatchTest, CaptionButtonsAreTheSkinsOwn) {
    Send(L"click", L"minbtn", true);
    EXPECT_TRUE(wnd_->IsIconic());
    EXPECT_EQ(wnd_->Count("HideScreenEditor()"), 1);
    Send(L"click", L"restorebtn", true);
    EXPECT_FALSE(wnd_->IsIconic());
    wnd_->Clear();
    // A control of the same name that is not the caption button does nothing.
    Send(L"click", L"minbtn");
    Send(L"click", L"skinbtn");
    EXPECT_TRUE(wnd_->calls.empty());
    EXPECT_FALSE(wnd_->IsIconic());
    Send(L"click", L"skinbtn", true);
    Send(L"click", L"setbtn", true);
    EXPECT_EQ(wnd_->calls, (Calls{"ShowSkinPicker()", "ShowSettingsWindow(0)"}));
}

TEST_F(DispatchTest, LightingSwitchTogglesWithTextsOfTheLanguage) {
    CControlUI* lightSwitch = Find(L"control_light_status");
    ASSERT_NE(lightSwitch, nullptr);
    ASSERT_EQ(wnd_->GetLightingEnabled(), 1);
    struct Case {
        const wchar_t* language;
        const wchar_t* off;
        const wchar_t* on;
    } cases[] = {
        {L"lan_en.xml", L"Lighting not controlled", L"Lighting controlled"},
        {L"lan_cn.xml", L"不控制灯光", L"控制灯光"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(c.language));
        EXPECT_EQ(lightSwitch->GetText(), c.on);
        SendFrom(lightSwitch, L"click");
        EXPECT_EQ(wnd_->GetLightingEnabled(), 0);
        EXPECT_EQ(lightSwitch->GetText(), c.off);
        SendFrom(lightSwitch, L"click");
        EXPECT_EQ(wnd_->GetLightingEnabled(), 1);
        EXPECT_EQ(lightSwitch->GetText(), c.on);
    }
    // A language change alone re-translates the shown state.
    SendFrom(lightSwitch, L"click");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml"));
    EXPECT_EQ(lightSwitch->GetText(), L"Lighting not controlled");
}

TEST_F(DispatchTest, MacroRecordingFlagFollowsStartAndStop) {
    Send(L"click", L"macro_btn_starredio");
    EXPECT_EQ(wnd_->m_nRecording, 1);
    Send(L"click", L"macro_btn_stopredio");
    EXPECT_EQ(wnd_->m_nRecording, 0);
}

TEST_F(DispatchTest, RootResizeFitsOnceAfterADisplayChange) {
    Send(L"windowsize", L"root");
    Send(L"windowsize", L"other");
    wnd_->SetDisplayFitFlag(1);
    Send(L"windowsize", L"other");
    EXPECT_TRUE(wnd_->calls.empty());
    Send(L"windowsize", L"ROOT");
    Send(L"windowsize", L"root");
    EXPECT_EQ(wnd_->calls, (Calls{"FitToScreen()"}));
    EXPECT_EQ(wnd_->GetDisplayFitFlag(), 0);
}

TEST_F(DispatchTest, ProfileChoiceAppliesOnlyTheLastWithinTheDelay) {
    Send(L"itemselect", L"device_profile_combo");
    Send(L"itemselect", L"device_profile_combo");
    EXPECT_TRUE(wnd_->calls.empty());
    ASSERT_TRUE(mainwndtest::PumpUntil([&] { return !wnd_->calls.empty(); }));
    // A third choice arms the timer anew and is applied once more.
    Send(L"itemselect", L"device_profile_combo");
    ASSERT_TRUE(mainwndtest::PumpUntil([&] { return wnd_->calls.size() >= 2; }));
    EXPECT_EQ(wnd_->calls, (Calls{"ApplySelectedProfile()", "ApplySelectedProfile()"}));
}

TEST_F(DispatchTest, ColourLabelsAndPlentaPairMirrorTheirValues) {
    auto* red = AddControl<CLabelUI>(L"R_light_label");
    auto* green = AddControl<CLabelUI>(L"G_light_label");
    auto* blue = AddControl<CLabelUI>(L"B_light_label");
    auto* plentaEdit = AddControl<CEditUI>(L"plenta_DPI_edit_1");
    auto* plentaSlider = AddControl<CSliderUI>(L"plenta_DPI_slider_1");
    plentaSlider->SetMaxValue(10000);

    struct Channel {
        const wchar_t* slider;
        CLabelUI* label;
        const wchar_t* text;
    } channels[] = {
        {L"R_light_slider", red, L"R 77"}, {L"G_light_slider", green, L"G 77"}, {L"B_light_slider", blue, L"B 77"}};
    for (const Channel& c : channels) {
        CSliderUI slider;
        slider.SetName(c.slider);
        slider.SetValue(77);
        SendFrom(&slider, L"valuechanged");
        EXPECT_EQ(c.label->GetText(), c.text);
    }

    plentaSlider->SetValue(3200);
    SendFrom(plentaSlider, L"movevaluechanged");
    EXPECT_EQ(plentaEdit->GetText(), L"3200");

    struct Typed {
        const wchar_t* text;
        const wchar_t* shown;
        int slider;
    } typed[] = {{L"50", L"200", 200}, {L"99999", L"6500", 6500}, {L"abc", L"200", 200}, {L"1600dpi", L"1600", 1600}};
    for (const Typed& t : typed) {
        plentaEdit->SetText(t.text);
        SendFrom(plentaEdit, L"killfocus");
        EXPECT_EQ(plentaEdit->GetText(), t.shown) << win::ToUtf8(t.text);
        EXPECT_EQ(plentaSlider->GetValue(), t.slider) << win::ToUtf8(t.text);
    }
    EXPECT_TRUE(wnd_->calls.empty());
}

TEST_F(DispatchTest, ProfileNameEditShowsItsTextAsToolTip) {
    auto* edit = AddControl<CEditUI>(L"device_profile_name_edit");
    edit->SetText(L"Evening games");
    SendFrom(edit, L"killfocus");
    EXPECT_EQ(edit->GetToolTip(), L"Evening games");
}

}  // namespace
}  // namespace dispatchtest
