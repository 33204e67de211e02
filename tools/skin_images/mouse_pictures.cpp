// The pictures of the mouse page's DPI sliders: the filled track and two
// thumbs, one for the active stage and one for the others.

#include <cmath>

#include "tools/skin_images/painter.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {
namespace {

enum ThumbKind { kActiveThumb, kOtherThumb };

void DrawSliderTrack(cairo_t* cr, int w, int h, int) { FillRoundedRect(cr, 0, h / 2.0 - 2, w, 4, 2, kAccent); }

void DrawSliderThumb(cairo_t* cr, int w, int h, int kind) {
    const Rgba fill = kind == kActiveThumb ? kAccent : kTextDim;
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, w / 2.0, h / 2.0, w / 2.0 - 2, 0, 2 * M_PI);
    SetColor(cr, fill);
    cairo_fill_preserve(cr);
    SetColor(cr, kText);
    cairo_stroke(cr);
}

}  // namespace

void AddMousePictures(std::vector<Picture>& pictures) {
    pictures.push_back({"Control/SliderBar_BK1.png", 240, 12, &DrawSliderTrack, 0});
    pictures.push_back({"Control/SliderBar1_Thumb.png", 14, 14, &DrawSliderThumb, kActiveThumb});
    pictures.push_back({"Control/SliderBar2_Thumb.png", 14, 14, &DrawSliderThumb, kOtherThumb});
}

}  // namespace skinimages
