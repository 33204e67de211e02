// tavrik-skin-images: draws every picture the skins name into a skin folder.
//
//   tavrik-skin-images <skin folder>
//
// The pictures are drawn, not stored: the same program gives the same bytes
// on every run, and no picture file is kept in the sources.

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/skin_images/picture_list.h"

namespace skinimages {

std::vector<Picture> AllPictures() {
    std::vector<Picture> pictures;
    AddMainWindowPictures(pictures);
    AddDevicePictures(pictures);
    AddKeyboardPictures(pictures);
    AddMousePictures(pictures);
    AddProgressWindowPictures(pictures);
    AddPickerPictures(pictures);
    AddSecondaryWindowPictures(pictures);
    return pictures;
}

namespace {

bool WritePicture(const Picture& picture, const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / picture.path;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "tavrik-skin-images: cannot create %s: %s\n", file.parent_path().c_str(),
                     error.message().c_str());
        return false;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    picture.draw(cr, picture.width, picture.height, picture.variant);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    // Written beside the target and renamed, so a reader never sees half a file.
    const std::filesystem::path temporary = file.string() + ".part";
    const cairo_status_t status = cairo_surface_write_to_png(surface, temporary.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "tavrik-skin-images: cannot write %s: %s\n", file.c_str(),
                     cairo_status_to_string(status));
        std::filesystem::remove(temporary, error);
        return false;
    }
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::fprintf(stderr, "tavrik-skin-images: cannot write %s: %s\n", file.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

}  // namespace
}  // namespace skinimages

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrik-skin-images <skin folder>\n");
        return 2;
    }
    bool ok = true;
    for (const skinimages::Picture& picture : skinimages::AllPictures()) {
        ok = skinimages::WritePicture(picture, argv[1]) && ok;
    }
    cairo_debug_reset_static_data();
    return ok ? 0 : 1;
}
