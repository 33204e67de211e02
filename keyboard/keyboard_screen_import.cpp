// Screen frames from and to files: a picture into the current frame, the
// frames of a GIF or AVI as new frames, the canvas as a picture and all
// frames as an XVID video.

#include <algorithm>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_image.h"
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

void CCorvaneKeyboardDevice::CopyImageToCanvas(const cv::Mat& image) {
    if (!m_screenEditor) {
        // Without an editor the picture goes straight into the frame.
        if (CScreenViewControlUI* frame = GetFrame(m_currentFrame)) {
            screen_image::CopyImageToCells(image, frame->Cells());
            frame->NeedUpdate();
        }
        return;
    }
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    screen_image::CopyImageToCells(image, canvas.cells);
    canvas.EnsureHistory();
    screen_image::CopyImageToCells(image, canvas.history[1].cells.Grid());
    m_screenEditor->RedrawCanvas();
    StoreCanvasToFrame();
}

void CCorvaneKeyboardDevice::LoadImageIntoCanvas(const cv::Mat& image) {
    const cv::Mat fitted = screen_image::FitToScreen(image, ScreenColumns(), ScreenRows(), m_rotate != 0);
    if (!fitted.empty()) CopyImageToCanvas(fitted);
}

int CCorvaneKeyboardDevice::ImportPicture(const CDuiString& path) {
    if (ScreenColumns() == 0 || ScreenRows() == 0) return -1;
    const cv::Mat image = screen_image::ReadColorPicture(WideToNarrow(path.GetData(), 0));
    if (image.empty()) return -1;
    LoadImageIntoCanvas(image);
    return 0;
}

int CCorvaneKeyboardDevice::ImportAnimation(const CDuiString& path) {
    const int columns = ScreenColumns();
    const int rows = ScreenRows();
    if (columns == 0 || rows == 0) return 0;
    // One frame more than fits is enough to know the file is too long.
    const int wanted = std::max(m_maxFrames - m_frameCount + 1, 1);
    std::vector<cv::Mat> images;
    try {
        cv::VideoCapture capture(WideToNarrow(path.GetData(), 0), cv::CAP_FFMPEG);
        if (!capture.isOpened()) return 0;
        cv::Mat image;
        while (static_cast<int>(images.size()) < wanted && capture.read(image)) {
            cv::Mat fitted = screen_image::FitToScreen(image, columns, rows, m_rotate != 0);
            if (!fitted.empty()) images.push_back(fitted.clone());
        }
        capture.release();
    } catch (const cv::Exception&) {
        return 0;
    }
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

void CCorvaneKeyboardDevice::ExportPicture(const CDuiString& path) {
    const CScreenViewControlUI::CellGrid* cells = nullptr;
    if (m_screenEditor)
        cells = &m_screenEditor->Canvas().cells;
    else if (CScreenViewControlUI* frame = GetFrame(m_currentFrame))
        cells = &frame->Cells();
    if (!cells) return;
    const cv::Mat image = screen_image::CellsToImage(*cells, ScreenColumns(), ScreenRows());
    if (image.empty()) return;
    try {
        cv::imwrite(WideToNarrow(path.GetData(), 0), image);
    } catch (const cv::Exception&) {
        // An extension without a writer: nothing is written.
    }
}

void CCorvaneKeyboardDevice::ExportVideo(const CDuiString& path) {
    const int columns = ScreenColumns();
    const int rows = ScreenRows();
    if (columns == 0 || rows == 0) return;
    const double fps = kMillisecondsPerSecond / GetFrameInterval();
    try {
        cv::VideoWriter writer(WideToNarrow(path.GetData(), 0), cv::CAP_FFMPEG,
                               cv::VideoWriter::fourcc('X', 'V', 'I', 'D'), fps, cv::Size(columns, rows), true);
        if (!writer.isOpened()) return;
        for (int i = 0; i < m_frameCount; ++i) {
            if (CScreenViewControlUI* frame = GetFrame(i))
                writer.write(screen_image::CellsToImage(frame->Cells(), columns, rows));
        }
        writer.release();
    } catch (const cv::Exception&) {
        // A writer that fails leaves what it wrote; nothing is reported.
    }
}
