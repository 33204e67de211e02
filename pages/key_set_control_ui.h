#pragma once

// The key-assignment page of a keyboard or mouse page. It shows the function
// of the key selected on the device picture in one of twelve categories,
// lets the user edit it, and turns the editors back into a KeyFunction. It
// keeps the selected key's two halves and nothing else and sends nothing: the
// main window hands what BuildAssignment returns to the device.
//
// Values read from the edits are clamped to what their parameter can carry
// (and the edit then shows the value used), so a typed 300 never becomes 44.

#include <cstdint>
#include <vector>

#include "link/base/key_list_entry.h"
#include "link/base/key_tables.h"
#include "platform/ui/container.h"
#include "platform/ui/dui_string.h"

namespace DuiLib {
class CComboUI;
class COptionUI;
class CTabLayoutUI;
}  // namespace DuiLib

// The category of a key's function: the user data of the category items and
// the page index of "function_switch_tablayout".
enum KeyFunctionCategory : int {
    kCategoryDefault = 0,
    kCategoryMouseKey = 1,
    kCategorySwing = 2,
    kCategoryWheel = 3,
    kCategoryDpi = 4,
    kCategoryFire = 5,
    kCategoryKeyboardKey = 6,
    kCategoryMedia = 7,
    kCategorySystem = 8,
    kCategoryMacro = 9,
    kCategoryGun = 10,
    kCategoryCombo = 11,
    kCategoryCount = 12,
};

class CKeySetControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\KeySetControl.xml";
    static constexpr const wchar_t* kClassName = L"CKeySetControlUI";
    static constexpr int kModifierCheckCount = 5;
    static constexpr int kPickerKeyCount = 126;
    static constexpr int kMacroRepeatItem = 4;

    CKeySetControlUI();
    ~CKeySetControlUI() override;
    static DuiLib::CControlUI* CreateInstance();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // --- Building and setting up ---------------------------------------------
    // Finds the controls and sets the fire edits to "50" and "2".
    void InitControls();
    // 1 keyboard (hides the DPI and gun-key categories), 2 mouse.
    void SetDeviceKind(int kind);
    int GetDeviceKind() const { return m_nDeviceKind; }
    void SetOwnerWindow(void* window) { m_hOwner = window; }
    void* GetOwnerWindow() const { return m_hOwner; }
    // The macro combo: one item per macro name, in macro-list order.
    void SetMacroNames(const std::vector<DuiLib::CDuiString>& names);
    void AddMacroName(const DuiLib::CDuiString& name);
    void RemoveMacroName(int index);
    void RenameMacroName(int index, const DuiLib::CDuiString& name);

    // --- Showing a key ---------------------------------------------------------
    void SetKeyAssignment(const KeyListEntry& entry);
    void ShowDefaultAssignment();
    void ShowCurrentAssignment();
    // Replaces the stored current half; the controls stay as they are.
    void SetCurrentAssignment(const KeyAssignment& half);
    // Fills the controls from a half. It only shows: the stored halves stay.
    void ShowAssignment(const KeyAssignment& half);
    // Builds the function from the controls, stores it as the current
    // function and returns the current and default halves.
    KeyListEntry BuildAssignment();
    const KeyListEntry& GetStoredEntry() const { return m_entry; }

    // --- Control operations ------------------------------------------------------
    void ShowKeySetLayout(bool show);
    void ShowMacroCycleLayout(bool show);
    int GetFunctionIndex();
    // The category of item `index`; -1 when it has none.
    int GetFunctionItemCategory(int index);
    // The first item (hidden ones count) of the category; -1 when none.
    int FindFunctionItem(int category);
    void ShowFunctionPage(int category);
    // A page the user turns to shows a choice: its lists without a current
    // row show their first one, which is also what the assignment then
    // takes (a stored function keeps whatever it shows).
    void ChooseFirstRowsOf(int category);
    int GetMacroRepeatIndex();
    void EnableSaveButtons(bool enable);
    // Selects modifier check `index` alone; -1 selects none.
    void SelectModifierCheck(int index);
    int GetSelectedModifierCheck();
    // Selects picker key `index` alone and shows its name; outside 0..125
    // none is selected.
    void SelectKeyboardKey(int index);
    int GetSelectedKeyboardKey();
    const DuiLib::CDuiString& GetPickedKeyText() const { return m_sPickedKey; }
    // Shows the language text of `key` as the key's name.
    void SetKeyNameText(const DuiLib::CDuiString& key);
    // Shows the key name that SetKeyNameText put in the name edit once more,
    // in the language of now, unless the edit has changed since.
    void RetranslateKeyName();
    void ShowSelectedKeyName(const DuiLib::CDuiString& text);

    // Combos: select (no notification) and read the selected index (-1 none).
    void SelectFunctionItem(int index);
    void SelectMouseKeyItem(int index);
    int GetMouseKeyIndex();
    void SelectSwingDirection(int index);
    int GetSwingDirection();
    void SelectWheelDirection(int index);
    int GetWheelDirection();
    void SelectDpiItem(int index);
    int GetDpiIndex();
    void SelectMediaItem(int index);
    int GetMediaIndex();
    void SelectSystemItem(int index);
    int GetSystemIndex();
    void SelectComboKeyItem(int index);
    int GetComboKeyIndex();
    void SelectMacroItem(int index);
    int GetMacroIndex();
    int GetMacroCount();
    void SelectMacroRepeatItem(int index);
    void SelectGunItem(int index);
    int GetGunIndex();

    // Edits.
    void SetSwingCountText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetSwingCountText();
    void SetSwingDelayText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetSwingDelayText();
    void SetSwingSpeedText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetSwingSpeedText();
    void SetWheelCountText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetWheelCountText();
    void SetWheelDelayText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetWheelDelayText();
    void SetWheelSpeedText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetWheelSpeedText();
    void SetFireIntervalText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetFireIntervalText();
    void SetFireCountText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetFireCountText();
    void SetKeyNameEditText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetKeyNameEditText();
    void SetMacroRepeatText(const DuiLib::CDuiString& text);
    DuiLib::CDuiString GetMacroRepeatText();

private:
    // One combo or edit of the page: its name and the pointer found for it.
    struct Slot {
        const wchar_t* name;
        DuiLib::CControlUI* control = nullptr;
    };

    DuiLib::CControlUI* Find(Slot& slot);
    DuiLib::CComboUI* ComboOf(Slot& slot);
    void SelectIn(Slot& slot, int index);
    int SelectedIn(Slot& slot);
    void SetTextOf(Slot& slot, const DuiLib::CDuiString& text);
    DuiLib::CDuiString TextOf(Slot& slot);
    DuiLib::COptionUI* OptionAt(const wchar_t* prefix, int index);
    // The value of an edit clamped to lo..hi; the edit shows the value used
    // when it differed.
    int ClampedValue(Slot& slot, int lo, int hi);
    // Selects the row of `table` whose parameters equal the function's; the
    // selection stays when none does.
    void SelectTableRow(Slot& slot, const KeyCodeEntry* table, size_t count, KeyFunction function);
    // The function of the selected row of the combo, or `keep` with no row.
    KeyFunction TableRowFunction(Slot& slot, const KeyCodeEntry* table, size_t count, KeyFunction keep);
    // The category that shows a function; -1 for none.
    static int CategoryOf(KeyFunction function);
    // Fills the controls of the function's category.
    void ShowFunction(KeyFunction function);
    // The list hides this category's item (the keyboard has no DPI and guns).
    bool IsCategoryHidden(int category) const;
    KeyFunction BuildFunction(int category);
    KeyFunction BuildScroll(KeyFunction keep, uint8_t code, Slot& count, Slot& delay, Slot& speed, Slot& direction);
    KeyFunction BuildKeyboardKey();
    KeyFunction BuildMacro(KeyFunction keep);
    void ShowScrollSpeed(uint8_t param1, Slot& delay, Slot& speed);

    int m_nDeviceKind = 0;
    void* m_hOwner = nullptr;
    KeyListEntry m_entry{};
    DuiLib::CDuiString m_sPickedKey;
    // The language key of the name in the name edit and the text it gave.
    DuiLib::CDuiString m_sKeyNameKey;
    DuiLib::CDuiString m_sKeyNameShown;

    Slot m_layout{L"keyset_layout"};
    Slot m_functionCombo{L"keyset_function_combo"};
    Slot m_functionTabs{L"function_switch_tablayout"};
    Slot m_mouseKeyCombo{L"keyset_mousekey_combo"};
    Slot m_swingCombo{L"keyset_mouseswing_combo"};
    Slot m_swingCount{L"keyset_mouseswing_num_edit"};
    Slot m_swingDelay{L"keyset_mouseswing_delay_edit"};
    Slot m_swingSpeed{L"keyset_mouseswing_speed_edit"};
    Slot m_wheelCombo{L"keyset_mousewheel_combo"};
    Slot m_wheelCount{L"keyset_mousewheel_num_edit"};
    Slot m_wheelDelay{L"keyset_mousewheel_delay_edit"};
    Slot m_wheelSpeed{L"keyset_mousewheel_speed_edit"};
    Slot m_dpiCombo{L"keyset_mousedpi_combo"};
    Slot m_fireInterval{L"keyset_mousefire_interval_edit"};
    Slot m_fireCount{L"keyset_mousefire_num_edit"};
    Slot m_keyNameEdit{L"keyset_keyboard_text_edit"};
    Slot m_mediaCombo{L"keyset_media_combo"};
    Slot m_systemCombo{L"keyset_system_combo"};
    Slot m_comboKeyCombo{L"keyset_combokey_combo"};
    Slot m_macroCombo{L"keyset_macro_combo"};
    Slot m_macroRepeatCombo{L"keyset_macro_over_combo"};
    Slot m_macroCycleLayout{L"keyset_macro_cycle_layout"};
    Slot m_macroCycleEdit{L"keyset_macro_cycle_edit"};
    Slot m_gunCombo{L"keyset_gunkey_combo"};
    Slot m_textTest{L"text_test"};
    Slot m_saveButton{L"key_butt_keysave"};
    Slot m_cancelButton{L"key_butt_keycancel"};
    Slot m_deviceSaveButton{L"key_butt_prosave"};
};
