#include "shell/controls/cloud_share_list_item_ui.h"

#include "shell/controls/hot_row_frame.h"

using namespace DuiLib;

CControlUI* CCloudShareListItemUI::CreateInstance() { return new CCloudShareListItemUI(); }

LPCTSTR CCloudShareListItemUI::GetClass() const { return kClassName; }

void CCloudShareListItemUI::DrawItemBk(HDC hDC, const RECT& rcItem) {
    CListContainerElementUI::DrawItemBk(hDC, rcItem);
    DrawHotRowFrame(hDC, m_rcItem, m_bSelected, m_uButtonState, m_pOwner);
}
