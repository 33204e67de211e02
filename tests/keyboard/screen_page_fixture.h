#pragma once
// A keyboard page with the screen page's controls on a headless display, a
// stand-in editor that keeps its canvas, and reads of the frame files.

#include <filesystem>
#include <string>

#include <json/json.h>

#include "keyboard/corvane_keyboard_device.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/temp_home.h"

namespace kbtest {

// The editor as the page sees it: its canvas and how often it was redrawn.
class CanvasEditor : public ScreenEditorView {
public:
    CanvasEditor(int columns, int rows) {
        canvas.columns = columns;
        canvas.rows = rows;
    }
    ScreenCanvas& Canvas() override { return canvas; }
    void RedrawCanvas() override { ++redraws; }

    ScreenCanvas canvas;
    int redraws = 0;
};

class ScreenPageTest : public devtest::DeviceUiTest {
protected:
    void SetUp() override;

    // The page with every screen control (withStrip false: without the strip).
    CCorvaneKeyboardDevice* Build(bool withStrip = true, int width = 240, int height = 135, int rotate = 0);
    // Chooses screen mode `mode` as the combo would.
    void ChooseMode(int mode);
    template <class T>
    T* Find(const wchar_t* name) {
        return main_->Find<T>(name);
    }
    std::wstring LabelText(const wchar_t* name);

    std::filesystem::path DataFolder() const;
    std::filesystem::path DocumentPath() const { return DataFolder() / "ScreenFrame.json"; }
    std::filesystem::path BitmapPath(int index) const;
    Json::Value ReadDocument() const;
    void WriteDocument(const Json::Value& document) const;

    // Every test starts with an empty data folder.
    tavrik::test::TempHome home_;
    devtest::SkinWindow* main_ = nullptr;
    CCorvaneKeyboardDevice* page_ = nullptr;
};

// A cell colour that tells frame, column and row apart.
ScreenCell Marker(int frame, int column, int row);
// Fills the frame's cells with Marker(id, ...), every cell set.
void PaintFrame(CScreenViewControlUI& frame, int id);

}  // namespace kbtest
