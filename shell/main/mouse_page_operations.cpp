#include "shell/main/mouse_page_operations.h"

#include "devices/corvane_mouse_device.h"
#include "devices/mouse_settings_steps.h"

int RunMousePageOperation(CCorvaneMouseDevice& page, PageOperation operation, int index) {
    using P = PageOperation;
    switch (operation) {
        case P::DpiStageEnable:
            mouse_settings::StageEnableChanged(page, index);
            break;
        case P::DpiStageSelect:
            mouse_settings::StageSelected(page, index);
            break;
        case P::DpiSliderReleased:
            mouse_settings::SliderChanged(page, index);
            break;
        case P::DpiSliderMoving:
            mouse_settings::SliderMoving(page, index);
            break;
        case P::DpiEditLeft:
            mouse_settings::EditLeft(page, index);
            break;
        case P::MousePollingRate:
            mouse_settings::PollingRateSelected(page, index);
            break;
        case P::PointerPrecision:
            mouse_settings::PointerPrecisionChanged(page);
            break;
        case P::ScrollByPage:
            mouse_settings::ScrollByPageChanged(page);
            break;
        case P::PointerSpeed:
            mouse_settings::PointerSpeedChanged(page);
            break;
        case P::ScrollSpeed:
            mouse_settings::ScrollSpeedChanged(page);
            break;
        case P::DoubleClickSpeed:
            mouse_settings::DoubleClickChanged(page);
            break;
        default:
            break;
    }
    return 0;
}
