#pragma once

// The device-control test set-up with the custom controls registered, input
// with modifier keys and pictures of more than one colour.

#include <cstdint>
#include <functional>
#include <string>

#include "tests/shell/device_ui_fixture.h"

namespace customtest {

using namespace DuiLib;
using devtest::SkinWindow;

class CustomControlsTest : public devtest::DeviceUiTest {
protected:
    void SetUp() override;

    // One pointer event at client coordinates, with the left button held on
    // presses and moves (as the display reports them) and the given keys.
    void Press(SkinWindow* w, POINT at, uint32_t modifiers = 0);
    void MoveTo(SkinWindow* w, POINT at, bool buttonHeld);
    void Release(SkinWindow* w, POINT at, uint32_t modifiers = 0);
    void ClickWith(SkinWindow* w, POINT at, uint32_t modifiers);

    // Writes a PNG whose pixel (x, y) has the ARGB colour colourAt(x, y).
    void WritePng(const std::string& name, int width, int height, const std::function<uint32_t(int, int)>& colourAt);

    // Runs queued messages until done() or a generous deadline; false on the deadline.
    static bool PumpUntil(const std::function<bool()>& done);

private:
    void Send(SkinWindow* w, BackendEventType type, POINT at, uint32_t modifiers);
};

// Red, green and blue of an ARGB pixel, alpha dropped.
inline uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }

}  // namespace customtest
