#pragma once

// A label that draws a level trace: one black bar for every second pixel
// column, rising from the bottom in proportion to a sample (full scale
// 8192), on white.

#include <array>
#include <cstdint>

#include "platform/ui/label.h"

class CAudioRecordUI : public DuiLib::CLabelUI {
public:
    static constexpr const wchar_t* kClassName = L"AudioRecord";
    static constexpr int kSampleCount = 500;
    static constexpr int kFullScale = 8192;

    CAudioRecordUI();
    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void PaintBkColor(DuiLib::HDC hDC) override;
    void PaintForeImage(DuiLib::HDC hDC) override;

    // Sample i is drawn in column 2·i. Starts as a ramp: i for i < 256, then 0.
    std::array<int32_t, kSampleCount>& Samples() { return m_samples; }

private:
    std::array<int32_t, kSampleCount> m_samples{};
};
