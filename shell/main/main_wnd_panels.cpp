// Device panels and the device selector: a panel is a power tile, a device
// page and a list entry built together; showing an entry makes its device
// selectable, selecting it brings its page and tile to the front.

#include <memory>

#include "devices/corvane_mouse_device.h"
#include "link/device/corvane_usb_device.h"
#include "link/device_tables.h"
#include "pages/light_control_ui.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/window.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/scroll_into_view.h"
#include "link/device/device_option_ui.h"
#include "link/device/device_trace.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/message_boxes.h"
#include "shell/controls/mp_device_power_ui.h"

using namespace DuiLib;

namespace {

CTabLayoutUI* FindTab(CPaintManagerUI& pm, LPCTSTR name) {
    if (name == nullptr || *name == 0) return nullptr;
    CControlUI* control = pm.FindControl(name);
    return control ? static_cast<CTabLayoutUI*>(control->GetInterface(L"TabLayout")) : nullptr;
}

CContainerUI* FindContainer(CPaintManagerUI& pm, LPCTSTR name) {
    CControlUI* control = pm.FindControl(name);
    return control ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr;
}

void CloseIfOpen(HWND hwnd) {
    if (hwnd && win::IsWindow(hwnd)) win::SendMessageW(hwnd, win::WM_CLOSE, 0, 0);
}

}  // namespace

// --- Entries -------------------------------------------------------------------------

int CMainWnd::DeviceEntryCount() {
    CContainerUI* list = FindContainer(m_pm, L"device_select_layout");
    return list ? list->GetCount() : 0;
}

CDeviceOptionUI* CMainWnd::DeviceEntry(int index) {
    CContainerUI* list = FindContainer(m_pm, L"device_select_layout");
    if (!list || index < 0 || index >= list->GetCount()) return nullptr;
    CControlUI* item = list->GetItemAt(index);
    return item ? static_cast<CDeviceOptionUI*>(item->GetInterface(CDeviceOptionUI::kClassName)) : nullptr;
}

int CMainWnd::EntryIndexOf(const CCorvaneUSBDevice* page) {
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (entry && entry->GetDevice() == page) return i;
    }
    return -1;
}

// --- Panel builders --------------------------------------------------------------------

void CMainWnd::CreateDefaultDevicePanels() {
    for (int i = 0; i < 2; ++i) {
        const DeviceOptionRow& option = DeviceOptionTable[i];
        const int row = FindSupportedDeviceRow(option.vendorId, option.productId, option.deviceType, option.subKind);
        switch (option.deviceType) {
            case HidDeviceSlot::kTypeKeyboardCable:
            case HidDeviceSlot::kTypeKeyboardReceiver:
                CreateKeyboardPanel(row, option.subKind);
                break;
            case HidDeviceSlot::kTypeMouseCable:
            case HidDeviceSlot::kTypeMouseReceiver:
                CreateMousePanel(row, option.subKind);
                break;
            case HidDeviceSlot::kTypeMousePad:
                CreateMousePadPanel(row, option.subKind);
                break;
            case HidDeviceSlot::kTypeHeadset:
                CreateHeadsetPanel(row, option.subKind);
                break;
            default:
                break;
        }
    }
}

namespace {

// The slot a builder describes the page by: the slot list's entry of the row
// (the table row itself before the slot list exists).
const HidDeviceSlot* SlotOfRow(const std::vector<HidDeviceSlot>& slots, int row) {
    if (row < 0) return nullptr;
    if (static_cast<size_t>(row) < slots.size()) return &slots[static_cast<size_t>(row)];
    if (row < kSupportedDeviceCount) return &DiscoveryDeviceTable()[row];
    return nullptr;
}

}  // namespace

int CMainWnd::CreateMousePanel(int row, int subKind) {
    const HidDeviceSlot* slot = SlotOfRow(m_slots, row);
    if (!slot) return 0;
    // A mouse on the receiver is described by its wired row.
    if (slot->deviceType == HidDeviceSlot::kTypeMouseReceiver) {
        if (const HidDeviceSlot* wired = slot->hasPartner ? SlotOfRow(m_slots, slot->partnerRow) : nullptr) {
            slot = wired;
        } else {
            HidDeviceSlot mapped = *slot;
            mapped.deviceType = HidDeviceSlot::kTypeMouseCable;
            return CreateDevicePanel(mapped, subKind, m_mice);
        }
    }
    return CreateDevicePanel(*slot, subKind, m_mice);
}

int CMainWnd::CreateKeyboardPanel(int row, int subKind) {
    const HidDeviceSlot* slot = SlotOfRow(m_slots, row);
    return slot ? CreateDevicePanel(*slot, subKind, m_keyboards) : 0;
}

int CMainWnd::CreateMousePadPanel(int row, int subKind) {
    const HidDeviceSlot* slot = SlotOfRow(m_slots, row);
    return slot ? CreateDevicePanel(*slot, subKind, m_mousePads) : 0;
}

int CMainWnd::CreateHeadsetPanel(int row, int subKind) {
    const HidDeviceSlot* slot = SlotOfRow(m_slots, row);
    return slot ? CreateDevicePanel(*slot, subKind, m_headsets) : 0;
}

int CMainWnd::CreateDevicePanel(const HidDeviceSlot& record, int subKind, DeviceList& list) {
    const int row = FindDeviceOptionRow(record.vendorId, record.productId, record.deviceType, subKind);
    if (row < 0) return 0;
    const DeviceOptionRow& option = DeviceOptionTable[row];
    const DeviceModelRow& model = DeviceModelTable[row];
    CContainerUI* tiles = FindContainer(m_pm, L"device_power_switch");
    CContainerUI* pages = FindContainer(m_pm, L"device_switch");
    CContainerUI* entries = FindContainer(m_pm, L"device_select_layout");
    if (!tiles || !pages || !entries) return 0;

    // Nothing is placed before all three controls were built; a part built
    // before a failing one is deleted with it.
    std::unique_ptr<CControlUI> tileControl(CDialogBuilder().Create(CMpDevicePowerUI::kSkinFile, nullptr, this, &m_pm));
    std::unique_ptr<CControlUI> pageControl(CDialogBuilder().Create(model.pageSkin.c_str(), nullptr, this, &m_pm));
    std::unique_ptr<CControlUI> entryControl(CDialogBuilder().Create(option.entrySkin.c_str(), nullptr, this, &m_pm));
    auto* tile =
        tileControl ? static_cast<CMpDevicePowerUI*>(tileControl->GetInterface(CMpDevicePowerUI::kClassName)) : nullptr;
    auto* page = pageControl ? static_cast<CCorvaneUSBDevice*>(pageControl->GetInterface(CCorvaneUSBDevice::kClassName))
                             : nullptr;
    auto* entry =
        entryControl ? static_cast<CDeviceOptionUI*>(entryControl->GetInterface(CDeviceOptionUI::kClassName)) : nullptr;
    if (!tile || !page || !entry) {
        DeviceTrace(L"panel: %ls could not be built", option.kindName.c_str());
        return 0;
    }

    tiles->Add(tileControl.release());
    tile->SetDeviceKind(record.deviceType, subKind);

    page->SetManager(&m_pm, nullptr, false);
    page->SetPageXml(model.pageSkin.c_str());
    page->SetMainWindow(GetHWND());
    page->SetKeyCount(model.keyCount);
    page->SetLedCount(model.ledCount);
    page->SetModelRow(row);
    page->SetShowPower(model.showPower);
    page->SetProfileId(L"");
    page->SetDeviceName(option.kindName.c_str());
    page->SetPowerPanel(tile);
    page->SetSlotRecord(record);
    page->SetDeviceIndex(option.lightNameIndex);
    page->SetLightListName(model.lightListName.c_str());
    if (auto* mouse = static_cast<CCorvaneMouseDevice*>(page->GetInterface(CCorvaneMouseDevice::kClassName)))
        mouse->SetLogoLedIndex(model.logoLedIndex);
    page->InitPage();
    pages->Add(pageControl.release());

    entries->Add(entryControl.release());
    entry->ShowSyncOption(false);
    entry->SetGroup(option.tabHeaderName.c_str());
    entry->BindTab(L"device_switch", pages->GetCount() - 1);
    entry->SetPowerSwitch(option.powerSwitchName.c_str(), tiles->GetCount() - 1);
    entry->SetDeviceName(option.kindName.c_str());
    entry->SetDeviceKind(option.deviceType, option.subKind);
    entry->SetVisible(false);
    entry->SetDevice(page);
    entry->SetPreviewControl(page->GetSelectPanel());
    {
        std::lock_guard<std::mutex> lock(m_deviceListLock);
        list.push_back(page);
        m_powerTiles.push_back(tile);
    }
    DeviceTrace(L"panel: %ls built as entry %d", option.kindName.c_str(), entries->GetCount() - 1);
    return 1;
}

// --- Selector ------------------------------------------------------------------------

void CMainWnd::ShowDevice(int index, int shown, int select) {
    if (CDeviceOptionUI* entry = DeviceEntry(index)) {
        entry->SetVisible(shown != 0);
        DeviceTrace(L"%ls: entry %d (%ls)%ls", shown ? L"show" : L"hide", index,
                    entry->GetDevice() ? entry->GetDevice()->GetDeviceName().GetData() : L"",
                    select ? L" selected" : L"");
        if (select) {
            CTabLayoutUI* pages = FindTab(m_pm, entry->GetBindTabName());
            const int page = entry->GetBindTabIndex();
            if (!pages || page < 0) return;
            pages->SelectItem(page);
            CTabLayoutUI* tiles = FindTab(m_pm, entry->GetPowerSwitchName().GetData());
            if (!tiles) return;
            if (entry->GetPowerIndex() < 0) {
                tiles->SetVisible(false);
            } else {
                tiles->SetVisible(true);
                tiles->SelectItem(entry->GetPowerIndex());
            }
        }
        entry->SetSelected(select != 0);
    }

    int shownCount = 0;
    int syncCount = 0;
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (!entry || !entry->IsShown()) continue;
        ++shownCount;
        if (entry->IsSyncSelected()) ++syncCount;
    }
    CControlUI* noDevice = m_pm.FindControl(L"No_device_Link");
    if (shownCount == 0) {
        if (noDevice) noDevice->SetVisible(true);
        // No tile stands for a device that is gone.
        if (CTabLayoutUI* tiles = FindTab(m_pm, L"device_power_switch")) tiles->SetVisible(false);
        if (CTabLayoutUI* pages = FindTab(m_pm, L"device_switch")) pages->SelectItem(0);
        CloseChildWindows();
    } else if (noDevice) {
        noDevice->SetVisible(false);
    }
    SetMultiDeviceFlagAll(shownCount >= 2 ? 1 : 0);
    if (syncCount < 2) {
        for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
            if (CDeviceOptionUI* entry = DeviceEntry(i)) entry->SetSyncSelected(false);
        }
    }
}

void CMainWnd::UnselectDevice(int index) {
    if (index < 0 || index >= DeviceEntryCount()) return;
    CDeviceOptionUI* entry = DeviceEntry(index);
    if (!entry) return;
    const bool current = entry->IsShown() && entry->IsSelected();
    int next = -1;
    if (current) {
        CloseChildWindows();
        // Whatever the vanishing device had pending ends with it: key
        // capture, a recording, a page locked while it waits.
        SetKeyCaptureHook(0);
        if (m_nRecording) OnStopRecordClick();
        SetDeviceUiEnabled(true, true);
        for (int i = 0, n = DeviceEntryCount(); i < n && next < 0; ++i) {
            CDeviceOptionUI* other = DeviceEntry(i);
            if (i != index && other && other->IsShown()) next = i;
        }
    }
    ShowDevice(index, 0, 0);
    if (current && next >= 0) ShowDevice(next, 1, 1);
}

void CMainWnd::SelectPrevDevice() {
    int previous = -1;
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (!entry) continue;
        if (entry->IsSelected()) {
            if (previous >= 0) ShowDevice(previous, 1, 1);
            return;
        }
        if (entry->IsShown()) previous = i;
    }
}

void CMainWnd::SelectNextDevice() {
    bool seenSelected = false;
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (!entry) continue;
        if (seenSelected && entry->IsShown()) {
            ShowDevice(i, 1, 1);
            return;
        }
        if (entry->IsSelected()) seenSelected = true;
    }
}

void CMainWnd::OnDeviceSelected() {
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (!entry || !entry->IsSelected()) continue;
        m_nSelectedEntry = i;
        m_nSelectedMouse = i - static_cast<int>(m_mice.size());
        m_nSelectedKeyboard = i - static_cast<int>(m_keyboards.size());
        ScrollEntryIntoView(entry);
        ShowFloatingWindowsOf(entry->GetDevice());
        CTabLayoutUI* tiles = FindTab(m_pm, entry->GetPowerSwitchName().GetData());
        if (!tiles) return;
        if (entry->GetPowerIndex() < 0) {
            tiles->SetVisible(false);
        } else {
            tiles->SetVisible(true);
            tiles->SelectItem(entry->GetPowerIndex());
        }
        return;
    }
}

void CMainWnd::ScrollEntryIntoView(CControlUI* entry) {
    ScrollIntoView(FindContainer(m_pm, L"device_select_layout"), entry);
}

bool CMainWnd::CountShownDevices(int* firstShown, int* count) {
    int first = -1;
    int shown = 0;
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (!entry || !entry->IsShown()) continue;
        if (first < 0) first = i;
        ++shown;
    }
    if (firstShown) *firstShown = first;
    if (count) *count = shown;
    return shown > 0;
}

void CMainWnd::CloseChildWindows() {
    CloseIfOpen(m_hSettingsWnd);
    CloseIfOpen(m_hAboutWnd);
    CloseIfOpen(m_hColorPickerWnd);
    CloseIfOpen(m_hMusicWnd);
    CloseAllMessageBoxes();
    CloseIfOpen(GetProgressWindowHwnd());
}

void CMainWnd::SetMultiDeviceFlagAll(int flag) {
    for (const DeviceList* list : {&m_keyboards, &m_mice, &m_mousePads, &m_headsets}) {
        for (CCorvaneUSBDevice* page : *list) {
            if (CLightControlUI* light = page->GetLightControl()) light->SetMultiDeviceFlag(flag);
            // A single shown device never stays in sync mode.
            if (!flag) page->CommandChannel().SetSyncFlag(0);
        }
    }
}

// The page of the first entry that is shown and selected; no page when none
// is, so that no command reaches the profiles of an absent device.
CCorvaneUSBDevice* CMainWnd::GetCurrentDevice() {
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (entry && entry->IsShown() && entry->IsSelected()) return entry->GetDevice();
    }
    return nullptr;
}

void CMainWnd::OnDeviceOnline(int index, int online) {
    if (online == 0) {
        UnselectDevice(index);
        return;
    }
    if (online != 1) return;
    CDeviceOptionUI* entry = DeviceEntry(index);
    if (!entry) return;
    const bool anyShown = CountShownDevices(nullptr, nullptr);
    if (!entry->IsShown()) ShowDevice(index, 1, anyShown ? 0 : 1);
}
