#include <gtest/gtest.h>

#include "link/led_color.h"
#include "shell/controls/device_key_button_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;

constexpr uint32_t kBlack = 0xFF000000;

class DeviceKeyButtonTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        WriteSolidPng("light.png", 8, 8, 0xFFFFFFFF);
        WriteSolidPng("mark.png", 8, 8, 0xFFFF0000);
        window_ = Open(R"(<Window size="200,100">
            <HorizontalLayout bkcolor="#FF000000">
              <SelectPanel name="panel">
                <DeviceKeyButton name="key_0" float="true" pos="10,10,50,50" LightImage="light.png"
                                 KEYSETIMAGE="file='mark.png' dest='0,0,10,10'" gmnametextcolor="#FF00FF00"/>
                <DeviceKeyButton name="key_1" float="true" pos="60,10,100,50" enabled="false"/>
              </SelectPanel>
            </HorizontalLayout></Window>)",
                       200, 100);
        key_ = window_->Find<CDeviceKeyButtonUI>(L"key_0");
        disabled_ = window_->Find<CDeviceKeyButtonUI>(L"key_1");
        ASSERT_NE(key_, nullptr);
        ASSERT_NE(disabled_, nullptr);
    }

    SkinWindow* window_ = nullptr;
    CDeviceKeyButtonUI* key_ = nullptr;
    CDeviceKeyButtonUI* disabled_ = nullptr;
};

TEST_F(DeviceKeyButtonTest, ReadsItsAttributesWithoutRegardToCaseAndStartsDark) {
    EXPECT_STREQ(key_->GetClass(), L"DeviceKeyButton");
    EXPECT_EQ(key_->GetLightImage(), L"light.png");
    EXPECT_EQ(key_->GetKeySetImage(), L"file='mark.png' dest='0,0,10,10'");
    // "gmnametextcolor" is taken by the key button, not reported as unknown.
    for (const CDuiString& problem : TakeUIProblems()) EXPECT_EQ(problem.Find(L"gmnametextcolor"), -1) << problem.str();
    EXPECT_EQ(key_->GetLightColor(), 255u);
    EXPECT_EQ(key_->GetLightLevel(), 200);
    EXPECT_FALSE(key_->IsLightShown());
    EXPECT_EQ(key_->IsKeySetMarkHidden(), 1);
    EXPECT_EQ(key_->IsSelected(), 0);
    EXPECT_EQ(PixelAt(window_, 30, 30), kBlack);
}

TEST_F(DeviceKeyButtonTest, OverlayIsTheLedColourAtItsLevel) {
    struct Case {
        LedColor led;
        uint32_t pixel;
    };
    const Case cases[] = {
        {{0, 255, 0, 255}, 0xFF00FF00},  // pure green is drawn green
        {{255, 0, 0, 255}, 0xFFFF0000},  // red
        {{0, 0, 255, 255}, 0xFF0000FF},  // blue
        {{255, 255, 255, 0}, kBlack},    // level 0: nothing over the black page
    };
    for (const Case& c : cases) {
        key_->SetLightColor(KeyButtonColorWord(c.led), c.led.brightness, true);
        Repaint(window_);
        EXPECT_EQ(PixelAt(window_, 30, 30), c.pixel) << int(c.led.r) << "," << int(c.led.g) << "," << int(c.led.b);
    }
    // Half level: half of green over black.
    key_->SetLightColor(KeyButtonColorWord({0, 255, 0, 0}), 128, true);
    Repaint(window_);
    const uint32_t half = PixelAt(window_, 30, 30);
    EXPECT_NEAR(int((half >> 8) & 0xFF), 128, 2);
    EXPECT_EQ(half & 0xFF00FF, 0u);
    // A hidden overlay draws nothing.
    key_->SetLightColor(KeyButtonColorWord({0, 255, 0, 0}), 255, false);
    Repaint(window_);
    EXPECT_EQ(PixelAt(window_, 30, 30), kBlack);
}

TEST_F(DeviceKeyButtonTest, MarkerShowsOnlyOnceUnhidden) {
    Repaint(window_);
    EXPECT_EQ(PixelAt(window_, 12, 12), kBlack);
    key_->SetKeySetMarkHidden(0);
    Repaint(window_);
    EXPECT_EQ(PixelAt(window_, 12, 12), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(window_, 40, 40), kBlack);  // outside the marker's dest
    key_->SetKeySetMarkHidden(1);
    Repaint(window_);
    EXPECT_EQ(PixelAt(window_, 12, 12), kBlack);
}

TEST_F(DeviceKeyButtonTest, SelectedFlagIsStoredAsGiven) {
    key_->SetSelected(1);
    EXPECT_EQ(key_->IsSelected(), 1);
    key_->SetSelected(0);
    EXPECT_EQ(key_->IsSelected(), 0);
}

TEST_F(DeviceKeyButtonTest, DoubleClickNotifiesOnlyOnAnEnabledButton) {
    DoubleClick(window_, CentreOf(key_));
    EXPECT_EQ(window_->Count(L"dbclick", L"key_0"), 1);
    // The press that became the double click captured the button, so its
    // release still completes a click, as the first press and release did.
    EXPECT_EQ(window_->Count(L"click", L"key_0"), 2);

    DoubleClick(window_, CentreOf(disabled_));
    EXPECT_EQ(window_->Count(L"dbclick", L"key_1"), 0);
    EXPECT_EQ(window_->Count(L"click", L"key_1"), 0);
}

TEST_F(DeviceKeyButtonTest, DoubleClickEventOutsideTheButtonIsDropped) {
    TEventUI e;
    e.Type = UIEVENT_DBLCLICK;
    e.pSender = key_;
    e.ptMouse = CentreOf(disabled_);  // a point that is not in key_0
    key_->DoEvent(e);
    EXPECT_EQ(window_->Count(L"dbclick"), 0);
    EXPECT_EQ(key_->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED), 0u);
}

}  // namespace
