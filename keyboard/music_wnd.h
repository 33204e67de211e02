#pragma once

// MusicWnd: the modal window in which the user edits the four music styles
// (a name and a colour of three values 0..9 each) and picks one. It edits a
// copy of the record (SetStyleInfo before it is shown, GetStyleInfo after);
// built from the skin "music.xml". A skin without some of the options or
// sliders makes those parts do nothing.

#include "keyboard/audio_light_info.h"
#include "shell/controls/message_window_base.h"

class MusicWnd : public CMessageWindowBase {
public:
    static constexpr int kWidth = 369;
    static constexpr int kHeight = 276;
    static constexpr int kColorMax = 9;

    MusicWnd() = default;

    void SetStyleInfo(const AudioLightInfo& info) { m_info = info; }
    AudioLightInfo GetStyleInfo() const { return m_info; }

    // The index 0..3 of the first selected style option; 0 when none is
    // selected or the skin lacks one of the four.
    int GetSelectedStyle();
    // Sets the sliders the skin has.
    void SetColorSliders(uint8_t r, uint8_t g, uint8_t b);

    DuiLib::LPCTSTR GetWindowClassName() const override { return L"MusicWnd"; }

protected:
    DuiLib::CDuiString GetSkinFile() override { return L"music.xml"; }
    void Notify(DuiLib::TNotifyUI& msg) override;
    // The close button closes with 0, "okbtn" with 1.
    void OnClick(DuiLib::TNotifyUI& msg) override;
    // A close from the window manager (Alt+F4) closes this window with 0;
    // other commands take the default path.
    DuiLib::LRESULT OnSysCommand(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 DuiLib::BOOL& bHandled) override;
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;

    void OnWindowInit(DuiLib::TNotifyUI& msg);
    void OnSelectChanged(DuiLib::TNotifyUI& msg);
    void OnValueChanged(DuiLib::TNotifyUI& msg);
    void OnEditKillFocus(DuiLib::TNotifyUI& msg);

private:
    DuiLib::COptionUI* StyleOption(int style);
    DuiLib::CSliderUI* Slider(int channel);
    // The style (0..3) a control of a numbered family names, compared
    // without regard to case; -1 for any other control.
    static int StyleOfName(const DuiLib::CDuiString& name, const wchar_t* prefix);

    AudioLightInfo m_info;
    std::array<DuiLib::COptionUI*, AudioLightInfo::kStyles> m_options{};
    std::array<DuiLib::CSliderUI*, 3> m_sliders{};

    DUI_DECLARE_MESSAGE_MAP()
};
