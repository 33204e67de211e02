// The keys of the keyboard picture: their tooltips and key-set marks from the
// key list, the selection of a key for editing and the operations that
// replace the key lists.
#include <string>

#include "keyboard/corvane_keyboard_device.h"

#include "keyboard/key_position_table.h"
#include "pages/key_search.h"
#include "pages/key_set_control_ui.h"
#include "link/base/key_tables.h"
#include "platform/ui/button.h"
#include "platform/ui/label.h"
#include "platform/ui/resource_manager.h"
#include "shell/controls/device_key_button_ui.h"

using namespace DuiLib;

CDuiString CCorvaneKeyboardDevice::Translate(const wchar_t* key) {
    if (!key) return CDuiString();
    CControlUI* label = FindSubControl(L"text_test");
    if (!label) return CResourceManager::GetInstance()->GetText(key);
    label->SetResourceText(true);
    label->SetText(key);
    return label->GetText();
}

CDuiString CCorvaneKeyboardDevice::TranslateName(size_t index) { return Translate(KeyNameAt(index)); }

void CCorvaneKeyboardDevice::UpdateKeyLabel(int position, const CDuiString& text) {
    if (position < 0 || size_t(position) >= m_keyButtons.size() || !m_keyButtons[size_t(position)]) return;
    CDeviceKeyButtonUI* button = m_keyButtons[size_t(position)];
    CDuiString defaultName;
    if (size_t(position) < KeyPositionTable.size()) {
        for (size_t row = 0; row < kKeyTableCount; ++row) {
            if (KeyTable[row].function == KeyPositionTable[size_t(position)]) {
                defaultName = TranslateName(kKeyNameBase + row);
                break;
            }
        }
    }
    button->SetUserToolTitle(defaultName);
    button->SetKeySetMarkHidden(defaultName.CompareNoCase(text.GetData()) == 0 ? 1 : 0);
    button->SetUserToolText(defaultName + Translate(L"Key_Set") + text);
}

bool CCorvaneKeyboardDevice::KeyLabelText(const KeyFunction& f, CDuiString* text) {
    auto firstByParams = [&](const KeyCodeEntry* table, size_t count, size_t base) {
        const int row = FindRowByParams(table, count, f);
        if (row < 0) return false;
        *text = TranslateName(base + size_t(row));
        return true;
    };
    // Every row whose parameter 1 matches relabels; the last one stands.
    auto lastByParam1 = [&](const KeyCodeEntry* table, size_t count, size_t base) {
        bool found = false;
        for (size_t row = 0; row < count; ++row) {
            if (table[row].function.param1 != f.param1) continue;
            *text = TranslateName(base + row);
            found = true;
        }
        return found;
    };
    auto firstMouseFunction = [&](bool withParam2) {
        for (size_t row = 0; row < kMouseFunctionTableCount; ++row) {
            const KeyFunction& r = MouseFunctionTable[row].function;
            if (r.code == f.code && r.param1 == f.param1 && (!withParam2 || r.param2 == f.param2)) {
                *text = TranslateName(kMouseFunctionNameBase + row);
                return true;
            }
        }
        return false;
    };
    switch (f.code) {
        case kFunctionMouseButton:
            return lastByParam1(MouseKeyTable, kMouseKeyTableCount, kMouseKeyNameBase);
        case kFunctionSwing:
            *text = TranslateName(kSwingNameBase + ((f.param2 & 0x80) ? 1 : 0));
            return true;
        case kFunctionWheel:
            *text = TranslateName(kWheelNameBase + ((f.param2 & 0x80) ? 1 : 0));
            return true;
        case kFunctionDpiStep:
            return lastByParam1(DpiKeyTable, kDpiKeyTableCount, kDpiNameBase);
        case kFunctionFire:
            *text = TranslateName(kFireName);
            return true;
        case kFunctionDpiShift:
            for (size_t row = 0; row < kMouseFunctionTableCount; ++row) {
                if (MouseFunctionTable[row].function.code != kFunctionDpiShift) continue;
                *text = TranslateName(kMouseFunctionNameBase + row);
                return true;
            }
            return false;
        case kFunctionNone:
        case kFunctionKeyboardKey:
            return KeyboardKeyText(f, text);
        case kFunctionShortcut:
            return firstByParams(ShortcutKeyTable, kShortcutKeyTableCount, kShortcutNameBase);
        case kFunctionShowWindow:
            return firstMouseFunction(true);
        case kFunctionConsumer:
            return firstByParams(MediaKeyTable, kMediaKeyTableCount, kMediaNameBase);
        case kFunctionSystem:
            return firstByParams(SystemKeyTable, kSystemKeyTableCount, kSystemNameBase);
        case kFunctionMacro:
        case kFunctionMacroRepeat:
            if (m_macroNames.empty() || f.param1 >= m_macroNames.size()) return false;
            *text = m_macroNames[f.param1];
            return true;
        case kFunctionDeviceKey:
        case kFunctionMKey:
            if (firstMouseFunction(false)) return true;
            for (size_t row = 0; row < kKeyTableCount; ++row) {
                if (!(KeyTable[row].function == f)) continue;
                *text = TranslateName(kKeyNameBase + row);
                return true;
            }
            return false;
        case 0x15:
        case 0x21:
        case 0x50:
        case 0x60:
        case kFunctionCombo:
        case 0xC0:
            return false;
        default:
            // A function without a label rule is shown as switched off, in the
            // user's language.
            *text = Translate(L"close_text");
            return true;
    }
}

bool CCorvaneKeyboardDevice::KeyboardKeyText(const KeyFunction& f, CDuiString* text) {
    const int row = FindRowByParams(KeyTable, kKeyTableCount, f);
    if (row >= 0) {
        *text = TranslateName(kKeyNameBase + size_t(row));
        return true;
    }
    if (f.param1 == 0 && f.param2 == 0) {
        *text = Translate(L"close_text");
        return true;
    }
    for (size_t r = 0; r < kComboKeyTableCount; ++r) {
        if (!(ComboKeyTable[r].function == f)) continue;
        *text = TranslateName(kComboNameBase + r);
        return true;
    }
    // A combination: every row of the code that shares the modifier byte or
    // the key byte adds its name.
    CDuiString joined;
    for (size_t r = 0; r < kKeyTableCount; ++r) {
        const KeyFunction& k = KeyTable[r].function;
        if (k.code != f.code || (k.param1 != f.param1 && k.param2 != f.param2)) continue;
        if (!joined.IsEmpty()) joined += L"+";
        joined += TranslateName(kKeyNameBase + r);
    }
    if (joined.IsEmpty()) return false;
    *text = joined;
    return true;
}

void CCorvaneKeyboardDevice::UpdateKeyLabels() {
    const std::vector<KeyListEntry> keys = m_keyList;
    for (size_t i = 0; i < keys.size(); ++i) {
        CDuiString text;
        if (KeyLabelText(keys[i].current.function, &text)) UpdateKeyLabel(int(i), text);
    }
}

void CCorvaneKeyboardDevice::SelectKey(int position) {
    // Only a key of the list can be edited (a short "KeyList" has fewer).
    if (position < 0 || size_t(position) >= m_keyList.size()) return;
    CCorvaneUSBDevice::SelectKey(position);
    if (m_pKeySetControl) {
        m_pKeySetControl->ShowKeySetLayout(true);
        m_pKeySetControl->SetKeyAssignment(m_keyList[size_t(position)]);
    }
    DeselectKeyOptions();
}

void CCorvaneKeyboardDevice::SetSecondaryKeyList(const std::vector<KeyListEntry>& keys) {
    m_secondaryKeyList = keys;
    m_profile.SetOtherKeyList(keys);
}

void CCorvaneKeyboardDevice::SetSelectedKeyRecord(const KeyListEntry& entry) {
    if (m_nSelectedKey < 0 || size_t(m_nSelectedKey) >= m_keyList.size()) return;
    m_keyList[size_t(m_nSelectedKey)] = entry;
    m_profile.SetKeyList(m_keyList);
}
