#include "shell/controls/msg_wnd.h"

#include "platform/os/messages.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;

void CMsgWnd::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    OpenMessageBoxes.erase(this);
    delete this;
}

LRESULT CMsgWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (uMsg == win::WM_DPICHANGED) FollowDpiChange(wParam, lParam, 0);
    bHandled = FALSE;
    return 0;
}
