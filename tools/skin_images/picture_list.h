#pragma once

// Every picture the skins name, with its size and how it is drawn. Each
// group of pictures lives in its own file and adds itself to the list.

#include <cairo.h>

#include <string>
#include <vector>

#include "tools/skin_images/key_legends.h"

namespace skinimages {

struct Picture {
    std::string path;  // relative to the skin folder, '/' separated
    int width;
    int height;
    void (*draw)(cairo_t* cr, int width, int height, int variant);
    int variant;  // passed to draw: lets one function draw a family of pictures
};

// The pictures of the main window, its caption and the message box.
void AddMainWindowPictures(std::vector<Picture>& pictures);
// The program's icon for the desktop's icon theme (hicolor), at the theme's
// usual sizes: "<size>x<size>/apps/tavrik.png", the window icon's drawing.
void AddProgramIcons(std::vector<Picture>& pictures);
// The pictures of the device panels: list entries, power tiles, device pages.
void AddDevicePictures(std::vector<Picture>& pictures);
// The keyboard page's key light and key mark.
void AddKeyboardPictures(std::vector<Picture>& pictures);
// The legend of every key of the keyboard picture ("keyboard/legend/key_<position>.png").
void AddKeyLegendPictures(std::vector<Picture>& pictures, const std::vector<KeyRect>& keys);
// The mouse page's DPI slider track and thumbs.
void AddMousePictures(std::vector<Picture>& pictures);
// The pictures of the progress window's bar.
void AddProgressWindowPictures(std::vector<Picture>& pictures);
// The colour picker's seven-colour preview.
void AddPickerPictures(std::vector<Picture>& pictures);

// The pictures of the settings window, its update rows and the background picker.
void AddSecondaryWindowPictures(std::vector<Picture>& pictures);

// A cursor the program loads from its own folder: an ICO file of cursor
// type with one PNG entry of size x size pixels and the hot spot.
struct CursorPicture {
    std::string path;  // relative to the program folder, '/' separated
    int size;
    int hotX, hotY;
    void (*draw)(cairo_t* cr, int width, int height, int variant);
};

// The screen editor's pen and eraser cursors.
void AddCursorPictures(std::vector<CursorPicture>& cursors);

// All pictures, in a fixed order; the key legends for the keys given.
std::vector<Picture> AllPictures(const std::vector<KeyRect>& keys = {});

}  // namespace skinimages
