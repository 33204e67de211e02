#pragma once

// A control that holds the place of a window of its own: the attached window
// is moved and sized to the control's rectangle on the screen and shown or
// hidden with the control.

#include "platform/ui/control.h"

class CWndUI : public DuiLib::CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"Wnd";

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void SetPos(DuiLib::RECT rc, bool bNeedInvalidate = true) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;

    // Attaches a window (null detaches) and brings it to the control at once.
    // The window stays the caller's; the control only places it.
    void Attach(DuiLib::HWND hWnd);
    DuiLib::HWND GetHostedWindow() const { return m_hHosted; }

private:
    void SyncHostedWindow();

    DuiLib::HWND m_hHosted = nullptr;
};
