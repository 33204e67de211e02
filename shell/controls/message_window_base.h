#pragma once

// What the message box and the progress window share: the close button, the
// requested DPI with its validation, the title, the button modes, the click
// handling and the move to a new DPI's rectangle. Each window is modal, built
// from its own skin, and deletes itself when its window is destroyed.

#include "platform/ui/UIlib.h"

class CMessageWindowBase : public DuiLib::WindowImplBase {
public:
    // The DPI a secondary window takes for a request: one of 48, 72, 96, 120,
    // 144, 168 and 192, anything else 96.
    static int AcceptedDpi(int dpi);

    // Stores and applies an accepted DPI to this window's paint manager only;
    // a request equal to the stored DPI applies nothing.
    void SetDPI(int dpi);
    int GetDPI() const { return m_nDpi; }
    // Sets the title when the text is not empty and the skin has the title;
    // a key of the language files when `isKey` is above 0, plain text at 0,
    // as the skin says when negative.
    void SetTitleText(const wchar_t* title, int isKey);
    // 0: only the confirm button; 1: confirm and cancel; other values keep
    // what the skin shows.
    virtual void SetButtonMode(int mode);

protected:
    void InitWindow() override;
    // The close button and "cancel_btn" close with 0, "confirm_btn" with 1.
    void OnClick(DuiLib::TNotifyUI& msg) override;
    // The system's own handling (a window-manager close closes with 0).
    DuiLib::LRESULT OnSysCommand(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 DuiLib::BOOL& bHandled) override;
    // WM_DPICHANGED: takes the new DPI and goes to the suggested rectangle,
    // moved right by `shiftX`. Leaves the message unhandled.
    void FollowDpiChange(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam, int shiftX);
    // The text of a control the skin has (isKey as for SetTitleText).
    void SetTextOf(const wchar_t* control, const wchar_t* text, int isKey);
    void SetShown(const wchar_t* control, bool shown);

    DuiLib::CControlUI* m_pCloseButton = nullptr;
    int m_nDpi = 96;
};
