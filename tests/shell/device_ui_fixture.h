#pragma once

// Set-up shared by the device-control tests: a fresh headless display, a
// resource folder in a temporary directory, skinned windows built by the UI's
// builder, input injected as the display would deliver it, and pixel reads of
// what a window shows.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/UIlib.h"
#include "platform/files/folders.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/ui_log.h"
#include "tests/support/temp_home.h"

namespace devtest {

using namespace DuiLib;

// Runs queued messages until none is left.
void Pump();

struct Note {
    std::wstring type;
    std::wstring sender;
};

// A window built from XML text; records every notification.
class SkinWindow : public WindowImplBase {
public:
    explicit SkinWindow(std::wstring skin) : skin_(std::move(skin)) {}
    CDuiString GetSkinFile() override { return skin_; }
    LPCTSTR GetWindowClassName() const override { return L"DeviceTestWindow"; }
    void Notify(TNotifyUI& msg) override;
    CPaintManagerUI& pm() { return m_pm; }
    int Count(const std::wstring& type, const std::wstring& sender = L"") const;
    template <class T>
    T* Find(const wchar_t* name) {
        return static_cast<T*>(m_pm.FindControl(name));
    }

    std::vector<Note> notes;

private:
    std::wstring skin_;
};

// Destroys and deletes the windows, then drops the UI's resources and caches.
void CloseAll(std::vector<SkinWindow*>& windows);

class DeviceUiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates, shows and paints a window of the skin (XML text).
    SkinWindow* Open(const std::string& xml, int width, int height);
    HeadlessWindow* Surface(SkinWindow* w) const;
    // Lays out and paints what is invalid now.
    void Repaint(SkinWindow* w);
    uint32_t PixelAt(SkinWindow* w, int x, int y) const;

    // Left-button press at `from`, moves through `path`, release at the last point.
    void Drag(SkinWindow* w, POINT from, const std::vector<POINT>& path);
    void Click(SkinWindow* w, POINT at);
    void DoubleClick(SkinWindow* w, POINT at);

    // Writes a width x height PNG of one ARGB colour into the resource folder.
    void WriteSolidPng(const std::string& name, int width, int height, uint32_t argb);

    tavrik::test::TempDir dir_{"tavrik-device-ui"};
    HeadlessBackend* display_ = nullptr;
    std::vector<SkinWindow*> windows_;
    uint32_t clock_ = 10000;

private:
    void Inject(SkinWindow* w, BackendEventType type, POINT at, uint32_t time);
};

// Centre of a control's rectangle.
POINT CentreOf(CControlUI* control);

}  // namespace devtest
