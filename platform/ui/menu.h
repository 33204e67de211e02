#pragma once

// CMenuWnd: a pop-up menu built from a menu skin (root "Menu" with
// "MenuElement" rows, optionally inside "Window"). It opens at a point on
// the side that the alignment names and closes when it loses the focus or
// a row is chosen. Choosing a row posts WM_MENU_COMMAND (0x479) to the
// window of the paint manager given to Init, with wParam a new MenuCmd that
// the receiver frees with CPaintManagerUI::DeletePtr.

#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/window.h"

#include <map>

namespace DuiLib {

inline constexpr UINT WM_MENU_COMMAND_UI = 0x0479;

enum MenuAlignment {
    eMenuAlignment_Left = 1 << 1,
    eMenuAlignment_Top = 1 << 2,
    eMenuAlignment_Right = 1 << 3,
    eMenuAlignment_Bottom = 1 << 4,
};

struct MenuCmd {
    wchar_t szName[256];
    wchar_t szUserData[1024];
    wchar_t szText[1024];
    BOOL bChecked;
};

class CMenuElementUI;

// The list of rows of a menu.
class CMenuUI : public CListUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    SIZE EstimateSize(SIZE szAvailable) override;
};

class CMenuElementUI : public CListContainerElementUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void DoEvent(TEventUI& event) override;
    void PaintText(HDC hDC) override;
    // A row's own colours under the pointer ("hotbkcolor", "hottextcolor"),
    // where the skin gives them, stand for the list's.
    void DrawItemBk(HDC hDC, const RECT& rcItem) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    bool GetChecked() const { return m_bChecked; }
    void SetChecked(bool bCheck) {
        m_bChecked = bCheck;
        Invalidate();
    }

private:
    bool m_bChecked = false;
    DWORD m_dwTextColor = 0xFF000000;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwHotBkColor = 0;
    int m_iFont = -1;
};

class CMenuWnd : public CWindowWnd, public INotifyUI {
public:
    CMenuWnd();
    ~CMenuWnd() override;

    // pOwner: the row this menu hangs from (sub-menus; may be null).
    void Init(CMenuElementUI* pOwner, LPCTSTR xml, POINT point, CPaintManagerUI* pMainPaintManager,
              std::map<CDuiString, bool>* pMenuCheckInfo = nullptr,
              DWORD dwAlignment = eMenuAlignment_Left | eMenuAlignment_Top);
    // Closes every open menu.
    static void DestroyMenu();
    static std::vector<CMenuWnd*> OpenMenus();

    CPaintManagerUI* GetMenuPaintManager() { return &m_pm; }
    LPCTSTR GetWindowClassName() const override { return L"MenuWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void Choose(CMenuElementUI* item);

    CPaintManagerUI m_pm;
    HWND m_hReceiver = nullptr;
    std::map<CDuiString, bool>* m_pCheckInfo = nullptr;
};

}  // namespace DuiLib
