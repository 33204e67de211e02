#include "tests/x11/x_display.h"

#include <cstdlib>
#include <fstream>

namespace tavrik::test {

bool UseFixtureDisplay(std::string& reason) {
    const char* file = std::getenv("TAVRIK_X_DISPLAY_FILE");
    if (!file || !*file) {
        const char* display = std::getenv("DISPLAY");
        if (display && *display) return true;
        reason = "neither the Xvfb fixture (TAVRIK_X_DISPLAY_FILE) nor DISPLAY is set";
        return false;
    }
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line) || line.empty()) {
        reason = std::string("the Xvfb fixture left no display in ") + file;
        return false;
    }
    if (line.rfind("none", 0) == 0) {
        reason = line;
        return false;
    }
    setenv("DISPLAY", line.c_str(), 1);
    return true;
}

}  // namespace tavrik::test
