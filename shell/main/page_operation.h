#pragma once

// The operations of the keyboard and mouse pages that the notification
// dispatch reaches (CMainWnd::RunPageOperation). The dispatch has already
// checked the page's kind; the operation reads the page, changes its
// settings record or screen frames and stores them back. Committing the
// profile and writing the device are the dispatch's own steps.

enum class PageOperation {
    // Mouse: DPI stages ("DPI_enable_check_", "DPI_select_check_",
    // "DPI_slider_", "DPI_edit_"; index = stage 0..4).
    DpiStageEnable,
    DpiStageSelect,
    DpiSliderReleased,
    DpiSliderMoving,  // only redraws the stage's edit; nothing is stored
    DpiEditLeft,
    // Mouse: report rate (index = option) and pointer settings.
    MousePollingRate,
    PointerPrecision,
    ScrollByPage,
    PointerSpeed,
    ScrollSpeed,  // also turns scrolling by page off
    DoubleClickSpeed,
    // Keyboard: system settings (index = option where one is chosen).
    KeyboardPollingRate,
    RepeatDelay,
    RepeatRate,
    WinLock,
    WFlag,
    Key6Flag,
    KeyShakeEdit,
    FrameIntervalEdit,  // stores and commits the interval itself
    // Keyboard: the screen editor's tools.
    ScreenToolSelected,
    PixelSizeSelected,
    ScreenModeSelected,
    SelectFrame,  // index = frame option
    // Keyboard: the screen frames. Results as the page gives them: the
    // uploads and AddFrame/DeleteFrame -1 on failure (UploadAllFrames also -2
    // too many frames, -3 long upload not yet accepted); SaveFrame and
    // SaveAllFrames 1 when the file was written, else 0.
    ClearRepeatTestBox,
    UploadCurrentFrame,
    UploadAllFrames,
    AddFrame,
    InvertFrame,
    InvertAllFrames,
    DeleteFrame,
    ClearFrame,
    ClearAllFrames,
    SaveFrame,
    SaveAllFrames,
    UndoCanvas,
    DumpUploadImage,
};
