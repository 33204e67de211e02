#pragma once
// The picture and video library of the keyboard's screen: a plug-in beside
// the program ("tavrik_screen_media.so") that holds the codecs, loaded the
// first time a picture or video is read or written, so that a program that
// never does so does not carry them. Paths are UTF-8.

#include <string>
#include <vector>

#include "keyboard/screen_picture.h"

class ScreenMedia {
public:
    // How a picture is turned before it is fitted to the screen: not at all,
    // a quarter counter-clockwise, or so only when it is not already of the
    // screen's size (a frame's own bitmap is in the screen's orientation).
    enum class Turn { None, Always, UnlessScreenSized };

    // The picture read as colour, turned and resized to columns x rows by
    // nearest neighbour; empty when it cannot be read or the size is empty.
    virtual ScreenPicture ReadPicture(const std::string& path, int columns, int rows, Turn turn) = 0;
    // Up to `limit` frames of a GIF or video, each fitted as above; false
    // when the file does not open or cannot be decoded.
    virtual bool ReadAnimation(const std::string& path, int columns, int rows, Turn turn, int limit,
                               std::vector<ScreenPicture>& frames) = 0;
    // The format follows the extension; false when nothing could be written.
    virtual bool WritePicture(const std::string& path, const ScreenPicture& picture) = 0;
    // An XVID video of columns x rows at `fps`; false when it cannot be opened.
    virtual bool WriteVideo(const std::string& path, double fps, int columns, int rows,
                            const std::vector<ScreenPicture>& frames) = 0;

protected:
    ~ScreenMedia() = default;
};

// The plug-in's one exported function: its instance, which lives as long as
// the process. The name carries the interface's version.
extern "C" ScreenMedia* TavrikScreenMediaV1();
inline constexpr const char* kScreenMediaEntry = "TavrikScreenMediaV1";
inline constexpr const wchar_t* kScreenMediaFile = L"tavrik_screen_media.so";
