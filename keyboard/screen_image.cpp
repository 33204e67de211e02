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

void CopyImageToCells(const cv::Mat& image, CScreenViewControlUI::CellGrid& cells) {
    if (image.empty() || image.type() != CV_8UC3) return;
    const int rows = std::min(image.rows, CScreenViewControlUI::kGridRows);
    const int columns = std::min(image.cols, CScreenViewControlUI::kGridColumns);
    for (int r = 0; r < rows; ++r) {
        const auto* pixel = image.ptr<cv::Vec3b>(r);
        for (int c = 0; c < columns; ++c) {
            ScreenCell& cell = cells[CScreenViewControlUI::CellIndex(c, r)];
            cell.red = pixel[c][2];
            cell.green = pixel[c][1];
            cell.blue = pixel[c][0];
            cell.flag = 1;
        }
    }
}

cv::Mat CellsToImage(const CScreenViewControlUI::CellGrid& cells, int columns, int rows) {
    columns = std::clamp(columns, 0, CScreenViewControlUI::kGridColumns);
    rows = std::clamp(rows, 0, CScreenViewControlUI::kGridRows);
    if (columns == 0 || rows == 0) return cv::Mat();
    cv::Mat image(rows, columns, CV_8UC3);
    for (int r = 0; r < rows; ++r) {
        auto* pixel = image.ptr<cv::Vec3b>(r);
        for (int c = 0; c < columns; ++c) {
            const ScreenCell& cell = cells[CScreenViewControlUI::CellIndex(c, r)];
            pixel[c] = cv::Vec3b(cell.blue, cell.green, cell.red);
        }
    }
    return image;
}

}  // namespace screen_image
