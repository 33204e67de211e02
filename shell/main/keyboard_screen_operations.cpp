#include "shell/main/keyboard_screen_operations.h"

#include "keyboard/corvane_keyboard_device.h"

bool RunKeyboardScreenOperation(CCorvaneKeyboardDevice& keyboard, PageOperation operation, int index, int* result) {
    int value = 0;
    switch (operation) {
        case PageOperation::AddFrame:
            value = keyboard.AddFrame();
            break;
        case PageOperation::DeleteFrame:
            value = keyboard.DeleteFrame();
            break;
        case PageOperation::ClearAllFrames:
            keyboard.ClearAllFrames();
            break;
        case PageOperation::SaveFrame:
            value = keyboard.SaveFrame();
            break;
        case PageOperation::SaveAllFrames:
            value = keyboard.SaveAllFrames();
            break;
        case PageOperation::ScreenModeSelected:
            keyboard.OnScreenModeSelected();
            break;
        case PageOperation::SelectFrame:
            keyboard.SelectFrame(index);
            break;
        // The interval the edit shows is stored, saved and shown back.
        case PageOperation::FrameIntervalEdit:
            keyboard.SetFrameInterval(keyboard.GetFrameInterval(), 1);
            break;
        case PageOperation::UploadCurrentFrame:
            value = keyboard.UploadCurrentFrame();
            break;
        case PageOperation::UploadAllFrames:
            value = keyboard.UploadAllFrames();
            break;
        case PageOperation::DumpUploadImage:
            value = keyboard.DumpUploadImage();
            break;
        default:
            return false;
    }
    if (result) *result = value;
    return true;
}
