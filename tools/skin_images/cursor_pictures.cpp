// The screen editor's cursors: a pen whose tip points, and an eraser whose
// lower edge does. Both are ICO files of cursor type with one PNG entry, so
// the hot spot travels in the file's directory.

#include <cmath>

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

// A pen lying from the top right to the tip at the bottom left.
void DrawPen(cairo_t* cr, int w, int h, int) {
    cairo_save(cr);
    cairo_translate(cr, 2, h - 2);
    cairo_rotate(cr, -M_PI / 4);
    const double length = std::hypot(w - 4, h - 4) - 2;
    // Tip, shaft and cap, outlined in black so the cursor shows on any colour.
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 7, -3.5);
    cairo_line_to(cr, length, -3.5);
    cairo_line_to(cr, length, 3.5);
    cairo_line_to(cr, 7, 3.5);
    cairo_close_path(cr);
    SetColor(cr, Hex(0xFFFFFF));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x000000));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_rectangle(cr, length - 6, -3.5, 6, 7);
    SetColor(cr, kAccent);
    cairo_fill(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 3, -1.5);
    cairo_line_to(cr, 3, 1.5);
    cairo_close_path(cr);
    SetColor(cr, Hex(0x000000));
    cairo_fill(cr);
    cairo_restore(cr);
}

// An eraser block tilted the same way, its rubber end at the bottom left.
void DrawEraser(cairo_t* cr, int w, int h, int) {
    cairo_save(cr);
    cairo_translate(cr, 3, h - 3);
    cairo_rotate(cr, -M_PI / 4);
    const double length = std::hypot(w - 6, h - 6) - 4;
    cairo_rectangle(cr, 0, -5, length, 10);
    SetColor(cr, Hex(0xFFFFFF));
    cairo_fill_preserve(cr);
    SetColor(cr, Hex(0x000000));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_rectangle(cr, 0.6, -4.4, length / 3, 8.8);
    SetColor(cr, kDanger);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace

void AddCursorPictures(std::vector<CursorPicture>& cursors) {
    cursors.push_back({"Skin/Cursor/pen.ico", 32, 2, 29, &DrawPen});
    cursors.push_back({"Skin/Cursor/eraser.ico", 32, 4, 27, &DrawEraser});
}

}  // namespace skinimages
