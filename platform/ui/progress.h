#pragma once

#include <algorithm>

#include "platform/ui/label.h"

namespace DuiLib {

// A bar filled in proportion to its value: the fore image (or colour) is
// drawn over the part from the minimum to the value.
class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool bHorizontal = true) {
        m_bHorizontal = bHorizontal;
        Invalidate();
    }
    int GetMinValue() const { return m_nMin; }
    // A new bound takes the value along: a bar never shows a value outside
    // its range.
    void SetMinValue(int nMin) {
        m_nMin = nMin;
        KeepValueInRange();
        Invalidate();
    }
    int GetMaxValue() const { return m_nMax; }
    void SetMaxValue(int nMax) {
        m_nMax = nMax;
        KeepValueInRange();
        Invalidate();
    }
    int GetValue() const { return m_nValue; }
    virtual void SetValue(int nValue);

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    // The fore colour and image stand for the value: PaintStatusImage draws
    // them over the filled part only, never over the whole bar.
    void PaintForeColor(HDC) override {}
    void PaintForeImage(HDC) override {}

protected:
    // The part of the control that stands for the value.
    RECT FilledRect() const;
    void KeepValueInRange() {
        if (m_nMax >= m_nMin) m_nValue = std::clamp(m_nValue, m_nMin, m_nMax);
    }

    bool m_bHorizontal = true;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nValue = 0;
};

// A progress bar with a thumb the user drags: "movevaluechanged" while the
// thumb moves, "valuechanged" when the button is released (or the wheel
// turns).
class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetEnabled(bool bEnable = true) override;
    int GetChangeStep() const { return m_nStep; }
    void SetChangeStep(int step) { m_nStep = step; }
    void SetThumbSize(SIZE szXY) { m_szThumb = szXY; }
    RECT GetThumbRect() const;
    LPCTSTR GetThumbImage() const { return m_sThumbImage; }
    void SetThumbImage(LPCTSTR s) {
        m_sThumbImage = s;
        Invalidate();
    }

    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

private:
    int ValueAt(POINT pt) const;

    SIZE m_szThumb{10, 10};
    UINT m_uButtonState = 0;
    int m_nStep = 1;
    CDuiString m_sThumbImage, m_sThumbHotImage, m_sThumbPushedImage;
};

}  // namespace DuiLib
