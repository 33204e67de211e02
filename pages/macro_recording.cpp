// The macro tab: recording steps from the keyboard and mouse hooks.
#include <algorithm>
#include <array>
#include <optional>

#include "link/json_read.h"
#include "pages/key_search.h"
#include "link/base/key_tables.h"
#include "pages/macro_action_row.h"
#include "pages/macro_control_ui.h"
#include "pages/macro_files.h"
#include "platform/hooks/hook_api.h"
#include "platform/hooks/key_trap.h"
#include "link/text_encoding.h"
#include "platform/ui/button.h"
#include "platform/ui/edit.h"
#include "platform/ui/list.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/win_window_api.h"

using namespace DuiLib;

namespace {

constexpr UINT kScrollDelayMs = 50;

// The eight handlers, each with its own memory of the last press.
enum Handler {
    kKeyAppend,
    kKeyBefore,
    kKeyAfter,
    kKeyReplace,
    kMouseAppend,
    kMouseBefore,
    kMouseAfter,
    kMouseReplace,
    kHandlerCount
};

struct KeyMemory {
    bool held = false;
    uint32_t scanCode = 0;
    uint32_t extended = 0;
};

std::array<KeyMemory, kHandlerCount> g_keyMemory{};
std::array<UINT, kHandlerCount> g_mouseMemory{};

// What a hook event records.
struct RecordedStep {
    bool mouse = false;
    bool down = false;
    int type = 0;
    int button = 0;
    const wchar_t* name = nullptr;
};

std::optional<RecordedStep> FindKeyStep(Handler handler, WPARAM wParam, LPARAM lParam) {
    const auto* record = reinterpret_cast<const win::KBDLLHOOKSTRUCT*>(lParam);
    if (record == nullptr) return std::nullopt;
    const bool down = wParam == 0x100 || wParam == 0x104;
    const uint32_t extended = record->flags & win::LLKHF_EXTENDED;
    KeyMemory& memory = g_keyMemory[handler];
    const bool remembered = memory.held && memory.scanCode == record->scanCode && memory.extended == extended;
    if (down) {
        if (remembered) return std::nullopt;  // auto-repeat
        memory = {true, record->scanCode, extended};
    } else if (remembered) {
        memory = {};
    }
    if (record->scanCode > 0xFF) return std::nullopt;
    const int row = FindScanCodeRow(uint8_t(record->scanCode), record->flags);
    if (row < 0) return std::nullopt;
    const KeyFunction f = KeyTable[row].function;
    RecordedStep step;
    step.down = down;
    step.type = f.param2 != 0 ? kMacroKey : kMacroModifier;
    step.button = f.param2 != 0 ? f.param2 : f.param1;
    step.name = KeyNameAt(kKeyNameBase + size_t(row));
    return step;
}

}  // namespace

// The parts of the handlers that need the page.
struct MacroRecorder {
    enum class Place { End, Before, After };

    static std::optional<RecordedStep> FindMouseStep(CMacroControlUI& page, Handler handler, WPARAM wParam,
                                                     LPARAM lParam) {
        const auto* record = reinterpret_cast<const MouseHookRecord*>(lParam);
        if (record == nullptr) return std::nullopt;
        int row = -1;
        for (int i = 0; i < 6 && row < 0; ++i)
            if (MouseEventTable[i].message == wParam) row = i;
        if (wParam == 0x20B || wParam == 0x20C) {
            const unsigned which = record->mouseData >> 16;
            const int press = which == 2 ? 6 : which == 1 ? 8 : -1;
            if (press >= 0) row = wParam == 0x20B ? press : press + 1;
        }
        if (row < 0) return std::nullopt;
        UINT& memory = g_mouseMemory[handler];
        if (memory == wParam) return std::nullopt;
        memory = UINT(wParam);
        if ((wParam == 0x201 || wParam == 0x202) && OnStopButton(page, record->x, record->y)) return std::nullopt;
        RecordedStep step;
        step.mouse = true;
        step.button = MouseEventTable[row].buttonMask;
        step.type = MouseEventTable[row].eventCode & 0x7F;
        step.down = (MouseEventTable[row].eventCode & 0x80) != 0;
        step.name = KeyNameAt(kMouseEventNameBase + size_t(row));
        return step;
    }

    // Whether a screen point lies on the page's stop button.
    static bool OnStopButton(CMacroControlUI& page, int x, int y) {
        CControlUI* stop = page.Child(L"macro_btn_stopredio");
        CPaintManagerUI* manager = page.GetManager();
        if (!stop || !manager) return false;
        const RECT pos = stop->GetPos();
        win::POINT topLeft{pos.left, pos.top};
        win::POINT bottomRight{pos.right, pos.bottom};
        win::ClientToScreen(manager->GetPaintWindow(), &topLeft);
        win::ClientToScreen(manager->GetPaintWindow(), &bottomRight);
        return x >= topLeft.x && x < bottomRight.x && y >= topLeft.y && y < bottomRight.y;
    }

    static void Add(CMacroControlUI& page, const RecordedStep& step, Place place) {
        CListUI* actions = page.ActionList();
        if (!actions || page.AppendOverflowRow()) return;
        const int selected = actions->GetCurSel();
        if (place != Place::End && selected < 0) return;
        const int index = place == Place::End ? actions->GetCount() : place == Place::Before ? selected : selected + 1;

        CListContainerElementUI* row = page.NewActionRow();
        actions->AddAt(row, index);
        SetStepName(row, step.mouse ? kMouseStepStyle : kKeyboardStepStyle, step.name);
        SetStepDirection(row, step.down);

        uint32_t measured = 0;
        switch (page.m_nDelayMode) {
            case kDelayFixed:
                measured = uint32_t(page.m_nFixedDelay);
                break;
            case kDelayNone:
                measured = 0;
                break;
            default: {
                const uint32_t now = MacroTickCount();
                measured =
                    std::clamp<uint32_t>(now - page.m_lastTick, CMacroControlUI::kMinDelay, CMacroControlUI::kMaxDelay);
                page.m_lastTick = now;
                break;
            }
        }
        const int count = actions->GetCount();
        const bool first = place == Place::Before ? selected == 0 : count == 1;
        const unsigned own = first                              ? CMacroControlUI::kMinDelay
                             : page.m_nDelayMode == kDelayFixed ? unsigned(page.m_nFixedDelay)
                                                                : unsigned(CMacroControlUI::kMinDelay);
        SetStepDelay(row, own);
        SetStepEvent(row, MakeStepEvent(step.down, step.button, step.type, own));

        if (!first) {
            const int previous = place == Place::End ? count - 2 : place == Place::Before ? selected - 1 : selected;
            CControlUI* before = actions->GetItemAt(previous);
            Json::Value event = MacroRowEvent(before);
            if (!event.isNull()) {
                event["Delay"] = std::to_string(measured);
                SetStepEvent(before, event);
            }
            SetStepDelay(before, measured);
        }
        if (place == Place::Before)
            actions->SelectItem(selected + 1, true);
        else
            actions->SelectItem(index, false);
        if (page.GetManager()) page.GetManager()->SetTimer(&page, CMacroControlUI::kScrollTimer, kScrollDelayMs);
    }

    static void Replace(CMacroControlUI& page, const RecordedStep& step) {
        CListUI* actions = page.ActionList();
        if (!actions || actions->GetCurSel() < 0) return;
        CControlUI* row = actions->GetItemAt(actions->GetCurSel());
        Json::Value event = MacroRowEvent(row);
        if (event.isNull()) return;
        event["Button"] = step.button;
        event["Type"] = step.type;
        SetStepName(row, step.mouse ? kMouseStepStyle : kKeyboardStepStyle, step.name);
        SetStepDirection(row, JsonString(event, "Action") == "down");
        SetStepEvent(row, event);
    }
};

void CMacroControlUI::ClearRepeatMemory() {
    g_keyMemory.fill(KeyMemory{});
    g_mouseMemory.fill(0);
}

void CMacroControlUI::BeginRecording(int delayMode) {
    m_nDelayMode = delayMode;
    m_lastTick = MacroTickCount();
    // A key still remembered from an earlier recording would drop this
    // recording's first press of it.
    ClearRepeatMemory();
    if (delayMode == kDelayFixed) ReadFixedDelay();
    LockEditors(false);
}

void CMacroControlUI::EndRecording() { LockEditors(true); }

void CMacroControlUI::LockEditors(bool enable) {
    for (const wchar_t* name : {L"macro_name_tab", L"macro_action_list"}) {
        CControlUI* c = Child(name);
        if (!c) continue;
        c->SetMouseEnabled(enable);
        if (auto* box = static_cast<CContainerUI*>(c->GetInterface(L"Container"))) box->SetMouseChildEnabled(enable);
    }
    for (const wchar_t* name : {L"macro_tab_macroaction_edit", L"macro_tab_macrodelay_edit"})
        if (CControlUI* c = Child(name)) c->SetEnabled(enable);
    if (CControlUI* c = Child(L"macro_btn_starredio")) c->SetVisible(enable);
    if (CControlUI* c = Child(L"macro_btn_stopredio")) c->SetVisible(!enable);
}

bool CMacroControlUI::IsFixedDelayChecked() {
    CControlUI* c = Child(L"macro_check_time");
    auto* option = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
    return option && option->IsSelected();
}

void CMacroControlUI::ReadFixedDelay() {
    CEditUI* edit = EditNamed(L"macro_fixed_time_edit");
    if (!edit) return;
    const uint32_t typed = ReadMacroDelay(Json::Value(WideToUtf8(edit->GetText())));
    if (typed == uint32_t(m_nFixedDelay)) return;
    uint32_t value = std::min<uint32_t>(typed, kMaxDelay);
    if (value < uint32_t(kMinDelay)) {
        value = kMinDelay;
        ShowPageMessage(L"message_text_31");
    }
    edit->SetText(std::to_wstring(value).c_str());
    edit->SetSel(long(edit->GetText().GetLength()), long(edit->GetText().GetLength()));
    m_nFixedDelay = int(value);
}

void CMacroControlUI::OnRecordKey(WPARAM wParam, LPARAM lParam) {
    if (auto step = FindKeyStep(kKeyAppend, wParam, lParam))
        MacroRecorder::Add(*this, *step, MacroRecorder::Place::End);
}

void CMacroControlUI::OnRecordKeyBefore(WPARAM wParam, LPARAM lParam) {
    if (auto step = FindKeyStep(kKeyBefore, wParam, lParam))
        MacroRecorder::Add(*this, *step, MacroRecorder::Place::Before);
}

void CMacroControlUI::OnRecordKeyAfter(WPARAM wParam, LPARAM lParam) {
    if (auto step = FindKeyStep(kKeyAfter, wParam, lParam))
        MacroRecorder::Add(*this, *step, MacroRecorder::Place::After);
}

void CMacroControlUI::OnRecordKeyReplace(WPARAM wParam, LPARAM lParam) {
    auto step = FindKeyStep(kKeyReplace, wParam, lParam);
    if (!step || AppendOverflowRow()) return;
    MacroRecorder::Replace(*this, *step);
}

void CMacroControlUI::OnRecordMouse(WPARAM wParam, LPARAM lParam) {
    if (auto step = MacroRecorder::FindMouseStep(*this, kMouseAppend, wParam, lParam))
        MacroRecorder::Add(*this, *step, MacroRecorder::Place::End);
}

void CMacroControlUI::OnRecordMouseBefore(WPARAM wParam, LPARAM lParam) {
    if (auto step = MacroRecorder::FindMouseStep(*this, kMouseBefore, wParam, lParam))
        MacroRecorder::Add(*this, *step, MacroRecorder::Place::Before);
}

void CMacroControlUI::OnRecordMouseAfter(WPARAM wParam, LPARAM lParam) {
    if (auto step = MacroRecorder::FindMouseStep(*this, kMouseAfter, wParam, lParam))
        MacroRecorder::Add(*this, *step, MacroRecorder::Place::After);
}

void CMacroControlUI::OnRecordMouseReplace(WPARAM wParam, LPARAM lParam) {
    if (auto step = MacroRecorder::FindMouseStep(*this, kMouseReplace, wParam, lParam))
        MacroRecorder::Replace(*this, *step);
}
