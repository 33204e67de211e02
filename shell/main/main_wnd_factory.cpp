#include "platform/ui/dialog_builder.h"
#include "platform/ui/dui_string.h"
#include "shell/main/control_tables.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

// The builder callback of the main window's skins: a custom class by its
// short name, or a fresh sub-tree of a template file; names compare without
// regard to case. Anything else (and a pending name) gives null, so the
// builder treats the element as any class it does not know.
CControlUI* CMainWnd::CreateControl(LPCTSTR pstrClass) {
    if (pstrClass == nullptr) return nullptr;
    for (const ControlClassRow& row : MainWindowControlClasses()) {
        if (DuiCompareNoCase(row.name, pstrClass) == 0) return row.create != nullptr ? row.create() : nullptr;
    }
    for (const ControlTemplateRow& row : MainWindowControlTemplates()) {
        if (DuiCompareNoCase(row.name, pstrClass) == 0) {
            CDialogBuilder builder;
            return builder.Create(row.file, nullptr, nullptr, &m_pm, nullptr);
        }
    }
    return nullptr;
}
