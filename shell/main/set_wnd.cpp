#include "shell/main/set_wnd.h"

#include <json/value.h>

#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "link/profile_file.h"
#include "link/text_encoding.h"
#include "platform/os/clock.h"
#include "platform/files/folders.h"
#include "platform/os/window.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/language_list.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/update_info_list_item_ui.h"

using namespace DuiLib;

DUI_BEGIN_MESSAGE_MAP(CSetWnd, WindowImplBase)
DUI_ON_MSGTYPE(DUI_MSGTYPE_SELECTCHANGED, CSetWnd::OnSelectChanged)
DUI_ON_MSGTYPE(DUI_MSGTYPE_ITEMSELECT, CSetWnd::OnItemSelect)
DUI_ON_MSGTYPE(DUI_MSGTYPE_WINDOWINIT, CSetWnd::OnWindowInit)
DUI_END_MESSAGE_MAP()

namespace {

constexpr int kRowHeight = 50;
constexpr int kLanguageRowHeight = 30;
constexpr int kStateUpdateOk = 7;

std::wstring TodayText() {
    win::SYSTEMTIME now;
    win::GetLocalTime(&now);
    return std::to_wstring(now.wYear) + L"-" + std::to_wstring(now.wMonth) + L"-" + std::to_wstring(now.wDay);
}

std::wstring VersionHex(int version) {
    CDuiString text;
    text.Format(L"V%04x", version);
    return text.GetData();
}

}  // namespace

void CSetWnd::SetOwner(HWND owner, int languageIndex) {
    m_hOwner = owner;
    m_nLanguageIndex = languageIndex;
}

CUpdateInfoListItemUI* CSetWnd::GetRow(int index) {
    if (m_pUpdateList == nullptr || index < 0 || index >= m_pUpdateList->GetCount()) return nullptr;
    CControlUI* row = m_pUpdateList->GetItemAt(index);
    return row != nullptr && CDuiString(row->GetClass()) == CUpdateInfoListItemUI::kClassName
               ? static_cast<CUpdateInfoListItemUI*>(row)
               : nullptr;
}

void CSetWnd::InitWindow() {
    CSecondaryWnd::InitWindow();
    m_pLaterButton = m_pm.FindControl(L"laterbtn");
    m_pUpdateList = static_cast<CListUI*>(m_pm.FindControl(L"device_update_list_info"));
    if (m_pUpdateList != nullptr && m_pUpdateList->GetInterface(L"List") == nullptr) m_pUpdateList = nullptr;
    m_pLanguageCombo = static_cast<CComboUI*>(m_pm.FindControl(L"Language_combox_info"));
    if (m_pLanguageCombo != nullptr && m_pLanguageCombo->GetInterface(L"Combo") == nullptr) m_pLanguageCombo = nullptr;
    SizeToDefault();
}

void CSetWnd::SizeToDefault() {
    // The skin is laid out at 96 DPI and drawn at the window's scale.
    const CDPI* dpi = m_pm.GetDPIObj();
    win::SetWindowPos(GetHWND(), nullptr, 0, 0, dpi->Scale(kWidth), dpi->Scale(kHeight),
                      win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
}

void CSetWnd::OnWindowInit(TNotifyUI&) {
    FillLanguages();
    LoadLastCheckDate();
    for (const VersionRecord& row : m_versionRows) {
        UpdateEntry entry;
        entry.Name = CDuiString(row.projectCode.c_str()).CompareNoCase(L"ALL") == 0 ? L"AP" : row.shortName;
        entry.OldVersion = row.kind == 0 ? row.versionText : VersionHex(row.version);
        entry.State = kStateUpdateOk;
        AddUpdateRow(std::move(entry));
    }
}

void CSetWnd::FillLanguages() {
    if (m_pLanguageCombo == nullptr) return;
    const LanguageList languages = LanguageList::Load();
    for (int i = 0; i < languages.Count(); ++i) {
        auto* item = new CListLabelElementUI();
        item->SetFixedHeight(kLanguageRowHeight);
        item->SetResourceText(true);
        item->SetText(languages.At(i)->text);
        m_pLanguageCombo->Add(item);
    }
    m_pLanguageCombo->SelectItem1(m_nLanguageIndex, true, false);
}

void CSetWnd::LoadLastCheckDate() {
    const CDuiString path = GetUserDataPath() + L"updatetime.config";
    const Json::Value document = LoadUpdateTimeDocument(path);
    if (!document.isNull()) {
        m_lastCheckDate = Utf8ToWideString(document["updatelasttime"]["value"].asCString());
        return;
    }
    m_lastCheckDate = TodayText();
    Json::Value fresh(Json::objectValue);
    fresh["updatelasttime"]["value"] = WideToUtf8(m_lastCheckDate);
    CJsonFileUtil::SaveJson(path, fresh);
}

void CSetWnd::AddUpdateRow(UpdateEntry entry) {
    if (m_pUpdateList == nullptr) return;
    CDialogBuilder builder;
    CControlUI* built = builder.Create(kRowSkin, nullptr, nullptr, &m_pm);
    if (built == nullptr) return;
    if (CDuiString(built->GetClass()) != CUpdateInfoListItemUI::kClassName) {
        delete built;
        return;
    }
    auto* row = static_cast<CUpdateInfoListItemUI*>(built);
    row->SetFixedHeight(kRowHeight);
    row->SetName(entry.Name.c_str());
    row->SetNewVersion(entry.NewVersion.c_str());
    row->SetOldVersion(entry.OldVersion.c_str());
    row->SetState(entry.State);
    row->SetUserData(entry.UserData.c_str());
    row->SetCheckEnabled(false);
    m_pUpdateList->Add(row);
    const std::wstring folder = win::GetTempFolder() + L"UpdateData";
    if (!win::DirectoryExists(folder)) win::CreateDirectoryW(folder.c_str());
    entry.FilePath = folder + L"\\" + entry.Name + L".exe";
    m_updateEntries.push_back(std::move(entry));
    m_nRowCount = m_pUpdateList->GetCount();
}

void CSetWnd::OnClick(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    if (msg.pSender == m_pLaterButton) {
        Close(0);
        return;
    }
    if (OnCaptionClick(msg)) return;
    const CDuiString name = msg.pSender->GetName();
    if (name == L"set_in_update_wnd_btn") {
        SetShown(L"update_tishi_layout", false);
        SizeToDefault();
    } else if (name == L"update_fw_and_ap") {
        SelectUpdatePage(1);
    } else if (name == L"update_OK_btn") {
        ConfirmUpdateSelection();
        if (CControlUI* update = m_pm.FindControl(L"update_fw_and_ap")) update->SetEnabled(false);
        SelectUpdatePage(0);
    }
}

void CSetWnd::SelectUpdatePage(int page) {
    CControlUI* c = m_pm.FindControl(L"get_update_tab_layout");
    if (c != nullptr && c->GetInterface(L"TabLayout") != nullptr) static_cast<CTabLayoutUI*>(c)->SelectItem(page);
}

void CSetWnd::ConfirmUpdateSelection() {
    for (int i = 0; i < m_nRowCount; ++i) {
        CUpdateInfoListItemUI* row = GetRow(i);
        if (row == nullptr || (row->GetState() != 1 && row->GetState() != 2)) continue;
        if (row->IsChecked())
            row->SetState(3);
        else
            row->SetCheckEnabled(false);
    }
}

bool CSetWnd::AnyRowChecked() {
    for (int i = 0; i < m_nRowCount; ++i) {
        CUpdateInfoListItemUI* row = GetRow(i);
        if (row != nullptr && row->IsChecked()) return true;
    }
    return false;
}

bool CSetWnd::AllRowsIdle() {
    for (int i = 0; i < m_nRowCount; ++i) {
        CUpdateInfoListItemUI* row = GetRow(i);
        if (row == nullptr) continue;
        const int state = row->GetState();
        if (state != 1 && state != 2 && state != 7 && state != 8) return false;
    }
    return true;
}

void CSetWnd::OnSelectChanged(TNotifyUI& msg) {
    if (msg.pSender == nullptr || msg.pSender->GetName() != L"check_name_select") return;
    CControlUI* update = m_pm.FindControl(L"update_fw_and_ap");
    if (update == nullptr) return;
    const bool any = AnyRowChecked();
    update->SetEnabled(any);
    update->SetVisible(any);
}

void CSetWnd::OnItemSelect(TNotifyUI& msg) {
    if (m_pLanguageCombo == nullptr || msg.pSender != m_pLanguageCombo) return;
    const int index = m_pLanguageCombo->GetCurSel();
    if (m_hOwner == nullptr) return;
    m_nLanguageIndex = index;
    win::SendMessageW(m_hOwner, WM_LANGUAGE_CHANGED, static_cast<WPARAM>(index), 0);
}

void CSetWnd::SetUpdateStatus(int status) {
    static constexpr const wchar_t* kStatusKeys[] = {L"GetUpdateInfoText", L"HaveUpdateInfoText", L"NoUpdateInfoText",
                                                     L"ISUpdateINGText", L"UpdateIsLastText"};
    if (status < 0 || status > 4) return;
    m_nUpdateStatus = status;
    SetShown(L"update_status_ring", status == 0);
    SetShown(L"update_status_image", status != 0);
    CControlUI* text = m_pm.FindControl(L"Update_Status_text");
    if (text == nullptr) return;
    text->SetResourceText(true);
    text->SetText(kStatusKeys[status]);
    if (status != 4) return;
    const CDuiString translated = text->GetText();
    text->SetResourceText(false);
    text->SetText(translated + m_lastCheckDate.c_str());
    if (m_hOwner != nullptr) win::SendMessageW(m_hOwner, WM_CLEAR_UPDATE_BADGE, 0, 0);
}

LRESULT CSetWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    switch (uMsg) {
        case win::WM_CLOSE:
            // A row whose update is under way keeps the window open.
            if (!AllRowsIdle()) bHandled = TRUE;
            break;
        case WM_LANGUAGE_CHANGED:
            if (m_nUpdateStatus == 4) SetUpdateStatus(4);
            win::InvalidateRect(GetHWND(), nullptr, TRUE);
            if (CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
            break;
        case WM_SELECT_LANGUAGE:
            m_nLanguageIndex = static_cast<int>(wParam);
            if (m_pLanguageCombo != nullptr) m_pLanguageCombo->SelectItem1(m_nLanguageIndex, true, false);
            break;
        case win::WM_DPICHANGED:
            FollowDpiChange(wParam, lParam, 0);
            break;
        default:
            break;
    }
    return 0;
}

Json::Value LoadUpdateTimeDocument(const CDuiString& path) {
    return LoadDocumentOrSetAside(path, [](const Json::Value& root) {
        return root.isObject() && root["updatelasttime"].isObject() && root["updatelasttime"]["value"].isString();
    });
}
