#pragma once

// CColorSelectWnd: the modal colour picker (skin "PalletDialog.xml"). It
// offers a palette, R/G/B edits, twenty preset colours from the skin and
// twenty slots in which the user collects colours of their own; the slots
// and the last selections are kept in "color_option_info.config" in the
// per-user folder. The caller owns the object for one modal run
// (RunColorPicker) and reads the colour after it.

#include <cstdint>

#include <json/value.h>

#include "platform/ui/UIlib.h"
#include "shell/controls/message_window_base.h"

class CColorSelectWnd : public CMessageWindowBase {
public:
    static constexpr int kColorOptionCount = 20;

    CColorSelectWnd() = default;
    ~CColorSelectWnd() override = default;

    void SetColor(DuiLib::DWORD color);
    DuiLib::DWORD GetColor() const { return m_dwColor; }
    void SetSevenColorEnabled(int flag);
    void SetSevenColorMode(int flag);

    int GetPresetIndex() const { return m_nPresetIndex; }
    int GetCollectedIndex() const { return m_nCollectedIndex; }
    int GetSevenColorFlag() const { return m_nSevenColor; }

    // The user's file and its installed default.
    static DuiLib::CDuiString UserFilePath();
    virtual DuiLib::CDuiString DefaultFilePath() const;

protected:
    DuiLib::LPCTSTR GetWindowClassName() const override { return L"ColorSelectWnd"; }
    void OnFinalMessage(DuiLib::HWND) override {}
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    DuiLib::CDuiString GetSkinFile() override { return L"PalletDialog.xml"; }
    DuiLib::LRESULT OnSysCommand(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;
    void Notify(DuiLib::TNotifyUI& msg) override;

    void OnSelectChanged(DuiLib::TNotifyUI& msg);
    void OnWindowInit(DuiLib::TNotifyUI& msg);
    void OnKillFocus(DuiLib::TNotifyUI& msg);
    void OnCheckClick(DuiLib::TNotifyUI& msg);
    void OnItemSelect(DuiLib::TNotifyUI&) {}

private:
    void CommitToCollectedOption();
    void SavePresetOptions();
    void SaveCollectedOptions();
    // Writes the options of one kind ("color_option_" or
    // "collect_color_option_") and its selection into the user file.
    void SaveOptions(const wchar_t* prefix, const char* arrayKey, const char* selectKey, int selection,
                     bool withUserData);
    void LoadCollectedOptions(const Json::Value& document);
    DuiLib::DWORD TakeChosenColor();
    void ShowComponents(DuiLib::DWORD color);
    void SetPreviewColor(DuiLib::DWORD color);
    void SelectPaletteColor(DuiLib::DWORD color);
    DuiLib::COptionUI* OptionAt(const wchar_t* prefix, int index);

    DuiLib::CControlUI* m_pMenuButton = nullptr;
    DuiLib::CControlUI* m_pLaterButton = nullptr;
    DuiLib::CColorPaletteUI* m_pPalette = nullptr;
    DuiLib::DWORD m_dwColor = 0;
    int m_nPresetIndex = 4;
    int m_nCollectedIndex = 0;
    int m_nSevenColor = 0;

    DUI_DECLARE_MESSAGE_MAP()
};

// Runs the picker modally over `owner` as every caller does: nothing when
// `openPicker` already records a picker; otherwise the picker's handle is
// kept in `openPicker` for its run (so the owner can close it from outside)
// and cleared after. Starts from `color`; true, with `color` replaced by the
// choice, only when the user confirmed with a palette present.
bool RunColorPicker(DuiLib::HWND owner, int dpi, DuiLib::HWND& openPicker, DuiLib::DWORD& color);
