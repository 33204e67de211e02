#include "tests/ui/ui_fixture.h"

#include "platform/files/folders.h"
#include "tests/support/wait_bound.h"

#include <fstream>
#include <thread>

namespace uitest {

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

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    auto end = tavrik::test::Deadline(std::chrono::milliseconds(timeoutMs));
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Pump();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void TestWindow::Notify(TNotifyUI& msg) {
    notes.push_back({msg.sType.str(), msg.pSender ? msg.pSender->GetName().str() : L"", msg.wParam, msg.lParam});
    if (onNotify) onNotify(msg);
    WindowImplBase::Notify(msg);
}

CControlUI* TestWindow::CreateControl(LPCTSTR cls) { return factory ? factory(cls) : nullptr; }

std::vector<std::wstring> TestWindow::TypesFor(const std::wstring& name) const {
    std::vector<std::wstring> out;
    for (const auto& n : notes)
        if (n.sender == name) out.push_back(n.type);
    return out;
}

int TestWindow::Count(const std::wstring& type, const std::wstring& name) const {
    int c = 0;
    for (const auto& n : notes)
        if (n.type == type && n.sender == name) ++c;
    return c;
}

void UiTest::SetUp() {
    auto backend = std::make_unique<HeadlessBackend>();
    display_ = backend.get();
    SetDisplayBackend(std::move(backend));
    CPaintManagerUI::SetResourcePath(win::FromUtf8(dir_.Path().string()).c_str());
    CPaintManagerUI::SetAllDPI(96);
    CResourceManager::GetInstance()->Release();
    TakeUIProblems();
}

void UiTest::TearDown() {
    for (TestWindow* w : windows_) {
        if (w->GetHWND()) win::DestroyWindow(w->GetHWND());
        delete w;
    }
    windows_.clear();
    CMenuWnd::DestroyMenu();
    Pump();
    CResourceManager::GetInstance()->Release();
    CPaintManagerUI::Term();
    SetDisplayBackend(nullptr);
}

void UiTest::Skin(const std::string& name, const std::string& xml) { WriteFile(dir_.Path() / name, xml); }

TestWindow* UiTest::Open(const std::wstring& skin, int width, int height) {
    auto* w = new TestWindow(skin);
    windows_.push_back(w);
    w->Create(nullptr, L"test", win::WS_POPUP | win::WS_VISIBLE, 0, 10, 20, width, height);
    Pump();
    return w;
}

HeadlessWindow* UiTest::Surface(CWindowWnd* w) { return static_cast<HeadlessWindow*>(w->GetBackendWindow()); }

void UiTest::ClickOn(TestWindow* w, CControlUI* c, uint32_t modifiers) {
    ASSERT_NE(c, nullptr);
    RECT r = c->GetPos();
    display_->Click(Surface(w), (r.left + r.right) / 2, (r.top + r.bottom) / 2, modifiers);
    Pump();
}

void UiTest::DoubleClickOn(TestWindow* w, CControlUI* c) {
    ClickOn(w, c);
    ClickOn(w, c);
}

void UiTest::Key(CWindowWnd* w, uint32_t vk, uint32_t modifiers) {
    BackendEvent e;
    e.type = BackendEventType::KeyDown;
    e.virtualKey = vk;
    e.modifiers = modifiers;
    display_->Inject(Surface(w), e);
    e.type = BackendEventType::KeyUp;
    display_->Inject(Surface(w), e);
    Pump();
}

void UiTest::Type(CWindowWnd* w, const std::wstring& text) {
    for (wchar_t ch : text) {
        BackendEvent e;
        e.type = BackendEventType::Char;
        e.character = static_cast<char32_t>(ch);
        display_->Inject(Surface(w), e);
    }
    Pump();
}

}  // namespace uitest

// Fontconfig, Pango and GLib keep process-wide caches that they never free;
// they are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libpango\nleak:libpangoft2\nleak:libpangocairo\nleak:libglib\nleak:libgobject\n"
           "leak:libharfbuzz\nleak:libcairo\nleak:libpixman\nleak:libfreetype\n";
}
