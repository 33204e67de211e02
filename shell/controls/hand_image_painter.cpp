#include "shell/controls/hand_image_painter.h"

#include "platform/ui/render_engine.h"

using namespace DuiLib;

bool PaintHandImage(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                    const CDuiString& description, const CDuiString& imageName) {
    TDrawInfo info;
    info.Parse(description);
    if (!imageName.IsEmpty()) info.sName = imageName;
    return CRenderEngine::DrawImage(hDC, pManager, rcItem, rcPaint, info);
}
