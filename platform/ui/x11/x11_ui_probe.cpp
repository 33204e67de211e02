// The UI probe of a window: its visible named controls as the UTF-8 property
// _TAVRIK_UI_PROBE, one line per control (see README.md).

#include "platform/ui/x11/x11_backend_impl.h"

#include <string>

#include "platform/files/utf8.h"

namespace tavrik::x11 {

namespace {

// Tabs and line ends would break the property's lines and fields.
std::string FieldText(const std::wstring& text) {
    std::string utf8 = win::ToUtf8(text);
    for (char& c : utf8) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return utf8;
}

}  // namespace

void X11Window::SetProbe(std::vector<DuiLib::BackendProbeEntry> entries) {
    probe_entries_ = std::move(entries);
    WriteProbe();
}

void X11Window::WriteProbe() {
    if (!backend_->ProbeEnabled()) return;
    std::string listing;
    for (const DuiLib::BackendProbeEntry& e : probe_entries_) {
        listing += FieldText(e.name);
        for (int v :
             {e.rect.left + rect_.left, e.rect.top + rect_.top, e.rect.right + rect_.left, e.rect.bottom + rect_.top}) {
            listing += '\t';
            listing += std::to_string(v);
        }
        listing += '\t';
        listing += FieldText(e.text);
        listing += '\n';
    }
    // The main window repaints many times a second; the server hears only
    // of changes.
    if (listing == probe_written_) return;
    probe_written_ = listing;
    WakeOnExit wake(backend_);
    const X11Atoms& a = backend_->atoms();
    XChangeProperty(d_, xid_, a.ui_probe, a.utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(listing.data()), static_cast<int>(listing.size()));
    XFlush(d_);
}

}  // namespace tavrik::x11
