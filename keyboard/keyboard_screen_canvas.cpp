// The keyboard page and its screen editor: choosing the current frame, moving
// cells between the canvas and the frame, the start of the undo history.

#include "keyboard/corvane_keyboard_device.h"
#include "platform/ui/controls.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

void CCorvaneKeyboardDevice::SelectFrame(int n) {
    CContainerUI* strip = GetFrameStrip();
    if (!strip) return;
    m_currentFrame = n;
    for (int i = 0; i < strip->GetCount(); ++i) {
        if (auto* option = static_cast<COptionUI*>(strip->GetItemAt(i)->GetInterface(L"Option")))
            option->Selected(i == n, false);
    }
    ScreenUndoPosition = 0;
    CScreenViewControlUI* frame = GetFrame(n);
    if (!frame || !m_screenEditor) return;
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    for (int r = 0; r < ScreenRows(); ++r)
        for (int c = 0; c < ScreenColumns(); ++c) canvas.Cell(c, r) = frame->Cell(c, r);
    canvas.pen = frame->GetPenColor();
    canvas.background = frame->GetBackgroundColor();
    m_screenEditor->RedrawCanvas();
    ResetUndoHistory();
}

void CCorvaneKeyboardDevice::StoreCanvasToFrame() {
    CScreenViewControlUI* frame = GetFrame(m_currentFrame);
    if (!frame || !m_screenEditor) return;
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    for (int r = 0; r < ScreenRows(); ++r)
        for (int c = 0; c < ScreenColumns(); ++c) frame->Cell(c, r) = canvas.Cell(c, r);
    frame->NeedUpdate();
}

void CCorvaneKeyboardDevice::ResetUndoHistory() {
    if (m_screenEditor) {
        ScreenCanvas& canvas = m_screenEditor->Canvas();
        canvas.EnsureHistory();
        for (int i = 0; i < 2; ++i) {
            canvas.history[size_t(i)].cells = canvas.cells;
            canvas.history[size_t(i)].valid = 0;
        }
    }
    if (CControlUI* undo = FindSystemControl(L"screen_undo_btn")) undo->SetEnabled(false);
}
