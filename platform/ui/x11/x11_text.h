#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace tavrik::x11 {

// The text a key press types, through the input context when there is one.
std::string LookupText(XIC ic, XKeyEvent& event);

}  // namespace tavrik::x11
