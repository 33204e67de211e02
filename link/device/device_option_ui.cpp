#include "link/device/device_option_ui.h"

#include "link/device/corvane_usb_device.h"
#include "platform/os/message_queue.h"
#include "platform/ui/button.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/paint_manager.h"

using namespace DuiLib;

namespace {

// The icon word of a kind; null when the kind leaves the icons as they are.
const wchar_t* IconWordFor(int kind, int subKind) {
    switch (kind) {
        case 1:
            return L"kb";
        case 2:
            return L"ms";
        case 3:
            if (subKind == 0) return L"hard_mp";
            if (subKind == 1) return L"soft_mp";
            return nullptr;
        case 4:
        case 7:
            return L"hd";
        case 5:
            return L"hub";
        default:
            return L"unknow";
    }
}

CDuiString IconPath(const wchar_t* word, const wchar_t* suffix) {
    return CDuiString(L"common/device_ico/") + word + suffix;
}

}  // namespace

CDeviceOptionUI::CDeviceOptionUI()
    : m_sSyncSelectedImage(IconPath(L"unknow", L"_device_synchro_selected.png")),
      m_sSyncNormalImage(IconPath(L"unknow", L"_device_synchro_normal.png")),
      m_sSelectedImage(IconPath(L"unknow", L"_device_selected.png")),
      m_sNormalImage(IconPath(L"unknow", L"_device_normal.png")) {}

// The page may already be gone when the control tree is torn down: only
// the entry's own timers are dropped.
CDeviceOptionUI::~CDeviceOptionUI() {
    if (m_pManager) m_pManager->KillTimer(this);
}

CControlUI* CDeviceOptionUI::CreateControl() { return new CDeviceOptionUI(); }

void RegisterDeviceOptionControl() {
    CControlFactory::GetInstance()->RegistControl(L"CDeviceOptionUI", &CDeviceOptionUI::CreateControl);
}

LPCTSTR CDeviceOptionUI::GetClass() const { return kClassName; }

LPVOID CDeviceOptionUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}

bool CDeviceOptionUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
    return true;
}

// The entry's own timers tick up to 50 times a second per device: they end
// here instead of going on as "timer" notifications that every page's
// notifier would have to look at.
void CDeviceOptionUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && DeviceTimerProc(static_cast<UINT>(event.wParam))) return;
    CHorizontalLayoutUI::DoEvent(event);
}

void CDeviceOptionUI::SetVisible(bool bVisible) {
    m_bShown = bVisible;
    CHorizontalLayoutUI::SetVisible(bVisible);
}

// --- Children ----------------------------------------------------------------

COptionUI* CDeviceOptionUI::SyncOption() {
    if (!m_pSyncOption) {
        CControlUI* c = FindSubControl(L"synchro_device_select");
        m_pSyncOption = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
    }
    return m_pSyncOption;
}

COptionUI* CDeviceOptionUI::SelectOption() {
    if (!m_pSelectOption) {
        CControlUI* c = FindSubControl(L"device_select");
        m_pSelectOption = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
    }
    return m_pSelectOption;
}

CControlUI* CDeviceOptionUI::NameLabel() {
    if (!m_pNameLabel) m_pNameLabel = FindSubControl(L"device_select_name");
    return m_pNameLabel;
}

void CDeviceOptionUI::ApplySelectImages(bool sync) {
    COptionUI* option = SelectOption();
    if (!option) return;
    option->SetNormalImage(sync ? m_sSyncNormalImage : m_sNormalImage);
    option->SetSelectedImage(sync ? m_sSyncSelectedImage : m_sSelectedImage);
}

void CDeviceOptionUI::ShowSyncOption(bool flag) {
    COptionUI* sync = SyncOption();
    if (sync) sync->SetVisible(flag);
    ApplySelectImages(sync && sync->IsSelected());
}

void CDeviceOptionUI::SetSyncSelected(bool flag) {
    if (COptionUI* sync = SyncOption()) sync->Selected(flag, true);
    ApplySelectImages(flag);
}

bool CDeviceOptionUI::IsSyncSelected() {
    COptionUI* sync = SyncOption();
    return sync && sync->IsSelected();
}

void CDeviceOptionUI::SetSelected(bool flag) {
    if (COptionUI* option = SelectOption()) option->Selected(flag, true);
}

bool CDeviceOptionUI::IsSelected() {
    COptionUI* option = SelectOption();
    return option && option->IsSelected();
}

void CDeviceOptionUI::SetDeviceKind(int kind, int subKind) {
    m_nKind = kind;
    m_nSubKind = subKind;
    const wchar_t* word = IconWordFor(kind, subKind);
    if (!word) return;
    m_sNormalImage = IconPath(word, L"_device_normal.png");
    m_sSelectedImage = IconPath(word, L"_device_selected.png");
    m_sSyncNormalImage = IconPath(word, L"_device_synchro_normal.png");
    m_sSyncSelectedImage = IconPath(word, L"_device_synchro_selected.png");
    if (COptionUI* option = SelectOption()) {
        option->SetNormalImage(m_sNormalImage);
        option->SetSelectedImage(m_sSelectedImage);
        option->SetDisabledImage(m_sNormalImage);
        option->SetToolTip(CDuiString(word) + L"_device_name_text");
    }
    // The name under the icon is the kind's name in the current language.
    if (CControlUI* label = NameLabel()) label->SetText(CDuiString(word) + L"_device_name_text");
}

void CDeviceOptionUI::BindTab(LPCTSTR layoutName, int index) {
    if (COptionUI* option = SelectOption()) {
        option->BindTabLayoutName(layoutName);
        option->BindTabIndex(index);
    }
}

LPCTSTR CDeviceOptionUI::GetBindTabName() {
    COptionUI* option = SelectOption();
    return option ? option->GetBindTabLayoutName() : nullptr;
}

int CDeviceOptionUI::GetBindTabIndex() {
    COptionUI* option = SelectOption();
    return option ? option->GetBindTabLayoutIndex() : -1;
}

void CDeviceOptionUI::SetPowerSwitch(LPCTSTR name, int index) {
    if (name == nullptr) return;
    m_sPowerSwitchName = name;
    if (index >= 0) m_nPowerIndex = index;
}

void CDeviceOptionUI::SetGroup(LPCTSTR name) {
    if (COptionUI* option = SelectOption()) option->SetGroup(name);
}

void CDeviceOptionUI::SetDeviceName(LPCTSTR text) {
    if (CControlUI* label = NameLabel()) label->SetText(text);
}

void CDeviceOptionUI::SetDevice(CCorvaneUSBDevice* page) {
    m_pDevice = page;
    if (page) page->SetDeviceOption(this);
}

// --- Timers ------------------------------------------------------------------

void CDeviceOptionUI::ArmTimer(UINT id, UINT ms) {
    {
        std::lock_guard<std::mutex> lock(m_timerLock);
        m_armed[id] = ms;
    }
    if (m_pManager) m_pManager->SetTimer(this, id, ms);
}

void CDeviceOptionUI::KillOwnTimer(UINT id) {
    {
        std::lock_guard<std::mutex> lock(m_timerLock);
        m_armed.erase(id);
    }
    if (m_pManager) m_pManager->KillTimer(this, id);
}

UINT CDeviceOptionUI::TimerPeriod(UINT id) const {
    std::lock_guard<std::mutex> lock(m_timerLock);
    auto it = m_armed.find(id);
    return it == m_armed.end() ? 0 : it->second;
}

void CDeviceOptionUI::StartConnectTimer() { ArmTimer(TIMER_OPTION_CONNECT, kConnectDelayMs); }

void CDeviceOptionUI::RestartKeepAlive() {
    KillOwnTimer(TIMER_OPTION_KEEPALIVE);
    ArmTimer(TIMER_OPTION_KEEPALIVE, kFirstKeepAliveMs);
}

void CDeviceOptionUI::StartOnlineCheck(UINT ms) {
    if (m_pDevice && m_pDevice->CommandChannel().IsOpen()) ArmTimer(TIMER_OPTION_ONLINE, ms);
}

void CDeviceOptionUI::StartLinkQueries(int attempts, std::function<void(bool)> done) {
    m_nLinkQueriesLeft = attempts;
    m_linkQueryDone = std::move(done);
    if (attempts <= 0) {
        auto finish = std::move(m_linkQueryDone);
        m_linkQueryDone = nullptr;
        if (finish) finish(false);
        return;
    }
    ArmTimer(TIMER_OPTION_LINK_QUERY, kLinkQueryMs);
}

// The entry names itself by its place in the list: the entries stand in the
// order their devices arrived, which the page's model row does not follow.
void CDeviceOptionUI::SendOnline(int online) {
    if (!m_pDevice || !m_pDevice->GetMainWindow()) return;
    CControlUI* parent = GetParent();
    auto* list = parent ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
    const int index = list ? list->GetItemIndex(this) : -1;
    if (index < 0) return;
    win::SendMessageW(m_pDevice->GetMainWindow(), kDeviceOnlineMessage, static_cast<win::WPARAM>(index), online);
}
