#pragma once

// The recoil tab of the mouse's device page: four guns of 30 bullets, each
// bullet a left click followed by an X and a Y move and a delay (see
// pages/shoot_file.h for the files). The page reads and writes the guns'
// working files only; the mouse page packs them and sends them to the mouse.
//
// The page is driven by the main window, on the UI thread: the gun and bullet
// options select, the edits save the bullet when they lose focus, the
// direction checks relabel themselves, and the four buttons import, export,
// reset and upload. Every operation tolerates a skin that lacks a control.

#include "platform/ui/container.h"
#include "platform/ui/dui_string.h"

struct ShootBullet;

class CShootControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr const wchar_t* kClassName = L"CShootControlUI";
    static constexpr const wchar_t* kSkinFile = L"XML\\CustomControlXML\\ShootControl.xml";

    CShootControlUI();
    ~CShootControlUI() override;
    static DuiLib::CControlUI* CreateInstance();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // The mouse's data folder (the working files) and the default folder,
    // each ending in a path separator.
    void SetDataFolder(const DuiLib::CDuiString& folder) { m_sDataFolder = folder; }
    void SetDefaultFolder(const DuiLib::CDuiString& folder) { m_sDefaultFolder = folder; }
    const DuiLib::CDuiString& GetDataFolder() const { return m_sDataFolder; }

    // Restores every gun whose working file is missing, empty or not valid
    // JSON from its default. Does nothing until the data folder is set (the
    // UI also runs it when the page joins a window).
    void Init() override;

    // Clamped to 0..3 and 0..29.
    void SelectGun(int gun);
    int GetSelectedGun() const { return m_nSelectedGun; }
    void SelectBullet(int bullet);
    // -1 until a bullet is selected.
    int GetSelectedBullet() const { return m_nSelectedBullet; }
    void SelectPreviousBullet();
    void SelectNextBullet();

    // Show or store the selected bullet of the selected gun; nothing while no
    // bullet is selected.
    void LoadBullet();
    void SaveBullet();
    void ReadBullet(int gun, int bullet);
    // Amounts are held to 0..255 and the delay to 0..65535; the edits then
    // show what was stored. A working file that is missing or unreadable is
    // started from the gun's default file, or with neither from a gun of
    // zeros. False when the file could not be written.
    bool WriteBullet(int gun, int bullet);

    // Replaces the selected gun's working file with the file at path when
    // that holds a gun (a JSON object whose "Events" is an array of at most
    // 180 objects) and shows the selected bullet again. False, with the
    // working file unchanged, for an empty path, a file that is not a gun,
    // or a failed write.
    bool ImportGunFile(const DuiLib::CDuiString& path);
    // Copies the selected gun's working file to path. False for an empty path
    // or a failed copy.
    bool ExportGunFile(const DuiLib::CDuiString& path);
    void ResetGun();
    // Replaces the gun's working file with its default and shows the selected
    // bullet again. A default that is missing or not a gun leaves the working
    // file as it is (false).
    bool RestoreGunFile(int gun);

    void UpdateXDirectionText();
    void UpdateYDirectionText();

    // "<data folder>ShootData_<gun>.Shoot" and the default of the same name.
    DuiLib::CDuiString WorkingFilePath(int gun) const;
    DuiLib::CDuiString DefaultFilePath(int gun) const;

private:
    DuiLib::CControlUI* Child(const DuiLib::CDuiString& name);
    void SelectOnly(const wchar_t* prefix, int count, int selected);
    void ShowBullet(const ShootBullet& bullet);
    int EditNumber(const wchar_t* name);
    bool IsChecked(const wchar_t* name);

    int m_nSelectedGun = 0;
    int m_nSelectedBullet = -1;
    DuiLib::CDuiString m_sDataFolder;
    DuiLib::CDuiString m_sDefaultFolder;
};
