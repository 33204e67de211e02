#include "shell/main/screen_editor_operations.h"

#include "keyboard/corvane_keyboard_device.h"

bool RunScreenEditorOperation(CCorvaneUSBDevice* page, PageOperation operation, int index, int& result) {
    auto* keyboard = page != nullptr && page->GetDeviceType() == CCorvaneUSBDevice::kTypeKeyboard
                         ? dynamic_cast<CCorvaneKeyboardDevice*>(page)
                         : nullptr;
    if (!keyboard) return false;
    result = 0;
    switch (operation) {
        case PageOperation::ScreenToolSelected:
            keyboard->OnScreenToolSelected();
            return true;
        case PageOperation::PixelSizeSelected:
            keyboard->OnPixelSizeSelected();
            return true;
        case PageOperation::SelectFrame:
            keyboard->SelectFrame(index);
            return true;
        case PageOperation::InvertFrame:
            keyboard->InvertFrame();
            return true;
        case PageOperation::InvertAllFrames:
            keyboard->InvertAllFrames();
            return true;
        case PageOperation::ClearFrame:
            keyboard->ClearFrame();
            return true;
        case PageOperation::UndoCanvas:
            keyboard->UndoCanvas();
            return true;
        default:
            return false;
    }
}
