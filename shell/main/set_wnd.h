#pragma once

// CSetWnd: the modal settings window of the main window (skin
// "setwnd.xml"). It offers the user-interface language, shows one update-list
// row per version row it is given (a connected device or the installed
// program) and keeps the date of its first opening in "updatetime.config".
// A language picked in its combo goes to the owner as WM_LANGUAGE_CHANGED.

#include <string>

#include <json/value.h>
#include <vector>

#include "link/device_tables.h"
#include "shell/main/secondary_wnd.h"

class CUpdateInfoListItemUI;

// One update-list row as data.
struct UpdateEntry {
    int State = 0;
    int Reserved = 0;  // nothing reads it
    std::wstring Name;
    std::wstring OldVersion;
    std::wstring Unused;  // nothing sets it
    std::wstring NewVersion;
    std::wstring UserData;
    std::wstring FilePath;
};

// "updatetime.config": {"updatelasttime": {"value": "<date>"}}. One that is
// there but is not such a document is set aside as "updatetime.config.bad";
// null then and when there is none.
Json::Value LoadUpdateTimeDocument(const DuiLib::CDuiString& path);

class CSetWnd : public CSecondaryWnd {
public:
    static constexpr int kWidth = 630;
    static constexpr int kHeight = 500;
    static constexpr const wchar_t* kRowSkin = L"XML\\CustomControlXML\\device_Update_list_item.xml";

    void SetOwner(DuiLib::HWND owner, int languageIndex);
    void SetVersionRows(const std::vector<VersionRecord>& rows) { m_versionRows = rows; }
    DuiLib::SIZE GetWindowSize() const { return GetClientSize(); }

    // The status area (0 to 4): 0 the ring with "GetUpdateInfoText"; 1 to 4
    // the picture with "HaveUpdateInfoText", "NoUpdateInfoText",
    // "ISUpdateINGText" or "UpdateIsLastText", the last followed by the last
    // check date (and the owner is told to clear its update badge).
    void SetUpdateStatus(int status);

    // What the window holds (tests read it).
    int GetLanguageIndex() const { return m_nLanguageIndex; }
    const std::wstring& GetLastCheckDate() const { return m_lastCheckDate; }
    const std::vector<UpdateEntry>& GetUpdateEntries() const { return m_updateEntries; }
    int GetRowCount() const { return m_nRowCount; }
    CUpdateInfoListItemUI* GetRow(int index);

protected:
    DuiLib::LPCTSTR GetWindowClassName() const override { return L"SetWnd"; }
    DuiLib::CDuiString GetSkinFile() override { return L"setwnd.xml"; }
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnSelectChanged(DuiLib::TNotifyUI& msg);
    void OnItemSelect(DuiLib::TNotifyUI& msg);
    void OnWindowInit(DuiLib::TNotifyUI& msg);
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;

private:
    void FillLanguages();
    void LoadLastCheckDate();
    void AddUpdateRow(UpdateEntry entry);
    void ConfirmUpdateSelection();
    void SelectUpdatePage(int page);
    bool AnyRowChecked();
    bool AllRowsIdle();
    void SizeToDefault();

    DuiLib::HWND m_hOwner = nullptr;
    int m_nLanguageIndex = -1;
    std::wstring m_lastCheckDate;
    std::vector<VersionRecord> m_versionRows;
    std::vector<UpdateEntry> m_updateEntries;
    int m_nRowCount = 0;
    int m_nUpdateStatus = 0;
    DuiLib::CControlUI* m_pLaterButton = nullptr;
    DuiLib::CListUI* m_pUpdateList = nullptr;
    DuiLib::CComboUI* m_pLanguageCombo = nullptr;

    DUI_DECLARE_MESSAGE_MAP()
};
