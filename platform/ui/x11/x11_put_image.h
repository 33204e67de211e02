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

// Copies a whole premultiplied ARGB32 surface to a drawable of a depth-32
// visual with the 8-bit channels at the usual places, alpha included.
void PutArgbImage(Display* display, Visual* visual, Drawable target, GC gc, cairo_surface_t* image);

// Copies a premultiplied ARGB32 surface to a drawable of the screen's
// default visual where its alpha is at least half, in its own (not
// premultiplied) colours; the rest of the drawable stays as it is.
void PutImageMasked(Display* display, int screen, Drawable target, GC gc, cairo_surface_t* image);

// A 1-bit mask pixmap of `width` x `height` from an A8 image surface:
// a bit is set where the alpha is at least half.
Pixmap MaskFromAlpha(Display* display, Drawable any, cairo_surface_t* alpha);

}  // namespace tavrik::x11
