#include "platform/ui/dialog_builder.h"
#include "platform/ui/dui_string.h"
#include "shell/main/control_tables.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

// The builder callback of the main window's skins (the control tables').
CControlUI* CMainWnd::CreateControl(LPCTSTR pstrClass) { return CreateSkinControl(pstrClass, &m_pm); }
