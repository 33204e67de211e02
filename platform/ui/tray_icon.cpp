#include "platform/ui/tray_icon.h"

#include "platform/os/clock.h"
#include "platform/os/message_queue.h"
#include "platform/ui/icon_picture.h"
#include "platform/ui/resource_manager.h"

using namespace win;

namespace DuiLib {

CTrayIcon::CTrayIcon() = default;
CTrayIcon::~CTrayIcon() { DeleteTrayIcon(); }

void CTrayIcon::CreateTrayIcon(HWND hRecv, UINT uIconId, LPCTSTR tip, UINT uMessage) {
    DeleteTrayIcon();
    m_hRecv = hRecv;
    m_uId = uIconId;
    m_uMessage = uMessage ? uMessage : WM_USER + 1;
    m_icon = GetDisplayBackend().CreateTrayIcon(this);
    if (!m_icon) return;
    // The window's own icon; a plain mark only when the skin has none.
    cairo_surface_t* icon = LoadIconPictureUI(uIconId);
    if (!icon) {
        icon = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 22, 22);
        cairo_t* cr = cairo_create(icon);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        cairo_arc(cr, 11, 11, 9, 0, 6.2832);
        cairo_fill(cr);
        cairo_destroy(cr);
    }
    m_icon->SetIcon(icon);
    cairo_surface_destroy(icon);
    SetTooltipText(tip);
    m_icon->SetVisible(true);
    m_bEnabled = true;
    m_bVisible = true;
}

void CTrayIcon::DeleteTrayIcon() {
    m_icon.reset();
    m_bEnabled = false;
    m_bVisible = false;
}

bool CTrayIcon::SetTooltipText(LPCTSTR tip) {
    m_sToolTip = tip;
    if (!m_icon) return false;
    m_icon->SetTooltip(m_sToolTip.str());
    return true;
}

bool CTrayIcon::SetToolTipTextMulLan(LPCTSTR key) {
    return SetTooltipText(CResourceManager::GetInstance()->GetText(key));
}

void CTrayIcon::SetShowIcon() {
    if (!m_icon) return;
    m_icon->SetVisible(true);
    m_bVisible = true;
}

void CTrayIcon::SetHideIcon() {
    if (!m_icon) return;
    m_icon->SetVisible(false);
    m_bVisible = false;
}

void CTrayIcon::OnBackendEvent(const BackendEvent& e) {
    if (!m_hRecv) return;
    UINT msg = 0;
    DWORD now = e.time ? e.time : GetTickCount();
    if (e.type == BackendEventType::ButtonDown) {
        bool dbl = now - m_lastClick <= 500;
        m_lastClick = dbl ? 0 : now;
        if (e.button == BackendButton::Left)
            msg = dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        else if (e.button == BackendButton::Right)
            msg = dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    } else if (e.type == BackendEventType::ButtonUp) {
        if (e.button == BackendButton::Left)
            msg = WM_LBUTTONUP;
        else if (e.button == BackendButton::Right)
            msg = WM_RBUTTONUP;
    } else if (e.type == BackendEventType::MouseMove) {
        msg = WM_MOUSEMOVE;
    }
    if (msg) PostMessageW(m_hRecv, m_uMessage, m_uId, static_cast<LPARAM>(msg));
}

}  // namespace DuiLib
