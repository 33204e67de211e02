#pragma once

// A button whose picture ("redioimage") can pulse: while pulsing, every
// 50 ms its normal image becomes the picture at a fade that falls from 255
// to 80 and rises back, in steps of 20.

#include "platform/ui/button.h"

class CRedioMacroButtonUI : public DuiLib::CButtonUI {
public:
    static constexpr const wchar_t* kClassName = L"RedioMacroButton";
    static constexpr DuiLib::UINT kPulseTimer = 100;
    static constexpr DuiLib::UINT kPulseInterval = 50;  // ms

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void DoInit() override {}
    void DoEvent(DuiLib::TEventUI& event) override;
    // "redioimage" (any case) sets the pulse picture; the rest is the button's.
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;

    // Starts and stops the pulse (the fade carries on where it stopped).
    void StartPulse();
    void StopPulse();
    bool IsPulsing() const { return m_bPulsing; }

    // One step of the pulse for timer `timerId` (others are ignored).
    void PulseStep(DuiLib::UINT_PTR timerId);

    int GetFade() const { return m_nFade; }
    bool IsRising() const { return m_bRising; }
    const DuiLib::CDuiString& GetPulseImage() const { return m_sPulseImage; }

private:
    int m_nFade = 255;
    bool m_bRising = false;
    DuiLib::CDuiString m_sPulseImage;
    bool m_bPulsing = false;
};
