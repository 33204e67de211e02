#include "shell/controls/hot_row_frame.h"

#include "platform/ui/render_engine.h"

using namespace DuiLib;

void DrawHotRowFrame(HDC hDC, const RECT& rcItem, bool picked, UINT buttonState, IListOwnerUI* owner) {
    if (picked || !(buttonState & UISTATE_HOT) || owner == nullptr) return;
    const TListInfoUI* info = owner->GetListInfo();
    if (info == nullptr || info->sHotImage.IsEmpty()) return;
    // The frame takes the list's colour for selected rows.
    CRenderEngine::DrawRect(hDC, rcItem, 1, info->dwSelectedBkColor);
}
