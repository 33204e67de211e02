#include <algorithm>
#include <string>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_wnd.h"
#include "platform/os/window.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/main_wnd.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

// Filters as the file dialogs take them: description and patterns, each
// ended by a zero character, the list ended by one more.
const std::wstring kPictureFilter(L"(*.jpg;*.bmp;*.png)\0*.jpg;*.bmp;*.png\0", 39);
const std::wstring kAnimationFilter(L"Profile Files(*.gif;*.avi)\0*.gif;*.avi\0", 40);
const std::wstring kVideoFilter(L"(*.avi)\0*.avi\0", 15);

// The function tab of the screen page.
constexpr int kScreenFunctionTab = 9;

// Shown when pictures and videos cannot be read or written at all: the
// program's picture and video library is missing.
constexpr const wchar_t* kScreenMediaMissingText = L"screen_media_missing_text";

// The current page when it is a keyboard.
CCorvaneKeyboardDevice* KeyboardPageOf(CCorvaneUSBDevice* page) {
    if (page == nullptr || page->GetDeviceType() != CCorvaneUSBDevice::kTypeKeyboard) return nullptr;
    return static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName));
}

}  // namespace

void CMainWnd::ShowScreenEditor() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (!keyboard) return;
    const bool existed = keyboard->HasScreenEditor();
    if (existed)
        keyboard->ShowScreenEditor();
    else
        keyboard->OpenScreenEditor(GetHWND(), GetDpi());
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
    if (CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice())) keyboard->CloseScreenEditor();
}

void CMainWnd::CloseAllScreenEditors() {
    m_floatingWindows.clear();
    for (CCorvaneUSBDevice* page : m_keyboards) {
        if (page == nullptr) continue;
        if (auto* keyboard =
                static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName)))
            keyboard->CloseScreenEditor();
    }
}

void CMainWnd::HideScreenEditor() {
    for (CCorvaneUSBDevice* page : m_keyboards) {
        CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(page);
        if (!keyboard || !keyboard->IsVisible()) continue;
        keyboard->HideScreenEditor();
        return;
    }
}

void CMainWnd::ShowFloatingWindowsOf(CCorvaneUSBDevice* current) {
    // A screen editor belongs to its keyboard's Screen tab: it hides with the
    // page and comes back when that page is shown on the Screen tab again.
    for (CCorvaneUSBDevice* page : m_keyboards) {
        CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(page);
        if (keyboard && page != current) keyboard->HideScreenEditor();
    }
    // The page keeps its function tab: back on a keyboard whose Screen tab is
    // the current one, its editor shows again.
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(current);
    if (keyboard && keyboard->HasScreenEditor() && keyboard->GetFunctionTab() == kScreenFunctionTab) {
        ScreenTabActive = 1;
        keyboard->ShowScreenEditor();
    }
}

void CMainWnd::ReloadScreenFrames() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (!keyboard) return;
    const int loaded = keyboard->LoadFrames();
    keyboard->ShowFrameInCanvas(0);
    keyboard->ResetUndoHistory();
    if (loaded == CCorvaneKeyboardDevice::kScreenMediaMissing) ShowMainMessage(kScreenMediaMissingText, 1, 0);
}

void CMainWnd::ShowScreenFramesPage() {
    if (CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice())) keyboard->ShowFramesPage();
}

void CMainWnd::SelectScreenPage(int page) {
    if (CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice())) keyboard->SelectScreenPage(page);
}

void CMainWnd::ImportScreenPicture() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowOpenFileDialog(CDuiString(kPictureFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    const int imported = keyboard->ImportPicture(path);
    if (imported == CCorvaneKeyboardDevice::kScreenMediaMissing) {
        ShowMainMessage(kScreenMediaMissingText, 1, 0);
        return;
    }
    if (imported == -1) {
        ShowMainMessage(L"import_erro_text", 1, 1);
        return;
    }
    ScreenFramesUnsaved = 1;
}

void CMainWnd::ImportScreenAnimation() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowOpenFileDialog(CDuiString(kAnimationFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    const int imported = keyboard->ImportAnimation(path);
    if (imported == CCorvaneKeyboardDevice::kScreenMediaMissing) {
        ShowMainMessage(kScreenMediaMissingText, 1, 0);
        return;
    }
    if (imported == -1) {
        // Only the confirm button: there is nothing to choose.
        ShowMainMessage(L"message_erro_over_text", 1, 0);
        return;
    }
    ScreenFramesUnsaved = 1;
}

void CMainWnd::ExportScreenPicture() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowSaveFileDialog(CDuiString(kPictureFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    if (keyboard->ExportPicture(path) == CCorvaneKeyboardDevice::kScreenMediaMissing)
        ShowMainMessage(kScreenMediaMissingText, 1, 0);
}

void CMainWnd::ExportScreenVideo() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowSaveFileDialog(CDuiString(kVideoFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    if (keyboard->ExportVideo(path) == CCorvaneKeyboardDevice::kScreenMediaMissing)
        ShowMainMessage(kScreenMediaMissingText, 1, 0);
}

void CMainWnd::PickScreenPenColor() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (!keyboard) return;
    DuiLib::DWORD color = keyboard->GetPenColor();
    if (PickColor(color)) keyboard->SetPenColor(color);
}

void CMainWnd::PickScreenBackgroundColor() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (!keyboard) return;
    DuiLib::DWORD color = keyboard->GetBackgroundColor();
    if (PickColor(color)) keyboard->FillBackgroundColor(color);
}

void CMainWnd::OnScreenPreviewPaint(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) {
    if (CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice()))
        keyboard->SetFrameCell(GetHWND(), static_cast<int>(wParam), static_cast<uint32_t>(lParam));
}

void CMainWnd::OnScreenUndoReady() {
    if (CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice())) keyboard->EnableScreenUndoButton();
}

void CMainWnd::OnScreenCanvasChanged() {
    if (CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice())) keyboard->StoreCanvasToFrame();
}

void CMainWnd::PlaceFloatingWindows() {
    const DuiLib::RECT r = GetWindowRect();
    for (DuiLib::HWND h : m_floatingWindows) {
        if (!win::IsWindow(h)) continue;
        if (auto* editor = dynamic_cast<ScreenWnd*>(DuiLib::CWindowWnd::FromHandle(h)))
            editor->PlaceBeside(r.left, r.top, r.right, r.bottom);
    }
}
