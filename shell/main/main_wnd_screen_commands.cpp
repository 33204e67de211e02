#include "shell/main/main_wnd.h"

#include <algorithm>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_wnd.h"
#include "platform/os/window.h"
#include "platform/ui/win_window_api.h"

namespace {

// The keyboard page a screen command acts on: a keyboard on its cable.
CCorvaneKeyboardDevice* ScreenKeyboard(CCorvaneUSBDevice* page) {
    return page != nullptr && page->GetDeviceType() == CCorvaneUSBDevice::kTypeKeyboard
               ? dynamic_cast<CCorvaneKeyboardDevice*>(page)
               : nullptr;
}

}  // namespace

void CMainWnd::ShowScreenEditor() {
    CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice());
    if (!keyboard) return;
    const bool existed = keyboard->HasScreenEditor();
    if (existed) keyboard->ShowScreenEditor();
    else keyboard->OpenScreenEditor(GetHWND(), GetDpi());
    // A window the user closed is opened anew by the page: list the one shown.
    ScreenWnd* editor = keyboard->GetScreenEditorWindow();
    std::erase_if(m_floatingWindows, [](DuiLib::HWND h) { return !win::IsWindow(h); });
    if (editor && editor->GetHWND() &&
        std::find(m_floatingWindows.begin(), m_floatingWindows.end(), editor->GetHWND()) == m_floatingWindows.end())
        m_floatingWindows.push_back(editor->GetHWND());
    if (!existed && keyboard->HasScreenEditor()) ReloadScreenFrames();
}

void CMainWnd::CloseScreenEditor() {
    m_floatingWindows.clear();
    if (CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice())) keyboard->CloseScreenEditor();
}

void CMainWnd::HideScreenEditor() {
    for (CCorvaneUSBDevice* page : m_keyboards) {
        CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(page);
        if (!keyboard || !keyboard->IsVisible()) continue;
        keyboard->HideScreenEditor();
        return;
    }
}

void CMainWnd::ReloadScreenFrames() {
    CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice());
    if (!keyboard) return;
    keyboard->LoadFrames();
    keyboard->ShowFrameInCanvas(0);
    keyboard->ResetUndoHistory();
}
void CMainWnd::ShowScreenFramesPage() {}
void CMainWnd::SelectScreenPage(int) {}
void CMainWnd::ImportScreenPicture() {}
void CMainWnd::ImportScreenAnimation() {}
void CMainWnd::ExportScreenPicture() {}
void CMainWnd::ExportScreenVideo() {}
void CMainWnd::PickPenColor() {
    CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice());
    if (!keyboard) return;
    DuiLib::DWORD color = keyboard->GetPenColor();
    if (PickColor(color)) keyboard->SetPenColor(color);
}

void CMainWnd::PickBackgroundColor() {
    CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice());
    if (!keyboard) return;
    DuiLib::DWORD color = keyboard->GetBackgroundColor();
    if (PickColor(color)) keyboard->FillBackgroundColor(color);
}

void CMainWnd::OnScreenPreviewPaint(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) {
    if (CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice()))
        keyboard->SetFrameCell(GetHWND(), static_cast<int>(wParam), static_cast<uint32_t>(lParam));
}

void CMainWnd::OnScreenUndoReady() {
    if (CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice())) keyboard->EnableScreenUndoButton();
}

void CMainWnd::OnScreenCanvasChanged() {
    if (CCorvaneKeyboardDevice* keyboard = ScreenKeyboard(GetCurrentDevice())) keyboard->StoreCanvasToFrame();
}

void CMainWnd::PlaceFloatingWindows() {
    const DuiLib::RECT r = GetWindowRect();
    for (DuiLib::HWND h : m_floatingWindows) {
        if (!win::IsWindow(h)) continue;
        if (auto* editor = dynamic_cast<ScreenWnd*>(DuiLib::CWindowWnd::FromHandle(h)))
            editor->PlaceBeside(r.left, r.top, r.right, r.bottom);
    }
}
