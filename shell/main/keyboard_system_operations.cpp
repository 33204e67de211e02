#include "shell/main/keyboard_system_operations.h"

#include <cstdint>

#include "keyboard/corvane_keyboard_device.h"

namespace {

// The option groups have four choices; an index beyond them selects the
// first, and the value stored is the one the page shows.
constexpr int kChoices = 4;
std::uint16_t ChoiceOf(int n) { return std::uint16_t(n < 0 || n >= kChoices ? 0 : n); }

}  // namespace

bool RunKeyboardSystemOperation(CCorvaneKeyboardDevice& keyboard, PageOperation operation, int index) {
    KeyboardSystemStages stages = keyboard.GetSystemStages();
    switch (operation) {
        case PageOperation::KeyboardPollingRate:
            keyboard.SetPollingRateOption(index);
            stages.pollingRate = ChoiceOf(index);
            break;
        case PageOperation::RepeatDelay:
            keyboard.SetRepeatDelayOption(index);
            stages.repeatDelay = ChoiceOf(index);
            break;
        case PageOperation::RepeatRate:
            stages.repeat = std::uint16_t(keyboard.GetRepeatRate());
            break;
        case PageOperation::WinLock:
            stages.winFlag = keyboard.GetWinLockOption() ? 1 : 0;
            break;
        case PageOperation::WFlag:
            stages.wFlag = keyboard.GetWFlagOption() ? 1 : 0;
            break;
        case PageOperation::Key6Flag:
            stages.key6Flag = keyboard.GetKey6FlagOption() ? 1 : 0;
            break;
        case PageOperation::KeyShakeEdit: {
            const int value = keyboard.GetKeyShakeEdit();
            keyboard.SetKeyShake(value);
            stages.keyShake = std::uint16_t(value);
            break;
        }
        case PageOperation::ClearRepeatTestBox:
            keyboard.ClearRepeatTestBox();
            return true;
        default:
            return false;
    }
    keyboard.SetSystemStages(stages);
    return true;
}
