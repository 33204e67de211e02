#pragma once

// CMsgProgressWnd: the modal progress window of a screen upload (skin
// "MsgProgressWnd.xml"). Workers report to it by posting
// WM_TRANSFER_PROGRESS to GetProgressWindowHwnd(): wParam 0 with the
// percentage in lParam, or wParam not 0 at the end. Its handle is published
// while its window exists; it deletes itself when the window is destroyed.

#include "shell/controls/message_window_base.h"

// Progress report to the progress window (posted from worker threads).
inline constexpr DuiLib::UINT WM_TRANSFER_PROGRESS = 0x4901;

class CMsgProgressWnd : public CMessageWindowBase {
public:
    CMsgProgressWnd() = default;
    ~CMsgProgressWnd() override = default;

    void SetTitle(const wchar_t* title, int isKey) { SetTitleText(title, isKey != 0 ? 1 : 0); }
    // As the message box; mode 0 also hides the separator "sep_btn".
    void SetButtonMode(int mode) override;

protected:
    DuiLib::LPCTSTR GetWindowClassName() const override { return L"MsgProgressWnd"; }
    DuiLib::CDuiString GetSkinFile() override { return L"MsgProgressWnd.xml"; }
    void InitWindow() override;
    void OnFinalMessage(DuiLib::HWND hWnd) override;
    DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                        DuiLib::BOOL& bHandled) override;

private:
    void ShowProgress(DuiLib::WPARAM finished, DuiLib::LPARAM percent);
};
