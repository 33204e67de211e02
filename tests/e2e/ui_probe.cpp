#include "tests/e2e/ui_probe.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <sstream>

namespace tavrik::test {

namespace {

std::string ProbeProperty(Display* d, Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string value;
    // The main window's listing runs to tens of kilobytes.
    if (XGetWindowProperty(d, w, XInternAtom(d, "_TAVRIK_UI_PROBE", False), 0, 1L << 22, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && format == 8)
        value.assign(reinterpret_cast<char*>(data), count);
    if (data != nullptr) XFree(data);
    return value;
}

std::optional<ProbeControl> ParseLine(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (int i = 0; i < 5; ++i) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string::npos) return std::nullopt;
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    ProbeControl c;
    c.name = fields[0];
    try {
        c.left = std::stoi(fields[1]);
        c.top = std::stoi(fields[2]);
        c.right = std::stoi(fields[3]);
        c.bottom = std::stoi(fields[4]);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    c.text = line.substr(start);
    return c;
}

}  // namespace

std::vector<ProbeControl> ReadUiProbe(XDriver& driver, Window window) {
    std::vector<ProbeControl> controls;
    std::istringstream lines(ProbeProperty(driver.display(), window));
    for (std::string line; std::getline(lines, line);) {
        if (auto c = ParseLine(line)) controls.push_back(*c);
    }
    return controls;
}

std::vector<ProbeControl> TopmostListingWith(XDriver& driver, const std::function<bool(const ProbeControl&)>& wanted) {
    Display* d = driver.display();
    Window root = DefaultRootWindow(d);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<ProbeControl> found;
    if (XQueryTree(d, root, &root, &parent, &children, &count) != 0) {
        // Children come bottom to top: look at the topmost first.
        for (unsigned i = count; i-- > 0 && found.empty();) {
            if (!driver.Viewable(children[i])) continue;
            std::vector<ProbeControl> listing = ReadUiProbe(driver, children[i]);
            if (std::any_of(listing.begin(), listing.end(), wanted)) found = std::move(listing);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::vector<ProbeControl> FindProbeListing(XDriver& driver, const std::string& name) {
    return TopmostListingWith(driver, [&](const ProbeControl& c) { return c.name == name; });
}

std::optional<ProbeControl> FindProbeControl(XDriver& driver, const std::string& name) {
    for (const ProbeControl& c : FindProbeListing(driver, name))
        if (c.name == name) return c;
    return std::nullopt;
}

std::optional<ProbeControl> WaitForProbeControl(XDriver& driver, const std::string& name,
                                                std::chrono::milliseconds timeout,
                                                const std::function<bool(const ProbeControl&)>& accept) {
    std::optional<ProbeControl> found;
    PumpUntil([] {},
              [&] {
                  found = FindProbeControl(driver, name);
                  return found && (!accept || accept(*found));
              },
              timeout);
    if (found && accept && !accept(*found)) return std::nullopt;
    return found;
}

bool ClickProbeControl(XDriver& driver, const std::string& name, std::chrono::milliseconds timeout) {
    // A control laid out with no room (a page being switched in) cannot
    // take the click yet.
    const std::optional<ProbeControl> c = WaitForProbeControl(
        driver, name, timeout, [](const ProbeControl& p) { return p.right > p.left && p.bottom > p.top; });
    if (!c) return false;
    driver.Click(c->CenterX(), c->CenterY());
    return true;
}

}  // namespace tavrik::test
