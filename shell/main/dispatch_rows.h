#pragma once

// The rows of the notification handlers' tables and the walk through them.
// A handler keeps its tables as static arrays in the order its rows are
// tested: a family table (prefix + index) and one or more name chains. In
// each table the first matching row acts; the chains run one after another.

#include <vector>

#include "platform/ui/ui_types.h"

class CMainWnd;
class CCorvaneUSBDevice;

namespace dispatch {

// The current device a row needs before it acts.
enum class Needs { Always, Keyboard, Mouse, Never };

// Which indexes a family accepts besides "decimal digits fitting an int".
enum class Bound {
    Any,       // the operation checks the index against its own count
    DpiStage,  // 0..4, the mouse page's five DPI stages
    PageKeys,  // below the current page's key count
};

// page: the current device (null when there is none); index: the family
// member's index (0 for name rows).
using Action = void (*)(CMainWnd& wnd, CCorvaneUSBDevice* page, int index, DuiLib::TNotifyUI& msg);

struct FamilyRow {
    const wchar_t* prefix;
    Needs needs;
    Bound bound;
    Action run;
};

struct NameRow {
    std::vector<const wchar_t*> names;  // any of them
    Needs needs;
    Action run;
    bool exactCase = false;
};

inline constexpr int kDpiStageCount = 5;

// Told every name and family prefix of each table walked while it is set
// (family: true for a prefix). The skins are checked against the tables
// this way: a name that no skin shows is a command no user can reach.
using TableListener = void (*)(const wchar_t* name, bool family);
void SetTableListener(TableListener listener);

// The first family row that the sender's name is a member of and whose
// device condition and bound hold runs. True when a row ran.
bool RunFamily(CMainWnd& wnd, const std::vector<FamilyRow>& rows, DuiLib::TNotifyUI& msg);
// The row of the chain whose name equals the sender's runs when its device
// condition holds. True when it ran.
bool RunChain(CMainWnd& wnd, const std::vector<NameRow>& chain, DuiLib::TNotifyUI& msg);

}  // namespace dispatch
