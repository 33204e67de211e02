#include "platform/ui/x11/x11_text.h"

#include <X11/Xutil.h>

#include "platform/files/utf8.h"

namespace tavrik::x11 {

std::string LookupText(XIC ic, XKeyEvent& event) {
    char buffer[64];
    KeySym sym = 0;
    if (ic) {
        Status status = 0;
        int n = Xutf8LookupString(ic, &event, buffer, sizeof buffer, &sym, &status);
        if (status == XBufferOverflow) {
            std::string big(static_cast<std::size_t>(n), '\0');
            n = Xutf8LookupString(ic, &event, big.data(), n, &sym, &status);
            return status == XLookupChars || status == XLookupBoth ? big.substr(0, static_cast<std::size_t>(n)) : "";
        }
        if (status == XLookupChars || status == XLookupBoth) return std::string(buffer, static_cast<std::size_t>(n));
        return {};
    }
    // No input method: Latin-1 text from the key map.
    int n = XLookupString(&event, buffer, sizeof buffer, &sym, nullptr);
    std::wstring wide;
    for (int i = 0; i < n; ++i) wide += static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]));
    return win::ToUtf8(wide);
}

}  // namespace tavrik::x11
