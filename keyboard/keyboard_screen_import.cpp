// Screen frames from and to files: a picture into the current frame, the
// frames of a GIF or AVI as new frames, the canvas as a picture and all
// frames as an XVID video, all through the picture and video plug-in.

#include <algorithm>
#include <vector>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_media_library.h"
#include "keyboard/screen_picture_cells.h"
#include "platform/files/folders.h"

using namespace DuiLib;

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

}  // namespace

std::string CCorvaneKeyboardDevice::WideToNarrow(const wchar_t* wide, unsigned /*codePage*/) {
    if (!wide) return std::string();
    // The file system takes UTF-8 whatever code page a caller names.
    return win::ToFsPath(wide).string();
}

void CCorvaneKeyboardDevice::CopyImageToCanvas(const ScreenPicture& image) {
    if (!m_screenEditor) {
        // Without an editor the picture goes straight into the frame.
        if (CScreenViewControlUI* frame = GetFrame(m_currentFrame)) {
            CopyPictureToCells(image, frame->Cells());
            frame->NeedUpdate();
        }
        return;
    }
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    CopyPictureToCells(image, canvas.cells);
    canvas.EnsureHistory();
    CopyPictureToCells(image, canvas.history[1].cells.Grid());
    m_screenEditor->RedrawCanvas();
    StoreCanvasToFrame();
}

ScreenMedia::Turn CCorvaneKeyboardDevice::ImportTurn() const {
    return m_rotate != 0 ? ScreenMedia::Turn::Always : ScreenMedia::Turn::None;
}

int CCorvaneKeyboardDevice::ImportPicture(const CDuiString& path) {
    if (ScreenColumns() == 0 || ScreenRows() == 0) return -1;
    ScreenMedia* media = screen_media::Get();
    if (!media) return kScreenMediaMissing;
    const ScreenPicture fitted =
        media->ReadPicture(WideToNarrow(path.GetData(), 0), ScreenColumns(), ScreenRows(), ImportTurn());
    if (fitted.Empty()) return -1;
    CopyImageToCanvas(fitted);
    return 0;
}

int CCorvaneKeyboardDevice::ImportAnimation(const CDuiString& path) {
    const int columns = ScreenColumns();
    const int rows = ScreenRows();
    if (columns == 0 || rows == 0) return 0;
    ScreenMedia* media = screen_media::Get();
    if (!media) return kScreenMediaMissing;
    // One frame more than fits is enough to know the file is too long.
    const int wanted = std::max(m_maxFrames - m_frameCount + 1, 1);
    std::vector<ScreenPicture> images;
    if (!media->ReadAnimation(WideToNarrow(path.GetData(), 0), columns, rows, ImportTurn(), wanted, images)) return 0;
    const int n = static_cast<int>(images.size());
    if (m_frameCount + n > m_maxFrames) return -1;

    const int first = m_frameCount;
    while (m_frameCount < first + n) {
        if (AddFrame() != 0) break;
    }
    for (int k = 0; k < n && first + k < m_frameCount; ++k) {
        m_currentFrame = first + k;
        CopyImageToCanvas(images[size_t(k)]);
    }
    return 0;
}

int CCorvaneKeyboardDevice::ExportPicture(const CDuiString& path) {
    const CScreenViewControlUI::CellGrid* cells = nullptr;
    if (m_screenEditor)
        cells = &m_screenEditor->Canvas().cells;
    else if (CScreenViewControlUI* frame = GetFrame(m_currentFrame))
        cells = &frame->Cells();
    if (!cells) return 0;
    const ScreenPicture image = CellsToPicture(*cells, ScreenColumns(), ScreenRows());
    if (image.Empty()) return 0;
    ScreenMedia* media = screen_media::Get();
    if (!media) return kScreenMediaMissing;
    // An extension without a writer writes nothing, and is not reported.
    media->WritePicture(WideToNarrow(path.GetData(), 0), image);
    return 0;
}

int CCorvaneKeyboardDevice::ExportVideo(const CDuiString& path) {
    const int columns = ScreenColumns();
    const int rows = ScreenRows();
    if (columns == 0 || rows == 0) return 0;
    ScreenMedia* media = screen_media::Get();
    if (!media) return kScreenMediaMissing;
    const double fps = kMillisecondsPerSecond / GetFrameInterval();
    std::vector<ScreenPicture> frames;
    for (int i = 0; i < m_frameCount; ++i) {
        if (CScreenViewControlUI* frame = GetFrame(i)) frames.push_back(CellsToPicture(frame->Cells(), columns, rows));
    }
    // A writer that fails leaves what it wrote; nothing is reported.
    media->WriteVideo(WideToNarrow(path.GetData(), 0), fps, columns, rows, frames);
    return 0;
}
