// "tavrik_screen_media.so": the screen's pictures and videos through OpenCV.
// Nothing OpenCV throws leaves the plug-in.

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "keyboard/screen_image.h"
#include "keyboard/screen_media.h"

namespace {

bool Turned(ScreenMedia::Turn turn, const cv::Mat& image, int columns, int rows) {
    switch (turn) {
        case ScreenMedia::Turn::None:
            return false;
        case ScreenMedia::Turn::Always:
            return true;
        case ScreenMedia::Turn::UnlessScreenSized:
            return !(image.cols == columns && image.rows == rows);
    }
    return false;
}

ScreenPicture Fitted(const cv::Mat& image, int columns, int rows, ScreenMedia::Turn turn) {
    return screen_image::ToScreenPicture(
        screen_image::FitToScreen(image, columns, rows, Turned(turn, image, columns, rows)));
}

class OpenCvScreenMedia final : public ScreenMedia {
public:
    ScreenPicture ReadPicture(const std::string& path, int columns, int rows, Turn turn) override {
        try {
            return Fitted(screen_image::ReadColorPicture(path), columns, rows, turn);
        } catch (const cv::Exception&) {
            return ScreenPicture();
        }
    }

    bool ReadAnimation(const std::string& path, int columns, int rows, Turn turn, int limit,
                       std::vector<ScreenPicture>& frames) override {
        frames.clear();
        try {
            cv::VideoCapture capture(path, cv::CAP_FFMPEG);
            if (!capture.isOpened()) return false;
            cv::Mat image;
            while (static_cast<int>(frames.size()) < limit && capture.read(image)) {
                ScreenPicture fitted = Fitted(image, columns, rows, turn);
                if (!fitted.Empty()) frames.push_back(std::move(fitted));
            }
            capture.release();
            return true;
        } catch (const cv::Exception&) {
            frames.clear();
            return false;
        }
    }

    bool WritePicture(const std::string& path, const ScreenPicture& picture) override {
        const cv::Mat image = screen_image::FromScreenPicture(picture);
        if (image.empty()) return false;
        try {
            return cv::imwrite(path, image);
        } catch (const cv::Exception&) {
            return false;  // an extension without a writer
        }
    }

    bool WriteVideo(const std::string& path, double fps, int columns, int rows,
                    const std::vector<ScreenPicture>& frames) override {
        try {
            cv::VideoWriter writer(path, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('X', 'V', 'I', 'D'), fps,
                                   cv::Size(columns, rows), true);
            if (!writer.isOpened()) return false;
            for (const ScreenPicture& frame : frames) writer.write(screen_image::FromScreenPicture(frame));
            writer.release();
            return true;
        } catch (const cv::Exception&) {
            return false;  // what was written stays
        }
    }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) ScreenMedia* TavrikScreenMediaV1() {
    static OpenCvScreenMedia media;
    return &media;
}
