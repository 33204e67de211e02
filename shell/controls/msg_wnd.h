#pragma once

// CMsgWnd: the modal message box (skin "XML_MSG"). ShowMessageBox creates,
// fills and runs it; it removes itself from OpenMessageBoxes and deletes
// itself when its window is destroyed.

#include "shell/controls/message_window_base.h"

class CMsgWnd : public CMessageWindowBase {
public:
    CMsgWnd() = default;
    ~CMsgWnd() override = default;

    // The title as the skin's resource-text setting says.
    void SetTitle(const wchar_t* title) { SetTitleText(title, -1); }
    // A language key when `isKey` is not 0, else plain text.
    void SetText(const wchar_t* text, int isKey) { SetTextOf(L"MessageText", text, isKey != 0 ? 1 : 0); }

protected:
    DuiLib::LPCTSTR GetWindowClassName() const override { return L"MsgWnd"; }
    DuiLib::CDuiString GetSkinFile() override { return L"XML_MSG"; }
    void OnFinalMessage(DuiLib::HWND hWnd) override;
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;
};
