#include "devices/mouse_settings_steps.h"

#include <vector>

#include "devices/corvane_mouse_device.h"

namespace mouse_settings {
namespace {

constexpr int kPollingOptions = 5;

bool IsStage(int stage) { return stage >= 0 && stage < int(mouse_block::kStageCount); }

// The page's stages, grown so that `stage` exists, changed by `change` and
// given back to the page.
template <class Change>
void ChangeStage(CCorvaneMouseDevice& page, int stage, Change change) {
    std::vector<DpiStage> stages = page.GetDpiStages();
    if (stages.size() < size_t(stage) + 1) stages.resize(size_t(stage) + 1);
    change(stages[size_t(stage)]);
    page.SetDpiStages(stages);
}

template <class Change>
void ChangeSystem(CCorvaneMouseDevice& page, Change change) {
    MouseSystemStages system = page.GetSystemStages();
    change(system);
    page.SetSystemStages(system);
}

// Shows the position on the stage's row and stores it as the stage's DPI.
void TakePosition(CCorvaneMouseDevice& page, int stage, int position) {
    page.SetDpiSliderValue(stage, position);
    ChangeStage(page, stage, [&](DpiStage& s) { s.x = uint16_t(position); });
}

}  // namespace

void StageEnableChanged(CCorvaneMouseDevice& page, int stage) {
    if (!IsStage(stage)) return;
    const bool enabled = page.IsDpiStageEnabled(stage);
    page.EnableDpiStage(stage, enabled);
    ChangeStage(page, stage, [&](DpiStage& s) { s.active = enabled ? 1 : 0; });
}

void StageSelected(CCorvaneMouseDevice& page, int stage) {
    if (!IsStage(stage)) return;
    page.SetActiveDpiStage(stage);
    for (int i = 0; i < int(mouse_block::kStageCount); ++i) TakePosition(page, i, page.GetDpiSliderValue(i));
}

void SliderChanged(CCorvaneMouseDevice& page, int stage) {
    if (IsStage(stage)) TakePosition(page, stage, page.GetDpiSliderValue(stage));
}

void SliderMoving(CCorvaneMouseDevice& page, int stage) {
    if (IsStage(stage)) page.SetDpiSliderValue(stage, page.GetDpiSliderValue(stage));
}

void EditLeft(CCorvaneMouseDevice& page, int stage) {
    if (IsStage(stage)) TakePosition(page, stage, page.GetDpiEditValue(stage));
}

void StageColorChosen(CCorvaneMouseDevice& page, int stage, uint32_t color) {
    if (!IsStage(stage)) return;
    page.SetDpiStageColor(stage, color);
    ChangeStage(page, stage, [&](DpiStage& s) {
        s.red = uint8_t(color >> 16);
        s.green = uint8_t(color >> 8);
        s.blue = uint8_t(color);
    });
}

void PollingRateSelected(CCorvaneMouseDevice& page, int option) {
    if (option < 0 || option >= kPollingOptions) option = 0;
    page.SetPollingRateOption(option);
    ChangeSystem(page, [&](MouseSystemStages& s) { s.reportRate = uint16_t(option); });
}

void PointerSpeedChanged(CCorvaneMouseDevice& page) {
    ChangeSystem(page, [&](MouseSystemStages& s) { s.mouseSpeed = uint16_t(page.GetPointerSpeed()); });
}

void PointerPrecisionChanged(CCorvaneMouseDevice& page) {
    ChangeSystem(page, [&](MouseSystemStages& s) { s.pointerPrecision = page.GetPointerPrecision() ? 1 : 0; });
}

void ScrollByPageChanged(CCorvaneMouseDevice& page) {
    const bool byPage = page.GetScrollByPage();
    const int speed = page.GetScrollSpeed();
    page.SetScrollSettings(byPage, speed);
    ChangeSystem(page, [&](MouseSystemStages& s) {
        s.scrollPage = byPage ? 1 : 0;
        s.wheelScrollLines = uint16_t(speed);
    });
}

void ScrollSpeedChanged(CCorvaneMouseDevice& page) {
    const int speed = page.GetScrollSpeed();
    page.SetScrollSettings(false, speed);
    ChangeSystem(page, [&](MouseSystemStages& s) {
        s.scrollPage = 0;
        s.wheelScrollLines = uint16_t(speed);
    });
}

void DoubleClickChanged(CCorvaneMouseDevice& page) {
    ChangeSystem(page, [&](MouseSystemStages& s) { s.doubleClickTime = uint16_t(page.GetDoubleClickSpeed()); });
}

}  // namespace mouse_settings
