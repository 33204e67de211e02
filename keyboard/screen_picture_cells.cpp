#include "keyboard/screen_picture_cells.h"

#include <algorithm>

void CopyPictureToCells(const ScreenPicture& picture, CScreenViewControlUI::CellGrid& cells) {
    if (picture.Empty() || picture.bgr.size() != size_t(picture.columns) * size_t(picture.rows) * 3) return;
    const int rows = std::min(picture.rows, CScreenViewControlUI::kGridRows);
    const int columns = std::min(picture.columns, CScreenViewControlUI::kGridColumns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const uint8_t* pixel = picture.Pixel(c, r);
            ScreenCell& cell = cells[CScreenViewControlUI::CellIndex(c, r)];
            cell.red = pixel[2];
            cell.green = pixel[1];
            cell.blue = pixel[0];
            cell.flag = 1;
        }
    }
}

ScreenPicture CellsToPicture(const CScreenViewControlUI::CellGrid& cells, int columns, int rows) {
    columns = std::clamp(columns, 0, CScreenViewControlUI::kGridColumns);
    rows = std::clamp(rows, 0, CScreenViewControlUI::kGridRows);
    if (columns == 0 || rows == 0) return ScreenPicture();
    ScreenPicture picture{columns, rows, std::vector<uint8_t>(size_t(columns) * size_t(rows) * 3)};
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const ScreenCell& cell = cells[CScreenViewControlUI::CellIndex(c, r)];
            uint8_t* pixel = picture.Pixel(c, r);
            pixel[0] = cell.blue;
            pixel[1] = cell.green;
            pixel[2] = cell.red;
        }
    }
    return picture;
}
