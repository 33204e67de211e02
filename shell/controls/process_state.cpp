#include "shell/controls/process_state.h"

std::atomic<win::HWND> MainWindowHandle{nullptr};
std::atomic<int> ScreenWidth{0};
std::atomic<int> ScreenHeight{0};
std::atomic<int> UiLanguageIndex{0};
std::atomic<std::uint8_t> SystemAwakeFlag{1};
std::atomic<std::uint8_t> isFirst{0};
std::atomic<int> ScreenTabActive{0};
std::atomic<int> ScreenFramesUnsaved{0};
std::atomic<int> ScreenUndoPosition{0};
