#pragma once

// Set-up of the dispatch tests: the main window built from the program's
// skin on a headless display, with every operation that the notification
// handlers reach recorded instead of run, a current device of a chosen kind,
// and scripted answers to the messages the handlers ask.

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "link/device/corvane_usb_device.h"
#include "tests/shell/main_wnd_fixture.h"

namespace dispatchtest {

using namespace DuiLib;

// A device page that records the steps the dispatch runs on it.
class FakePage : public CCorvaneUSBDevice {
public:
    FakePage(int type, std::vector<std::string>* log) : log_(log) {
        SetDeviceType(type, 0);
        SetKeyCount(type == kTypeKeyboard ? 104 : 8);
    }
    void SaveProfile() override { log_->push_back("Commit"); }
    int WriteProfileBlock(int profile, int firstByte, int flag, int width, int height) override;
    void SelectFunctionTab(int code) override;

private:
    std::vector<std::string>* log_;
};

// The name of a page operation as the recorder writes it.
std::string OperationName(PageOperation operation);

class DispatchRecorder : public CMainWnd {
public:
    std::vector<std::string> calls;
    CCorvaneUSBDevice* currentDevice = nullptr;
    // Answers of ShowMainMessage in order (then 0), and results of page
    // operations by operation (else 0).
    std::deque<int> messageAnswers;
    std::vector<std::pair<PageOperation, int>> operationResults;
    int frameLimit = 40;

    void Clear() { calls.clear(); }
    int Count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
    using CMainWnd::m_nRecording;

    CCorvaneUSBDevice* GetCurrentDevice() override { return currentDevice; }
    int ShowMainMessage(const wchar_t* text, int textIsKey, int buttonMode) override;
    int RunPageOperation(CCorvaneUSBDevice* page, PageOperation operation, int index) override;
    int GetFrameLimit(CCorvaneUSBDevice*) override { return frameLimit; }
    void SelectKeySetKey(CCorvaneUSBDevice* page, int key) override;
    void SelectProfileBarTab(CCorvaneUSBDevice* page, int tab) override;
    void ShowMacroActionMenu(TNotifyUI& msg) override;
    void ApplyKeySelectionLight(CControlUI* panel) override;
    void ApplyMouseKeySelectionLight(CControlUI* panel) override;
    void OnMacroMoveX(bool left) override { Record("OnMacroMoveX", left); }
    void OnMacroMoveY(bool up) override { Record("OnMacroMoveY", up); }
    void ShowSettingsWindow(bool centred) override { Record("ShowSettingsWindow", centred); }

#define TAVRIK_RECORD0(name) \
    void name() override { Record(#name); }
#define TAVRIK_RECORD1(name) \
    void name(int value) override { Record(#name, value); }
    TAVRIK_RECORD0(OnWindowInit)
    TAVRIK_RECORD0(ConfirmRestoreDefaults)
    TAVRIK_RECORD0(OnAddProfile)
    TAVRIK_RECORD0(OnDeleteProfile)
    TAVRIK_RECORD0(OnExportProfile)
    TAVRIK_RECORD0(OnImportProfile)
    TAVRIK_RECORD0(OnCopyProfile)
    TAVRIK_RECORD0(OnResetProfile)
    TAVRIK_RECORD0(OnSaveProfileName)
    TAVRIK_RECORD0(ApplyKeyAssignment)
    TAVRIK_RECORD0(ShowDefaultKeyAssignment)
    TAVRIK_RECORD0(CancelKeyAssignment)
    TAVRIK_RECORD0(SaveKeyAssignments)
    TAVRIK_RECORD0(OnStartRecordClick)
    TAVRIK_RECORD0(OnStopRecordClick)
    TAVRIK_RECORD0(OnAddMacro)
    TAVRIK_RECORD0(OnDeleteMacro)
    TAVRIK_RECORD0(OnRenameMacro)
    TAVRIK_RECORD0(SaveMacro)
    TAVRIK_RECORD0(CancelMacroEdit)
    TAVRIK_RECORD0(OnExportMacro)
    TAVRIK_RECORD0(OnImportMacro)
    TAVRIK_RECORD0(MoveMacroActionUp)
    TAVRIK_RECORD0(MoveMacroActionDown)
    TAVRIK_RECORD0(MoveMacroActionToTop)
    TAVRIK_RECORD0(MoveMacroActionToBottom)
    TAVRIK_RECORD0(DeleteMacroAction)
    TAVRIK_RECORD0(DeleteAllMacroActions)
    TAVRIK_RECORD0(OnSaveShootData)
    TAVRIK_RECORD0(OnResetShootData)
    TAVRIK_RECORD0(OnImportShootData)
    TAVRIK_RECORD0(OnExportShootData)
    TAVRIK_RECORD0(OnSameModeClick)
    TAVRIK_RECORD0(OnSaveCustomEq)
    TAVRIK_RECORD0(OnDeleteCustomEq)
    TAVRIK_RECORD0(ToggleProfileMenu)
    TAVRIK_RECORD0(SelectPrevDevice)
    TAVRIK_RECORD0(SelectNextDevice)
    TAVRIK_RECORD0(ClearAudioBackground)
    TAVRIK_RECORD0(ShowMusicWindow)
    TAVRIK_RECORD0(ImportScreenPicture)
    TAVRIK_RECORD0(ImportScreenAnimation)
    TAVRIK_RECORD0(ExportScreenPicture)
    TAVRIK_RECORD0(ExportScreenVideo)
    TAVRIK_RECORD0(PickScreenPenColor)
    TAVRIK_RECORD0(PickScreenBackgroundColor)
    TAVRIK_RECORD0(ShowScreenEditor)
    TAVRIK_RECORD0(CloseScreenEditor)
    TAVRIK_RECORD0(HideScreenEditor)
    TAVRIK_RECORD0(ShowScreenFramesPage)
    TAVRIK_RECORD0(ShowSkinPicker)
    TAVRIK_RECORD0(ClearFloatingWindows)
    TAVRIK_RECORD0(CloseChildWindows)
    TAVRIK_RECORD0(OnLightModeSelected)
    TAVRIK_RECORD0(OnCustomModeSelected)
    TAVRIK_RECORD0(OnKeyFunctionSelected)
    TAVRIK_RECORD0(OnMacroRepeatSelected)
    TAVRIK_RECORD0(OnMacroSelected)
    TAVRIK_RECORD0(OnCustomEqSelected)
    TAVRIK_RECORD0(OnZZCCModeSelected)
    TAVRIK_RECORD0(ApplyAudioLightSetting)
    TAVRIK_RECORD0(ReapplyAudioLightSetting)
    TAVRIK_RECORD0(OnPaletteColorChanged)
    TAVRIK_RECORD0(OnAudioPaletteColor)
    TAVRIK_RECORD0(OnDeviceSelected)
    TAVRIK_RECORD0(OnSevenColorCheck)
    TAVRIK_RECORD0(OnBulletXCheck)
    TAVRIK_RECORD0(OnBulletYCheck)
    TAVRIK_RECORD0(OnMagicVoiceToggle)
    TAVRIK_RECORD0(OnMicInToggle)
    TAVRIK_RECORD0(OnMicMonitorToggle)
    TAVRIK_RECORD0(OnBrightnessChanged)
    TAVRIK_RECORD0(OnSpeedChanged)
    TAVRIK_RECORD0(OnMicInVolume)
    TAVRIK_RECORD0(OnMicMonitorVolume)
    TAVRIK_RECORD0(OnKeyShakeChanged)
    TAVRIK_RECORD0(OnRedEdit)
    TAVRIK_RECORD0(OnGreenEdit)
    TAVRIK_RECORD0(OnBlueEdit)
    TAVRIK_RECORD0(SaveBullet)
    TAVRIK_RECORD0(FitToScreen)
    TAVRIK_RECORD0(ApplySelectedProfile)
    TAVRIK_RECORD1(OnDeviceKeyClick)
    TAVRIK_RECORD1(OnColorOptionClick)
    TAVRIK_RECORD1(OnAudioColorOption)
    TAVRIK_RECORD1(OpenSystemSettings)
    TAVRIK_RECORD1(PickDpiColor)
    TAVRIK_RECORD1(OnBulletStep)
    TAVRIK_RECORD1(OnCustomColorButton)
    TAVRIK_RECORD1(OnMouseSettingOption)
    TAVRIK_RECORD1(OnGunSelected)
    TAVRIK_RECORD1(OnBulletSelected)
    TAVRIK_RECORD1(OnMagicVoiceSelected)
    TAVRIK_RECORD1(OnEqPresetSelected)
    TAVRIK_RECORD1(OnModifierCheck)
    TAVRIK_RECORD1(SelectScreenPage)
    TAVRIK_RECORD1(OnDirectionCheck)
    TAVRIK_RECORD1(OnEqBandChanged)
    TAVRIK_RECORD1(OnAudioEditColor)
    TAVRIK_RECORD1(SetKeyCaptureHook)
#undef TAVRIK_RECORD0
#undef TAVRIK_RECORD1

    void Record(const char* name) { calls.push_back(std::string(name) + "()"); }
    void Record(const char* name, int value) { calls.push_back(std::string(name) + "(" + std::to_string(value) + ")"); }
};

class DispatchTest : public mainwndtest::MainWndTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The current device: 0 none, else a page of that type.
    void UseDevice(int type);
    // A notification of `type` from a control named `name`: the skin's own
    // control of that name when `fromSkin`, else a free control.
    void Send(const std::wstring& type, const std::wstring& name, bool fromSkin = false);
    void SendFrom(CControlUI* sender, const std::wstring& type);
    CControlUI* Find(const wchar_t* name) { return wnd_->GetPaintManager()->FindControl(name); }
    // Adds a control to the window's root.
    template <class T>
    T* AddControl(const std::wstring& name) {
        auto* control = new T;
        control->SetName(name.c_str());
        static_cast<CContainerUI*>(wnd_->GetPaintManager()->GetRoot())->Add(control);
        return control;
    }

    DispatchRecorder* wnd_ = nullptr;
    std::unique_ptr<FakePage> page_;
    std::vector<std::unique_ptr<CControlUI>> senders_;
};

}  // namespace dispatchtest
