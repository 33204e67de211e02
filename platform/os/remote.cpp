#include "platform/os/message_system_internal.h"

namespace win::detail {

// Cross-process delivery is not wired yet: windows of other processes are
// never found, so these paths do nothing.
LRESULT RemoteSend(const Window&, UINT, WPARAM, LPARAM, bool* delivered) {
    *delivered = false;
    return 0;
}
BOOL RemotePost(const Window&, UINT, WPARAM, LPARAM) { return FALSE; }
void RemoteBroadcastPost(UINT, WPARAM, LPARAM) {}
HWND RemoteFindWindow(const std::wstring&) { return nullptr; }
void OnLocalWindowGone(HWND) {}
void OnLocalWindowTitle(HWND) {}

}  // namespace win::detail
