// The settings and about windows, the version list, the firmware updaters
// and the skin picker.

#include <string>

#include "link/device/corvane_usb_device.h"
#include "link/debug_log.h"
#include "link/text_encoding.h"
#include "platform/os/debug_trace.h"
#include "platform/os/launch.h"
#include "platform/os/messages.h"
#include "platform/ui/win_window_api.h"
#include "link/device/device_option_ui.h"
#include "shell/main/about_wnd.h"
#include "platform/ui/resource_manager.h"
#include "shell/main/firmware_update.h"
#include "shell/main/installed_version.h"
#include "shell/main/main_wnd.h"
#include "shell/main/set_wnd.h"
#include "shell/main/skin_frame.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;

namespace {

// Which version row a device kind fills, by the row's project code.
struct KindVersionRow {
    int kind;
    const wchar_t* projectCode;
};
constexpr KindVersionRow kKindVersionRows[] = {
    {kDeviceKindMouse, L"QT22R17A"},
    {kDeviceKindKeyboard, L"QT22R16A"},
};

// Kinds that have no firmware package still show their version in the list,
// under these names.
struct KindShortName {
    int kind;
    const wchar_t* shortName;
};
constexpr KindShortName kUnpackagedKinds[] = {
    {kDeviceKindMousePad, L"MP"},
    {kDeviceKindHeadset, L"HS"},
};

int VersionRowOfKind(const std::vector<VersionRecord>& rows, int kind) {
    for (const KindVersionRow& map : kKindVersionRows) {
        if (map.kind != kind) continue;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].projectCode == map.projectCode) return static_cast<int>(i);
        }
    }
    return -1;
}

// The device kind of a page, by the wired row it is bound to.
int KindOfPage(CCorvaneUSBDevice* page) {
    const HidDeviceSlot record = page->GetSlotRecord();
    return FindDeviceOptionRow(record.deviceType, 0, record.vendorId, record.productId);
}

}  // namespace

// Every device entry with an open command channel fills its kind's row: the
// receiver channel's HID version and the flag -1 through the receiver, the
// wired channel's version on the cable. A connected mouse pad or headset,
// which have no row of their own in the table, gets one before the
// program's row.
void CMainWnd::BuildVersionList() {
    m_versionList.assign(std::begin(VersionTable), std::end(VersionTable));
    for (VersionRecord& row : m_versionList) row.version = 0;
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        CCorvaneUSBDevice* page = entry != nullptr ? entry->GetDevice() : nullptr;
        if (page == nullptr) continue;
        const int kind = KindOfPage(page);
        int row = VersionRowOfKind(m_versionList, kind);
        for (const KindShortName& unpackaged : kUnpackagedKinds) {
            if (row >= 0 || unpackaged.kind != kind || m_versionList.empty()) continue;
            if (!page->CommandChannel().IsOpen()) continue;
            VersionRecord added;
            added.kind = 1;
            added.shortName = unpackaged.shortName;
            added.name = unpackaged.shortName;
            row = static_cast<int>(m_versionList.size()) - 1;
            m_versionList.insert(m_versionList.begin() + row, added);
        }
        if (row < 0) continue;
        VersionRecord& record = m_versionList[static_cast<size_t>(row)];
        CDeviceProtocol& channel = page->CommandChannel();
        if (!channel.IsOpen()) {
            record.version = 0;
        } else if (channel.IsReceiverMode()) {
            record.version = channel.m_receiver.m_attributes.VersionNumber;
            record.flag = -1;
        } else {
            record.version = channel.m_wired.m_attributes.VersionNumber;
        }
    }
    if (!m_versionList.empty()) m_versionList.back().version = GetInstalledVersion();
}

std::vector<VersionRecord> CMainWnd::ShownVersionRows() {
    BuildVersionList();
    std::vector<VersionRecord> shown;
    for (const VersionRecord& row : m_versionList) {
        // The program that shows the list runs, recorded as installed or not.
        if (row.version != 0 || row.kind == 0) shown.push_back(row);
    }
    return shown;
}

void CMainWnd::ShowSettingsWindow(bool centred) {
    if (m_hSettingsWnd != nullptr) return;
    CSetWnd window;
    if (window.Create(GetHWND(), L"SetWnd", UI_WS_POPUP | UI_WS_VISIBLE, UI_WS_EX_TOOLWINDOW, 0, 0, CSetWnd::kWidth,
                      CSetWnd::kHeight) == nullptr) {
        return;
    }
    window.SetDPI(m_nDpi);
    const SIZE size = window.GetWindowSize();
    m_hSettingsWnd = window.GetHWND();
    window.SetOwner(GetHWND(), m_nLanguageIndex);
    window.SetVersionRows(ShownVersionRows());
    if (centred) {
        window.CenterWindow();
    } else {
        const RECT main = GetWindowRect();
        win::SetWindowPos(window.GetHWND(), nullptr, main.right - size.cx - ScaleByDpi(30), main.top + ScaleByDpi(60),
                          0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    }
    window.ShowModal();
    m_hSettingsWnd = nullptr;
}

void CMainWnd::ShowAboutWindow() {
    if (m_hAboutWnd != nullptr) return;
    CAboutWnd window;
    // Named like its caption, so a task list or a window manager shows what it is.
    const CDuiString title = CResourceManager::GetInstance()->GetText(L"about_title_text");
    if (window.Create(GetHWND(), title.GetData(), UI_WS_POPUP | UI_WS_VISIBLE, UI_WS_EX_TOOLWINDOW, 0, 0,
                      CAboutWnd::kWidth, CAboutWnd::kHeight) == nullptr) {
        return;
    }
    window.SetVersionText(VersionTable[kVersionCount - 1].versionText.c_str());
    m_hAboutWnd = window.GetHWND();
    window.CenterWindow();
    window.ShowModal();
    m_hAboutWnd = nullptr;
}

// Asked only from outside. A "no" ends the program the way the tray's exit
// does: the open windows and screen editors close and the main window's
// destruction stops the workers, so nothing is cut off mid-write.
void CMainWnd::LaunchFirmwareUpdate(int productId, int firmwareVersion) {
    if (m_firmwareQuestionOpen) return;
    const FirmwareUpdater updater = FirmwareUpdaterFor(productId, firmwareVersion);
    if (updater == FirmwareUpdater::None) return;
    const std::wstring folder = FirmwareUpdaterFolder();
    const std::wstring path = FirmwareUpdaterPath(updater);
    if (CControlUI* noDevice = m_pm.FindControl(L"No_device_Link")) noDevice->SetVisible(true);
    m_firmwareQuestionOpen = true;
    const int answer = ShowMessageBox(GetHWND(), L"tips_text", L"message_text_24", m_nDpi, 1, 1);
    m_firmwareQuestionOpen = false;
    if (answer != 1) {
        ExitProgram();
        return;
    }
    const win::HINSTANCE started =
        win::ShellExecuteW(GetHWND(), L"open", path.c_str(), kUpdaterParameters, folder.c_str(), win::SW_SHOWNORMAL);
    if (win::ShellExecuteResult(started) > 32) return;
    const std::wstring note = L"LaunchFirmwareUpdate: the updater " + path + L" could not be started";
    win::OutputDebugStringW(note.c_str());
    WriteLog(WideToUtf8(note));
    ShowMainMessage(L"UpdateFailText", 1, 0);
}

// The popup frees itself when it closes.
void CMainWnd::ShowSkinPicker() { CSkinFrame::Open(GetHWND(), m_pm.FindControl(L"skinbtn")); }
