// The timer callbacks of a device list entry: the clock of its device page.

#include "link/device/corvane_usb_device.h"
#include "platform/ui/button.h"
#include "link/device/device_option_ui.h"
#include "link/device/device_trace.h"
#include "shell/controls/device_key_button_ui.h"

using namespace DuiLib;

bool CDeviceOptionUI::DeviceTimerProc(UINT id) {
    switch (id) {
        case TIMER_OPTION_FRAME:
        case TIMER_OPTION_CONNECT:
        case TIMER_OPTION_RESYNC:
        case TIMER_OPTION_1003:
        case TIMER_OPTION_1004:
        case TIMER_OPTION_STATUS:
        case TIMER_OPTION_ONLINE:
        case TIMER_OPTION_KEEPALIVE:
        case TIMER_OPTION_LINK_QUERY:
            break;
        default:
            return false;
    }
    KillOwnTimer(id);
    if (!m_pDevice) return true;
    CDeviceProtocol& channel = m_pDevice->CommandChannel();
    switch (id) {
        case TIMER_OPTION_FRAME:
            OnFrameTimer();
            break;
        case TIMER_OPTION_CONNECT:
            OnConnectTimer();
            break;
        case TIMER_OPTION_RESYNC:
            m_pDevice->ReadActiveProfile();
            break;
        case TIMER_OPTION_1003:
            m_pDevice->OnTimer1003();
            break;
        case TIMER_OPTION_1004:
            m_pDevice->OnTimer1004();
            break;
        case TIMER_OPTION_STATUS:
            m_pDevice->PollStatus();
            if (m_pDevice->GetShowPower()) ArmTimer(TIMER_OPTION_STATUS, kStatusMs);
            break;
        case TIMER_OPTION_ONLINE:
            OnOnlineTimer();
            break;
        case TIMER_OPTION_KEEPALIVE:
            channel.BeginSession();
            channel.EndSession();
            ArmTimer(TIMER_OPTION_KEEPALIVE, kKeepAliveMs);
            break;
        case TIMER_OPTION_LINK_QUERY:
            OnLinkQueryTimer();
            break;
        default:
            break;
    }
    return true;
}

void CDeviceOptionUI::OnFrameTimer() {
    m_pDevice->SendLedFrame();
    // The page the window shows is the selected entry's (an entry without a
    // select option cannot tell).
    if (SelectOption()) m_pDevice->SetPageShown(IsSelected());
    const bool active = m_pDevice->IsWindowActive() != 0;
    if (m_pPreview && IsSelected() && active) InvalidateChangedLights(m_pPreview);
    CDeviceProtocol& channel = m_pDevice->CommandChannel();
    if (!channel.IsOpen()) return;
    // An inactive window's frames reach nobody (a page whose device takes live
    // frames keeps its window flag set): the timer rests until activation.
    if (!active) {
        m_bFrameTimerParked = true;
        return;
    }
    ArmTimer(TIMER_OPTION_FRAME, channel.IsReceiverMode() ? kFrameReceiverMs : kFrameWiredMs);
}

void CDeviceOptionUI::ResumeFrameTimer() {
    if (!m_bFrameTimerParked) return;
    m_bFrameTimerParked = false;
    if (m_pDevice && m_pDevice->CommandChannel().IsOpen()) ArmTimer(TIMER_OPTION_FRAME, kFirstFrameMs);
}

void CDeviceOptionUI::OnConnectTimer() {
    CDeviceProtocol& channel = m_pDevice->CommandChannel();
    if (channel.IsReceiverMode() && channel.IsOpen()) {
        if (m_pDevice->CheckDongleLink() == 0) {
            DeviceTrace(L"device %ls: receiver reports its device unlinked, retry in %u ms",
                        m_pDevice->GetDeviceName().GetData(), kLinkRetryMs);
            // The main window hides the entry and moves the selection away.
            if (IsShown()) SendOnline(0);
            ArmTimer(TIMER_OPTION_CONNECT, kLinkRetryMs);
            return;
        }
        DeviceTrace(L"device %ls: receiver reaches its device", m_pDevice->GetDeviceName().GetData());
        ArmTimer(TIMER_OPTION_KEEPALIVE, kFirstKeepAliveMs);
        SendOnline(1);
    }
    m_pDevice->OnConnected();
    ArmTimer(TIMER_OPTION_FRAME, kFirstFrameMs);
    if (m_pDevice->GetShowPower() && channel.IsOpen()) ArmTimer(TIMER_OPTION_STATUS, kFirstStatusMs);
    if (channel.IsReceiverMode()) StartOnlineCheck(kFirstOnlineCheckMs);
}

void CDeviceOptionUI::OnOnlineTimer() {
    CDeviceProtocol& channel = m_pDevice->CommandChannel();
    if (channel.IsReceiverMode()) {
        const int linked = m_pDevice->CheckDongleLink();
        if (linked == 0 && IsShown() && channel.IsReceiverMode()) {
            DeviceTrace(L"device %ls: out of the receiver's reach", m_pDevice->GetDeviceName().GetData());
            SendOnline(0);
        } else if (linked != 0 && !IsShown()) {
            DeviceTrace(L"device %ls: back in the receiver's reach", m_pDevice->GetDeviceName().GetData());
            SendOnline(1);
            if (m_pDevice->GetShowPower()) m_pDevice->PollStatus();
        }
    }
    if (channel.IsReceiverMode()) StartOnlineCheck(kOnlineCheckMs);
}

void CDeviceOptionUI::OnLinkQueryTimer() {
    CDeviceProtocol& channel = m_pDevice->CommandChannel();
    // The page left the receiver (cable plugged in, detached): the switch
    // that started the queries is over.
    if (!channel.IsOpen() || !channel.IsReceiverMode()) {
        m_linkQueryDone = nullptr;
        return;
    }
    const bool linked = channel.QueryLink();
    if (!linked) {
        if (--m_nLinkQueriesLeft > 0) {
            DeviceTrace(L"获取2.4G模式失败");
            ArmTimer(TIMER_OPTION_LINK_QUERY, kLinkQueryMs);
            return;
        }
    }
    auto done = std::move(m_linkQueryDone);
    m_linkQueryDone = nullptr;
    if (done) done(linked);
}
