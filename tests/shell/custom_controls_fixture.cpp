#include "tests/shell/custom_controls_fixture.h"

#include <cairo.h>

#include <chrono>

#include "shell/main/control_tables.h"
#include "tests/support/wait_bound.h"

namespace customtest {

void CustomControlsTest::SetUp() {
    devtest::DeviceUiTest::SetUp();
    RegisterCustomControls();
}

void CustomControlsTest::Send(SkinWindow* w, BackendEventType type, POINT at, uint32_t modifiers) {
    BackendEvent e;
    e.type = type;
    e.x = at.x;
    e.y = at.y;
    e.time = ++clock_;
    e.button = BackendButton::Left;
    e.modifiers = modifiers;
    display_->Inject(Surface(w), e);
    devtest::Pump();
}

void CustomControlsTest::Press(SkinWindow* w, POINT at, uint32_t modifiers) {
    clock_ += 2000;  // never the second half of a double click
    Send(w, BackendEventType::MouseMove, at, modifiers);
    Send(w, BackendEventType::ButtonDown, at, modifiers | kBackendLeftButton);
}

void CustomControlsTest::MoveTo(SkinWindow* w, POINT at, bool buttonHeld) {
    Send(w, BackendEventType::MouseMove, at, buttonHeld ? static_cast<uint32_t>(kBackendLeftButton) : 0u);
}

void CustomControlsTest::Release(SkinWindow* w, POINT at, uint32_t modifiers) {
    Send(w, BackendEventType::ButtonUp, at, modifiers);
}

void CustomControlsTest::ClickWith(SkinWindow* w, POINT at, uint32_t modifiers) {
    Press(w, at, modifiers);
    Release(w, at, modifiers);
}

void CustomControlsTest::WritePng(const std::string& name, int width, int height,
                                  const std::function<uint32_t(int, int)>& colourAt) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) row[x] = colourAt(x, y);  // opaque colours only: no premultiplying needed
    }
    cairo_surface_mark_dirty(s);
    ASSERT_EQ(cairo_surface_write_to_png(s, (dir_.Path() / name).c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(s);
}

bool CustomControlsTest::PumpUntil(const std::function<bool()>& done) {
    const auto deadline = tavrik::test::Deadline(std::chrono::seconds(10));
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        devtest::Pump();
        // Wakes on the next message or due timer.
        win::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, win::QS_ALLINPUT);
    }
    return true;
}

}  // namespace customtest
