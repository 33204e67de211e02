#pragma once

#include "platform/ui/label.h"

namespace DuiLib {

// A one-line text editor drawn by the UI itself: caret, selection with
// Shift and the mouse, clipboard, maximum length, number-only input with an
// optional range (applied when the edit loses the focus), read-only and
// password modes, a tip text shown while empty. Enter sends "return";
// every change of the text sends "textchanged".
class CEditUI : public CLabelUI {
public:
    CEditUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetText(LPCTSTR pstrText) override;
    void SetMaxChar(UINT uMax) { m_uMaxChar = uMax; }
    UINT GetMaxChar() const { return m_uMaxChar; }
    void SetReadOnly(bool bReadOnly) {
        m_bReadOnly = bReadOnly;
        Invalidate();
    }
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetPasswordMode(bool bPasswordMode) {
        m_bPasswordMode = bPasswordMode;
        Invalidate();
    }
    bool IsPasswordMode() const { return m_bPasswordMode; }
    void SetNumberOnly(bool bNumberOnly) { m_bNumberOnly = bNumberOnly; }
    bool IsNumberOnly() const { return m_bNumberOnly; }
    void SetMinMaxNumber(int nMin, int nMax) {
        m_nMinNumber = nMin;
        m_nMaxNumber = nMax;
        m_bHasRange = true;
    }
    bool HasNumberRange() const { return m_bHasRange; }
    int GetMinNumber() const { return m_nMinNumber; }
    int GetMaxNumber() const { return m_nMaxNumber; }
    void SetTipValue(LPCTSTR pStrTipValue) {
        m_sTipValue = pStrTipValue;
        Invalidate();
    }
    CDuiString GetTipValue() const { return m_sTipValue; }
    void SetTipValueColor(DWORD c) { m_dwTipValueColor = c; }
    void SetSel(long nStartChar, long nEndChar);
    void SetSelAll() { SetSel(0, -1); }
    void SetReplaceSel(LPCTSTR lpszReplace);
    int GetCaretPos() const { return m_nCaret; }
    void SetNativeEditBkColor(DWORD c) { m_dwEditBkColor = c; }

    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

protected:
    void ReplaceSelection(const CDuiString& with, bool notify);
    void ApplyRange();
    int HitChar(POINT pt);
    CDuiString DisplayText() const;

    UINT m_uMaxChar = 255;
    bool m_bReadOnly = false;
    bool m_bPasswordMode = false;
    bool m_bNumberOnly = false;
    bool m_bHasRange = false;
    int m_nMinNumber = 0;
    int m_nMaxNumber = 0;
    int m_nCaret = 0;
    int m_nSelStart = 0;  // the other end of the selection (== caret when none)
    bool m_bDragging = false;
    CDuiString m_sTipValue;
    DWORD m_dwTipValueColor = 0xFFBAC0C5;
    DWORD m_dwEditBkColor = 0;
    CDuiString m_sNormalImage, m_sHotImage, m_sFocusedImage, m_sDisabledImage;
    UINT m_uButtonState = 0;
};

// Rich edit as the pages use it: a multi-line editor with a tip text.
class CRichEditUI : public CEditUI {
public:
    CRichEditUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    bool IsWantReturn() const { return m_bWantReturn; }

private:
    bool m_bWantReturn = false;
};

}  // namespace DuiLib
