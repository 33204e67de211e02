#pragma once

// CDeviceProfileUI: the profile bar of a device page. It shows the device's
// profiles in a drop-down list with a name field, owns the index
// "ProfileList.ini" of the device's folder and the whole-file life of the
// profile documents (created from the default document, copied, imported,
// exported, reset, renamed, deleted), remembers the selected profile and
// holds the page's row of function tabs. It never talks to the device: the
// main window's profile commands call it and then apply the profile.
//
// Every operation that changes the index reads the file again first and
// writes it back whole; a missing, empty or damaged index is replaced by a
// fresh one-entry index. A control missing from the skin makes the operation
// that needs it do nothing. UI thread only.

#include <vector>

#include <json/value.h>

#include "platform/ui/container.h"
#include "platform/ui/dui_string.h"

namespace DuiLib {
class CComboUI;
class CEditUI;
}  // namespace DuiLib

// A device folder's "ProfileList.ini" (a JSON index of the profiles): an
// object whose "profilelist", when there, lists objects. One that is there but is not
// such an index is set aside as "ProfileList.ini.bad"; null then and when
// there is none.
Json::Value LoadProfileIndex(const DuiLib::CDuiString& path);

class CDeviceProfileUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"CDeviceProfileUI";
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\DeviceProfile.xml";
    static constexpr const wchar_t* kListFileName = L"ProfileList.ini";
    static constexpr const wchar_t* kDocumentExtension = L".Json";
    static constexpr int kMaxProfiles = 50;
    static constexpr int kTabCount = 9;

    CDeviceProfileUI();
    ~CDeviceProfileUI() override;
    CDeviceProfileUI(const CDeviceProfileUI&) = delete;
    CDeviceProfileUI& operator=(const CDeviceProfileUI&) = delete;
    static DuiLib::CControlUI* CreateInstance();

    // The device type of the page (1, 9 keyboard, 2, 6 mouse, 3 mouse pad,
    // 4, 7 headset, 5 hub); it decides which function tabs are offered.
    void SetDeviceKind(int kind) { m_nDeviceKind = kind; }
    int GetDeviceKind() const { return m_nDeviceKind; }
    // The device's data folder (ending in a separator) and its default
    // profile document.
    void SetProfilePaths(const DuiLib::CDuiString& folder, const DuiLib::CDuiString& defaultFile);

    // Reads (or creates) the index, fills the list, selects the stored
    // profile (entry 0, stored back, when the stored one is not an entry)
    // and sets the tabs' visibility for the device kind.
    void LoadProfileList();
    // Selects list item `index` (nothing outside the list), shows its name
    // and stores it as the selection; the list notifies only when asked.
    void SelectProfile(int index, bool notify);
    int GetSelectedIndex();
    DuiLib::CDuiString GetCurrentProfileUUID() const { return m_sCurrentId; }

    DuiLib::CDuiString GetNameEditText();
    void SetNameEditText(const DuiLib::CDuiString& text);
    // The name field shows the selected profile's name again.
    void RevertNameEdit();
    void ShowProfileMenu(bool show);
    bool IsProfileMenuVisible();

    // Re-reads the index for the walk over every profile document.
    int GetProfileCount();
    // The document of entry `index` as the last GetProfileCount read it.
    DuiLib::CDuiString GetProfileFilePath(int index) const;

    // Adds a profile made from the default document and selects it (list, name
    // field, id and the stored choice); false when none was added.
    bool NewProfile();
    // Adds a copy of the selected profile; the selection stays.
    void CopySelectedProfile();
    // Removes the selected profile and its document (never the last one);
    // the entry before it (entry 0 when the first goes) becomes the selection.
    // True when a profile was removed.
    bool DeleteSelectedProfile();
    // Adds a profile from a JSON document, named `name` or a free variant.
    void ImportProfile(const DuiLib::CDuiString& source, const DuiLib::CDuiString& name);
    void ExportSelectedProfile(const DuiLib::CDuiString& destination);
    // Rewrites the selected profile from the default document (a headset
    // keeps its custom equaliser entries).
    void ResetSelectedProfile();
    // 1 renamed; 0 no list or another profile's name; 2 blank; 3 holds "&".
    int RenameSelectedProfile(const DuiLib::CDuiString& name);

    // Selects tab 1..9 and unselects the others, without selection events;
    // another number unselects tabs 1 to 7. Nothing unless all nine exist.
    void SelectFunctionTab(int tab);

protected:
    // Shows a message of the language file (the limits of 50 profiles).
    virtual void ShowMessage(const wchar_t* key);

private:
    DuiLib::CComboUI* List();
    DuiLib::CEditUI* NameEdit();
    DuiLib::CControlUI* MenuGroup();
    DuiLib::CDuiString ListPath() const;
    DuiLib::CDuiString DocumentPath(const Json::Value& id) const;
    Json::Value ReadIndex() const;
    bool WriteIndex(const Json::Value& index) const;
    std::vector<DuiLib::CDuiString> ItemNames();
    void AddListItem(const DuiLib::CDuiString& name);
    // The document with its top-level name and id set, written as the id's file.
    void WriteDocument(Json::Value document, const DuiLib::CDuiString& name, const std::string& id) const;
    // Adds the item and the index entry of a new profile; false at the limit
    // (after showing `limitKey`) or without a list. The new id is returned.
    bool AddProfileEntry(const DuiLib::CDuiString& name, const wchar_t* limitKey, std::string* id);
    void ApplyTabVisibility();

    int m_nDeviceKind = 0;
    DuiLib::CDuiString m_sProfileFolder;
    DuiLib::CDuiString m_sDefaultProfileFile;
    DuiLib::CDuiString m_sCurrentId;
    Json::Value m_listDocument;
    Json::Value m_countDocument;
    DuiLib::CComboUI* m_pList = nullptr;
    DuiLib::CEditUI* m_pNameEdit = nullptr;
    DuiLib::CControlUI* m_pMenuGroup = nullptr;
};
