#include "shell/main/color_select_wnd.h"
#include "shell/main/main_wnd.h"

bool CMainWnd::PickColor(DuiLib::DWORD& color) { return RunColorPicker(GetHWND(), m_nDpi, m_hColorPickerWnd, color); }
