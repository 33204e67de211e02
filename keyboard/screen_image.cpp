#include "keyboard/screen_image.h"

#include <algorithm>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace screen_image {

cv::Mat ReadColorPicture(const std::string& path) {
    try {
        return cv::imread(path, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return cv::Mat();
    }
}

cv::Mat FitToScreen(const cv::Mat& image, int width, int height, bool rotate) {
    if (image.empty() || width <= 0 || height <= 0) return cv::Mat();
    cv::Mat turned = image;
    if (rotate) {
        cv::Mat transposed;
        cv::transpose(image, transposed);
        cv::flip(transposed, turned, 0);
    }
    if (turned.rows == height && turned.cols == width) return turned;
    cv::Mat resized;
    cv::resize(turned, resized, cv::Size(width, height), 0, 0, cv::INTER_NEAREST);
    return resized;
}

ScreenPicture ToScreenPicture(const cv::Mat& image) {
    if (image.empty() || image.type() != CV_8UC3) return ScreenPicture();
    ScreenPicture picture{image.cols, image.rows, std::vector<uint8_t>(size_t(image.cols) * size_t(image.rows) * 3)};
    for (int r = 0; r < image.rows; ++r) {
        const uint8_t* row = image.ptr<uint8_t>(r);
        std::copy(row, row + size_t(image.cols) * 3, picture.Pixel(0, r));
    }
    return picture;
}

cv::Mat FromScreenPicture(const ScreenPicture& picture) {
    if (picture.Empty() || picture.bgr.size() != size_t(picture.columns) * size_t(picture.rows) * 3) return cv::Mat();
    cv::Mat image(picture.rows, picture.columns, CV_8UC3);
    for (int r = 0; r < picture.rows; ++r) {
        const uint8_t* row = picture.Pixel(0, r);
        std::copy(row, row + size_t(picture.columns) * 3, image.ptr<uint8_t>(r));
    }
    return image;
}

}  // namespace screen_image
