#include "platform/ui/image_loader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace DuiLib {

namespace {

struct PngReader {
    const std::string* bytes;
    size_t pos;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<PngReader*>(closure);
    if (r->pos + length > r->bytes->size()) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, r->bytes->data() + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void JpegQuiet(j_common_ptr, int) {}

cairo_surface_t* LoadJpeg(const std::string& bytes) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    err.mgr.emit_message = JpegQuiet;
    cairo_surface_t* volatile surface = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (surface) cairo_surface_destroy(surface);
        return nullptr;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
        jpeg_destroy_decompress(&cinfo);
        return nullptr;
    }
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::string row(static_cast<size_t>(w) * 3, '\0');
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(&row[0])};
        int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        auto* out = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            auto* p = reinterpret_cast<unsigned char*>(&row[static_cast<size_t>(x) * 3]);
            out[x] = 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    cairo_surface_mark_dirty(surface);
    return surface;
}

}  // namespace

cairo_surface_t* LoadImageSurfaceUI(const std::string& bytes) {
    if (bytes.size() >= 8 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        PngReader r{&bytes, 0};
        cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadPng, &r);
        if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(s);
            return nullptr;
        }
        if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) {
            // Bring every picture to one format so that pixel access is uniform.
            int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
            cairo_surface_t* c = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
            cairo_t* cr = cairo_create(c);
            cairo_set_source_surface(cr, s, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
            cairo_surface_destroy(s);
            s = c;
        }
        return s;
    }
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xD8)
        return LoadJpeg(bytes);
    return nullptr;
}

}  // namespace DuiLib
