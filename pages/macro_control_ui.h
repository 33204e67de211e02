#pragma once

// The macro tab of the keyboard's and the mouse's device page: the device's
// macro list ("macro.config") and the steps of the selected macro, one row per
// step, with every edit on them (new, import, export, rename, delete, save and
// reload of a macro; moving, deleting and inserting steps) and the recording
// of steps from the keyboard and mouse hooks (macro_recording.cpp).
//
// The page is driven by the main window, on the UI thread. Each step row
// carries its stored step as styled JSON in its user data and each macro row
// its "Guid"; a "Guid" that could name a file outside the macro folder (empty,
// with a path separator or "..") is treated as a macro without a file.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <json/value.h>

#include "link/json_file_util.h"
#include "platform/ui/container.h"
#include "platform/ui/dui_string.h"

namespace DuiLib {
class CListUI;
class CEditUI;
class CListContainerElementUI;
}  // namespace DuiLib

// How a recording measures the pause after each step.
enum MacroDelayMode : int {
    kDelayRecorded = 1,  // the real time between the steps
    kDelayFixed = 2,     // the page's fixed delay
    kDelayNone = 3,      // 0 ms
};

// The clock of the recorded delays (milliseconds, 32 bits, wrapping); null
// restores the system's tick count. Tests set it.
void SetMacroClock(std::function<uint32_t()> clock);
uint32_t MacroTickCount();

class CMacroControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"CMacroControlUI";
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\MacroControl.xml";
    static constexpr const wchar_t* kActionMenuFile = L"XML\\Menus\\macro_action_menu.xml";
    static constexpr DuiLib::UINT kScrollTimer = 4101;  // TIMER_MACRO_SCROLL
    static constexpr int kMinDelay = 10;
    static constexpr int kMaxDelay = 65535;
    static constexpr int kDefaultFixedDelay = 50;

    CMacroControlUI();
    ~CMacroControlUI() override;
    static DuiLib::CControlUI* CreateInstance();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;
    void DoEvent(DuiLib::TEventUI& event) override;

    // --- Macro list ---------------------------------------------------------
    // The device's data folder, ending in a path separator.
    void SetMacroFolder(const DuiLib::CDuiString& folder);
    const DuiLib::CDuiString& GetMacroFolder() const { return m_sMacroFolder; }
    void LoadMacroList();
    std::vector<DuiLib::CDuiString> GetMacroNames() const { return m_macroNames; }
    // -1 when no macro row is selected.
    int GetSelectedMacroIndex();
    void LoadSelectedMacro();
    bool LoadMacroFile(const DuiLib::CDuiString& path);
    void SaveSelectedMacro();
    void WriteMacroFile(const DuiLib::CDuiString& path);
    void ReloadSelectedMacro();
    // The new name, or empty when the list is full.
    DuiLib::CDuiString NewMacro();
    DuiLib::CDuiString AddImportedMacro(const DuiLib::CDuiString& path);
    DuiLib::CDuiString ImportMacro(const DuiLib::CDuiString& path);
    void TrimMacroFile(const DuiLib::CDuiString& path);
    void ExportSelectedMacro(const DuiLib::CDuiString& destination);
    // The new name, or a refusal key ("message_text_5", "message_text_5_2",
    // "message_text_5_3", "IsEmpty"), or empty with index -1 when no macro is
    // selected.
    DuiLib::CDuiString RenameSelectedMacro(int& index);
    void RevertNameEdit();
    // The deleted index, or -1.
    int DeleteSelectedMacro();

    // --- Steps --------------------------------------------------------------
    void MoveActionToTop();
    void MoveActionToBottom();
    void MoveActionUp();
    void MoveActionDown();
    void DeleteSelectedAction();
    void DeleteAllActions();
    // message: a Windows mouse message (0x200 move, 0x201..0x20C buttons).
    void InsertMouseAction(DuiLib::UINT message, int variant);
    void InsertLeftDown() { InsertMouseAction(0x201, 0); }
    void InsertLeftUp() { InsertMouseAction(0x202, 0); }
    void InsertRightDown() { InsertMouseAction(0x204, 0); }
    void InsertRightUp() { InsertMouseAction(0x205, 0); }
    void InsertMiddleDown() { InsertMouseAction(0x207, 0); }
    void InsertMiddleUp() { InsertMouseAction(0x208, 0); }
    void InsertForwardDown() { InsertMouseAction(0x20B, 0); }
    void InsertForwardUp() { InsertMouseAction(0x20C, 0); }
    void InsertBackDown() { InsertMouseAction(0x20B, 1); }
    void InsertBackUp() { InsertMouseAction(0x20C, 1); }
    void InsertMouseMoveX(bool left) { InsertMouseAction(0x200, left ? 0 : 1); }
    void InsertMouseMoveY(bool up) { InsertMouseAction(0x200, up ? 2 : 3); }
    void OnScrollTimer();

    // --- Recording (macro_recording.cpp) -------------------------------------
    void BeginRecording(int delayMode);
    void EndRecording();
    void LockEditors(bool enable);
    bool IsFixedDelayChecked();
    void ReadFixedDelay();
    int GetDelayMode() const { return m_nDelayMode; }
    int GetFixedDelay() const { return m_nFixedDelay; }
    // Record handlers: wParam the Windows keyboard or mouse message, lParam
    // the address of the hook's record (KBDLLHOOKSTRUCT or MouseHookRecord).
    void OnRecordKey(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordKeyBefore(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordKeyAfter(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordKeyReplace(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordMouse(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordMouseBefore(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordMouseAfter(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    void OnRecordMouseReplace(DuiLib::WPARAM wParam, DuiLib::LPARAM lParam);
    // Forgets the keys and buttons the eight handlers remember for dropping
    // repeated presses (BeginRecording does it).
    static void ClearRepeatMemory();

protected:
    // Shows a message of the language file (tests observe it).
    virtual void ShowPageMessage(const wchar_t* key);

private:
    friend struct MacroRecorder;

    DuiLib::CListUI* MacroList();
    DuiLib::CListUI* ActionList();
    DuiLib::CControlUI* Child(const wchar_t* name);
    DuiLib::CEditUI* EditNamed(const wchar_t* name);
    // The selected macro's "Guid" when it may name a file; empty otherwise.
    std::string SelectedGuid();
    DuiLib::CDuiString MacroPath(const std::string& guid) const;
    void EnableMacroEditors(bool enable);
    void SetNameEdit(const DuiLib::CDuiString& text);
    void AddMacroRow(const DuiLib::CDuiString& name, const std::string& guid);
    bool NameInUse(const DuiLib::CDuiString& name);
    // Adds an entry for `name` to the list and "macro.config" and selects it.
    void AppendMacro(const DuiLib::CDuiString& name);
    // A new step row (name and direction labels, delay edit) showing `event`.
    DuiLib::CListContainerElementUI* NewActionRow();
    void ShowStoredStep(DuiLib::CListContainerElementUI* row, const Json::Value& event);
    void MoveSelectedAction(int target, int scrollMode);
    // The 250-step rule of inserts and recordings: true (and an empty row
    // appended) when the list is full.
    bool AppendOverflowRow();

    int m_nDelayMode = 0;
    int m_nFixedDelay = kDefaultFixedDelay;
    uint32_t m_lastTick = 0;
    DuiLib::CDuiString m_sMacroFolder;
    CJsonFileUtil m_jsonUtil;
    std::vector<DuiLib::CDuiString> m_macroNames;
};

// The row's stored step (its user data parsed); null when it has none.
Json::Value MacroRowEvent(DuiLib::CControlUI* row);
// Whether a "Guid" may name a file in the macro folder.
bool IsSafeMacroGuid(const std::string& guid);
// The leading decimal number of a text as an unsigned 32-bit value (wrapping
// as the reader of "Delay" does); 0 when there is none.
uint32_t LeadingNumber(const std::string& text);
