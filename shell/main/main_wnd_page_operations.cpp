#include "shell/main/main_wnd.h"

// The device pages' operations that the notification dispatch reaches. The
// keyboard, mouse, key-set and profile-bar features fill them; until then a
// page has nothing to do and every result is 0.

int CMainWnd::RunPageOperation(CCorvaneUSBDevice*, PageOperation, int) { return 0; }
int CMainWnd::GetFrameLimit(CCorvaneUSBDevice*) { return 0; }
void CMainWnd::SelectKeySetKey(CCorvaneUSBDevice*, int) {}
void CMainWnd::SelectProfileBarTab(CCorvaneUSBDevice*, int) {}
void CMainWnd::ClearFloatingWindows() {}
