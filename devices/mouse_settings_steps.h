#pragma once
// What the mouse page does when one of its settings controls reports a
// change: it reads the control, updates the row's look and puts the value
// into its DPI stages or system settings (and so into the profile document).
// Saving the profile and writing the parameter block to the mouse are the
// caller's steps: the DPI stages and the report rate go to the mouse, the
// pointer, scroll and double-click values are only stored.

#include <cstdint>

class CCorvaneMouseDevice;

namespace mouse_settings {

// "DPI_enable_check_" + stage: the stage's row follows the check.
void StageEnableChanged(CCorvaneMouseDevice& page, int stage);
// "DPI_select_check_" + stage: the stage becomes the active one; every row
// takes its look again and its slider position.
void StageSelected(CCorvaneMouseDevice& page, int stage);
// "DPI_slider_" + stage released.
void SliderChanged(CCorvaneMouseDevice& page, int stage);
// "DPI_slider_" + stage dragged: only the edit follows.
void SliderMoving(CCorvaneMouseDevice& page, int stage);
// "DPI_edit_" + stage lost the focus: the typed DPI moves the slider.
void EditLeft(CCorvaneMouseDevice& page, int stage);
// A colour chosen for "DPI_color_option_" + stage (0xAARRGGBB).
void StageColorChosen(CCorvaneMouseDevice& page, int stage, uint32_t color);
// "polling_rate_option_" + option; one outside the five counts as 0.
void PollingRateSelected(CCorvaneMouseDevice& page, int option);
void PointerSpeedChanged(CCorvaneMouseDevice& page);
void PointerPrecisionChanged(CCorvaneMouseDevice& page);
void ScrollByPageChanged(CCorvaneMouseDevice& page);
// Choosing a speed turns scrolling by page off.
void ScrollSpeedChanged(CCorvaneMouseDevice& page);
void DoubleClickChanged(CCorvaneMouseDevice& page);

}  // namespace mouse_settings
