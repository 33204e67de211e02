#pragma once

#include <X11/Xlib.h>
#include <cairo.h>

namespace tavrik::x11 {

// Copies a rectangle of a Cairo image surface (ARGB32 or RGB24) to a
// drawable of the screen's default visual at the same position.  The
// surface's pixels go to the server as they are when their layout is the
// visual's (the usual 24-bit TrueColor); otherwise pixel by pixel.
void PutImageRect(Display* display, int screen, Drawable target, GC gc, cairo_surface_t* image, int x, int y, int width,
                  int height);

// A 1-bit mask pixmap of `width` x `height` from an A8 image surface:
// a bit is set where the alpha is at least half.
Pixmap MaskFromAlpha(Display* display, Drawable any, cairo_surface_t* alpha);

}  // namespace tavrik::x11
