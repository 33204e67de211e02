#include "tests/shell/device_ui_fixture.h"

#include <cairo.h>

#include "platform/files/folders.h"
#include "shell/controls/device_controls_registry.h"

namespace devtest {

void Pump() {
    win::MSG msg;
    for (int i = 0; i < 10000 && win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE); ++i) {
        if (msg.message == win::WM_QUIT) {
            win::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
}

void SkinWindow::Notify(TNotifyUI& msg) {
    notes.push_back({msg.sType.str(), msg.pSender ? msg.pSender->GetName().str() : L""});
    WindowImplBase::Notify(msg);
}

int SkinWindow::Count(const std::wstring& type, const std::wstring& sender) const {
    int n = 0;
    for (const Note& note : notes)
        if (note.type == type && (sender.empty() || note.sender == sender)) ++n;
    return n;
}

void DeviceUiTest::SetUp() {
    auto backend = std::make_unique<HeadlessBackend>();
    display_ = backend.get();
    SetDisplayBackend(std::move(backend));
    CPaintManagerUI::SetResourcePath(win::FromUtf8(dir_.Path().string()).c_str());
    CPaintManagerUI::SetAllDPI(96);
    CResourceManager::GetInstance()->Release();
    RegisterDeviceControls();
    TakeUIProblems();
}

void CloseAll(std::vector<SkinWindow*>& windows) {
    for (SkinWindow* w : windows) {
        if (w->GetHWND()) win::DestroyWindow(w->GetHWND());
        delete w;
    }
    windows.clear();
    Pump();
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::Term();
}

void DeviceUiTest::TearDown() {
    CloseAll(windows_);
    SetDisplayBackend(nullptr);
}

SkinWindow* DeviceUiTest::Open(const std::string& xml, int width, int height) {
    auto* w = new SkinWindow(win::FromUtf8(xml));
    windows_.push_back(w);
    w->Create(nullptr, L"device test", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, width, height);
    Pump();
    Repaint(w);
    return w;
}

HeadlessWindow* DeviceUiTest::Surface(SkinWindow* w) const {
    return static_cast<HeadlessWindow*>(w->GetBackendWindow());
}

void DeviceUiTest::Repaint(SkinWindow* w) {
    w->pm().Invalidate();
    w->pm().Paint();
    Pump();
}

uint32_t DeviceUiTest::PixelAt(SkinWindow* w, int x, int y) const { return Surface(w)->PixelAt(x, y); }

void DeviceUiTest::Inject(SkinWindow* w, BackendEventType type, POINT at, uint32_t time) {
    BackendEvent e;
    e.type = type;
    e.x = at.x;
    e.y = at.y;
    e.time = time;
    e.button = BackendButton::Left;
    if (type == BackendEventType::MouseMove) e.modifiers = kBackendLeftButton;
    display_->Inject(Surface(w), e);
    Pump();
}

void DeviceUiTest::Drag(SkinWindow* w, POINT from, const std::vector<POINT>& path) {
    clock_ += 2000;  // far from any earlier press: never a double click
    Inject(w, BackendEventType::MouseMove, from, clock_);
    Inject(w, BackendEventType::ButtonDown, from, clock_);
    POINT last = from;
    for (POINT p : path) {
        Inject(w, BackendEventType::MouseMove, p, ++clock_);
        last = p;
    }
    Inject(w, BackendEventType::ButtonUp, last, ++clock_);
}

void DeviceUiTest::Click(SkinWindow* w, POINT at) { Drag(w, at, {}); }

void DeviceUiTest::DoubleClick(SkinWindow* w, POINT at) {
    clock_ += 2000;
    Inject(w, BackendEventType::MouseMove, at, clock_);
    Inject(w, BackendEventType::ButtonDown, at, clock_);
    Inject(w, BackendEventType::ButtonUp, at, clock_ + 10);
    Inject(w, BackendEventType::ButtonDown, at, clock_ + 100);
    Inject(w, BackendEventType::ButtonUp, at, clock_ + 110);
    clock_ += 200;
}

void DeviceUiTest::WriteSolidPng(const std::string& name, int width, int height, uint32_t argb) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                          ((argb >> 24) & 0xFF) / 255.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(s, (dir_.Path() / name).c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(s);
}

POINT CentreOf(CControlUI* control) {
    const RECT& r = control->GetPos();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace devtest

// Fontconfig, Pango and GLib keep process-wide caches that they never free;
// they are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libpango\nleak:libpangoft2\nleak:libpangocairo\nleak:libglib\nleak:libgobject\n"
           "leak:libharfbuzz\nleak:libcairo\nleak:libpixman\nleak:libfreetype\n";
}
