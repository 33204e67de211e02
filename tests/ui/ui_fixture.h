#pragma once

// Shared set-up of the UI tests: a fresh headless display, a skin folder in
// a temporary directory, a window built from a skin, and message pumping.

#include "platform/ui/UIlib.h"
#include "platform/ui/ui_log.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/tooltip_window.h"
#include "tests/support/temp_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace uitest {

using namespace DuiLib;

// Runs queued messages until none is left (sent messages are served too).
void Pump();
// Pumps until `done` holds or the time runs out; false on time-out.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 2000);
void WriteFile(const std::filesystem::path& path, const std::string& text);

struct Note {
    std::wstring type;
    std::wstring sender;
    WPARAM wParam;
    LPARAM lParam;
};

// A skinned window that records every notification it receives.
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(std::wstring skin) : skin_(std::move(skin)) {}
    CDuiString GetSkinFile() override { return skin_; }
    LPCTSTR GetWindowClassName() const override { return L"TestWindow"; }
    void Notify(TNotifyUI& msg) override;
    CControlUI* CreateControl(LPCTSTR pstrClass) override;
    CPaintManagerUI& pm() { return m_pm; }
    // Types of the notifications recorded so far for a control name.
    std::vector<std::wstring> TypesFor(const std::wstring& name) const;
    int Count(const std::wstring& type, const std::wstring& name) const;

    std::vector<Note> notes;
    std::function<CControlUI*(LPCTSTR)> factory;
    std::function<void(TNotifyUI&)> onNotify;

private:
    std::wstring skin_;
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes a skin file into the resource folder.
    void Skin(const std::string& name, const std::string& xml);
    // Creates, shows and paints a window of the skin (file name or XML text).
    TestWindow* Open(const std::wstring& skin, int width = 0, int height = 0);
    HeadlessWindow* Surface(CWindowWnd* w);
    // Left click at the centre of a control.
    void ClickOn(TestWindow* w, CControlUI* c, uint32_t modifiers = 0);
    void DoubleClickOn(TestWindow* w, CControlUI* c);
    void Key(CWindowWnd* w, uint32_t vk, uint32_t modifiers = 0);
    void Type(CWindowWnd* w, const std::wstring& text);

    tavrik::test::TempDir dir_{"tavrik-ui"};
    HeadlessBackend* display_ = nullptr;
    std::vector<TestWindow*> windows_;
};

}  // namespace uitest
