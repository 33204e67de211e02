#pragma once

// CTrayIcon: the icon in the notification area. Pointer events on it are
// posted to the receiving window as the tray message (default WM_USER + 1)
// with wParam the icon id and lParam the mouse message (WM_LBUTTONDOWN,
// WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, ...).

#include "platform/ui/display_backend.h"
#include "platform/ui/ui_types.h"

#include <memory>

namespace DuiLib {

class CTrayIcon : public IBackendWindowSink {
public:
    CTrayIcon();
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    void CreateTrayIcon(HWND hRecvWnd, UINT uIconIDResource, LPCTSTR lpszToolTipText = nullptr, UINT uMessage = 0);
    void DeleteTrayIcon();
    bool SetTooltipText(LPCTSTR lpszToolTipText);
    // Sets the tooltip from a language key (the text of the current language).
    bool SetToolTipTextMulLan(LPCTSTR lpszKey);
    CDuiString GetTooltipText() const { return m_sToolTip; }
    void SetShowIcon();
    void SetHideIcon();
    bool IsVisible() const { return m_bVisible; }
    bool IsEnabled() const { return m_bEnabled; }
    UINT GetMessage() const { return m_uMessage; }

    void OnBackendEvent(const BackendEvent& event) override;

private:
    std::unique_ptr<IBackendTrayIcon> m_icon;
    HWND m_hRecv = nullptr;
    UINT m_uId = 0;
    UINT m_uMessage = 0;
    CDuiString m_sToolTip;
    bool m_bEnabled = false;
    bool m_bVisible = false;
    DWORD m_lastClick = 0;
};

}  // namespace DuiLib
