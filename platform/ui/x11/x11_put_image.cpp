#include "platform/ui/x11/x11_put_image.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tavrik::x11 {

void PutImageRect(Display* d, int screen, Drawable target, GC gc, cairo_surface_t* image, int x, int y, int width,
                  int height) {
    cairo_surface_flush(image);
    const int iw = cairo_image_surface_get_width(image), ih = cairo_image_surface_get_height(image);
    x = std::max(x, 0);
    y = std::max(y, 0);
    width = std::min(width, iw - x);
    height = std::min(height, ih - y);
    if (width <= 0 || height <= 0) return;
    const int stride = cairo_image_surface_get_stride(image);
    auto* data = reinterpret_cast<char*>(cairo_image_surface_get_data(image));
    if (!data) return;
    Visual* visual = DefaultVisual(d, screen);
    const int depth = DefaultDepth(d, screen);
    const bool native = (depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
                        visual->blue_mask == 0xFF;
    if (native) {
        XImage* xi = XCreateImage(d, visual, static_cast<unsigned>(depth), ZPixmap, 0, data, static_cast<unsigned>(iw),
                                  static_cast<unsigned>(ih), 32, stride);
        if (!xi) return;
        // Cairo's pixels are host-order words.
        const std::uint32_t probe = 1;
        xi->byte_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
        XPutImage(d, target, gc, xi, x, y, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
        xi->data = nullptr;
        XDestroyImage(xi);
        return;
    }
    XImage* xi = XCreateImage(d, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                              static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!xi) return;
    std::vector<char> buffer(static_cast<std::size_t>(xi->bytes_per_line) * height);
    xi->data = buffer.data();
    auto channel = [](std::uint32_t v, unsigned long mask) -> unsigned long {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1)) ++shift;
        while ((mask >> (shift + bits)) & 1) ++bits;
        return ((static_cast<unsigned long>(v) * ((1ul << bits) - 1) / 255) << shift) & mask;
    };
    for (int row = 0; row < height; ++row) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y + row) * stride);
        for (int col = 0; col < width; ++col) {
            const std::uint32_t p = src[x + col];
            XPutPixel(xi, col, row,
                      channel((p >> 16) & 0xFF, visual->red_mask) | channel((p >> 8) & 0xFF, visual->green_mask) |
                          channel(p & 0xFF, visual->blue_mask));
        }
    }
    XPutImage(d, target, gc, xi, 0, 0, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
    xi->data = nullptr;
    XDestroyImage(xi);
}

void PutArgbImage(Display* d, Visual* visual, Drawable target, GC gc, cairo_surface_t* image) {
    cairo_surface_flush(image);
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    auto* data = reinterpret_cast<char*>(cairo_image_surface_get_data(image));
    if (!data || w <= 0 || h <= 0) return;
    XImage* xi = XCreateImage(d, visual, 32, ZPixmap, 0, data, static_cast<unsigned>(w), static_cast<unsigned>(h), 32,
                              cairo_image_surface_get_stride(image));
    if (!xi) return;
    // Cairo's pixels are host-order words.
    const std::uint32_t probe = 1;
    xi->byte_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
    XPutImage(d, target, gc, xi, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
    xi->data = nullptr;
    XDestroyImage(xi);
}

void PutImageMasked(Display* d, int screen, Drawable target, GC gc, cairo_surface_t* image) {
    cairo_surface_flush(image);
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    if (!data || w <= 0 || h <= 0) return;
    cairo_surface_t* colours = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    const int colourStride = cairo_image_surface_get_stride(colours),
              alphaStride = cairo_image_surface_get_stride(alpha);
    unsigned char* colourData = cairo_image_surface_get_data(colours);
    unsigned char* alphaData = cairo_image_surface_get_data(alpha);
    for (int row = 0; row < h; ++row) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        auto* dst = reinterpret_cast<std::uint32_t*>(colourData + static_cast<std::ptrdiff_t>(row) * colourStride);
        for (int col = 0; col < w; ++col) {
            const std::uint32_t p = src[col];
            const std::uint32_t a = p >> 24;
            // Premultiplied back to the colour itself.
            auto channel = [&](int shift) {
                return a ? std::min<std::uint32_t>(255, ((p >> shift) & 0xFF) * 255 / a) : 0;
            };
            dst[col] = channel(16) << 16 | channel(8) << 8 | channel(0);
            alphaData[static_cast<std::ptrdiff_t>(row) * alphaStride + col] = static_cast<unsigned char>(a);
        }
    }
    cairo_surface_mark_dirty(colours);
    cairo_surface_mark_dirty(alpha);
    const Pixmap mask = MaskFromAlpha(d, target, alpha);
    XSetClipMask(d, gc, mask);
    XSetClipOrigin(d, gc, 0, 0);
    PutImageRect(d, screen, target, gc, colours, 0, 0, w, h);
    XSetClipMask(d, gc, None);
    XFreePixmap(d, mask);
    cairo_surface_destroy(alpha);
    cairo_surface_destroy(colours);
}

Pixmap MaskFromAlpha(Display* d, Drawable any, cairo_surface_t* alpha) {
    cairo_surface_flush(alpha);
    const int w = cairo_image_surface_get_width(alpha), h = cairo_image_surface_get_height(alpha);
    const int stride = cairo_image_surface_get_stride(alpha);
    const unsigned char* data = cairo_image_surface_get_data(alpha);
    Pixmap mask = XCreatePixmap(d, any, static_cast<unsigned>(w), static_cast<unsigned>(h), 1);
    XImage* xi =
        XCreateImage(d, nullptr, 1, XYBitmap, 0, nullptr, static_cast<unsigned>(w), static_cast<unsigned>(h), 8, 0);
    std::vector<char> buffer(static_cast<std::size_t>(xi->bytes_per_line) * h);
    xi->data = buffer.data();
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) XPutPixel(xi, col, row, data[row * stride + col] >= 128 ? 1 : 0);
    GC gc = XCreateGC(d, mask, 0, nullptr);
    XSetForeground(d, gc, 1);
    XSetBackground(d, gc, 0);
    XPutImage(d, mask, gc, xi, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFreeGC(d, gc);
    xi->data = nullptr;
    XDestroyImage(xi);
    return mask;
}

}  // namespace tavrik::x11
