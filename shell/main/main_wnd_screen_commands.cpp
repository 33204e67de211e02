#include <string>

#include "keyboard/corvane_keyboard_device.h"
#include "shell/main/main_wnd.h"
#include "shell/process_state.h"

using namespace DuiLib;

namespace {

// Filters as the file dialogs take them: description and patterns, each
// ended by a zero character, the list ended by one more.
const std::wstring kPictureFilter(L"(*.jpg;*.bmp;*.png)\0*.jpg;*.bmp;*.png\0", 39);
const std::wstring kAnimationFilter(L"Profile Files(*.gif;*.avi)\0*.gif;*.avi\0", 40);
const std::wstring kVideoFilter(L"(*.avi)\0*.avi\0", 15);

// The current page when it is a keyboard.
CCorvaneKeyboardDevice* KeyboardPageOf(CCorvaneUSBDevice* page) {
    if (page == nullptr || page->GetDeviceType() != CCorvaneUSBDevice::kTypeKeyboard) return nullptr;
    return static_cast<CCorvaneKeyboardDevice*>(page->GetInterface(CCorvaneKeyboardDevice::kClassName));
}

}  // namespace

void CMainWnd::ShowScreenEditor() {}
void CMainWnd::CloseScreenEditor() {}
void CMainWnd::HideScreenEditor() {}
void CMainWnd::ReloadScreenFrames() {}
void CMainWnd::ShowScreenFramesPage() {}
void CMainWnd::SelectScreenPage(int) {}

void CMainWnd::ImportScreenPicture() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowOpenFileDialog(CDuiString(kPictureFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    if (keyboard->ImportPicture(path) == -1) {
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
    if (keyboard->ImportAnimation(path) == -1) {
        ShowMainMessage(L"message_erro_over_text", 1, 1);
        return;
    }
    ScreenFramesUnsaved = 1;
}

void CMainWnd::ExportScreenPicture() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowSaveFileDialog(CDuiString(kPictureFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    keyboard->ExportPicture(path);
}

void CMainWnd::ExportScreenVideo() {
    CCorvaneKeyboardDevice* keyboard = KeyboardPageOf(GetCurrentDevice());
    if (keyboard == nullptr) return;
    CDuiString path;
    if (!ShowSaveFileDialog(CDuiString(kVideoFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    keyboard->ExportVideo(path);
}
void CMainWnd::PickPenColor() {}
void CMainWnd::PickBackgroundColor() {}
void CMainWnd::OnScreenPreviewPaint(DuiLib::WPARAM, DuiLib::LPARAM) {}
void CMainWnd::OnScreenUndoReady() {}
void CMainWnd::OnScreenCanvasChanged() {}
void CMainWnd::PlaceFloatingWindows() {}
