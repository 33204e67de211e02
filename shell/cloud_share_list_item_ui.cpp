#include "shell/cloud_share_list_item_ui.h"

#include "platform/ui/render_engine.h"

using namespace DuiLib;

CControlUI* CCloudShareListItemUI::CreateInstance() { return new CCloudShareListItemUI(); }

LPCTSTR CCloudShareListItemUI::GetClass() const { return kClassName; }

void CCloudShareListItemUI::DrawItemBk(HDC hDC, const RECT& rcItem) {
    CListContainerElementUI::DrawItemBk(hDC, rcItem);
    if (m_bSelected || !(m_uButtonState & UISTATE_HOT) || !m_pOwner) return;
    const TListInfoUI* info = m_pOwner->GetListInfo();
    if (!info || info->sHotImage.IsEmpty()) return;
    // The frame takes the list's colour for selected rows: the row looks
    // picked out without being selected.
    CRenderEngine::DrawRect(hDC, m_rcItem, 1, info->dwSelectedBkColor);
}
