#pragma once

// The entry of one device in the main window's device list
// ("device_select_layout"). It shows the device's icon and name, carries the
// option that makes the device current ("device_select") and the one that
// joins it to lighting sync ("synchro_device_select"), and it is the clock of
// its device page: its timers connect the page, refresh the LED preview, poll
// the status, watch the 2.4 GHz link and keep it alive.
//
// Timers are paint-manager timers of the entry; every callback first kills
// its own timer, a periodic one is re-armed by its callback. The entry
// remembers which of its timers are armed and with what period.
// UI thread only, except ArmTimer (the families' listener threads arm 1002).

#include <functional>
#include <map>
#include <mutex>

#include "platform/ui/container.h"

namespace DuiLib {
class COptionUI;
}
class CCorvaneUSBDevice;

enum DeviceOptionTimer : DuiLib::UINT {
    TIMER_OPTION_FRAME = 1000,    // LED preview frame
    TIMER_OPTION_CONNECT = 1001,  // connect the page (receiver: once the device is linked)
    TIMER_OPTION_RESYNC = 1002,   // the device reported a change: read the active profile
    TIMER_OPTION_1003 = 1003,
    TIMER_OPTION_1004 = 1004,
    TIMER_OPTION_STATUS = 1005,      // status poll
    TIMER_OPTION_ONLINE = 1007,      // receiver: is the device still linked?
    TIMER_OPTION_KEEPALIVE = 1008,   // receiver: empty begin/end pair
    TIMER_OPTION_LINK_QUERY = 1009,  // link queries after a switch to the receiver
};

// The main window's message an entry sends when its device comes online (lParam
// 1) or goes offline (0); wParam the entry's index in the device list.
inline constexpr DuiLib::UINT kDeviceOnlineMessage = 0xD03;

class CDeviceOptionUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"DeviceOption";
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\DeviceOption.xml";
    // Periods of the timer chains, in milliseconds.
    static constexpr DuiLib::UINT kConnectDelayMs = 500;
    static constexpr DuiLib::UINT kLinkRetryMs = 3000;
    static constexpr DuiLib::UINT kFirstFrameMs = 5;
    static constexpr DuiLib::UINT kFrameWiredMs = 20;
    static constexpr DuiLib::UINT kFrameReceiverMs = 50;
    static constexpr DuiLib::UINT kFirstStatusMs = 50;
    static constexpr DuiLib::UINT kStatusMs = 5000;
    static constexpr DuiLib::UINT kFirstOnlineCheckMs = 2000;
    static constexpr DuiLib::UINT kOnlineCheckMs = 3000;
    static constexpr DuiLib::UINT kFirstKeepAliveMs = 50;
    static constexpr DuiLib::UINT kKeepAliveMs = 150000;
    static constexpr DuiLib::UINT kLinkQueryMs = 50;

    CDeviceOptionUI();
    ~CDeviceOptionUI() override;
    static DuiLib::CControlUI* CreateControl();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
    bool Activate() override;
    void DoEvent(DuiLib::TEventUI& event) override;

    // Remembers the flag as the entry's shown state, then shows or hides.
    void SetVisible(bool bVisible = true) override;
    bool IsShown() const { return m_bShown; }

    void ShowSyncOption(bool flag);
    void SetSyncSelected(bool flag);
    bool IsSyncSelected();
    void SetSelected(bool flag);
    bool IsSelected();

    // Icons and tool tip by kind: 1 "kb", 2 "ms", 3 "hard_mp" (sub-kind 0) or
    // "soft_mp" (1), 4 and 7 "hd", 5 "hub", others "unknow"; kind 3 with
    // another sub-kind keeps the icons it has.
    void SetDeviceKind(int kind, int subKind);
    int GetDeviceKind() const { return m_nKind; }
    int GetDeviceSubKind() const { return m_nSubKind; }

    void BindTab(DuiLib::LPCTSTR layoutName, int index);
    DuiLib::LPCTSTR GetBindTabName();
    int GetBindTabIndex();
    void SetPowerSwitch(DuiLib::LPCTSTR name, int index);
    const DuiLib::CDuiString& GetPowerSwitchName() const { return m_sPowerSwitchName; }
    int GetPowerIndex() const { return m_nPowerIndex; }
    void SetGroup(DuiLib::LPCTSTR name);
    void SetDeviceName(DuiLib::LPCTSTR text);

    // Stores the page and makes this entry its owner.
    void SetDevice(CCorvaneUSBDevice* page);
    CCorvaneUSBDevice* GetDevice() const { return m_pDevice; }
    void SetPreviewControl(DuiLib::CControlUI* control) { m_pPreview = control; }
    DuiLib::CControlUI* GetPreviewControl() const { return m_pPreview; }

    void StartConnectTimer();
    // Arms the frame timer again when it rested while the window was inactive.
    void ResumeFrameTimer();
    void RestartKeepAlive();
    // Arms the online check, only while the page's command channel is open.
    void StartOnlineCheck(DuiLib::UINT ms);
    // Link queries after a switch to the receiver: one query every 50 ms,
    // `attempts` at most, served by the message loop between queries. `done`
    // gets true at the first positive answer, false after the last negative;
    // the chain ends silently when the channel leaves receiver mode.
    void StartLinkQueries(int attempts, std::function<void(bool linked)> done);

    // Arms (or re-arms) one of the entry's timers; safe on any thread.
    void ArmTimer(DuiLib::UINT id, DuiLib::UINT ms);
    void KillOwnTimer(DuiLib::UINT id);
    // The period a timer is armed with, 0 when it is not armed.
    DuiLib::UINT TimerPeriod(DuiLib::UINT id) const;

    // The timer callbacks (DoEvent routes the paint manager's timer events
    // here); false for an id that is not one of the entry's own.
    bool DeviceTimerProc(DuiLib::UINT id);

    // The images the select option takes for the two sync states.
    const DuiLib::CDuiString& GetNormalImage() const { return m_sNormalImage; }
    const DuiLib::CDuiString& GetSelectedImage() const { return m_sSelectedImage; }
    const DuiLib::CDuiString& GetSyncNormalImage() const { return m_sSyncNormalImage; }
    const DuiLib::CDuiString& GetSyncSelectedImage() const { return m_sSyncSelectedImage; }

private:
    DuiLib::COptionUI* SyncOption();
    DuiLib::COptionUI* SelectOption();
    DuiLib::CControlUI* NameLabel();
    void ApplySelectImages(bool sync);
    void SendOnline(int online);
    void OnFrameTimer();
    void OnConnectTimer();
    void OnOnlineTimer();
    void OnLinkQueryTimer();

    DuiLib::CControlUI* m_pPreview = nullptr;
    CCorvaneUSBDevice* m_pDevice = nullptr;
    DuiLib::COptionUI* m_pSyncOption = nullptr;
    DuiLib::CControlUI* m_pNameLabel = nullptr;
    DuiLib::COptionUI* m_pSelectOption = nullptr;
    int m_nKind = 0;
    int m_nSubKind = 0;
    DuiLib::CDuiString m_sSyncSelectedImage;
    DuiLib::CDuiString m_sSyncNormalImage;
    DuiLib::CDuiString m_sSelectedImage;
    DuiLib::CDuiString m_sNormalImage;
    DuiLib::CDuiString m_sPowerSwitchName;
    bool m_bShown = true;
    bool m_bFrameTimerParked = false;
    int m_nPowerIndex = -1;

    mutable std::mutex m_timerLock;
    std::map<DuiLib::UINT, DuiLib::UINT> m_armed;
    int m_nLinkQueriesLeft = 0;
    std::function<void(bool)> m_linkQueryDone;
};

// Registers CDeviceOptionUI with the UI's control factory under
// "CDeviceOptionUI" (the skins' tag "DeviceOption").
void RegisterDeviceOptionControl();
