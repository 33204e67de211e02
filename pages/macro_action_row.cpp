#include "pages/macro_action_row.h"

#include <string>

#include "link/text_encoding.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"

using namespace DuiLib;

namespace {

constexpr int kRowHeight = 30;
constexpr int kDelayEditHeight = 25;
constexpr UINT kDelayEditChars = 6;
constexpr DWORD kDelayEditColor = 0xFF444444;
constexpr UINT kCentreVertically = 4;

CControlUI* ChildAt(CControlUI* row, int index) {
    auto* box = row ? static_cast<CContainerUI*>(row->GetInterface(L"Container")) : nullptr;
    return box && box->GetCount() == 3 ? box->GetItemAt(index) : nullptr;
}

}  // namespace

CListContainerElementUI* CreateMacroActionRow(CPaintManagerUI* manager) {
    auto* row = new CListContainerElementUI();
    row->SetName(L"macro_action");
    row->SetFixedHeight(kRowHeight);
    row->SetChildVAlign(kCentreVertically);
    row->SetManager(manager, nullptr, false);
    auto* name = new CLabelUI();
    auto* direction = new CLabelUI();
    auto* delay = new CEditUI();
    row->Add(name);
    row->Add(direction);
    row->Add(delay);
    delay->SetName(L"macro_delay");
    ApplyStepStyle(delay, kTextStepStyle);
    delay->SetBkColor(kDelayEditColor);
    delay->SetFixedHeight(kDelayEditHeight);
    delay->SetMaxChar(kDelayEditChars);
    delay->SetNumberOnly(true);
    delay->SetMinMaxNumber(10, 65535);
    return row;
}

CListContainerElementUI* CreateEmptyActionRow() {
    auto* row = new CListContainerElementUI();
    row->SetName(L"macro_action");
    return row;
}

CLabelUI* StepNameLabel(CControlUI* row) {
    CControlUI* c = ChildAt(row, 0);
    return c ? static_cast<CLabelUI*>(c->GetInterface(L"Label")) : nullptr;
}

CLabelUI* StepDirectionLabel(CControlUI* row) {
    CControlUI* c = ChildAt(row, 1);
    return c ? static_cast<CLabelUI*>(c->GetInterface(L"Label")) : nullptr;
}

CEditUI* StepDelayEdit(CControlUI* row) {
    CControlUI* c = ChildAt(row, 2);
    return c ? static_cast<CEditUI*>(c->GetInterface(L"Edit")) : nullptr;
}

void ApplyStepStyle(CLabelUI* label, const wchar_t* style) {
    if (label && label->GetManager() && label->GetManager()->GetStyle(style)) label->SetAttribute(L"style", style);
}

void SetStepName(CControlUI* row, const wchar_t* style, const wchar_t* nameKey) {
    CLabelUI* label = StepNameLabel(row);
    if (!label) return;
    ApplyStepStyle(label, style);
    label->SetResourceText(true);
    label->SetText(nameKey ? nameKey : L"");
}

void SetStepDirection(CControlUI* row, bool down) {
    ApplyStepStyle(StepDirectionLabel(row), down ? kDownStepStyle : kUpStepStyle);
}

void SetStepDistance(CControlUI* row, int distance) {
    CLabelUI* label = StepDirectionLabel(row);
    if (!label) return;
    ApplyStepStyle(label, kTextStepStyle);
    label->SetResourceText(false);
    label->SetText(std::to_wstring(distance).c_str());
}

void SetStepDelay(CControlUI* row, unsigned delay) {
    if (CEditUI* edit = StepDelayEdit(row)) edit->SetText(std::to_wstring(delay).c_str());
}

void SetStepEvent(CControlUI* row, const Json::Value& event) {
    if (row) row->SetUserData(Utf8ToDuiString(event.toStyledString()));
}

Json::Value MakeStepEvent(bool down, int button, int type, unsigned delay) {
    Json::Value event(Json::objectValue);
    event["Action"] = down ? "down" : "up";
    event["Button"] = button;
    event["Type"] = type;
    event["Delay"] = std::to_string(delay);
    return event;
}
