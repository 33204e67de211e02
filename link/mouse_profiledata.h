#pragma once

// The mouse's profile document: the base document plus the mouse's DPI
// stages with their colours, its pointer, wheel and report-rate settings,
// and its correction entries.

#include <array>
#include <cstdint>
#include <vector>

#include "link/basic_profiledata.h"

// One DPI stage as the page and the mouse's parameter block use it.
struct DpiStage {
    uint8_t active = 0;      // stage in use ("StageActive")
    uint8_t separateXY = 0;  // separate X and Y values ("StageXY")
    uint16_t x = 0;          // "StageDPIX"
    uint16_t y = 0;          // "StageDPIY"
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const DpiStage&, const DpiStage&) = default;
};

// The mouse's six 16-bit system settings, passed as three 32-bit words:
// DoubleClickTime | MouseSpeed << 16, PointerPrecision | ScorllPage << 16,
// WheelScorlllinse | report-rate index << 16.
struct MouseSystemStages {
    uint16_t doubleClickTime = 0;
    uint16_t mouseSpeed = 0;
    uint16_t pointerPrecision = 0;
    uint16_t scrollPage = 0;
    uint16_t wheelScrollLines = 0;
    uint16_t reportRate = 0;  // "ReportStages"."StageActive"

    static MouseSystemStages FromWords(uint32_t w0, uint32_t w1, uint32_t w2);
    std::array<uint32_t, 3> ToWords() const;
    friend bool operator==(const MouseSystemStages&, const MouseSystemStages&) = default;
};

// One correction entry of "CorrectInfo".
struct CorrectionEntry {
    uint8_t pixThresh = 0;  // "CorrectPixThresh"
    uint8_t minSq = 0;      // "CorrectMinSq"
    uint8_t select = 0;     // "CorrectSelect"
    DuiLib::CDuiString name;

    friend bool operator==(const CorrectionEntry&, const CorrectionEntry&) = default;
};

class CMouseProfiledata : public CBasicProfiledata {
public:
    // The stages of the loaded profile: the document's "StageDPIs", followed
    // by the default profile's stages past their count. A profile without
    // "DPIStages" gets the default profile's stages and active stage, so
    // nothing of a previously loaded profile remains. The active stage is
    // kept; one outside the stages reads as 0.
    std::vector<DpiStage> GetDpiStages();
    // The list replaces the kept one; "StageDPIs"[i] is written for each.
    void SetDpiStages(const std::vector<DpiStage>& stages);
    int GetActiveDpiStage() const;
    void SetActiveDpiStage(int stage);

    void SetSystemStages(uint32_t w0, uint32_t w1, uint32_t w2);
    MouseSystemStages GetSystemStages();

    std::vector<CorrectionEntry> GetCorrectInfo();

private:
    std::vector<DpiStage> dpi_stages_;
    int active_dpi_stage_ = 0;
    MouseSystemStages system_stages_;
    std::vector<CorrectionEntry> correct_info_;
};
