// The keyboard page and its screen editor window: opening, showing, hiding
// and closing it, the canvas's colours and tools, clearing, undo.

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_wnd.h"
#include "platform/ui/controls.h"
#include "platform/ui/win_window_api.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kToolCombo = L"Screen_tool_combo_Select";
constexpr const wchar_t* kPixelSizeCombo = L"Pixel_size_combo_Select";
constexpr const wchar_t* kPenColorButton = L"Pen_Color_Opation";
constexpr const wchar_t* kBackgroundColorButton = L"Bkground_Color_Opation";
constexpr const wchar_t* kUndoButton = L"screen_undo_btn";
constexpr DWORD kEditorStyle = 0x10CF0000;  // visible overlapped window with caption, menu, sizing, boxes
constexpr DWORD kEditorExStyle = 0x80;      // tool window
constexpr DWORD kWhite = 0xFFFFFFFF;

CComboUI* Combo(CControlUI* control) {
    return control ? static_cast<CComboUI*>(control->GetInterface(L"Combo")) : nullptr;
}

bool IsOpen(const ScreenWnd* window) { return window != nullptr && window->GetHWND() != nullptr; }

}  // namespace

void CCorvaneKeyboardDevice::ScreenWndDeleter::operator()(ScreenWnd* window) const { delete window; }

void CCorvaneKeyboardDevice::OpenScreenEditor(HWND owner, int dpi) {
    if (m_screenEditor) return;
    const int columns = ScreenColumns(), rows = ScreenRows();
    const int zoom = ScreenWnd::ZoomFor(columns, rows);
    if (zoom == 0) return;  // no screen size: nothing to draw on
    std::unique_ptr<ScreenWnd, ScreenWndDeleter> window(new ScreenWnd(columns, rows));
    if (!window->Create(owner, L"ScreenWnd", kEditorStyle, kEditorExStyle, 0, 0, columns * zoom, rows * zoom)) return;
    window->SetDPI(dpi);
    RECT beside{};
    if (owner && win::GetWindowRect(owner, &beside))
        window->PlaceBeside(beside.left, beside.top, beside.right, beside.bottom);
    m_editorOwner = owner;
    m_editorDpi = dpi;
    m_editorWindow = std::move(window);
    AttachScreenEditor(m_editorWindow.get());
}

void CCorvaneKeyboardDevice::ShowScreenEditor() {
    if (!m_screenEditor) return;
    if (m_editorWindow && !IsOpen(m_editorWindow.get())) {
        // The user closed the window: a new one opens on the current frame.
        m_screenEditor = nullptr;
        m_editorWindow.reset();
        OpenScreenEditor(m_editorOwner, m_editorDpi);
        if (m_screenEditor) SelectFrame(m_currentFrame);
        return;
    }
    if (IsOpen(m_editorWindow.get())) m_editorWindow->ShowWindow(true, true);
}

void CCorvaneKeyboardDevice::HideScreenEditor() {
    if (IsOpen(m_editorWindow.get())) m_editorWindow->ShowWindow(false, false);
}

void CCorvaneKeyboardDevice::PlaceScreenEditor(int left, int top, int right, int bottom) {
    if (IsOpen(m_editorWindow.get())) m_editorWindow->PlaceBeside(left, top, right, bottom);
}

// The tools go back to the pen of size 1 where the skin has them; the
// editor closes even without them, as its frames are gone.
void CCorvaneKeyboardDevice::CloseScreenEditor() {
    if (!m_screenEditor) return;
    if (CContainerUI* strip = GetFrameStrip()) strip->RemoveAll();
    m_frameCount = 1;
    if (CComboUI* tool = Combo(FindSystemControl(kToolCombo))) tool->SelectItem(0, false, false);
    if (CComboUI* size = Combo(FindSystemControl(kPixelSizeCombo))) size->SelectItem(0, false, false);
    m_screenEditor = nullptr;
    if (m_editorWindow) {
        if (IsOpen(m_editorWindow.get())) {
            m_editorWindow->SetScreenWndUpdate(false);
            win::DestroyWindow(m_editorWindow->GetHWND());
        }
        m_editorWindow.reset();
    }
}

void CCorvaneKeyboardDevice::ShowFrameInCanvas(int n) {
    CScreenViewControlUI* frame = GetFrame(n);
    if (!frame || !m_screenEditor) return;
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    for (int r = 0; r < ScreenRows(); ++r)
        for (int c = 0; c < ScreenColumns(); ++c) canvas.Cell(c, r) = frame->Cell(c, r);
    SetPenColor(kWhite);
    SetBackgroundColor(0xFF000000u | frame->GetBackgroundColor().ToRgb());
    m_screenEditor->RedrawCanvas();
}

void CCorvaneKeyboardDevice::SetFrameCell(HWND, int on, uint32_t position) {
    if (CScreenViewControlUI* frame = GetFrame(m_currentFrame)) frame->SetCell(on, position);
}

void CCorvaneKeyboardDevice::UndoCanvas() {
    if (!m_editorWindow) return;
    const ScreenWnd::UndoResult result = m_editorWindow->Undo();
    if (result == ScreenWnd::kUndoNothing) return;
    if (result == ScreenWnd::kUndoRestored) StoreCanvasToFrame();
    EnableScreenUndoButton();
}

void CCorvaneKeyboardDevice::EnableScreenUndoButton() {
    if (CControlUI* undo = FindSystemControl(kUndoButton)) undo->SetEnabled(true);
}

void CCorvaneKeyboardDevice::ClearFrame() {
    if (!m_screenEditor) return;
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    const ScreenColor ground = canvas.background;
    for (ScreenCell& cell : canvas.cells) cell = ScreenCell{ground.red, ground.green, ground.blue, 0};
    m_screenEditor->RedrawCanvas();
    StoreCanvasToFrame();
}

void CCorvaneKeyboardDevice::FillBackgroundColor(DWORD color) {
    SetBackgroundColor(color);
    if (!m_screenEditor) return;
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    const ScreenColor ground = ScreenColor::FromRgb(color);
    for (ScreenCell& cell : canvas.cells)
        if (cell.flag != 1) cell = ScreenCell{ground.red, ground.green, ground.blue, cell.flag};
    m_screenEditor->RedrawCanvas();
    StoreCanvasToFrame();
}

DWORD CCorvaneKeyboardDevice::GetPenColor() {
    if (CControlUI* button = FindSystemControl(kPenColorButton)) return button->GetBkColor();
    return m_screenEditor ? 0xFF000000u | m_screenEditor->Canvas().pen.ToRgb() : kWhite;
}

void CCorvaneKeyboardDevice::SetPenColor(DWORD color) {
    if (CControlUI* button = FindSystemControl(kPenColorButton)) button->SetBkColor(color);
    const ScreenColor rgb = ScreenColor::FromRgb(color);
    if (m_screenEditor) m_screenEditor->Canvas().pen = rgb;
    if (CScreenViewControlUI* frame = GetFrame(m_currentFrame)) frame->SetPenColor(rgb.ToRgb());
}

DWORD CCorvaneKeyboardDevice::GetBackgroundColor() {
    if (CControlUI* button = FindSystemControl(kBackgroundColorButton)) return button->GetBkColor();
    return m_screenEditor ? 0xFF000000u | m_screenEditor->Canvas().background.ToRgb() : 0xFF000000u;
}

void CCorvaneKeyboardDevice::SetBackgroundColor(DWORD color) {
    if (CControlUI* button = FindSystemControl(kBackgroundColorButton)) button->SetBkColor(color);
    const ScreenColor rgb = ScreenColor::FromRgb(color);
    if (m_screenEditor) m_screenEditor->Canvas().background = rgb;
    if (CScreenViewControlUI* frame = GetFrame(m_currentFrame)) frame->SetBackgroundColor(rgb.ToRgb());
}

void CCorvaneKeyboardDevice::OnScreenToolSelected() {
    if (!m_editorWindow) return;
    CComboUI* tool = Combo(FindSystemControl(kToolCombo));
    const int index = tool ? tool->GetCurSel() : 0;
    m_editorWindow->RequestCursorUpdate();
    m_editorWindow->SetPenMode(index == 0 ? ScreenWnd::kPenModePen : ScreenWnd::kPenModeEraser);
}

void CCorvaneKeyboardDevice::OnPixelSizeSelected() {
    if (!m_editorWindow) return;
    CComboUI* size = Combo(FindSystemControl(kPixelSizeCombo));
    m_editorWindow->SetPenSize((size ? size->GetCurSel() : 0) + 1);
}

void CCorvaneKeyboardDevice::InvertFrame() {
    if (!m_screenEditor) return;
    m_screenEditor->RedrawCanvas();
    StoreCanvasToFrame();
}

void CCorvaneKeyboardDevice::InvertAllFrames() {
    if (!m_screenEditor) return;
    m_screenEditor->RedrawCanvas();
    if (CContainerUI* strip = GetFrameStrip())
        for (int i = 0; i < strip->GetCount(); ++i) strip->GetItemAt(i)->NeedUpdate();
    NeedUpdate();
}
