#include "shell/hand_image_painter.h"

#include <algorithm>

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"

using namespace DuiLib;

bool PaintHandImage(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                    const CDuiString& description, const CDuiString& imageName) {
    if (!pManager) return false;
    TDrawInfo info;
    info.Parse(description);
    if (!imageName.IsEmpty()) info.sName = imageName;
    if (info.sName.IsEmpty()) return false;

    RECT target = rcItem;
    const RECT& d = info.rcDest;
    if (d.left || d.top || d.right || d.bottom) {
        target.left = rcItem.left + d.left;
        target.top = rcItem.top + d.top;
        target.right = std::min<long>(rcItem.left + d.right, rcItem.right);
        target.bottom = std::min<long>(rcItem.top + d.bottom, rcItem.bottom);
    }

    const TImageInfo* image = pManager->GetImageEx(info.sName, info.sResType.IsEmpty() ? nullptr : info.sResType.GetData(),
                                                   info.dwMask, info.bHSL);
    if (!image || !image->surface) return false;

    RECT source = info.rcSource;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
        source = RECT{0, 0, image->nX, image->nY};
    source.right = std::min<long>(source.right, image->nX);
    source.bottom = std::min<long>(source.bottom, image->nY);

    RECT visible;
    if (!IntersectRectUI(visible, target, rcPaint)) return true;
    CRenderEngine::DrawImage(hDC, image->surface, target, rcPaint, source, info.rcCorner, image->bAlpha, info.uFade,
                             info.bHole, info.bTiledX, info.bTiledY);
    return true;
}
