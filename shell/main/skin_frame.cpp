#include "shell/main/skin_frame.h"

#include <algorithm>
#include <string>

#include "link/data_folders.h"
#include "platform/dialogs/file_dialog.h"
#include "platform/os/messages.h"
#include "platform/os/profile_ini.h"
#include "platform/files/utf8.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/win_window_api.h"
#include "shell/controls/skin_observer.h"

using namespace DuiLib;
namespace dialogs = tavrik::dialogs;

namespace {

// The dialog's filter in the program's "|" form.
constexpr const wchar_t* kPictureFilter = L"(*.png) | *.png |(*.*)|*.*||";

void BroadcastPicture(const std::wstring& image) {
    SkinChangedParam param;
    param.isColor = false;
    param.image = image.c_str();
    GetSkinObserver()->BroadcastCopy(param);
}

}  // namespace

CSkinFrame::CSkinFrame(HWND owner, CControlUI* anchor) : m_hOwner(owner), m_pAnchor(anchor) {
    Create(nullptr, L"skinframe", UI_WS_POPUP | UI_WS_VISIBLE,
           UI_WS_EX_NOACTIVATE | UI_WS_EX_TOPMOST | UI_WS_EX_TOOLWINDOW);
}

CSkinFrame* CSkinFrame::Open(HWND owner, CControlUI* anchor) {
    auto* frame = new CSkinFrame(owner, anchor);
    if (frame->GetHWND() != nullptr) return frame;
    delete frame;
    return nullptr;
}

std::wstring CSkinFrame::MainIniPath() { return std::wstring(GetUserDataPath().GetData()) + L"main.ini"; }

void CSkinFrame::OnFinalMessage(HWND) {
    m_pm.RemoveNotifier(this);
    delete this;
}

LRESULT CSkinFrame::OnCreate() {
    m_pm.SetWindow(this);
    m_pm.Init(m_hWnd);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(L"skin.xml", nullptr, nullptr, &m_pm);
    if (root != nullptr) m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    PlaceUnderButton();
    MarkOwnerBackground();
    return 0;
}

// The picture or colour the owner's "root" shows is marked, and its tab is
// the one in front.
void CSkinFrame::MarkOwnerBackground() {
    CPaintManagerUI* owner = m_pAnchor != nullptr ? m_pAnchor->GetManager() : nullptr;
    CControlUI* root = owner != nullptr ? owner->FindControl(L"root") : nullptr;
    if (root == nullptr) return;
    const CDuiString image = root->GetBkImage();
    if (MarkChoice(image.GetData(), root->GetBkColor()) && image.IsEmpty()) ShowTab(1);
}

bool CSkinFrame::MarkChoice(const std::wstring& image, DWORD color) {
    bool found = false;
    for (int i = 0;; ++i) {
        CControlUI* c = m_pm.FindSubControlByClass(nullptr, L"Option", i);
        if (c == nullptr) break;
        const bool picture = c->GetName() == L"skin_image_btn";
        if (!picture && c->GetName() != L"skin_color_btn") continue;
        const bool chosen =
            picture ? !image.empty() && image == c->GetUserData().GetData() : image.empty() && color == c->GetBkColor();
        static_cast<COptionUI*>(c)->Selected(chosen, false);
        found = found || chosen;
    }
    return found;
}

// The popup's top-right corner meets the anchor's bottom-right corner.
void CSkinFrame::PlaceUnderButton() {
    if (m_pAnchor == nullptr) return;
    const RECT anchor = m_pAnchor->GetPos();
    const SIZE size = m_pm.GetInitSize();
    POINT corner{anchor.right - size.cx, anchor.bottom};
    if (m_hOwner != nullptr) win::ClientToScreen(m_hOwner, &corner);
    win::SetWindowPos(GetHWND(), nullptr, corner.x, corner.y, 0, 0,
                      win::SWP_NOACTIVATE | win::SWP_NOSIZE | win::SWP_NOZORDER);
}

LRESULT CSkinFrame::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == win::WM_CREATE) return OnCreate();
    if (uMsg == win::WM_KILLFOCUS) {
        if (m_dialogOpen)
            m_focusLostDuringDialog = true;
        else
            Close(0);
        return 0;
    }
    LRESULT result = 0;
    if (m_pm.GetPaintWindow() != nullptr && m_pm.MessageHandler(uMsg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CSkinFrame::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_CLICK && msg.pSender != nullptr) OnSkinClick(msg.pSender);
}

void CSkinFrame::OnSkinClick(CControlUI* sender) {
    const CDuiString name = sender->GetName();
    if (name.CompareNoCase(L"skin_image_btn") == 0) {
        const std::wstring image = sender->GetUserData().GetData();
        BroadcastPicture(image);
        WriteMainIni(1, image);
    } else if (name.CompareNoCase(L"skin_color_btn") == 0) {
        SkinChangedParam param;
        param.isColor = true;
        param.color = sender->GetBkColor();
        GetSkinObserver()->BroadcastCopy(param);
    } else if (name.CompareNoCase(L"skin_color") == 0) {
        ShowTab(1);
    } else if (name.CompareNoCase(L"skin_image") == 0) {
        ShowTab(0);
    } else if (name.CompareNoCase(L"skin_reset") == 0) {
        MarkChoice(kResetImage, 0);
        BroadcastPicture(kResetImage);
        WriteMainIni(0, kResetImage);
    } else if (name.CompareNoCase(L"skin_Custom") == 0) {
        ChooseCustomPicture();
    } else if (name.CompareNoCase(L"closebtn") == 0) {
        Close(0);
    }
}

void CSkinFrame::ShowTab(int page) {
    if (auto* option = static_cast<COptionUI*>(m_pm.FindControl(page == 0 ? L"skin_image" : L"skin_color")))
        option->Selected(true, false);
    CControlUI* tab = m_pm.FindControl(L"skin_tab");
    if (tab != nullptr && tab->GetInterface(L"TabLayout") != nullptr) static_cast<CTabLayoutUI*>(tab)->SelectItem(page);
}

// The dialog serves the message queue while it waits, and taking the focus
// is its first act: the popup must outlive this handler, so it closes only
// after the answer is there.
void CSkinFrame::ChooseCustomPicture() {
    if (m_dialogOpen) return;  // a second click while the dialog is up
    std::wstring filter = kPictureFilter;
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    dialogs::FileDialogRequest request;
    request.kind = dialogs::FileDialogKind::Open;
    request.filters = dialogs::ParseFilterList(filter);
    request.default_extension = "png";
    request.title = win::ToUtf8(CResourceManager::GetInstance()->GetText(L"skin_custom_title").GetData());
    m_dialogOpen = true;
    const dialogs::FileDialogResult result = dialogs::ShowFileDialog(request);
    m_dialogOpen = false;
    // A cancelled dialog has no picture to tell anyone about.
    if (result.chosen) {
        // A picture of the user's own is none of those offered.
        MarkChoice(win::FromUtf8(result.path), 0);
        BroadcastPicture(win::FromUtf8(result.path));
    }
    if (m_focusLostDuringDialog) Close(0);
}

void CSkinFrame::WriteMainIni(int flags, const std::wstring& image) {
    const std::wstring path = MainIniPath();
    const std::wstring flagText = std::to_wstring(flags);
    win::WritePrivateProfileStringW(L"SKINIMAGE", L"FLAGS", flagText.c_str(), path.c_str());
    win::WritePrivateProfileStringW(L"SKINIMAGE", L"IMAGE", image.c_str(), path.c_str());
}
