#pragma once
// Pictures of the keyboard's screen through OpenCV: reading a picture as
// colour, fitting it to the screen, and moving it between pictures (8-bit
// blue, green, red) and frame cells.

#include <string>

#include <opencv2/core/mat.hpp>

#include "keyboard/screen_view_control_ui.h"

namespace screen_image {

// The picture at a file-system path (UTF-8) as 3-channel colour; empty when
// it cannot be read.
cv::Mat ReadColorPicture(const std::string& path);

// The picture turned a quarter counter-clockwise when `rotate` is set, then
// resized to width x height by nearest neighbour when its size differs.
// Empty when the picture or the size is empty.
cv::Mat FitToScreen(const cv::Mat& image, int width, int height, bool rotate);

// Every pixel of the picture that falls in the grid becomes a set cell of the
// pixel's colour.
void CopyImageToCells(const cv::Mat& image, CScreenViewControlUI::CellGrid& cells);

// A rows x columns colour picture of the cells, whatever their flags; empty
// for an empty size.
cv::Mat CellsToImage(const CScreenViewControlUI::CellGrid& cells, int columns, int rows);

}  // namespace screen_image
