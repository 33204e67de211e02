// tavrik-skin-images: draws every picture the skins name into a skin folder.
//
//   tavrik-skin-images <skin folder> [<program folder> [<key rectangles>]]
//   tavrik-skin-images --icons <icon theme folder>
//
// With the program folder it also draws the cursors the program loads from
// its own folder (CursorPicture); with the keyboard picture's key rectangles
// (tools/keyboard_skin/key_rects.txt) the legend of every key. With --icons it
// draws only the program's icon at the icon theme's sizes, for the desktop entry.
//
// The pictures are drawn, not stored: the same program gives the same bytes
// on every run, and no picture file is kept in the sources.

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <system_error>

#include "tools/skin_images/ico_file.h"
#include "tools/skin_images/key_legends.h"
#include "tools/skin_images/picture_list.h"

namespace skinimages {

std::vector<Picture> AllPictures(const std::vector<KeyRect>& keys) {
    std::vector<Picture> pictures;
    AddMainWindowPictures(pictures);
    AddDevicePictures(pictures);
    AddKeyboardPictures(pictures);
    AddKeyLegendPictures(pictures, keys);
    AddMousePictures(pictures);
    AddProgressWindowPictures(pictures);
    AddPickerPictures(pictures);
    AddSecondaryWindowPictures(pictures);
    return pictures;
}

namespace {

namespace fs = std::filesystem;

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// The PNG bytes of one drawing of width x height pixels; empty on failure.
std::vector<std::uint8_t> DrawPng(void (*draw)(cairo_t*, int, int, int), int width, int height, int variant) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    draw(cr, width, height, variant);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::vector<std::uint8_t> png;
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface, &AppendBytes, &png);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "tavrik-skin-images: cannot encode a picture: %s\n", cairo_status_to_string(status));
        png.clear();
    }
    return png;
}

bool WriteFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return false;
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "tavrik-skin-images: cannot create %s: %s\n", file.parent_path().c_str(),
                     error.message().c_str());
        return false;
    }
    // Written beside the target and renamed, so a reader never sees half a file.
    const fs::path temporary = file.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "tavrik-skin-images: cannot write %s\n", file.c_str());
            out.close();
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, file, error);
    if (error) {
        std::fprintf(stderr, "tavrik-skin-images: cannot write %s: %s\n", file.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

bool WritePicture(const Picture& picture, const fs::path& folder) {
    return WriteFile(folder / picture.path, DrawPng(picture.draw, picture.width, picture.height, picture.variant));
}

bool WriteCursor(const CursorPicture& cursor, const fs::path& folder) {
    const std::vector<std::uint8_t> png = DrawPng(cursor.draw, cursor.size, cursor.size, 0);
    if (png.empty()) return false;
    return WriteFile(folder / cursor.path, CursorIcoFile(png, cursor.size, cursor.size, cursor.hotX, cursor.hotY));
}

// The legend folder holds what this tool draws and nothing else: a legend of
// a key no longer drawn would otherwise stay behind from an earlier run.
void RemoveLegendsNotDrawn(const std::vector<Picture>& pictures, const fs::path& folder) {
    const fs::path legends = folder / "keyboard" / "legend";
    std::error_code error;
    if (!fs::is_directory(legends, error)) return;
    std::set<fs::path> drawn;
    for (const Picture& picture : pictures) drawn.insert((folder / picture.path).lexically_normal());
    for (const fs::directory_entry& entry : fs::directory_iterator(legends, error))
        if (entry.path().extension() == ".png" && !drawn.count(entry.path().lexically_normal()))
            fs::remove(entry.path(), error);
}

}  // namespace
}  // namespace skinimages

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string_view(argv[1]) == "--icons";
    if (argc < 2 || argc > 4 || (argv[1][0] == '-' && !icons)) {
        std::fprintf(stderr,
                     "usage: tavrik-skin-images <skin folder> [<program folder> [<key rectangles>]]\n"
                     "       tavrik-skin-images --icons <icon theme folder>\n");
        return 2;
    }
    bool ok = true;
    std::vector<skinimages::Picture> pictures;
    if (icons) {
        skinimages::AddProgramIcons(pictures);
    } else {
        std::vector<skinimages::KeyRect> keys;
        if (argc == 4) {
            keys = skinimages::ReadKeyRects(argv[3]);
            if (keys.empty()) {
                std::fprintf(stderr, "tavrik-skin-images: no key rectangles in %s\n", argv[3]);
                ok = false;
            }
        }
        pictures = skinimages::AllPictures(keys);
        if (!keys.empty()) skinimages::RemoveLegendsNotDrawn(pictures, argv[1]);
    }
    for (const skinimages::Picture& picture : pictures) {
        ok = skinimages::WritePicture(picture, argv[icons ? 2 : 1]) && ok;
    }
    if (argc >= 3 && !icons) {
        std::vector<skinimages::CursorPicture> cursors;
        skinimages::AddCursorPictures(cursors);
        for (const skinimages::CursorPicture& cursor : cursors) ok = skinimages::WriteCursor(cursor, argv[2]) && ok;
    }
    cairo_debug_reset_static_data();
    // The legends' fonts came through fontconfig: give back what it keeps.
    FcFini();
    return ok ? 0 : 1;
}
