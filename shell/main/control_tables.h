#pragma once

// The names under which the skins reach the program's own control classes.
//
// Three tables: the main window's builder callback by class name, the same
// callback by template name (a sub-tree built from a file of the skin
// folder), and the process-wide control factory (filled at start-up, used by
// skins built without a callback). A class that is not written yet has no
// create function in its row and its names are in the pending list; the
// change that adds the class fills the row and removes the names.

#include <span>

#include "platform/ui/dialog_builder.h"

struct ControlClassRow {
    const wchar_t* name;
    DuiLib::CreateClass create;  // null while the class is pending
};

struct ControlTemplateRow {
    const wchar_t* name;
    const wchar_t* file;  // relative to the skin folder
};

// The main window's callback, class names, in comparison order.
std::span<const ControlClassRow> MainWindowControlClasses();
// The main window's callback, template names, in comparison order.
std::span<const ControlTemplateRow> MainWindowControlTemplates();
// The control factory's registrations, in registration order.
std::span<const ControlClassRow> FactoryControlClasses();
// Names of the three tables that create nothing yet.
std::span<const wchar_t* const> PendingControlNames();

// Registers every factory row that has a create function.
void RegisterCustomControls();

// The main window's builder callback: a custom class by its short name, or a
// fresh sub-tree of a template file for `pm`; names compare without regard to
// case. Anything else (and a pending name) gives null.
DuiLib::CControlUI* CreateSkinControl(DuiLib::LPCTSTR pstrClass, DuiLib::CPaintManagerUI* pm);
