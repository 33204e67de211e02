#include "shell/main/private_font.h"

#include "link/debug_log.h"
#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "platform/ui/x11/private_font.h"

CPrivateFont::CPrivateFont() : m_folder(win::GetProgramFolder()) {}

bool CPrivateFont::Load(const std::wstring& relativePath) {
    const std::wstring path = win::JoinPath(m_folder, relativePath);
    const bool present = win::FileExists(path) != 0;
    std::string error;
    // Even without the file the face must be configured, so that it is
    // answered by the substitutes rather than by whatever font comes first.
    if (!tavrik::x11::LoadPrivateFont(present ? win::ToUtf8(win::NativePath(path)) : std::string(), &error)) {
        WriteLog("CPrivateFont: " + error);
        return false;
    }
    m_loaded = present;
    return present;
}

void CPrivateFont::Unload() { m_loaded = false; }
