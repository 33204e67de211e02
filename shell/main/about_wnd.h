#pragma once

// CAboutWnd: the modal about window (skin "AboutWnd.xml"): the program's
// version line in the user's language. The caller owns the object and runs
// it for the length of one call.

#include "shell/main/secondary_wnd.h"

class CAboutWnd : public CSecondaryWnd {
public:
    // The window's size at 96 DPI (the skin's own size).
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 380;

    // The version line: the current language's text of "software_rev_text"
    // immediately followed by `version`; built again on a language change.
    void SetVersionText(DuiLib::CDuiString version);

protected:
    DuiLib::LPCTSTR GetWindowClassName() const override { return L"AboutWnd"; }
    DuiLib::CDuiString GetSkinFile() override { return L"AboutWnd.xml"; }
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;

private:
    DuiLib::CDuiString m_version;
};
