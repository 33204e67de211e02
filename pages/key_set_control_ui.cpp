#include "pages/key_set_control_ui.h"

#include <algorithm>
#include <string>

#include "link/string_util.h"
#include "pages/key_search.h"
#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/list.h"
#include "platform/ui/resource_manager.h"

using namespace DuiLib;

namespace {

constexpr int kMacroItemHeight = 30;
constexpr int kDeviceKindKeyboard = 1;
constexpr uint8_t kDirectionBit = 0x80;
constexpr uint8_t kCountMask = 0x7F;

// What each parameter byte can carry, as the page writes it.
constexpr int kNibbleMax = 15;
constexpr int kScrollCountMin = 1;
constexpr int kScrollCountMax = 127;
constexpr int kFireIntervalMin = 10;
constexpr int kFireCountMin = 1;
constexpr int kByteMax = 255;

CDuiString Number(int value) { return CDuiString(std::to_wstring(value).c_str()); }

CDuiString Numbered(const wchar_t* prefix, int n) { return CDuiString(prefix) + std::to_wstring(n).c_str(); }

// The modifier check of a function's param1 when it is exactly the bit of
// one left-hand modifier (KeyTable rows 0..3 give checks 1..4), else 0.
int ModifierCheckOf(uint8_t param1) {
    for (int row = 0; row < 4; ++row)
        if (KeyTable[row].function.param1 == param1) return row + 1;
    return 0;
}

}  // namespace

CKeySetControlUI::CKeySetControlUI() { SetOptionScope(); }
CKeySetControlUI::~CKeySetControlUI() = default;

CControlUI* CKeySetControlUI::CreateInstance() { return new CKeySetControlUI(); }

LPCTSTR CKeySetControlUI::GetClass() const { return L"KeySetControlUI"; }

LPVOID CKeySetControlUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}

// --- Control look-up ----------------------------------------------------------------

CControlUI* CKeySetControlUI::Find(Slot& slot) {
    if (!slot.control) slot.control = FindSubControl(slot.name);
    return slot.control;
}

CComboUI* CKeySetControlUI::ComboOf(Slot& slot) {
    CControlUI* c = Find(slot);
    return c ? static_cast<CComboUI*>(c->GetInterface(L"Combo")) : nullptr;
}

// An index outside the combo's rows selects none. The combo takes only rows
// that are shown, and a row is not shown while its page or the editing area
// is hidden, or while the list hides it (the keyboard's DPI and gun-key
// categories): the row is shown for the moment of the selection, so that a
// stored function shows whichever page is in front.
void CKeySetControlUI::SelectIn(Slot& slot, int index) {
    CComboUI* combo = ComboOf(slot);
    if (!combo) return;
    if (index < 0 || index >= combo->GetCount()) {
        combo->SelectItem1(-1, false, false);
        return;
    }
    CControlUI* item = combo->GetItemAt(index);
    if (!item || item->IsVisible()) {
        combo->SelectItem1(index, false, false);
        return;
    }
    const bool listed = !(&slot == &m_functionCombo && IsCategoryHidden(GetFunctionItemCategory(index)));
    item->SetVisible(true);
    item->SetInternVisible(true);
    combo->SelectItem1(index, false, false);
    // A row's own hiding drops its selection: hide it as a plain control.
    if (!listed) item->CControlUI::SetVisible(false);
    item->SetInternVisible(combo->IsVisible());
}

bool CKeySetControlUI::IsCategoryHidden(int category) const {
    return m_nDeviceKind == kDeviceKindKeyboard && (category == kCategoryDpi || category == kCategoryGun);
}

int CKeySetControlUI::SelectedIn(Slot& slot) {
    CComboUI* combo = ComboOf(slot);
    return combo ? combo->GetCurSel() : -1;
}

void CKeySetControlUI::SetTextOf(Slot& slot, const CDuiString& text) {
    if (CControlUI* c = Find(slot)) c->SetText(text);
}

CDuiString CKeySetControlUI::TextOf(Slot& slot) {
    CControlUI* c = Find(slot);
    return c ? c->GetText() : CDuiString();
}

COptionUI* CKeySetControlUI::OptionAt(const wchar_t* prefix, int index) {
    CControlUI* c = FindSubControl(Numbered(prefix, index));
    return c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
}

int CKeySetControlUI::ClampedValue(Slot& slot, int lo, int hi) {
    const int typed = TextToInt(TextOf(slot).GetData());
    const int used = std::clamp(typed, lo, hi);
    if (used != typed) SetTextOf(slot, Number(used));
    return used;
}

// --- Building and setting up ------------------------------------------------------------

void CKeySetControlUI::InitControls() {
    for (Slot* slot : {&m_layout,           &m_functionCombo,    &m_functionTabs,    &m_mouseKeyCombo, &m_swingCombo,
                       &m_swingCount,       &m_swingDelay,       &m_swingSpeed,      &m_wheelCombo,    &m_wheelCount,
                       &m_wheelDelay,       &m_wheelSpeed,       &m_dpiCombo,        &m_fireInterval,  &m_fireCount,
                       &m_keyNameEdit,      &m_mediaCombo,       &m_systemCombo,     &m_comboKeyCombo, &m_macroCombo,
                       &m_macroRepeatCombo, &m_macroCycleLayout, &m_macroCycleEdit,  &m_gunCombo,      &m_textTest,
                       &m_saveButton,       &m_cancelButton,     &m_deviceSaveButton}) {
        slot->control = FindSubControl(slot->name);
    }
    if (m_textTest.control) m_textTest.control->SetResourceText(true);
    SetFireIntervalText(L"50");
    SetFireCountText(L"2");
}

void CKeySetControlUI::SetDeviceKind(int kind) {
    m_nDeviceKind = kind;
    CComboUI* combo = ComboOf(m_functionCombo);
    if (!combo) return;
    for (int category : {int(kCategoryDpi), int(kCategoryGun)}) {
        const int index = FindFunctionItem(category);
        if (index >= 0) combo->GetItemAt(index)->SetVisible(!IsCategoryHidden(category));
    }
}

void CKeySetControlUI::SetMacroNames(const std::vector<CDuiString>& names) {
    CComboUI* combo = ComboOf(m_macroCombo);
    if (!combo) return;
    for (const CDuiString& name : names) AddMacroName(name);
    combo->SelectItem1(-1, false, false);
}

void CKeySetControlUI::AddMacroName(const CDuiString& name) {
    CComboUI* combo = ComboOf(m_macroCombo);
    if (!combo) return;
    auto* item = new CListLabelElementUI();
    item->SetFixedHeight(kMacroItemHeight);
    item->SetText(name);
    combo->Add(item);
}

void CKeySetControlUI::RemoveMacroName(int index) {
    CComboUI* combo = ComboOf(m_macroCombo);
    if (!combo || index < 0 || index >= combo->GetCount()) return;
    combo->RemoveAt(index);
}

void CKeySetControlUI::RenameMacroName(int index, const CDuiString& name) {
    CComboUI* combo = ComboOf(m_macroCombo);
    if (!combo || index < 0 || index >= combo->GetCount() || name.IsEmpty()) return;
    combo->GetItemAt(index)->SetText(name);
}

// --- Showing a key ------------------------------------------------------------------------

void CKeySetControlUI::SetKeyAssignment(const KeyListEntry& entry) {
    m_entry = entry;
    ShowAssignment(m_entry.current);
}

void CKeySetControlUI::ShowDefaultAssignment() { ShowAssignment(m_entry.defaults); }

void CKeySetControlUI::ShowCurrentAssignment() { ShowAssignment(m_entry.current); }

void CKeySetControlUI::SetCurrentAssignment(const KeyAssignment& half) { m_entry.current = half; }

void CKeySetControlUI::ShowAssignment(const KeyAssignment& half) {
    // A key that keeps its default shows the default category, whatever its code.
    const KeyFunction shown = half.function == m_entry.defaults.function ? KeyFunction{} : half.function;
    const int category = CategoryOf(shown);
    const int item = category < 0 ? -1 : FindFunctionItem(category);
    if (item < 0) {
        ShowKeySetLayout(false);
        return;
    }
    ShowKeySetLayout(true);
    SelectFunctionItem(item);
    ShowFunctionPage(category);
    ShowFunction(shown);
}

int CKeySetControlUI::CategoryOf(KeyFunction f) {
    switch (f.code) {
        case kFunctionNone:
            return kCategoryDefault;
        case kFunctionMouseButton:
            return kCategoryMouseKey;
        case kFunctionSwing:
            return kCategorySwing;
        case kFunctionWheel:
            return kCategoryWheel;
        case kFunctionDpiStep:
            return kCategoryDpi;
        case kFunctionFire:
            return kCategoryFire;
        case kFunctionKeyboardKey:
            return f.param1 > 8 ? kCategoryCombo : kCategoryKeyboardKey;
        case kFunctionConsumer:
            return kCategoryMedia;
        case kFunctionSystem:
            return kCategorySystem;
        case kFunctionMacro:
        case kFunctionMacroRepeat:
            return kCategoryMacro;
        case kFunctionGun:
            return kCategoryGun;
        case kFunctionCombo:
            return kCategoryCombo;
        default:
            return -1;
    }
}

void CKeySetControlUI::ShowScrollSpeed(uint8_t param1, Slot& delay, Slot& speed) {
    SetTextOf(delay, Number(param1 >> 4));
    SetTextOf(speed, Number(param1 & 0x0F));
}

void CKeySetControlUI::ShowFunction(KeyFunction f) {
    switch (f.code) {
        case kFunctionNone:
            return;
        case kFunctionMouseButton:
            SelectTableRow(m_mouseKeyCombo, MouseKeyTable, kMouseKeyTableCount, f);
            return;
        case kFunctionSwing:
            ShowScrollSpeed(f.param1, m_swingDelay, m_swingSpeed);
            SetSwingCountText(Number(f.param2 & kCountMask));
            SelectSwingDirection(f.param2 >> 7);
            return;
        case kFunctionWheel:
            ShowScrollSpeed(f.param1, m_wheelDelay, m_wheelSpeed);
            if (f.param2 & kDirectionBit) {
                SetWheelCountText(Number(128 - (f.param2 & kCountMask)));
                SelectWheelDirection(1);
            } else {
                SetWheelCountText(Number(f.param2));
                SelectWheelDirection(0);
            }
            return;
        case kFunctionDpiStep:
            SelectTableRow(m_dpiCombo, DpiKeyTable, kDpiKeyTableCount, f);
            return;
        case kFunctionFire:
            SetFireIntervalText(Number(f.param1));
            SetFireCountText(Number(f.param2));
            return;
        case kFunctionKeyboardKey: {
            if (f.param1 > 8) {
                SelectTableRow(m_comboKeyCombo, ComboKeyTable, kComboKeyTableCount, f);
                return;
            }
            // The key among A .. K42 with that usage; none for usage 0 or one the
            // tables do not have, which shows an empty name (the stored function stays).
            const int row = FindKeyTableRow(KeyFunction{kFunctionKeyboardKey, 0, f.param2});
            const bool named = row >= 0;
            if (f.param1 == 0)
                SelectModifierCheck(named ? 0 : -1);
            else
                SelectModifierCheck(ModifierCheckOf(f.param1));
            SetKeyNameText(named ? CDuiString(KeyNameTable[kKeyNameBase + size_t(row)]) : CDuiString());
            return;
        }
        case kFunctionConsumer:
            SelectTableRow(m_mediaCombo, MediaKeyTable, kMediaKeyTableCount, f);
            return;
        case kFunctionSystem:
            SelectTableRow(m_systemCombo, SystemKeyTable, kSystemKeyTableCount, f);
            return;
        case kFunctionMacro:
            if (f.param1 < GetMacroCount()) {
                SelectMacroItem(f.param1);
                SelectMacroRepeatItem(f.param2);
            } else {
                SelectMacroItem(-1);
                SelectMacroRepeatItem(-1);
            }
            ShowMacroCycleLayout(false);
            return;
        case kFunctionMacroRepeat:
            if (f.param1 < GetMacroCount()) {
                SelectMacroItem(f.param1);
                SelectMacroRepeatItem(kMacroRepeatItem);
                ShowMacroCycleLayout(true);
            } else {
                SelectMacroItem(-1);
                SelectMacroRepeatItem(-1);
                ShowMacroCycleLayout(false);
            }
            SetMacroRepeatText(Number(f.param2));
            return;
        case kFunctionGun:
            SelectGunItem(f.param1);
            return;
        case kFunctionCombo:
            return;
        default:
            return;
    }
}

KeyListEntry CKeySetControlUI::BuildAssignment() {
    // No category chosen: the key keeps what it has.
    const int index = GetFunctionIndex();
    if (index >= 0) m_entry.current.function = BuildFunction(GetFunctionItemCategory(index));
    return m_entry;
}

KeyFunction CKeySetControlUI::BuildFunction(int category) {
    const KeyFunction keep = m_entry.current.function;
    switch (category) {
        case kCategoryMouseKey:
            return TableRowFunction(m_mouseKeyCombo, MouseKeyTable, kMouseKeyTableCount, keep);
        case kCategorySwing:
            return BuildScroll(keep, kFunctionSwing, m_swingCount, m_swingDelay, m_swingSpeed, m_swingCombo);
        case kCategoryWheel:
            return BuildScroll(keep, kFunctionWheel, m_wheelCount, m_wheelDelay, m_wheelSpeed, m_wheelCombo);
        case kCategoryDpi:
            return TableRowFunction(m_dpiCombo, DpiKeyTable, kDpiKeyTableCount, keep);
        case kCategoryFire: {
            const int interval = ClampedValue(m_fireInterval, kFireIntervalMin, kByteMax);
            const int count = ClampedValue(m_fireCount, kFireCountMin, kByteMax);
            return KeyFunction{kFunctionFire, uint8_t(interval), uint8_t(count)};
        }
        case kCategoryKeyboardKey:
            return BuildKeyboardKey();
        case kCategoryMedia:
            return TableRowFunction(m_mediaCombo, MediaKeyTable, kMediaKeyTableCount, keep);
        case kCategorySystem:
            return TableRowFunction(m_systemCombo, SystemKeyTable, kSystemKeyTableCount, keep);
        case kCategoryMacro:
            return BuildMacro(keep);
        case kCategoryGun: {
            const int gun = GetGunIndex();
            return gun < 0 ? keep : KeyFunction{kFunctionGun, uint8_t(gun), 0};
        }
        case kCategoryCombo:
            return TableRowFunction(m_comboKeyCombo, ComboKeyTable, kComboKeyTableCount, keep);
        default:
            return m_entry.defaults.function;
    }
}

KeyFunction CKeySetControlUI::BuildScroll(KeyFunction keep, uint8_t code, Slot& count, Slot& delay, Slot& speed,
                                          Slot& direction) {
    const int down = SelectedIn(direction);
    if (down < 0) return keep;
    const int d = ClampedValue(delay, 0, kNibbleMax);
    const int s = ClampedValue(speed, 0, kNibbleMax);
    const int n = ClampedValue(count, kScrollCountMin, kScrollCountMax);
    uint8_t param2 = uint8_t(n);
    // The wheel carries a signed count; the swing a direction bit.
    if (down == 1) param2 = code == kFunctionWheel ? uint8_t((128 - n) | kDirectionBit) : uint8_t(n | kDirectionBit);
    return KeyFunction{code, uint8_t(d << 4 | s), param2};
}

KeyFunction CKeySetControlUI::BuildKeyboardKey() {
    KeyFunction f = m_entry.current.function;
    const int check = GetSelectedModifierCheck();
    const CDuiString text = GetKeyNameEditText();
    const bool noName = text.IsEmpty() || text.CompareNoCase(L"Null") == 0;
    if (check < 0 && noName) return f;
    f.code = kFunctionKeyboardKey;
    f.param1 = check <= 0 ? 0 : uint8_t(1u << (check - 1));
    if (noName) {
        f.param2 = 0;
    } else if (const int row = FindDisplayRow(text.GetData()); row >= 0) {
        f.param2 = KeyTable[row].function.param2;
    }
    return f;
}

KeyFunction CKeySetControlUI::BuildMacro(KeyFunction keep) {
    const int macro = GetMacroIndex();
    const int play = GetMacroRepeatIndex();
    if (macro < 0 || GetMacroCount() == 0 || play < 0) return keep;
    if (play == kMacroRepeatItem)
        return KeyFunction{kFunctionMacroRepeat, uint8_t(macro), uint8_t(ClampedValue(m_macroCycleEdit, 0, kByteMax))};
    return KeyFunction{kFunctionMacro, uint8_t(macro), uint8_t(play)};
}

void CKeySetControlUI::SelectTableRow(Slot& slot, const KeyCodeEntry* table, size_t count, KeyFunction function) {
    const int row = FindRowByParams(table, count, function);
    if (row >= 0) SelectIn(slot, row);
}

KeyFunction CKeySetControlUI::TableRowFunction(Slot& slot, const KeyCodeEntry* table, size_t count, KeyFunction keep) {
    const int row = SelectedIn(slot);
    return row >= 0 && size_t(row) < count ? table[row].function : keep;
}

// --- Control operations --------------------------------------------------------------------

void CKeySetControlUI::ShowKeySetLayout(bool show) {
    if (CControlUI* c = Find(m_layout)) c->SetVisible(show);
    // In place of the editing area, a hint says how to get it.
    if (CControlUI* hint = FindSubControl(L"keyset_hint")) hint->SetVisible(!show);
}

void CKeySetControlUI::ShowMacroCycleLayout(bool show) {
    if (CControlUI* c = Find(m_macroCycleLayout)) c->SetVisible(show);
}

int CKeySetControlUI::GetFunctionIndex() { return SelectedIn(m_functionCombo); }

int CKeySetControlUI::GetFunctionItemCategory(int index) {
    CComboUI* combo = ComboOf(m_functionCombo);
    CControlUI* item = combo && index >= 0 ? combo->GetItemAt(index) : nullptr;
    if (!item || item->GetUserData().IsEmpty()) return -1;
    return TextToInt(item->GetUserData().GetData());
}

int CKeySetControlUI::FindFunctionItem(int category) {
    CComboUI* combo = ComboOf(m_functionCombo);
    if (!combo) return -1;
    for (int i = 0; i < combo->GetCount(); ++i)
        if (GetFunctionItemCategory(i) == category) return i;
    return -1;
}

namespace {

// Gives every list under `c` that has rows but no current one its first
// shown row, without a notification.
void ChooseFirstRows(CControlUI* c) {
    if (!c) return;
    if (auto* combo = static_cast<CComboUI*>(c->GetInterface(L"Combo"))) {
        for (int i = 0; combo->GetCurSel() < 0 && i < combo->GetCount(); ++i)
            if (combo->GetItemAt(i)->IsVisible()) combo->SelectItem1(i, false, false);
        return;
    }
    if (auto* box = static_cast<CContainerUI*>(c->GetInterface(L"Container")))
        for (int i = 0; i < box->GetCount(); ++i) ChooseFirstRows(box->GetItemAt(i));
}

}  // namespace

void CKeySetControlUI::ShowFunctionPage(int category) {
    if (CControlUI* c = Find(m_functionTabs))
        if (auto* tabs = static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout"))) tabs->SelectItem(category, false);
}

void CKeySetControlUI::ChooseFirstRowsOf(int category) {
    CControlUI* c = Find(m_functionTabs);
    auto* tabs = c ? static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout")) : nullptr;
    if (tabs && category >= 0 && category < tabs->GetCount()) ChooseFirstRows(tabs->GetItemAt(category));
}

int CKeySetControlUI::GetMacroRepeatIndex() { return SelectedIn(m_macroRepeatCombo); }

void CKeySetControlUI::EnableSaveButtons(bool enable) {
    for (Slot* slot : {&m_saveButton, &m_cancelButton, &m_deviceSaveButton})
        if (CControlUI* c = Find(*slot)) c->SetEnabled(enable);
}

void CKeySetControlUI::SelectModifierCheck(int index) {
    for (int n = 0; n < kModifierCheckCount; ++n)
        if (COptionUI* o = OptionAt(L"key_ComBox_check_", n)) o->Selected(false, false);
    if (COptionUI* o = index >= 0 ? OptionAt(L"key_ComBox_check_", index) : nullptr) o->Selected(true, false);
}

int CKeySetControlUI::GetSelectedModifierCheck() {
    for (int n = 0; n < kModifierCheckCount; ++n)
        if (COptionUI* o = OptionAt(L"key_ComBox_check_", n); o && o->IsSelected()) return n;
    return -1;
}

void CKeySetControlUI::SelectKeyboardKey(int index) {
    for (int n = 0; n < kPickerKeyCount; ++n) {
        COptionUI* o = OptionAt(L"keyboard_key_", n);
        if (!o) continue;
        if (n == index) {
            o->Selected(true, false);
            m_sPickedKey = o->GetUserData();
            ShowSelectedKeyName(m_sPickedKey);
        } else {
            o->Selected(false, false);
        }
    }
}

int CKeySetControlUI::GetSelectedKeyboardKey() {
    for (int n = 0; n < kPickerKeyCount; ++n)
        if (COptionUI* o = OptionAt(L"keyboard_key_", n); o && o->IsSelected()) return n;
    return -1;
}

void CKeySetControlUI::SetKeyNameText(const CDuiString& key) {
    CControlUI* label = Find(m_textTest);
    CDuiString text;
    if (label) {
        label->SetText(key);
        text = label->GetText();
    } else {
        text = CResourceManager::GetInstance()->GetText(key);
    }
    ShowSelectedKeyName(text);
    m_sKeyNameKey = key;
    m_sKeyNameShown = text;
}

void CKeySetControlUI::RetranslateKeyName() {
    if (m_sKeyNameKey.IsEmpty() || GetKeyNameEditText() != m_sKeyNameShown) return;
    SetKeyNameText(CDuiString(m_sKeyNameKey));
}

void CKeySetControlUI::ShowSelectedKeyName(const CDuiString& text) { SetKeyNameEditText(text); }

// --- Combos and edits ------------------------------------------------------------------------

void CKeySetControlUI::SelectFunctionItem(int index) { SelectIn(m_functionCombo, index); }
void CKeySetControlUI::SelectMouseKeyItem(int index) { SelectIn(m_mouseKeyCombo, index); }
int CKeySetControlUI::GetMouseKeyIndex() { return SelectedIn(m_mouseKeyCombo); }
void CKeySetControlUI::SelectSwingDirection(int index) { SelectIn(m_swingCombo, index); }
int CKeySetControlUI::GetSwingDirection() { return SelectedIn(m_swingCombo); }
void CKeySetControlUI::SelectWheelDirection(int index) { SelectIn(m_wheelCombo, index); }
int CKeySetControlUI::GetWheelDirection() { return SelectedIn(m_wheelCombo); }
void CKeySetControlUI::SelectDpiItem(int index) { SelectIn(m_dpiCombo, index); }
int CKeySetControlUI::GetDpiIndex() { return SelectedIn(m_dpiCombo); }
void CKeySetControlUI::SelectMediaItem(int index) { SelectIn(m_mediaCombo, index); }
int CKeySetControlUI::GetMediaIndex() { return SelectedIn(m_mediaCombo); }
void CKeySetControlUI::SelectSystemItem(int index) { SelectIn(m_systemCombo, index); }
int CKeySetControlUI::GetSystemIndex() { return SelectedIn(m_systemCombo); }
void CKeySetControlUI::SelectComboKeyItem(int index) { SelectIn(m_comboKeyCombo, index); }
int CKeySetControlUI::GetComboKeyIndex() { return SelectedIn(m_comboKeyCombo); }
void CKeySetControlUI::SelectMacroItem(int index) { SelectIn(m_macroCombo, index); }
int CKeySetControlUI::GetMacroIndex() { return SelectedIn(m_macroCombo); }
int CKeySetControlUI::GetMacroCount() {
    CComboUI* combo = ComboOf(m_macroCombo);
    return combo ? combo->GetCount() : 0;
}
void CKeySetControlUI::SelectMacroRepeatItem(int index) { SelectIn(m_macroRepeatCombo, index); }
void CKeySetControlUI::SelectGunItem(int index) { SelectIn(m_gunCombo, index); }
int CKeySetControlUI::GetGunIndex() { return SelectedIn(m_gunCombo); }

void CKeySetControlUI::SetSwingCountText(const CDuiString& text) { SetTextOf(m_swingCount, text); }
CDuiString CKeySetControlUI::GetSwingCountText() { return TextOf(m_swingCount); }
void CKeySetControlUI::SetSwingDelayText(const CDuiString& text) { SetTextOf(m_swingDelay, text); }
CDuiString CKeySetControlUI::GetSwingDelayText() { return TextOf(m_swingDelay); }
void CKeySetControlUI::SetSwingSpeedText(const CDuiString& text) { SetTextOf(m_swingSpeed, text); }
CDuiString CKeySetControlUI::GetSwingSpeedText() { return TextOf(m_swingSpeed); }
void CKeySetControlUI::SetWheelCountText(const CDuiString& text) { SetTextOf(m_wheelCount, text); }
CDuiString CKeySetControlUI::GetWheelCountText() { return TextOf(m_wheelCount); }
void CKeySetControlUI::SetWheelDelayText(const CDuiString& text) { SetTextOf(m_wheelDelay, text); }
CDuiString CKeySetControlUI::GetWheelDelayText() { return TextOf(m_wheelDelay); }
void CKeySetControlUI::SetWheelSpeedText(const CDuiString& text) { SetTextOf(m_wheelSpeed, text); }
CDuiString CKeySetControlUI::GetWheelSpeedText() { return TextOf(m_wheelSpeed); }
void CKeySetControlUI::SetFireIntervalText(const CDuiString& text) { SetTextOf(m_fireInterval, text); }
CDuiString CKeySetControlUI::GetFireIntervalText() { return TextOf(m_fireInterval); }
void CKeySetControlUI::SetFireCountText(const CDuiString& text) { SetTextOf(m_fireCount, text); }
CDuiString CKeySetControlUI::GetFireCountText() { return TextOf(m_fireCount); }
void CKeySetControlUI::SetKeyNameEditText(const CDuiString& text) {
    m_sKeyNameKey.Empty();
    SetTextOf(m_keyNameEdit, text);
}
CDuiString CKeySetControlUI::GetKeyNameEditText() { return TextOf(m_keyNameEdit); }
void CKeySetControlUI::SetMacroRepeatText(const CDuiString& text) { SetTextOf(m_macroCycleEdit, text); }
CDuiString CKeySetControlUI::GetMacroRepeatText() { return TextOf(m_macroCycleEdit); }
