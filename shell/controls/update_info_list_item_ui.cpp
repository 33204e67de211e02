#include "shell/controls/update_info_list_item_ui.h"

#include "shell/controls/hot_row_frame.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kChildNames[] = {
    L"check_name_select",     L"OldRev", L"updateRev", L"update_status_text", L"update_status_ok", L"update_status_ing",
    L"update_progress_value",
};

// What each state shows.
struct StateLook {
    const wchar_t* statusKey;
    bool progress;
    bool done;
    bool checkEnabled;
    DWORD text, selected, disabled;
};

constexpr DWORD kWhite = 0xFFFFFFFF, kGrey = 0xFF666666;
constexpr DWORD kBlue = 0xFF0099FF, kDarkBlue = 0xFF0078C8;

constexpr StateLook kStates[CUpdateInfoListItemUI::kStateCount] = {
    {L"LessUpdateText", false, false, false, kWhite, kWhite, kGrey},
    {L"NeedUpdateText", false, false, true, kBlue, kBlue, kDarkBlue},
    {L"NeedUpdateText", false, false, true, kBlue, kBlue, kDarkBlue},
    {L"DownloadWaitText", false, false, false, kBlue, kBlue, kDarkBlue},
    {L"DownloadIngText", true, false, false, kBlue, kBlue, kDarkBlue},
    {L"DownloadOkText", false, true, false, kBlue, kBlue, kDarkBlue},
    {L"UpdateIngText", true, false, false, kBlue, kBlue, kDarkBlue},
    {L"UpdateOkText", false, false, false, kWhite, kWhite, kGrey},
    {L"UpdateFailText", false, false, true, kBlue, kBlue, kDarkBlue},
};

}  // namespace

CControlUI* CUpdateInfoListItemUI::CreateInstance() { return new CUpdateInfoListItemUI(); }

LPCTSTR CUpdateInfoListItemUI::GetClass() const { return kClassName; }

void CUpdateInfoListItemUI::DrawItemBk(HDC hDC, const RECT& rcItem) {
    CListContainerElementUI::DrawItemBk(hDC, rcItem);
    // The row counts as picked while its check box is.
    CCheckBoxUI* check = CheckBox();
    DrawHotRowFrame(hDC, m_rcItem, check != nullptr && check->IsSelected(), m_uButtonState, m_pOwner);
}

CControlUI* CUpdateInfoListItemUI::ChildControl(Child child) {
    const auto i = static_cast<size_t>(child);
    // A child the skin lacks is looked for again later: rows get their
    // children from the builder after the row itself exists.
    if (m_children[i] == nullptr) m_children[i] = FindSubControl(kChildNames[i]);
    return m_children[i];
}

CCheckBoxUI* CUpdateInfoListItemUI::CheckBox() {
    CControlUI* c = ChildControl(kCheck);
    return c != nullptr ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr;
}

void CUpdateInfoListItemUI::SetShownOf(Child child, bool shown) {
    if (CControlUI* c = ChildControl(child)) c->SetVisible(shown);
}

void CUpdateInfoListItemUI::SetState(int state) {
    if (state == m_nState) return;
    m_nState = state;
    if (state < 0 || state >= kStateCount) return;
    const StateLook& look = kStates[state];
    if (CControlUI* status = ChildControl(kStatusText)) {
        status->SetResourceText(true);
        status->SetText(look.statusKey);
    }
    SetShownOf(kProgressRing, look.progress);
    SetShownOf(kProgressValue, look.progress);
    SetShownOf(kDoneMark, look.done);
    SetCheckEnabled(look.checkEnabled);
    SetCheckTextColor(look.text);
    SetCheckSelectedTextColor(look.selected);
    SetCheckDisabledTextColor(look.disabled);
    SetProgress(0);
}

void CUpdateInfoListItemUI::SetName(LPCTSTR text) {
    if (CControlUI* c = ChildControl(kCheck)) c->SetText(text);
}

void CUpdateInfoListItemUI::SetOldVersion(LPCTSTR text) {
    if (CControlUI* c = ChildControl(kOldRev)) c->SetText(text);
}

void CUpdateInfoListItemUI::SetNewVersion(LPCTSTR text) {
    CControlUI* c = ChildControl(kNewRev);
    if (c == nullptr) return;
    c->SetText(text);
    c->SetVisible(text != nullptr && *text != L'\0');
}

CDuiString CUpdateInfoListItemUI::GetNewVersion() {
    CControlUI* c = ChildControl(kNewRev);
    return c != nullptr ? c->GetText() : CDuiString();
}

void CUpdateInfoListItemUI::SetProgress(int percent) {
    m_nProgress = percent;
    if (CControlUI* c = ChildControl(kProgressValue)) {
        CDuiString text;
        text.Format(L"%d%s", percent, L"%");
        c->SetText(text);
    }
}

bool CUpdateInfoListItemUI::IsChecked() {
    CCheckBoxUI* check = CheckBox();
    return check != nullptr && check->IsSelected();
}

void CUpdateInfoListItemUI::SetChecked(bool checked) {
    if (CCheckBoxUI* check = CheckBox()) check->Selected(checked, true);
}

void CUpdateInfoListItemUI::SetCheckEnabled(bool enabled) {
    if (CControlUI* c = ChildControl(kCheck)) c->SetEnabled(enabled);
}

void CUpdateInfoListItemUI::SetCheckTextColor(DWORD color) {
    if (CCheckBoxUI* check = CheckBox()) check->SetTextColor(color);
}

void CUpdateInfoListItemUI::SetCheckDisabledTextColor(DWORD color) {
    if (CCheckBoxUI* check = CheckBox()) check->SetDisabledTextColor(color);
}

void CUpdateInfoListItemUI::SetCheckSelectedTextColor(DWORD color) {
    if (CCheckBoxUI* check = CheckBox()) check->SetSelectedTextColor(color);
}
