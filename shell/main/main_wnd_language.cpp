#include <json/value.h>

#include "link/data_folders.h"
#include "link/text_encoding.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/registry.h"
#include "platform/ui/control.h"
#include "platform/ui/paint_hidden.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/language_list.h"
#include "shell/main/main_wnd.h"
#include "shell/main/monitor_rect.h"
#include "shell/controls/process_state.h"

using namespace DuiLib;

namespace {

// The value "LANGUAGE" reads as this when it is missing.
constexpr win::DWORD kMissingLanguageId = 520;
constexpr int kHighDpi = 144;
constexpr int kHighDpiMinWidth = 1500;
constexpr int kHighDpiMinHeight = 960;

struct FontRow {
    int id;
    int size;
    bool underline;
    bool bold;
};
// The main window's shared fonts after the default one (id 0 first, then the
// default font of size 14).
constexpr FontRow kFonts[] = {
    {1, 14, true, false},  {2, 18, false, false},  {3, 30, false, false},  {4, 16, false, false},
    {5, 20, false, false}, {6, 22, false, false},  {7, 14, false, false},  {8, 12, false, false},
    {9, 11, false, false}, {10, 10, false, false}, {11, 28, false, false}, {50, 18, false, true},
};

}  // namespace

int CMainWnd::LoadLanguageIndex() {
    win::HKEY key = nullptr;
    if (win::RegOpenKeyExW(win::HKEY_CURRENT_USER, LanguageRegistryKey().c_str(), 0, win::KEY_READ, &key) !=
        win::ERROR_SUCCESS) {
        return 0;
    }
    win::DWORD id = kMissingLanguageId;
    win::DWORD type = 0;
    win::DWORD size = sizeof(id);
    if (win::RegQueryValueExW(key, L"LANGUAGE", nullptr, &type, reinterpret_cast<win::BYTE*>(&id), &size) !=
            win::ERROR_SUCCESS ||
        type != win::REG_DWORD) {
        id = kMissingLanguageId;
    }
    win::RegCloseKey(key);
    const int index = Languages().IndexOfId(static_cast<int>(id));
    return index < 0 ? 0 : index;
}

// The key is made when missing: no installer makes it here, and without it
// the choice would be lost at every start.
void CMainWnd::SaveLanguageIndex(int languageId) {
    win::HKEY key = nullptr;
    if (win::RegCreateKeyExW(win::HKEY_CURRENT_USER, LanguageRegistryKey().c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS,
                             nullptr, &key, nullptr) != win::ERROR_SUCCESS) {
        return;
    }
    const auto value = static_cast<win::DWORD>(languageId);
    win::RegSetValueExW(key, L"LANGUAGE", 0, win::REG_DWORD, reinterpret_cast<const win::BYTE*>(&value), sizeof(value));
    win::RegCloseKey(key);
}

// Switches the texts to a language of "Language.config". For an index the
// list does not have (the list missing or short) no language is loaded and
// the stored choice is not overwritten: the texts shown stay.
void CMainWnd::SetLanguage(int index) {
    if (index == m_nLanguageIndex) return;
    RebuildFonts(kUiFontFace);
    m_nLanguageIndex = index;
    const LanguageList languages = Languages();
    const LanguageEntry* entry = languages.At(index);
    if (entry == nullptr) return;
    CResourceManager* resources = CResourceManager::GetInstance();
    resources->SetLanguage(entry->name);
    resources->LoadLanguage(entry->file);
    resources->ReloadText();
    SaveLanguageIndex(entry->id);
    win::InvalidateRect(GetHWND(), nullptr, TRUE);
    m_trayIcon.SetToolTipTextMulLan(kTrayTooltip);
    for (HWND window : {m_hSettingsWnd, m_hAboutWnd, m_hMusicWnd, m_hSpareWnd}) {
        if (window != nullptr) win::SendMessageW(window, WM_LANGUAGE_CHANGED, 0, 0);
    }
    if (m_pm.GetRoot() != nullptr) m_pm.GetRoot()->NeedUpdate();
    m_pm.NeedUpdate();
}

void CMainWnd::RebuildFonts(const CDuiString& face) {
    m_pm.RemoveAllFonts(true);
    m_pm.RemoveAllFonts(false);
    m_pm.AddFont(0, face, 15, false, false, false, true);
    m_pm.SetDefaultFont(face, 14, false, false, false, true);
    for (const FontRow& font : kFonts) m_pm.AddFont(font.id, face, font.size, font.bold, font.underline, false, true);
}

// The language change of the settings window (WM_LANGUAGE_CHANGED) and the
// key-layout refresh (WM_KEYBOARD_LAYOUT_REFRESH). Any process of the user can
// send either, so an index outside "Language.config" changes nothing.
void CMainWnd::OnLanguageMessage(int index, bool writeProfile) {
    if (Languages().At(index) == nullptr) return;
    SetLanguage(index);
    ApplyLanguageToPages(index, writeProfile);
}

// One logical size for every screen: 1000 x 640, at 144 DPI on screens larger
// than 1500 x 960, else at 96 DPI; centred; a hidden window stays hidden.
// A window that already has that DPI, size and place is left as it is: a
// shown one neither moves nor flickers (nor takes the focus from a menu just
// opened) when the screen has not changed.
void CMainWnd::FitToScreen() {
    const bool visible = IsVisible() && !IsIconic();
    // A minimised window is restored to be sized; a hidden one is sized where
    // it is, never put on the screen before it has been drawn at its new size.
    const bool hidden = !IsVisible();
    if (!visible && !hidden) SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
    const RECT monitor = MonitorRectOfWindow(GetWindowRect());
    const int width = monitor.right - monitor.left;
    const int height = monitor.bottom - monitor.top;
    m_nDpi = (width > kHighDpiMinWidth && height > kHighDpiMinHeight) ? kHighDpi : 96;
    const RECT now = GetWindowRect();
    if (m_pm.GetDPIObj()->GetDPI() != m_nDpi || now.right - now.left != kFitWidth * m_nDpi / 96 ||
        now.bottom - now.top != kFitHeight * m_nDpi / 96) {
        // Sized where it is (it is centred next): never at another place first.
        CPaintManagerUI::SetAllDPI(96);
        win::SetWindowPos(GetHWND(), nullptr, 0, 0, kFitWidth, kFitHeight,
                          win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_FRAMECHANGED);
    }
    CPaintManagerUI::SetAllDPI(m_nDpi);
    CenterWindow();
    if (!visible && IsVisible()) win::ShowWindow(GetHWND(), win::SW_HIDE);
    if (hidden) PaintWhileHidden(m_pm);  // shown later with the picture of its new size
    PlaceFloatingWindows();
}

void CMainWnd::OnDisplayChange() { FitToScreen(); }

LanguageList CMainWnd::Languages() const { return LanguageList::Load(); }
