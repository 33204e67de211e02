#include <gtest/gtest.h>

#include "shell/controls/device_key_button_ui.h"
#include "shell/controls/select_panel_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;

// Three key buttons and one plain button on a 400 x 300 panel:
//   key_0 (20,20)-(60,60)   key_1 (80,20)-(120,60)
//   key_2 (20,100)-(60,140) plain (200,200)-(240,240)
class SelectPanelTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        window_ = Open(R"(<Window size="400,300">
            <SelectPanel name="panel" bkcolor="#FF202020">
              <DeviceKeyButton name="key_0" float="true" pos="20,20,60,60"/>
              <DeviceKeyButton name="key_1" float="true" pos="80,20,120,60"/>
              <DeviceKeyButton name="key_2" float="true" pos="20,100,60,140"/>
              <Button name="plain" float="true" pos="200,200,240,240"/>
            </SelectPanel></Window>)",
                       400, 300);
        panel_ = window_->Find<CSelectPanelUI>(L"panel");
        ASSERT_NE(panel_, nullptr);
        for (int i = 0; i < 3; ++i) {
            keys_[i] = window_->Find<CDeviceKeyButtonUI>(DuiFormat(L"key_%d", i));
            ASSERT_NE(keys_[i], nullptr);
        }
    }

    std::vector<int> Selection() const {
        return {keys_[0]->IsSelected(), keys_[1]->IsSelected(), keys_[2]->IsSelected()};
    }

    SkinWindow* window_ = nullptr;
    CSelectPanelUI* panel_ = nullptr;
    CDeviceKeyButtonUI* keys_[3] = {};
};

TEST_F(SelectPanelTest, DragSelectsTheOverlappedKeysInEitherDirection) {
    struct Case {
        const char* what;
        POINT from, to;
        std::vector<int> selected;
        RECT rect;
    };
    const Case cases[] = {
        {"down-right", {10, 10}, {100, 70}, {1, 1, 0}, {10, 10, 100, 70}},
        {"up-left (mirrored)", {100, 70}, {10, 10}, {1, 1, 0}, {10, 10, 100, 70}},
        {"down-left", {70, 10}, {10, 150}, {1, 0, 1}, {10, 10, 70, 150}},
        {"up-right", {10, 150}, {70, 10}, {1, 0, 1}, {10, 10, 70, 150}},
        {"touching key_1 at its right edge only", {150, 10}, {120, 70}, {0, 0, 0}, {120, 10, 150, 70}},
        {"inside one key from outside", {70, 70}, {25, 25}, {1, 0, 0}, {25, 25, 70, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = window_->Count(L"click_select_end", L"panel");
        Drag(window_, c.from, {POINT{(c.from.x + c.to.x) / 2, (c.from.y + c.to.y) / 2}, c.to});
        EXPECT_EQ(Selection(), c.selected);
        const RECT& r = panel_->GetSelectionRect();
        EXPECT_EQ(std::vector<long>({r.left, r.top, r.right, r.bottom}),
                  std::vector<long>({c.rect.left, c.rect.top, c.rect.right, c.rect.bottom}));
        EXPECT_EQ(window_->Count(L"click_select_end", L"panel"), before + 1);
        EXPECT_FALSE(panel_->IsDragging());
    }
}

TEST_F(SelectPanelTest, DragUnselectsKeysOutsideTheRectangle) {
    for (CDeviceKeyButtonUI* key : keys_) key->SetSelected(1);
    Drag(window_, {70, 90}, {POINT{40, 120}});  // over key_2 only
    EXPECT_EQ(Selection(), (std::vector<int>{0, 0, 1}));
}

TEST_F(SelectPanelTest, ClickWithoutDragChangesNothingAndSendsNothing) {
    keys_[1]->SetSelected(1);
    Click(window_, {150, 150});
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(window_->Count(L"click_select_end"), 0);
    // A press on a key button is the button's, not the start of a rubber band.
    Drag(window_, CentreOf(keys_[0]), {POINT{110, 50}});
    EXPECT_EQ(Selection(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(window_->Count(L"click_select_end"), 0);
}

TEST_F(SelectPanelTest, DisabledPanelStartsNoDrag) {
    panel_->SetEnabled(false);
    Drag(window_, {10, 10}, {POINT{100, 70}});
    EXPECT_EQ(Selection(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(window_->Count(L"click_select_end"), 0);
}

}  // namespace
