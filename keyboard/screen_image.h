#pragma once
// Pictures of the keyboard's screen through OpenCV, inside the picture and
// video plug-in: reading a picture as colour, fitting it to the screen, and
// moving it between OpenCV's pictures and the program's.

#include <string>

#include <opencv2/core/mat.hpp>

#include "keyboard/screen_picture.h"

namespace screen_image {

// The picture at a file-system path (UTF-8) as 3-channel colour; empty when
// it cannot be read.
cv::Mat ReadColorPicture(const std::string& path);

// The picture turned a quarter counter-clockwise when `rotate` is set, then
// resized to width x height by nearest neighbour when its size differs.
// Empty when the picture or the size is empty.
cv::Mat FitToScreen(const cv::Mat& image, int width, int height, bool rotate);

// An 8-bit 3-channel picture as the program's; empty for any other.
ScreenPicture ToScreenPicture(const cv::Mat& image);
// The program's picture as an 8-bit 3-channel picture (a copy).
cv::Mat FromScreenPicture(const ScreenPicture& picture);

}  // namespace screen_image
