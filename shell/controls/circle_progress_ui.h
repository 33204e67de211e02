#pragma once

// A progress control drawn as a ring: the background colour fills the disc,
// the fore colour the part of the ring from straight down, clockwise, in
// proportion to the value; the centre is white.

#include "platform/ui/progress.h"

class CCircleProgressUI : public DuiLib::CProgressUI {
public:
    static constexpr const wchar_t* kClassName = L"CircleProgress";
    // Width of the ring, pixels.
    static constexpr int kRingWidth = 10;

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void PaintBkColor(DuiLib::HDC hDC) override;
    void PaintStatusImage(DuiLib::HDC hDC) override;
    void PaintForeColor(DuiLib::HDC hDC) override;
    void PaintForeImage(DuiLib::HDC hDC) override;

    // Degrees of the ring the value fills: value / (max - min) of a turn,
    // truncated; 0 when max equals min, never beyond 0..360.
    int SweepDegrees() const;
};
