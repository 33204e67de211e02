#pragma once

// What the settings and the about window share: the five caption buttons
// ("closebtn", "maxbtn", "restorebtn", "minbtn", "menubtn") with their
// clicks, the swap of "maxbtn" and "restorebtn" when the maximised state
// changes, and a system close (Alt+F4, the window manager's close) that
// closes only this window with 0. Both are modal and live for the call that
// shows them: the caller owns the object.

#include "shell/controls/message_window_base.h"

class CSecondaryWnd : public CMessageWindowBase {
public:
    DuiLib::CControlUI* CaptionButton(int index) const { return m_captionButtons[static_cast<size_t>(index)]; }

protected:
    enum CaptionButton { kClose, kMax, kRestore, kMin, kMenu, kCaptionCount };

    void InitWindow() override;
    // The caller owns the object: nothing is freed here.
    void OnFinalMessage(DuiLib::HWND hWnd) override { WindowImplBase::OnFinalMessage(hWnd); }
    // A caption button's click; false for any other sender.
    bool OnCaptionClick(DuiLib::TNotifyUI& msg);
    void OnClick(DuiLib::TNotifyUI& msg) override { OnCaptionClick(msg); }
    DuiLib::LRESULT OnSysCommand(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 DuiLib::BOOL& bHandled) override;

    DuiLib::CControlUI* m_captionButtons[kCaptionCount] = {};
};
