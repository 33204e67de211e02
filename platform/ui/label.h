#pragma once

#include "platform/ui/control.h"

namespace DuiLib {

// A control that shows one text with a font, colours and alignment.
class CLabelUI : public CControlUI {
public:
    CLabelUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    void SetTextStyle(UINT uStyle) {
        m_uTextStyle = uStyle;
        Invalidate();
    }
    UINT GetTextStyle() const { return m_uTextStyle; }
    void SetTextColor(DWORD dwTextColor) {
        m_dwTextColor = dwTextColor;
        Invalidate();
    }
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetDisabledTextColor(DWORD dwTextColor) {
        m_dwDisabledTextColor = dwTextColor;
        Invalidate();
    }
    DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
    void SetFont(int index) {
        m_iFont = index;
        Invalidate();
    }
    int GetFont() const { return m_iFont; }
    RECT GetTextPadding() const;
    void SetTextPadding(RECT rc) {
        m_rcTextPadding = rc;
        Invalidate();
    }
    bool IsShowHtml() const { return m_bShowHtml; }
    void SetShowHtml(bool bShowHtml = true) {
        m_bShowHtml = bShowHtml;
        Invalidate();
    }
    void SetAutoCalcWidth(bool bAuto) {
        m_bAutoCalcWidth = bAuto;
        NeedParentUpdate();
    }

    // The rectangle the text is drawn in: the control's, less the text
    // padding (and whatever else stands beside the text).
    virtual RECT GetTextArea() const;
    // Whether the text, in the font it is drawn with, needs more room than
    // its area gives: a line wider or taller, wrapped lines taller. Such a
    // text is drawn cut, or ended by an ellipsis. Text shown as markup is
    // not measured.
    bool IsTextCut();

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;

protected:
    void DrawTextIn(HDC hDC, RECT rc, const CDuiString& text, DWORD color);

    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle;
    RECT m_rcTextPadding{};
    bool m_bShowHtml = false;
    bool m_bAutoCalcWidth = false;

private:
    // The last answer of IsTextCut and what it was measured for: the probe
    // asks after every paint, and most texts stay as they are.
    struct TextCutMemo {
        CDuiString text;
        SIZE area{};
        const void* font = nullptr;
        UINT style = 0;
        bool cut = false;
    };
    TextCutMemo m_textCut;
};

// A label whose text wraps over several lines.
class CTextUI : public CLabelUI {
public:
    CTextUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
};

}  // namespace DuiLib
