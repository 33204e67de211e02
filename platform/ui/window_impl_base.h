#pragma once

// WindowImplBase: a skinned window. OnCreate builds the skin (GetSkinFile)
// with the window itself as builder callback and then calls InitWindow.
// Messages go first to the window's own handlers, then to
// HandleCustomMessage, then to the paint manager. A press on a static part
// of the caption area moves the window; a press in the size box (the band
// along the edges that the skin's "sizebox" gives) resizes it, and the
// pointer shows the resize cursor there. "closebtn", "minbtn", "maxbtn" and
// "restorebtn" work by default (OnClick).

#include "platform/ui/notify_pump.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/window.h"

namespace DuiLib {

enum UILIB_RESOURCETYPE { UILIB_FILE = 1, UILIB_ZIP, UILIB_RESOURCE, UILIB_ZIPRESOURCE };

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
public:
    WindowImplBase() = default;
    ~WindowImplBase() override = default;

    virtual void InitWindow() {}
    void OnFinalMessage(HWND hWnd) override;
    void Notify(TNotifyUI& msg) override;
    virtual void OnClick(TNotifyUI& msg);
    virtual bool IsInStaticControl(CControlUI* pControl);
    bool IsCaptionHit(LPARAM lParam);
    // True when the point (client coordinates in lParam) lies in the skin's
    // size box of a window that is neither maximised nor minimised; `edge`
    // is the edge or corner a press there resizes.
    bool IsSizeBoxHit(LPARAM lParam, BackendResizeEdge& edge);

    CPaintManagerUI* GetPaintManager() { return &m_pm; }

    CControlUI* CreateControl(LPCTSTR pstrClass) override;
    LPCTSTR QueryControlText(LPCTSTR lpstrId, LPCTSTR lpstrType) override;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);

private:
    LRESULT RouteMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

protected:
    virtual CDuiString GetSkinFolder() { return {}; }
    virtual CDuiString GetSkinFile() = 0;
    virtual CDuiString GetSkinType() { return {}; }
    virtual UILIB_RESOURCETYPE GetResourceType() const { return UILIB_FILE; }
    UINT GetClassStyle() const override { return UI_CS_DBLCLKS; }

    CPaintManagerUI m_pm;

    DUI_DECLARE_MESSAGE_MAP()
};

}  // namespace DuiLib
