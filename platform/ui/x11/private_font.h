#pragma once

// Fonts for this process alone.  The program asks for its text in the face
// "Arial Unicode MS", which it ships beside itself on other systems.  Here
// a free font from the distribution with wide coverage answers to that name
// (DejaVu Sans for Latin, Greek, Cyrillic and more, Droid Sans Fallback for
// Chinese, Japanese and Korean), through an alias in this process's own
// font configuration, so Pango never falls back to some other face
// silently.  Nothing is installed for the user's other programs.

#include <string>
#include <vector>

namespace tavrik::x11 {

// The family the program's skins and fonts name.
inline constexpr const char* kProgramFontFamily = "Arial Unicode MS";

// The families that answer to kProgramFontFamily when the program folder
// ships no font file of its own, first choice first.
std::vector<std::string> ProgramFontSubstitutes();

// Makes the program's font available to this process: registers `font_file`
// (the program's "Font/ARIALUNI.TTF"; it may be missing) with fontconfig,
// and makes "Arial Unicode MS" an alias of its family, followed by the
// substitutes.  Pango's default font map then uses this configuration.
// Meant to be called once, at start-up, before the first text is drawn.
// Returns false, with the reason, when the configuration cannot be built;
// the program then draws with whatever Pango finds.
bool LoadPrivateFont(const std::string& font_file, std::string* error = nullptr);

// The family fontconfig gives for `family` with a character `c` in it, as
// Pango would get it; empty when nothing matches.
std::string ResolveFontFamily(const std::string& family, char32_t c = U'A');

}  // namespace tavrik::x11
