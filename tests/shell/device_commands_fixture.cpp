#include "tests/shell/device_commands_fixture.h"

#include <chrono>
#include <filesystem>

#include "link/device_packet.h"
#include "link/keyboard_profiledata.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "shell/main/device_scan_thread.h"
#include "shell/controls/process_state.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tests/support/wait_bound.h"

namespace commandstest {

CountingKeyboard::~CountingKeyboard() {
    StopLightThreads();
    StopEventListener(kEventWired);
    StopEventListener(kEventReceiver);
}

int CountingKeyboard::ApplyLightProfile() {
    ++applied;
    return CCorvaneKeyboardDevice::ApplyLightProfile();
}

void CommandsWnd::OnWindowInit() {
    MainWindowHandle = GetHWND();
    m_slots.assign(std::begin(SupportedDeviceTable), std::end(SupportedDeviceTable));
    CreateDefaultDevicePanels();
    ScreenWidth = 1280;
    ScreenHeight = 1024;
}

CControlUI* CommandsWnd::CreateControl(LPCTSTR pstrClass) {
    if (pstrClass != nullptr && DuiCompareNoCase(pstrClass, CCorvaneKeyboardDevice::kClassName) == 0)
        return new CountingKeyboard;
    return CMainWnd::CreateControl(pstrClass);
}

LanguageList CommandsWnd::Languages() const {
    return LanguageList::LoadFile(CDuiString(mainwndtest::BuiltProgramFolder() + L"DefaultData/Language.config"));
}

void DeviceCommandsTest::SetUp() {
    // Each case starts without profile files of an earlier one.
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(win::GetLocalAppDataFolder()) / kProductString, error);
    DiscoveryTest::SetUp();
}

void DeviceCommandsTest::TearDown() {
    if (commands_ != nullptr) {
        if (commands_->GetHWND() != nullptr) win::DestroyWindow(commands_->GetHWND());
        mainwndtest::Pump();
        delete commands_;
        commands_ = nullptr;
    }
    DiscoveryTest::TearDown();
}

bool DeviceCommandsTest::PumpFor(const std::function<bool()>& done, int timeoutMs) {
    const auto end = tavrik::test::Deadline(std::chrono::milliseconds(timeoutMs));
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        win::MSG msg;
        if (!win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            win::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, win::QS_ALLINPUT);
            continue;
        }
        if (msg.message == win::WM_QUIT) continue;
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
    return true;
}

CountingKeyboard* DeviceCommandsTest::ConnectKeyboard() {
    commands_ = new CommandsWnd;
    commands_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
    mainwndtest::Pump();
    commands_->GetPaintManager()->Invalidate();
    commands_->GetPaintManager()->Paint();
    mainwndtest::Pump();
    device_ = &sim_.Plug(ProductKind::KeyboardCable);
    DeviceScanPass(*commands_);
    // The entry's connect timer runs the keyboard's connect sequence, which
    // ends with its first block write.
    if (!PumpFor([&] { return !device_->Requests(CMD_WRITE_PARAMS).empty(); }, 10000)) return nullptr;
    // Hidden, the window no longer repaints the keys' light on every frame,
    // which under the sanitizers takes longer than a frame.
    commands_->ShowWindow(false, false);
    keyboard_ = commands_->m_keyboards.empty() ? nullptr : dynamic_cast<CountingKeyboard*>(commands_->m_keyboards[0]);
    if (keyboard_ == nullptr || commands_->GetCurrentDevice() != keyboard_ || Light() == nullptr) return nullptr;
    return keyboard_;
}

void DeviceCommandsTest::SetBaseline(const LightSetting& setting, int syncFlag) {
    keyboard_->SetLightSetting(setting);
    keyboard_->SaveProfile();
    keyboard_->ApplyLightProfile();
    Light()->SetLightInfo(setting);
    Light()->SetCustomMode(setting.customGroup);
    keyboard_->CommandChannel().SetSyncFlag(syncFlag);
    keyboard_->applied = 0;
    device_->ClearRecord();
}

std::vector<uint8_t> DeviceCommandsTest::LastBlockWrite() {
    const auto writes = device_->Requests(CMD_WRITE_PARAMS);
    if (writes.empty()) return {};
    const std::vector<uint8_t>& report = writes.back().bytes;
    if (report.size() < 8 + 49) return {};
    return std::vector<uint8_t>(report.begin() + 8, report.begin() + 8 + 49);
}

LightSetting DeviceCommandsTest::SavedLightSetting() {
    CKeyboardProfiledata document;
    document.LoadProfile(keyboard_->GetProfilePath());
    return document.GetLightInfo();
}

}  // namespace commandstest
