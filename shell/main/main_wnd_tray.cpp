// The tray icon's clicks, the tray menu and the macro action menu, and what
// their items do.

#include <chrono>
#include <memory>
#include <thread>

#include "link/device/corvane_usb_device.h"
#include "link/debug_log.h"
#include "platform/os/messages.h"
#include "platform/os/window.h"
#include "platform/ui/win_window_api.h"
#include "pages/macro_control_ui.h"
#include "shell/main/main_wnd.h"
#include "shell/main/tray_menu_position.h"
#include "shell/controls/message_boxes.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kTrayMenuSkin = L"menu.xml";
constexpr const wchar_t* kMacroActionMenuSkin = L"XML\\Menus\\macro_action_menu.xml";

// Where a recording from the macro action menu goes among the macro's actions.
constexpr int kInsertBefore = 8;
constexpr int kInsertAfter = 16;
constexpr int kReplace = 32;

// The mouse buttons the macro action menu inserts, by item-name stem.
struct ButtonItem {
    const wchar_t* stem;
    int button;  // as CMainWnd::InsertMouseButtonAction takes it
};
constexpr ButtonItem kButtonItems[] = {
    {L"left", 0}, {L"middle", 1}, {L"right", 2}, {L"forward", 3}, {L"back", 4},
};

}  // namespace

void CMainWnd::OnTrayNotify(UINT mouseMessage) {
    // A transfer is running: the window stays as it is until it ends.
    if (GetProgressWindowHwnd() != nullptr) return;
    switch (mouseMessage) {
        case win::WM_LBUTTONDOWN:
            HideScreenEditor();
            isFirst = 1;
            WriteLog("uIconMsg == WM_LBUTTONDOWN>isFirst = true;");
            break;
        case win::WM_LBUTTONUP: {
            const bool anyShown = CountShownDevices(nullptr, nullptr);
            if (CControlUI* noDevice = m_pm.FindControl(L"No_device_Link")) noDevice->SetVisible(!anyShown);
            const bool visible = IsVisible() && !IsIconic();
            CloseChildWindows();
            if (visible) {
                ShowWindow(false, false);
                for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice, &m_keyboards}))
                    if (page != nullptr) page->SetWindowHidden(1);
            } else {
                // A hidden window is fitted and drawn before it appears (it
                // comes onto the screen once, as it now is); a minimised one
                // is fitted once restored.
                const bool hidden = !IsVisible();
                if (hidden) FitToScreen();
                ShowWindow(true, true);
                if (!hidden) FitToScreen();
                PlaceFloatingWindows();
                SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
                win::SetWindowPos(GetHWND(), win::HWND_TOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                win::SetWindowPos(GetHWND(), win::HWND_NOTOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
                win::InvalidateRect(GetHWND(), nullptr, TRUE);
                for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice, &m_keyboards}))
                    if (page != nullptr) page->SetWindowHidden(0);
                if (CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
                m_pm.NeedUpdate();
            }
            break;
        }
        case win::WM_RBUTTONUP:
            win::SetTimer(GetHWND(), TIMER_MAIN_TRAY_MENU, 10, nullptr);
            break;
        default:
            break;
    }
}

void CMainWnd::ShowTrayMenu() {
    delete m_pTrayMenu;
    m_pTrayMenu = new CMenuWnd();
    POINT anchor{0, 0};
    win::GetCursorPos(&anchor);
    DWORD alignment = eMenuAlignment_Left | eMenuAlignment_Top;
    GetTrayMenuPosition(anchor, alignment);
    m_pTrayMenu->Init(nullptr, kTrayMenuSkin, anchor, &m_pm, nullptr, alignment);
}

void CMainWnd::GetTrayMenuPosition(POINT& point, DWORD& alignment) {
    // The desktop's taskbar, when it has one of that class; without one the
    // rectangle stays empty and the menu opens at the cursor.
    RECT bar{0, 0, 0, 0};
    if (HWND taskbar = win::FindWindowW(L"Shell_TrayWnd", L"")) win::GetWindowRect(taskbar, &bar);
    PlaceTrayMenuBesideTaskbar(bar, point, alignment);
}

void CMainWnd::ShowMacroActionMenu(TNotifyUI& msg) {
    if (msg.pSender == nullptr || msg.pSender->GetName().CompareNoCase(L"macro_action") != 0) return;
    delete m_pMacroActionMenu;
    m_pMacroActionMenu = new CMenuWnd();
    POINT anchor{0, 0};
    win::GetCursorPos(&anchor);
    m_pMacroActionMenu->Init(nullptr, kMacroActionMenuSkin, anchor, &m_pm, nullptr,
                             eMenuAlignment_Left | eMenuAlignment_Top);
}

void CMainWnd::OnMenuCommandMessage(WPARAM wParam) {
    if (wParam == 0) return;
    // The record is the menu's: copy the name, then free it.
    auto* command = reinterpret_cast<MenuCmd*>(wParam);
    const CDuiString name = command->szName;
    CPaintManagerUI::DeletePtr(command);
    if (name == L"exit") {
        ExitProgram();
        return;
    }
    OnMenuCommand(name);
}

void CMainWnd::ExitProgram() {
    if (GetHWND() == nullptr || !win::IsWindow(GetHWND())) return;
    CloseChildWindows();
    // The screen editors belong to the keyboard pages: each closes
    // through its page before the window goes.
    CloseAllScreenEditors();
    Close(0);
}

int CMainWnd::ConfiguredMacroDelayMode(CCorvaneUSBDevice* page) {
    if (page == nullptr) return 1;
    const int kind = page->GetDeviceType();
    if (kind != 1 && kind != 2) return 1;
    return IsMacroFixedDelayChecked(page) ? 2 : 1;
}

void CMainWnd::OnMenuCommand(const CDuiString& itemName) {
    struct RecordItem {
        const wchar_t* name;
        int delayMode;  // 0: the macro page's configured mode
        int insertion;
    };
    static constexpr RecordItem kRecordItems[] = {
        {L"redio_previous_record_time", 0, kInsertBefore}, {L"redio_previous_constant_time", 2, kInsertBefore},
        {L"redio_previous_ignore_time", 3, kInsertBefore}, {L"redio_later_record_time", 0, kInsertAfter},
        {L"redio_later_constant_time", 2, kInsertAfter},   {L"redio_later_ignore_time", 3, kInsertAfter},
    };
    for (const RecordItem& item : kRecordItems) {
        if (itemName.CompareNoCase(item.name) != 0) continue;
        CCorvaneUSBDevice* page = GetCurrentDevice();
        if (page == nullptr) return;
        StartMacroRecording(item.delayMode != 0 ? item.delayMode : ConfiguredMacroDelayMode(page), item.insertion);
        return;
    }
    for (const ButtonItem& button : kButtonItems) {
        const CDuiString stem = button.stem;
        const bool down = itemName.CompareNoCase(stem + L"_down") == 0;
        const bool up = itemName.CompareNoCase(stem + L"_up") == 0;
        const bool click = itemName.CompareNoCase(stem + L"_click") == 0;
        if (!down && !up && !click) continue;
        if (down || click) InsertMouseButtonAction(button.button, true);
        if (up || click) InsertMouseButtonAction(button.button, false);
        SaveMacro();
        return;
    }
    if (itemName.CompareNoCase(L"about_menu") == 0) {
        ShowAboutWindow();
    } else if (itemName.CompareNoCase(L"setwnd_menu") == 0) {
        ShowSettingsWindow(true);
    } else if (itemName.CompareNoCase(L"macro_action_edit") == 0) {
        if (GetCurrentDevice() != nullptr) StartMacroRecording(3, kReplace);
    }
}

void CMainWnd::InsertMouseButtonAction(int button, bool down) {
    switch (button) {
        case 0:
            down ? InsertLeftDownAction() : InsertLeftUpAction();
            break;
        case 1:
            down ? InsertMiddleDownAction() : InsertMiddleUpAction();
            break;
        case 2:
            down ? InsertRightDownAction() : InsertRightUpAction();
            break;
        case 3:
            down ? InsertForwardDownAction() : InsertForwardUpAction();
            break;
        case 4:
            down ? InsertBackDownAction() : InsertBackUpAction();
            break;
        default:
            break;
    }
}

bool CMainWnd::IsMacroFixedDelayChecked(CCorvaneUSBDevice* page) {
    CMacroControlUI* macros = MacroPageOf(page);
    return macros != nullptr && macros->IsFixedDelayChecked();
}
