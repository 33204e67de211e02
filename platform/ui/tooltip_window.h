#pragma once

// The small window that shows a control's tooltip near the pointer.

#include "platform/ui/paint_manager.h"
#include "platform/ui/label.h"
#include "platform/ui/window.h"

namespace DuiLib {

class CToolTipWnd : public CWindowWnd {
public:
    CToolTipWnd() = default;
    // Shows the title (a line of its own, left out when empty) above the
    // text, with its top-left at the screen point (owner: the window the
    // tooltip belongs to). Does not take the focus.
    void ShowAt(HWND owner, const CDuiString& title, const CDuiString& text, POINT screen, CPaintManagerUI* fonts);
    void Hide();
    // The window's size for these lines: each measured in the font the tip
    // draws it with, at the manager's scale, with the room around it.
    static SIZE MeasureTip(CPaintManagerUI& pm, const CDuiString& title, const CDuiString& text);
    CPaintManagerUI& GetManager() { return m_pm; }
    CDuiString GetTipTitle() const { return m_sTitle; }
    CDuiString GetTipText() const { return m_sText; }
    LPCTSTR GetWindowClassName() const override { return L"ToolTipWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

private:
    CPaintManagerUI m_pm;
    CDuiString m_sTitle;
    CDuiString m_sText;
    CLabelUI* m_pTitle = nullptr;
    CLabelUI* m_pText = nullptr;
};

}  // namespace DuiLib
