// What a window shows: its picture through the back buffer, its shape, its
// icon and its cursor.

#include "platform/ui/x11/x11_backend_impl.h"

#include <X11/Xcursor/Xcursor.h>

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/os/clock.h"
#include "platform/ui/x11/x11_put_image.h"

namespace tavrik::x11 {

using DuiLib::BackendEvent;
using DuiLib::BackendRect;

void X11Window::EnsureBackBuffer() {
    const int w = ClampSize(rect_.Width()), h = ClampSize(rect_.Height());
    if (back_ && back_w_ == w && back_h_ == h) return;
    const int depth = DefaultDepth(d_, backend_->screen());
    Pixmap fresh =
        XCreatePixmap(d_, xid_, static_cast<unsigned>(w), static_cast<unsigned>(h), static_cast<unsigned>(depth));
    // Keep what was shown; the part that is new waits for the next picture.
    XSetForeground(d_, gc_, WhitePixel(d_, backend_->screen()));
    XFillRectangle(d_, fresh, gc_, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (back_) {
        XCopyArea(d_, back_, fresh, gc_, 0, 0, static_cast<unsigned>(std::min(w, back_w_)),
                  static_cast<unsigned>(std::min(h, back_h_)), 0, 0);
        XFreePixmap(d_, back_);
    }
    back_ = fresh;
    back_w_ = w;
    back_h_ = h;
    if (back_valid_) UseBackBufferAsBackground();
}

// The server paints a window's background itself as the window is mapped or
// exposed: with the back buffer as background, a window shown again (or for
// the first time, drawn while hidden) appears with its picture at once, not
// blank until the program answers the exposure.
void X11Window::UseBackBufferAsBackground() {
    if (background_ == back_) return;
    XSetWindowBackgroundPixmap(d_, xid_, back_);
    background_ = back_;
}

void X11Window::Present(cairo_surface_t* picture, const BackendRect& dirty) {
    WakeOnExit wake(backend_);
    if (!picture || cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) return;
    EnsureBackBuffer();
    BackendRect r = dirty;
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, back_w_);
    r.bottom = std::min(r.bottom, back_h_);
    if (r.right <= r.left || r.bottom <= r.top) return;
    // Into the back buffer, then one copy to the window: the window never
    // shows a half-drawn picture.
    PutImageRect(d_, backend_->screen(), back_, gc_, picture, r.left, r.top, r.Width(), r.Height());
    XCopyArea(d_, back_, xid_, gc_, r.left, r.top, static_cast<unsigned>(r.Width()), static_cast<unsigned>(r.Height()),
              r.left, r.top);
    back_valid_ = true;
    UseBackBufferAsBackground();
    XFlush(d_);
}

void X11Window::OnExpose(const XExposeEvent& e) {
    if (back_valid_ && back_) {
        XCopyArea(d_, back_, xid_, gc_, e.x, e.y, static_cast<unsigned>(e.width), static_cast<unsigned>(e.height), e.x,
                  e.y);
        return;
    }
    BackendEvent ev;
    ev.type = kExposeEvent;
    ev.time = win::GetTickCount();
    ev.rect = {e.x, e.y, e.x + e.width, e.y + e.height};
    Deliver(ev);
}

void X11Window::SetCursor(DuiLib::BackendCursor cursor) {
    WakeOnExit wake(backend_);
    image_cursor_shown_ = false;
    XDefineCursor(d_, xid_, backend_->CursorFor(cursor));
    XFlush(d_);
}

void X11Window::SetCursorImage(const DuiLib::BackendCursorImage& image) {
    const bool same = image_cursor_ && image.width == image_cursor_source_.width &&
                      image.height == image_cursor_source_.height && image.hotX == image_cursor_source_.hotX &&
                      image.hotY == image_cursor_source_.hotY && image.pixels == image_cursor_source_.pixels;
    if (same && image_cursor_shown_) return;
    WakeOnExit wake(backend_);
    if (!same) {
        const size_t count = size_t(image.width) * size_t(image.height);
        if (image.width <= 0 || image.height <= 0 || image.pixels.size() != count) return;
        XcursorImage* picture = XcursorImageCreate(image.width, image.height);
        if (!picture) return;
        picture->xhot = static_cast<XcursorDim>(std::clamp(image.hotX, 0, image.width - 1));
        picture->yhot = static_cast<XcursorDim>(std::clamp(image.hotY, 0, image.height - 1));
        std::copy(image.pixels.begin(), image.pixels.end(), picture->pixels);
        const Cursor made = XcursorImageLoadCursor(d_, picture);
        XcursorImageDestroy(picture);
        if (!made) return;
        if (image_cursor_) XFreeCursor(d_, image_cursor_);
        image_cursor_ = made;
        image_cursor_source_ = image;
    }
    image_cursor_shown_ = true;
    XDefineCursor(d_, xid_, image_cursor_);
    XFlush(d_);
}

void X11Window::SetIcon(cairo_surface_t* icon) {
    WakeOnExit wake(backend_);
    const Atom prop = backend_->atoms().net_wm_icon;
    if (!icon || cairo_surface_get_type(icon) != CAIRO_SURFACE_TYPE_IMAGE) {
        XDeleteProperty(d_, xid_, prop);
        XFlush(d_);
        return;
    }
    cairo_surface_flush(icon);
    const int w = cairo_image_surface_get_width(icon), h = cairo_image_surface_get_height(icon);
    const int stride = cairo_image_surface_get_stride(icon);
    const unsigned char* data = cairo_image_surface_get_data(icon);
    if (!data || w <= 0 || h <= 0 || cairo_image_surface_get_format(icon) != CAIRO_FORMAT_ARGB32) return;
    // Format 32 properties travel as longs.
    std::vector<long> v;
    v.reserve(2 + static_cast<std::size_t>(w) * h);
    v.push_back(w);
    v.push_back(h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            // Cairo keeps premultiplied alpha; the property wants it straight.
            std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            if (a && a != 255) {
                auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, c * 255 / a); };
                p = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
            }
            v.push_back(static_cast<long>(p));
        }
    }
    XChangeProperty(d_, xid_, prop, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(v.data()),
                    static_cast<int>(v.size()));
    XFlush(d_);
}

void X11Window::SetRoundCorner(int cx, int cy) {
    WakeOnExit wake(backend_);
    round_x_ = std::max(cx, 0);
    round_y_ = std::max(cy, 0);
    ApplyShape();
    XFlush(d_);
}

void X11Window::ApplyShape() {
    int event_base = 0, error_base = 0;
    if (!XShapeQueryExtension(d_, &event_base, &error_base)) return;
    if (round_x_ <= 0 || round_y_ <= 0) {
        XShapeCombineMask(d_, xid_, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    const int w = ClampSize(rect_.Width()), h = ClampSize(rect_.Height());
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    // The skin's "roundcorner" gives the ellipse of each corner.
    const double rx = round_x_ / 2.0, ry = round_y_ / 2.0;
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, w - rx, ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, -M_PI / 2, 0);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, w - rx, h - ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, M_PI / 2);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, rx, h - ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI / 2, M_PI);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, rx, ry);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, M_PI, 3 * M_PI / 2);
    cairo_restore(cr);
    cairo_close_path(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    Pixmap mask = MaskFromAlpha(d_, xid_, s);
    cairo_surface_destroy(s);
    XShapeCombineMask(d_, xid_, ShapeBounding, 0, 0, mask, ShapeSet);
    XFreePixmap(d_, mask);
}

}  // namespace tavrik::x11
