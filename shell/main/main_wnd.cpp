#include "shell/main/main_wnd.h"

#include <algorithm>
#include <string>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device/corvane_usb_device.h"
#include "link/device_tables.h"
#include "link/registered_messages.h"
#include "link/debug_log.h"
#include "platform/os/clock.h"
#include "platform/os/debug_trace.h"
#include "platform/os/event.h"
#include "platform/os/handle.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/remote.h"
#include "platform/os/thread.h"
#include "platform/ui/control.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/device_scan_thread.h"
#include "shell/main/sync_light_thread.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

DUI_BEGIN_MESSAGE_MAP(CMainPage, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CMainPage::OnClick)
DUI_ON_MSGTYPE(DUI_MSGTYPE_SELECTCHANGED, CMainPage::OnSelectChanged)
DUI_ON_MSGTYPE(DUI_MSGTYPE_ITEMCLICK, CMainPage::OnItemClick)
DUI_END_MESSAGE_MAP()

DUI_BEGIN_MESSAGE_MAP(CMainWnd, WindowImplBase)
DUI_ON_MSGTYPE(DUI_MSGTYPE_ITEMACTIVATE, CMainWnd::OnItemActivate)
DUI_ON_MSGTYPE(DUI_MSGTYPE_SETFOCUS, CMainWnd::OnNotifySetFocus)
DUI_END_MESSAGE_MAP()

namespace {

constexpr const wchar_t* kCaptionButtonNames[] = {L"closebtn",    L"maxbtn",   L"restorebtn",   L"minbtn", L"skinbtn",
                                                  L"gamemodebtn", L"cloudbtn", L"smarteyesbtn", L"setbtn"};

// The tray icon's and the window's icon resource.
constexpr UINT kIconResource = 107;

}  // namespace

CMainWnd::CMainWnd() {
    m_mainPage.SetPaintManager(&m_pm);
    AddVirtualWnd(L"mainpage", &m_mainPage);
}

CMainWnd::~CMainWnd() {
    // The observer outlives every window; a later broadcast must not reach this one.
    GetSkinObserver()->RemoveReceiver(this);
    // The menus' windows go first; the objects are the window's to delete.
    CMenuWnd::DestroyMenu();
    delete m_pTrayMenu;
    m_pTrayMenu = nullptr;
    delete m_pMacroActionMenu;
    m_pMacroActionMenu = nullptr;
    RemoveVirtualWnd(L"mainpage");
    {
        std::lock_guard<std::mutex> lock(m_deviceListLock);
        m_mice.clear();
        m_mousePads.clear();
        m_powerTiles.clear();
        m_keyboards.clear();
        m_headsets.clear();
    }
    // A window destroyed without WM_DESTROY reaching HandleCustomMessage (a
    // test, a failed creation) still must not leave a worker running on it.
    StopWorkerThreads();
}

LPCTSTR CMainWnd::GetWindowClassName() const { return L"MainWnd"; }

UINT CMainWnd::GetClassStyle() const { return UI_CS_DBLCLKS; }

CDuiString CMainWnd::GetSkinFile() { return m_skinFile; }

void CMainWnd::OnFinalMessage(HWND hWnd) { WindowImplBase::OnFinalMessage(hWnd); }

LRESULT CMainWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_trayIcon.DeleteTrayIcon();
    bHandled = FALSE;
    win::PostQuitMessage(0);
    return 0;
}

LRESULT CMainWnd::OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

LRESULT CMainWnd::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT CMainWnd::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LRESULT CMainWnd::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
}

LPCTSTR CMainWnd::QueryControlText(LPCTSTR, LPCTSTR) { return nullptr; }

HRESULT CMainWnd::ShowContextMenu(DWORD, POINT*, void*, void*) { return UI_E_NOTIMPL; }

HRESULT CMainWnd::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info != nullptr) {
        info->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO | DOCHOSTUIFLAG_NO3DOUTERBORDER;
    }
    return UI_S_OK;
}

void CMainWnd::InitWindow() {
    // Before the first message is served: no other process may deliver the
    // messages whose parameters are this process's pointers.
    KeepMainWindowMessagesInProcess();
    CResourceManager::GetInstance()->SetTextQueryInterface(this);
    CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml");
    for (size_t i = 0; i < m_captionButtons.size(); ++i) {
        m_captionButtons[i] = m_pm.FindControl(kCaptionButtonNames[i]);
    }
    MainWindowHandle = GetHWND();
    GetSkinObserver()->AddReceiverOf(this);
    SetIcon(kIconResource);
    m_trayIcon.CreateTrayIcon(GetHWND(), kIconResource, kTrayTooltip, 0);
}

int CMainWnd::OnSkinChanged(SkinChangedParam param) {
    CControlUI* root = m_pm.FindControl(L"root");
    if (root == nullptr) return 1;
    if (param.isColor) {
        root->SetBkColor(param.color);
        root->SetBkImage(L"");
    } else {
        root->SetBkColor(0);
        root->SetBkImage(param.image);
    }
    return 1;
}

void CMainWnd::OnWindowInit() {
    win::ChangeWindowMessageFilter(WM_ACTIVATE_INSTANCE, win::MSGFLT_ADD);
    win::ChangeWindowMessageFilter(WM_UPDATER_PROGRESS, win::MSGFLT_ADD);
    win::ChangeWindowMessageFilter(WM_LIGHTING_STATE, win::MSGFLT_ADD);
    win::ChangeWindowMessageFilter(WM_VEXMAR_QUERY, win::MSGFLT_ADD);
    for (int i = 0; i < kHookOnlyMessageCount; ++i) win::ChangeWindowMessageFilter(HookMessageId(i), win::MSGFLT_ADD);

    win::DWORD recipients = win::BSM_APPLICATIONS;
    win::BroadcastSystemMessageW(win::BSF_POSTMESSAGE, &recipients, WM_LIGHTING_STATE, 1, 1);

    const int language = LoadLanguageIndex();
    SetLanguage(language);
    UiLanguageIndex = language;

    m_slots.assign(DiscoveryDeviceTable(), DiscoveryDeviceTable() + kSupportedDeviceCount);
    CreateDefaultDevicePanels();

    ScreenWidth = win::GetSystemMetrics(win::SM_CXSCREEN);
    ScreenHeight = win::GetSystemMetrics(win::SM_CYSCREEN);

    ShowWindow(false, false);

    for (int slot = 0; slot < kWorkerSlots; ++slot) {
        m_workerStop[slot] = win::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_workerParam[slot] = new win::WorkerParam{this, m_workerStop[slot]};
    }
    StartWorker(kScanWorkerSlot, &DeviceScanThreadProc);
    StartWorker(kSyncLightWorkerSlot, &SyncLightThreadProc);

    win::SetTimer(GetHWND(), TIMER_MAIN_FIRST_SHOW, 100, nullptr);
    LoadAudioFile();
}

bool CMainWnd::StartWorker(int slot, win::LPTHREAD_START_ROUTINE routine) {
    if (slot < 0 || slot >= kWorkerSlots || m_workerParam[slot] == nullptr || m_workerThread[slot] != nullptr) {
        return false;
    }
    m_workerThread[slot] = win::CreateThread(nullptr, 0, routine, m_workerParam[slot], 0, nullptr);
    return m_workerThread[slot] != nullptr;
}

win::WorkerParam* CMainWnd::GetWorkerParam(int slot) const {
    return slot >= 0 && slot < kWorkerSlots ? m_workerParam[slot] : nullptr;
}

win::HANDLE CMainWnd::GetWorkerThread(int slot) const {
    return slot >= 0 && slot < kWorkerSlots ? m_workerThread[slot] : nullptr;
}

namespace {

// Waits for a worker's end while the calling (UI) thread keeps serving the
// messages other threads send it, so a worker blocked in a SendMessageW to
// this window can finish. Returns true when the thread ended within `ms`
// (INFINITE: no bound).
bool WaitServingSentMessages(win::HANDLE thread, win::DWORD ms) {
    const win::DWORD start = win::GetTickCount();
    for (;;) {
        const win::DWORD elapsed = win::GetTickCount() - start;
        if (ms != win::INFINITE && elapsed >= ms) return false;
        const win::DWORD slice = ms == win::INFINITE ? 100 : std::min<win::DWORD>(ms - elapsed, 100);
        const win::DWORD result = win::MsgWaitForMultipleObjects(1, &thread, FALSE, slice, win::QS_SENDMESSAGE);
        if (result == win::WAIT_OBJECT_0 || result == win::WAIT_FAILED) return true;
        // A posted message or timer woke the wait: it stays queued (the window
        // is being destroyed); wait on the thread alone for a moment instead.
        if (result == win::WAIT_OBJECT_0 + 1 && win::WaitForSingleObject(thread, 5) == win::WAIT_OBJECT_0) return true;
    }
}

}  // namespace

// Stops every worker the window started. A worker is never killed: one that
// is still running after the bound is logged and waited for, because it uses
// this window and must not outlive it.
void CMainWnd::StopWorkerThreads() {
    StopAudioCapture();
    if (GetHWND() != nullptr) win::ShowWindow(GetHWND(), win::SW_HIDE);
    for (int slot = 0; slot < kWorkerSlots; ++slot) {
        if (m_workerStop[slot] != nullptr) win::SetEvent(m_workerStop[slot]);
        if (m_workerThread[slot] != nullptr) win::CancelSynchronousIo(m_workerThread[slot]);
    }
    for (int slot = 0; slot < kWorkerSlots; ++slot) {
        win::HANDLE thread = m_workerThread[slot];
        if (thread == nullptr) continue;
        if (!WaitServingSentMessages(thread, win::kWorkerStopBoundMs)) {
            WriteLog("StopWorkerThreads: worker " + std::to_string(slot) + " still runs after " +
                     std::to_string(win::kWorkerStopBoundMs) + " ms; waiting for it");
            WaitServingSentMessages(thread, win::INFINITE);
        }
    }
    for (int slot = 0; slot < kWorkerSlots; ++slot) {
        if (m_workerStop[slot] != nullptr) win::CloseHandle(m_workerStop[slot]);
        if (m_workerThread[slot] != nullptr) win::CloseHandle(m_workerThread[slot]);
        delete m_workerParam[slot];
        m_workerStop[slot] = nullptr;
        m_workerThread[slot] = nullptr;
        m_workerParam[slot] = nullptr;
    }
    StopKeyboardListeners();
}

// The keyboards' event listeners end with the workers, before the pages go
// with the control tree.
void CMainWnd::StopKeyboardListeners() {
    for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_keyboards})) {
        auto* keyboard = static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName));
        if (keyboard == nullptr) continue;
        keyboard->StopEventListener(CCorvaneKeyboardDevice::kEventWired);
        keyboard->StopEventListener(CCorvaneKeyboardDevice::kEventReceiver);
    }
}

// A copy of the named device lists, taken under their lock, so that the
// pages can be called without holding it.
std::vector<CCorvaneUSBDevice*> CMainWnd::CopyDeviceLists(
    std::initializer_list<const std::vector<CCorvaneUSBDevice*>*> lists) {
    std::vector<CCorvaneUSBDevice*> pages;
    std::lock_guard<std::mutex> lock(m_deviceListLock);
    for (const std::vector<CCorvaneUSBDevice*>* list : lists) pages.insert(pages.end(), list->begin(), list->end());
    return pages;
}

// Mice, mouse pads and keyboards are told; headsets have no lighting.
void CMainWnd::SetLightingEnabledAll(int flag) {
    for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice, &m_mousePads, &m_keyboards})) {
        page->SetLightingEnabled(flag);
    }
}

void CMainWnd::SetWindowActiveAll(int flag) {
    for (CCorvaneUSBDevice* page : CopyDeviceLists({&m_mice, &m_mousePads, &m_keyboards})) {
        page->SetWindowActive(flag);
    }
}
