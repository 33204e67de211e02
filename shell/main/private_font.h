#pragma once

// CPrivateFont: the font file shipped beside the program ("Font/ARIALUNI.TTF"),
// made available to this process alone under the face the skins ask for.
// Without the file the face is answered by the system's substitutes.

#include <string>

class CPrivateFont {
public:
    // Takes the program folder.
    CPrivateFont();
    // Makes the font at the program folder + relative path the process's
    // program face. False when the file is missing or the fonts could not be
    // set up (the substitutes are used then).
    bool Load(const std::wstring& relativePath);
    void Unload();
    const std::wstring& Folder() const { return m_folder; }
    bool IsLoaded() const { return m_loaded; }

private:
    std::wstring m_folder;
    bool m_loaded = false;
};
