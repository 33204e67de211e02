#pragma once

// One step row of the macro editor's action list: a list row named
// "macro_action" holding the step's name label, its direction label and its
// delay edit "macro_delay", with the stored step as styled JSON in its user
// data. The looks come from the skin's styles.

#include <json/value.h>

#include "platform/ui/dui_string.h"

namespace DuiLib {
class CControlUI;
class CEditUI;
class CLabelUI;
class CListContainerElementUI;
class CPaintManagerUI;
}  // namespace DuiLib

inline constexpr const wchar_t* kKeyboardStepStyle = L"macro_label_keyboard_style";
inline constexpr const wchar_t* kMouseStepStyle = L"macro_label_mouse_style";
inline constexpr const wchar_t* kDownStepStyle = L"macro_label_down_style";
inline constexpr const wchar_t* kUpStepStyle = L"macro_label_up_style";
inline constexpr const wchar_t* kTextStepStyle = L"macro_label_text_style";

// A new row with its three children, attached to `manager` (may be null).
DuiLib::CListContainerElementUI* CreateMacroActionRow(DuiLib::CPaintManagerUI* manager);
// A row with no children and no user data (left by a step added to a full list).
DuiLib::CListContainerElementUI* CreateEmptyActionRow();

// The children of a row; null when the row lacks them.
DuiLib::CLabelUI* StepNameLabel(DuiLib::CControlUI* row);
DuiLib::CLabelUI* StepDirectionLabel(DuiLib::CControlUI* row);
DuiLib::CEditUI* StepDelayEdit(DuiLib::CControlUI* row);

// Applies a style of the skin to a label (none: the label keeps its look).
void ApplyStepStyle(DuiLib::CLabelUI* label, const wchar_t* style);
// The name label shows a name key of the language files.
void SetStepName(DuiLib::CControlUI* row, const wchar_t* style, const wchar_t* nameKey);
void SetStepDirection(DuiLib::CControlUI* row, bool down);
void SetStepDistance(DuiLib::CControlUI* row, int distance);
void SetStepDelay(DuiLib::CControlUI* row, unsigned delay);
// Stores the step as the row's user data (styled JSON).
void SetStepEvent(DuiLib::CControlUI* row, const Json::Value& event);
// A step as stored: "Action", "Button", "Type", "Delay" (decimal text).
Json::Value MakeStepEvent(bool down, int button, int type, unsigned delay);
