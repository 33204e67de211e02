// The macro tab: the steps of the selected macro.
#include <algorithm>

#include "link/json_read.h"
#include "link/text_encoding.h"
#include "pages/key_search.h"
#include "link/base/key_tables.h"
#include "pages/macro_action_row.h"
#include "pages/macro_control_ui.h"
#include "pages/macro_files.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"

using namespace DuiLib;

namespace {

constexpr UINT kScrollDelayMs = 50;
constexpr int kMaxDistance = 255;

enum class Scroll { Top, Bottom, UpFive, DownSeven };

// The MouseEventTable row of a button mask among rows 0..9 (press rows come first).
int MouseRowByMask(int mask) {
    for (int i = 0; i < 10; ++i)
        if (MouseEventTable[i].buttonMask == mask) return i;
    return -1;
}

int MoveRowByCode(int code) {
    for (int i = 10; i < 14; ++i)
        if (MouseEventTable[i].eventCode == code) return i;
    return -1;
}

// The pointer distance of an edit, held to 0..255; the edit shows what is used.
int ReadDistance(CEditUI* edit) {
    if (!edit) return 0;
    const uint32_t value = ReadMacroDelay(Json::Value(WideToUtf8(edit->GetText())));
    const int distance = int(std::min<uint32_t>(value, kMaxDistance));
    edit->SetText(std::to_wstring(distance).c_str());
    return distance;
}

}  // namespace

CListContainerElementUI* CMacroControlUI::NewActionRow() { return CreateMacroActionRow(m_pManager); }

void CMacroControlUI::ShowStoredStep(CListContainerElementUI* row, const Json::Value& event) {
    const int button = JsonInt(event, "Button");
    const int type = JsonInt(event, "Type");
    const bool down = JsonString(event, "Action") == "down";
    SetStepDirection(row, down);
    const wchar_t* name = nullptr;
    switch (type) {
        case kMacroKey:
        case kMacroModifier: {
            const KeyFunction f = type == kMacroKey ? KeyFunction{kFunctionKeyboardKey, 0, uint8_t(button)}
                                                    : KeyFunction{kFunctionKeyboardKey, uint8_t(button), 0};
            const int i = (button >= 0 && button <= 0xFF) ? FindKeyTableRow(f) : -1;
            if (i >= 0) name = KeyNameAt(kKeyNameBase + size_t(i));
            SetStepName(row, kKeyboardStepStyle, name);
            break;
        }
        case kMacroMouseButton: {
            const int i = MouseRowByMask(button);
            if (i >= 0) name = KeyNameAt(kMouseEventNameBase + size_t(i));
            SetStepName(row, kMouseStepStyle, name);
            break;
        }
        case kMacroMoveX:
        case kMacroMoveY: {
            const int i = MoveRowByCode(down ? (type | 0x80) : type);
            if (i >= 0) name = KeyNameAt(kMouseEventNameBase + size_t(i));
            SetStepName(row, kMouseStepStyle, name);
            SetStepDistance(row, button);
            break;
        }
        case 2:
        case 3:
            SetStepName(row, kMouseStepStyle, nullptr);
            ApplyStepStyle(StepDirectionLabel(row), kTextStepStyle);
            if (CLabelUI* label = StepDirectionLabel(row)) label->SetText(L"");
            break;
        default:
            if (CLabelUI* label = StepNameLabel(row)) label->SetText(L"");
            break;
    }
    const uint32_t delay = ReadMacroDelay(JsonMember(event, "Delay"));
    SetStepDelay(row, std::clamp<uint32_t>(delay, kMinDelay, kMaxDelay));
    SetStepEvent(row, event);
}

bool CMacroControlUI::AppendOverflowRow() {
    CListUI* actions = ActionList();
    if (!actions || actions->GetCount() < int(kMaxMacroEvents)) return false;
    actions->Add(CreateEmptyActionRow());
    return true;
}

void CMacroControlUI::MoveSelectedAction(int target, int scrollMode) {
    CListUI* actions = ActionList();
    if (!actions) return;
    const int selected = actions->GetCurSel();
    const int count = actions->GetCount();
    const Json::Value event = MacroRowEvent(actions->GetItemAt(selected));
    actions->UnSelectAllItems();
    actions->RemoveAt(selected);
    CListContainerElementUI* row = event.isNull() ? CreateEmptyActionRow() : NewActionRow();
    if (!event.isNull()) ShowStoredStep(row, event);
    target = std::clamp(target, 0, actions->GetCount());
    actions->AddAt(row, target);
    actions->SelectItem(target, false);
    switch (static_cast<Scroll>(scrollMode)) {
        case Scroll::Top:
            actions->HomeUp();
            break;
        case Scroll::Bottom:
            actions->EndDown();
            break;
        case Scroll::UpFive:
            if (selected + 5 >= count)
                actions->EndDown();
            else
                actions->EnsureVisible(selected + 5);
            break;
        case Scroll::DownSeven:
            if (selected + 7 >= count)
                actions->EndDown();
            else
                actions->EnsureVisible(selected + 7);
            break;
    }
}

void CMacroControlUI::MoveActionToTop() {
    CListUI* actions = ActionList();
    if (!actions || actions->GetCurSel() <= 0) return;
    MoveSelectedAction(0, int(Scroll::Top));
}

void CMacroControlUI::MoveActionToBottom() {
    CListUI* actions = ActionList();
    if (!actions || actions->GetCurSel() < 0 || actions->GetCurSel() >= actions->GetCount() - 1) return;
    MoveSelectedAction(actions->GetCount() - 1, int(Scroll::Bottom));
}

void CMacroControlUI::MoveActionUp() {
    CListUI* actions = ActionList();
    if (!actions || actions->GetCurSel() <= 0) return;
    MoveSelectedAction(actions->GetCurSel() - 1, int(Scroll::UpFive));
}

void CMacroControlUI::MoveActionDown() {
    CListUI* actions = ActionList();
    if (!actions || actions->GetCurSel() < 0 || actions->GetCurSel() >= actions->GetCount() - 1) return;
    MoveSelectedAction(actions->GetCurSel() + 1, int(Scroll::DownSeven));
}

void CMacroControlUI::DeleteSelectedAction() {
    CListUI* actions = ActionList();
    if (!actions || actions->GetCurSel() < 0) return;
    actions->RemoveAt(actions->GetCurSel());
    actions->UnSelectAllItems();
}

void CMacroControlUI::DeleteAllActions() {
    if (CListUI* actions = ActionList()) actions->RemoveAll();
}

void CMacroControlUI::InsertMouseAction(UINT message, int variant) {
    CListUI* actions = ActionList();
    if (!actions) return;
    int mask = 0;
    int code = 0;
    size_t nameIndex = 0;
    bool move = false;
    if (message == 0x200) {
        static constexpr struct {
            int code;
            const wchar_t* edit;
        } kMoves[] = {{0x84, L"mouse_x_left_edit"},
                      {0x04, L"mouse_x_right_edit"},
                      {0x85, L"mouse_y_up_edit"},
                      {0x05, L"mouse_y_down_edit"}};
        if (variant < 0 || variant > 3) return;
        move = true;
        code = kMoves[variant].code;
        mask = ReadDistance(EditNamed(kMoves[variant].edit));
        nameIndex = kMouseEventNameBase + 10 + size_t(variant);
    } else if (message == 0x20B || message == 0x20C) {
        const bool forward = variant == 0;
        mask = forward ? 0x10 : 0x08;
        code = message == 0x20B ? 0x81 : 0x01;
        nameIndex = kMouseKeyNameBase + (forward ? 3 : 4);
    } else {
        int row = -1;
        for (int i = 0; i < 6 && row < 0; ++i)
            if (MouseEventTable[i].message == message) row = i;
        if (row < 0) return;
        mask = MouseEventTable[row].buttonMask;
        code = MouseEventTable[row].eventCode;
        nameIndex = kMouseEventNameBase + size_t(row);
    }
    if (AppendOverflowRow()) return;

    const bool wasEmpty = actions->GetCount() == 0;
    const int selected = std::max(actions->GetCurSel(), 0);
    actions->UnSelectAllItems();
    CListContainerElementUI* row = NewActionRow();
    actions->AddAt(row, wasEmpty ? 0 : selected + 1);
    actions->UnSelectAllItems();
    if (!wasEmpty) actions->SelectItem(selected + 1, true);
    actions->LineDown();

    const bool down = (code & 0x80) != 0;
    SetStepName(row, kMouseStepStyle, KeyNameAt(nameIndex));
    if (move)
        SetStepDistance(row, mask);
    else
        SetStepDirection(row, down);
    SetStepDelay(row, unsigned(m_nFixedDelay));
    SetStepEvent(row, MakeStepEvent(down, mask, code & 0x7F, unsigned(m_nFixedDelay)));
    if (m_pManager) m_pManager->SetTimer(this, kScrollTimer, kScrollDelayMs);
}

void CMacroControlUI::OnScrollTimer() {
    CListUI* actions = ActionList();
    if (actions && actions->GetCurSel() >= 0) actions->EnsureVisible(actions->GetCurSel());
}
