#pragma once

// CWebBrowserEventHandler: the events of an embedded web view. Tavrik
// embeds none, but its main window takes part in the interface; every
// operation does nothing by default.

#include "platform/ui/ui_types.h"

namespace DuiLib {

using HRESULT = long;
inline constexpr HRESULT UI_S_OK = 0;
inline constexpr HRESULT UI_E_NOTIMPL = static_cast<HRESULT>(0x80004001L);

inline constexpr DWORD DOCHOSTUIFLAG_NO3DBORDER = 0x00000004;
inline constexpr DWORD DOCHOSTUIFLAG_SCROLL_NO = 0x00000008;
inline constexpr DWORD DOCHOSTUIFLAG_NO3DOUTERBORDER = 0x00200000;

struct DOCHOSTUIINFO {
    DWORD cbSize = sizeof(DOCHOSTUIINFO);
    DWORD dwFlags = 0;
    DWORD dwDoubleClick = 0;
};

class CWebBrowserEventHandler {
public:
    virtual ~CWebBrowserEventHandler() = default;
    virtual void BeforeNavigate2(LPCTSTR /*url*/, bool& /*cancel*/) {}
    virtual void NavigateError(LPCTSTR /*url*/, long /*status*/, bool& /*cancel*/) {}
    virtual void NavigateComplete2(LPCTSTR /*url*/) {}
    virtual void ProgressChange(long /*progress*/, long /*progressMax*/) {}
    virtual void TitleChange(LPCTSTR /*title*/) {}
    virtual void DocumentComplete(LPCTSTR /*url*/) {}
    virtual HRESULT ShowContextMenu(DWORD /*id*/, POINT* /*pt*/, void* /*target*/, void* /*reserved*/) {
        return UI_S_OK;
    }
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* /*info*/) { return UI_S_OK; }
};

}  // namespace DuiLib
