#pragma once

// CSkinFrame: the popup under the main window's skin button in which the
// user picks the main window's background: a picture or a colour of the
// skin "skin.xml", a reset to the default picture, or a picture file of the
// user's choice. It tells the skin observer's receivers and records list
// pictures and the reset in "main.ini"; nothing reads that file back.
//
// The popup never takes the focus and closes when the focus moves elsewhere.
// It deletes itself when its window is destroyed.

#include <string>

#include "platform/ui/UIlib.h"

class CSkinFrame : public DuiLib::CWindowWnd, public DuiLib::INotifyUI {
public:
    // Creates and shows a popup at once, under `anchor` (a control of the
    // owner window) when one is given; null when its window cannot be made.
    static CSkinFrame* Open(DuiLib::HWND owner, DuiLib::CControlUI* anchor);

    void Notify(DuiLib::TNotifyUI& msg) override;
    DuiLib::CPaintManagerUI* GetPaintManager() { return &m_pm; }

    // "main.ini" in the per-user settings folder.
    static std::wstring MainIniPath();

    inline static const wchar_t* const kResetImage = L"common/background.png";

protected:
    DuiLib::LPCTSTR GetWindowClassName() const override { return L"UISkinFrame"; }
    DuiLib::UINT GetClassStyle() const override { return DuiLib::UI_CS_DBLCLKS; }
    DuiLib::LRESULT HandleMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam) override;
    void OnFinalMessage(DuiLib::HWND hWnd) override;

private:
    CSkinFrame(DuiLib::HWND owner, DuiLib::CControlUI* anchor);
    ~CSkinFrame() override = default;
    DuiLib::LRESULT OnCreate();
    void PlaceUnderButton();
    void OnSkinClick(DuiLib::CControlUI* sender);
    void ChooseCustomPicture();
    void ShowTab(int page);
    void MarkOwnerBackground();
    // Marks the offered picture `image`, or with no image the colour
    // `color`, as the chosen one; false when none of them is.
    bool MarkChoice(const std::wstring& image, DuiLib::DWORD color);
    static void WriteMainIni(int flags, const std::wstring& image);

    DuiLib::CPaintManagerUI m_pm;
    DuiLib::HWND m_hOwner = nullptr;
    DuiLib::CControlUI* m_pAnchor = nullptr;
    // While the custom-picture dialog runs, a focus loss only is noted: the
    // popup closes once the click that opened the dialog is handled.
    bool m_dialogOpen = false;
    bool m_focusLostDuringDialog = false;
};
