// Device attach and detach: WM_DEVICE_BOUND and WM_DEVICE_LOST bind a slot to
// its device page (command channel, connection mode, list entry, connect
// timer) or undo the binding; a keyboard or mouse whose cable and receiver are
// both present moves between the two without leaving the list.

#include "link/device/corvane_usb_device.h"
#include "platform/os/critical_section.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/window.h"
#include "link/device/device_option_ui.h"
#include "link/device/device_trace.h"
#include "shell/main/main_wnd.h"

static_assert(kDeviceOnlineMessage == WM_DEVICE_ONLINE, "the entries send the main window's message");

namespace {

constexpr int kKeyboardWired = HidDeviceSlot::kTypeKeyboardCable;
constexpr int kKeyboardReceiver = HidDeviceSlot::kTypeKeyboardReceiver;
constexpr int kMouseWired = HidDeviceSlot::kTypeMouseCable;
constexpr int kMouseReceiver = HidDeviceSlot::kTypeMouseReceiver;
constexpr int kAuxiliary = HidDeviceSlot::kConsumerCollection;
// Link queries of a switch to the receiver: the first one at once, the rest
// from the entry's timer.
constexpr int kLinkQueries = 11;

bool OpenHandle(CHidDevice& handle, const std::wstring& path) {
    handle.Close();
    return handle.Open(path.c_str(), TRUE, TRUE, TRUE, FALSE);
}

bool SameIds(const HidDeviceSlot& a, const HidDeviceSlot& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId && a.deviceType == b.deviceType;
}

}  // namespace

// --- Routing ---------------------------------------------------------------------

win::LRESULT CMainWnd::OnDeviceSlotAttached(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return 1;
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    const int row = FindSupportedDeviceRow(s.vendorId, s.productId, s.deviceType, 0);
    const bool exists = HasDevicePanel(slot);
    bool bound = true;
    switch (s.deviceType) {
        case kKeyboardWired:
        case kKeyboardReceiver:
            if (!exists) CreateKeyboardPanel(row, 0);
            bound = AttachKeyboard(slot);
            break;
        case kMouseWired:
        case kMouseReceiver:
            if (!exists) CreateMousePanel(row, 0);
            bound = AttachMouse(slot);
            break;
        case HidDeviceSlot::kTypeMousePad:
            if (!exists) CreateMousePadPanel(row, 0);
            bound = AttachMousePad(slot);
            break;
        case HidDeviceSlot::kTypeHeadset:
            if (!exists) CreateHeadsetPanel(row, 0);
            bound = AttachHeadset(slot);
            break;
        default:
            break;
    }
    RaiseWindow();
    return bound ? 1 : 0;
}

void CMainWnd::OnDeviceSlotDetached(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return;
    switch (m_slots[static_cast<size_t>(slot)].deviceType) {
        case kKeyboardWired:
        case kKeyboardReceiver:
            DetachKeyboard(slot);
            break;
        case kMouseWired:
        case kMouseReceiver:
            DetachMouse(slot);
            break;
        case HidDeviceSlot::kTypeMousePad:
            DetachMousePad(slot);
            break;
        case HidDeviceSlot::kTypeHeadset:
            DetachHeadset(slot);
            break;
        default:
            break;
    }
}

bool CMainWnd::AttachKeyboard(int slot) {
    return AttachPartnered(slot, kKeyboardWired, kKeyboardReceiver, m_keyboards);
}
bool CMainWnd::AttachMouse(int slot) { return AttachPartnered(slot, kMouseWired, kMouseReceiver, m_mice); }
bool CMainWnd::AttachMousePad(int slot) { return AttachSingle(slot, m_mousePads); }
bool CMainWnd::AttachHeadset(int slot) { return AttachSingle(slot, m_headsets); }
void CMainWnd::DetachKeyboard(int slot) { DetachPartnered(slot, kKeyboardWired, kKeyboardReceiver, m_keyboards); }
void CMainWnd::DetachMouse(int slot) { DetachPartnered(slot, kMouseWired, kMouseReceiver, m_mice); }
void CMainWnd::DetachMousePad(int slot) { DetachSingle(slot, m_mousePads); }
void CMainWnd::DetachHeadset(int slot) { DetachSingle(slot, m_headsets); }

// --- Pages and records -------------------------------------------------------------

CCorvaneUSBDevice* CMainWnd::FindBoundPage(const DeviceList& list, const HidDeviceSlot& record) {
    for (CCorvaneUSBDevice* page : list) {
        if (page && page->GetSlotRecord().IsSameDevice(record)) return page;
    }
    return nullptr;
}

// A receiver slot with a partner is matched through its wired row: a keyboard
// or mouse page stays bound to the wired row's record on either connection.
const HidDeviceSlot& CMainWnd::PageRecordOf(int slot) {
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    const bool receiver = s.deviceType == kKeyboardReceiver || s.deviceType == kMouseReceiver;
    if (receiver && s.hasPartner && s.partnerRow < m_slots.size()) return m_slots[s.partnerRow];
    return s;
}

bool CMainWnd::IsPartnerConnected(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return false;
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    if (!s.hasPartner || s.partnerRow >= m_slots.size()) return false;
    const HidDeviceSlot& p = m_slots[s.partnerRow];
    return p.partnerRow == slot && p.connected != 0 && !p.devicePath.empty();
}

bool CMainWnd::HasDevicePanel(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return false;
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    const HidDeviceSlot* r = &s;
    if (s.auxiliary == kAuxiliary) {
        for (const HidDeviceSlot& other : m_slots) {
            if (other.productId == s.productId && other.vendorId == s.vendorId && other.deviceType == s.deviceType &&
                other.auxiliary == 0) {
                r = &other;
                const bool receiver = other.deviceType == kKeyboardReceiver || other.deviceType == kMouseReceiver;
                if (receiver && other.hasPartner && other.partnerRow < m_slots.size()) r = &m_slots[other.partnerRow];
                break;
            }
        }
    } else if ((s.deviceType == kKeyboardReceiver || s.deviceType == kMouseReceiver) && s.hasPartner &&
               s.partnerRow < m_slots.size() && m_slots[s.partnerRow].partnerRow == slot) {
        r = &m_slots[s.partnerRow];
    }
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (entry && entry->GetDevice() && entry->GetDevice()->GetSlotRecord().IsSameDevice(*r)) return true;
    }
    return false;
}

// --- Attach --------------------------------------------------------------------------

// Steps shared by every family once the channel is open: the entry is shown
// (and selected when no device was shown before) unless the receiver has yet
// to report its device linked, and its connect timer starts the page.
void CMainWnd::ShowAttachedEntry(CCorvaneUSBDevice* page, bool show) {
    bool first = true;
    int index = -1;
    for (int i = 0, n = DeviceEntryCount(); i < n; ++i) {
        CDeviceOptionUI* entry = DeviceEntry(i);
        if (!entry) continue;
        if (entry->IsShown()) first = false;
        if (index < 0 && entry->GetDevice() == page) index = i;
    }
    if (index < 0) return;
    if (show) ShowDevice(index, 1, first ? 1 : 0);
    DeviceEntry(index)->StartConnectTimer();
}

bool CMainWnd::AttachPartnered(int slot, int wiredType, int receiverType, const DeviceList& list) {
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    if (s.auxiliary == kAuxiliary) {
        AttachAuxInterface(slot, s.deviceType);
        return true;
    }
    if (s.auxiliary != 0) return true;
    if (IsPartnerConnected(slot)) {
        if (s.deviceType == wiredType) return SwitchPage(slot);
        return true;
    }
    const bool receiver = s.deviceType == receiverType;
    const HidDeviceSlot record = PageRecordOf(slot);
    CCorvaneUSBDevice* page = FindBoundPage(list, record);
    if (!page) return true;
    return OpenAttachedPage(slot, page, record, s.devicePath, receiver);
}

bool CMainWnd::AttachSingle(int slot, const DeviceList& list) {
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    if (s.auxiliary == kAuxiliary) {
        AttachAuxInterface(slot, s.deviceType);
        return true;
    }
    if (s.auxiliary != 0) return true;
    CCorvaneUSBDevice* page = FindBoundPage(list, s);
    if (!page) return true;
    return OpenAttachedPage(slot, page, s, s.devicePath, false);
}

// Opens the page's command channel on the slot's path (under the channel's
// I/O lock, as every owner opens it), then shows its entry. An open channel is
// left as it is; false only when the open failed.
bool CMainWnd::OpenAttachedPage(int slot, CCorvaneUSBDevice* page, const HidDeviceSlot& record,
                                const std::wstring& path, bool receiver) {
    CDeviceProtocol& channel = page->CommandChannel();
    if (channel.IsOpen()) return true;
    bool opened;
    {
        win::CriticalSectionGuard lock(channel.m_ioLock);
        opened = OpenHandle(receiver ? channel.m_receiver : channel.m_wired, path);
        if (opened) {
            channel.SetOpen(true);
            channel.SetConnectMode(receiver ? CDeviceProtocol::kConnectReceiver : CDeviceProtocol::kConnectWired);
            page->SetSlotRecord(record);
        }
    }
    if (!opened) {
        DeviceTrace(L"attach: slot %d (%ls) could not be opened", slot, page->GetDeviceName().GetData());
        return false;
    }
    DeviceTrace(L"attach: slot %d %ls %ls", slot, page->GetDeviceName().GetData(), receiver ? L"receiver" : L"wired");
    ShowAttachedEntry(page, !receiver);
    return true;
}

void CMainWnd::AttachAuxInterface(int slot, int slotType) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return;
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    switch (slotType) {
        case kKeyboardWired:
        case kMouseWired:
            for (CCorvaneUSBDevice* page : slotType == kKeyboardWired ? m_keyboards : m_mice) {
                const HidDeviceSlot record = page->GetSlotRecord();
                if (!page->IsEventChannelOpen()) {
                    if (SameIds(s, record)) {
                        DeviceTrace(L"attach: slot %d event channel of %ls", slot, page->GetDeviceName().GetData());
                        page->OpenEventChannel(s.devicePath, slotType);
                    }
                } else if (record.hasPartner && record.partnerRow < m_slots.size() &&
                           SameIds(s, m_slots[record.partnerRow])) {
                    DeviceTrace(L"attach: slot %d event channel of %ls reopened", slot,
                                page->GetDeviceName().GetData());
                    page->ReopenEventChannel(s.devicePath, slotType);
                }
            }
            break;
        case kKeyboardReceiver:
        case kMouseReceiver: {
            const HidDeviceSlot& match = s.hasPartner && s.partnerRow < m_slots.size() ? m_slots[s.partnerRow] : s;
            for (CCorvaneUSBDevice* page : slotType == kKeyboardReceiver ? m_keyboards : m_mice) {
                if (page->IsEventChannelOnReceiver() || !SameIds(match, page->GetSlotRecord())) continue;
                DeviceTrace(L"attach: slot %d receiver event channel of %ls", slot, page->GetDeviceName().GetData());
                page->OpenEventChannel(s.devicePath, slotType);
            }
            break;
        }
        case HidDeviceSlot::kTypeMousePad:
        case HidDeviceSlot::kTypeHeadset:
            for (CCorvaneUSBDevice* page : slotType == HidDeviceSlot::kTypeMousePad ? m_mousePads : m_headsets) {
                if (page->IsEventChannelOpen() || !SameIds(s, page->GetSlotRecord())) continue;
                DeviceTrace(L"attach: slot %d event channel of %ls", slot, page->GetDeviceName().GetData());
                page->OpenEventChannel(s.devicePath, slotType);
            }
            break;
        default:
            break;
    }
}

// --- Detach ----------------------------------------------------------------------------

void CMainWnd::DetachPartnered(int slot, int wiredType, int /*receiverType*/, const DeviceList& list) {
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    if (s.auxiliary == kAuxiliary) {
        DetachAuxInterface(slot, s.deviceType);
        return;
    }
    if (s.auxiliary != 0) return;
    if (IsPartnerConnected(slot)) {
        // The cable was pulled while the receiver stays: the page moves there.
        if (s.deviceType == wiredType) SwitchPage(slot);
        return;
    }
    if (list.empty()) return;
    CCorvaneUSBDevice* page = FindBoundPage(list, PageRecordOf(slot));
    if (!page) return;
    CDeviceProtocol& channel = page->CommandChannel();
    {
        win::CriticalSectionGuard lock(channel.m_ioLock);
        channel.SetOpen(false);
        channel.m_wired.Close();
        channel.m_receiver.Close();
    }
    DeviceTrace(L"detach: slot %d %ls", slot, page->GetDeviceName().GetData());
    if (CDeviceOptionUI* entry = page->GetDeviceOption()) UnselectDevice(entry->GetBindTabIndex());
}

void CMainWnd::DetachSingle(int slot, const DeviceList& list) {
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    if (s.auxiliary == kAuxiliary) {
        DetachAuxInterface(slot, s.deviceType);
        return;
    }
    if (s.auxiliary != 0 || list.empty()) return;
    CCorvaneUSBDevice* page = FindBoundPage(list, s);
    if (!page) return;
    CDeviceProtocol& channel = page->CommandChannel();
    {
        win::CriticalSectionGuard lock(channel.m_ioLock);
        channel.SetOpen(false);
        channel.m_wired.Close();
    }
    DeviceTrace(L"detach: slot %d %ls", slot, page->GetDeviceName().GetData());
    if (CDeviceOptionUI* entry = page->GetDeviceOption()) UnselectDevice(entry->GetBindTabIndex());
}

void CMainWnd::DetachAuxInterface(int slot, int slotType) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return;
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    switch (slotType) {
        case kKeyboardWired:
        case kMouseWired:
            for (CCorvaneUSBDevice* page : slotType == kKeyboardWired ? m_keyboards : m_mice) {
                if (!page->IsEventChannelOpen() || !SameIds(s, page->GetSlotRecord())) continue;
                DeviceTrace(L"detach: slot %d event channel of %ls", slot, page->GetDeviceName().GetData());
                page->CloseEventChannel(slotType);
            }
            break;
        case kKeyboardReceiver:
        case kMouseReceiver: {
            const HidDeviceSlot& match = s.hasPartner && s.partnerRow < m_slots.size() ? m_slots[s.partnerRow] : s;
            for (CCorvaneUSBDevice* page : slotType == kKeyboardReceiver ? m_keyboards : m_mice) {
                if (!page->IsEventChannelOnReceiver() || !SameIds(match, page->GetSlotRecord())) continue;
                DeviceTrace(L"detach: slot %d receiver event channel of %ls", slot, page->GetDeviceName().GetData());
                page->CloseEventChannel(slotType);
            }
            break;
        }
        case HidDeviceSlot::kTypeMousePad:
        case HidDeviceSlot::kTypeHeadset:
            for (CCorvaneUSBDevice* page : slotType == HidDeviceSlot::kTypeMousePad ? m_mousePads : m_headsets) {
                if (!page->IsEventChannelOpen() || !SameIds(s, page->GetSlotRecord())) continue;
                DeviceTrace(L"detach: slot %d event channel of %ls", slot, page->GetDeviceName().GetData());
                page->CloseEventChannel(slotType);
            }
            break;
        default:
            break;
    }
}

// --- Switching between cable and receiver ----------------------------------------------

void CMainWnd::SwitchConnection(int slot, int /*auxiliary*/) { SwitchPage(slot); }

bool CMainWnd::SwitchPage(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= m_slots.size()) return true;
    const HidDeviceSlot& s = m_slots[static_cast<size_t>(slot)];
    if (!s.hasPartner || s.partnerRow >= m_slots.size()) return true;
    const int partner = s.partnerRow;
    CDeviceOptionUI* entry = nullptr;
    for (int i = 0, n = DeviceEntryCount(); i < n && !entry; ++i) {
        CDeviceOptionUI* candidate = DeviceEntry(i);
        if (!candidate || !candidate->GetDevice()) continue;
        const HidDeviceSlot record = candidate->GetDevice()->GetSlotRecord();
        if (record.IsSameDevice(s) || record.IsSameDevice(m_slots[static_cast<size_t>(partner)])) entry = candidate;
    }
    if (!entry) return true;
    CCorvaneUSBDevice* page = entry->GetDevice();
    CDeviceProtocol& channel = page->CommandChannel();
    const bool wasReceiver = channel.IsReceiverMode();
    // The interface that is not in use now.
    const std::wstring path = m_slots[static_cast<size_t>(wasReceiver ? slot : partner)].devicePath;
    bool opened;
    {
        win::CriticalSectionGuard lock(channel.m_ioLock);
        channel.SetOpen(false);
        opened = OpenHandle(wasReceiver ? channel.m_wired : channel.m_receiver, path);
    }
    if (!opened) {
        DeviceTrace(L"switch: %ls could not open %ls", page->GetDeviceName().GetData(), path.c_str());
        return false;
    }
    channel.SetOpen(true);
    channel.m_receiverMode.store(wasReceiver ? 0 : 1);
    DeviceTrace(L"switch: %ls to %ls", page->GetDeviceName().GetData(), wasReceiver ? L"wired" : L"receiver");

    if (!wasReceiver) {
        channel.SetConnectMode(CDeviceProtocol::kConnectReceiver);
        if (page->GetShowPower() && !channel.QueryLink()) {
            // The remaining queries run from the entry's timer, so the window
            // keeps serving its messages between them.
            DeviceTrace(L"获取2.4G模式失败");
            entry->StartLinkQueries(kLinkQueries - 1,
                                    [this, page, entry](bool linked) { FinishReceiverSwitch(page, entry, linked); });
            return true;
        }
        FinishReceiverSwitch(page, entry, true);
        return true;
    }

    channel.SetConnectMode(CDeviceProtocol::kConnectWired);
    entry->StartConnectTimer();
    OnDeviceOnline(EntryIndexOf(page), 1);
    CloseSettingsWindow();
    if (page->GetShowPower()) page->PollStatus();
    return true;
}

void CMainWnd::FinishReceiverSwitch(CCorvaneUSBDevice* page, CDeviceOptionUI* entry, bool linked) {
    if (page->GetShowPower()) page->PollStatus();
    if (!linked) {
        DeviceTrace(L"switch: %ls receiver does not reach its device; online check armed",
                    page->GetDeviceName().GetData());
        entry->StartOnlineCheck(CDeviceOptionUI::kFirstOnlineCheckMs);
        return;
    }
    entry->RestartKeepAlive();
    entry->StartOnlineCheck(CDeviceOptionUI::kFirstOnlineCheckMs);
    page->OnConnected();
    CloseSettingsWindow();
}

void CMainWnd::CloseSettingsWindow() {
    if (m_hSettingsWnd && win::IsWindow(m_hSettingsWnd)) win::SendMessageW(m_hSettingsWnd, win::WM_CLOSE, 0, 0);
}
