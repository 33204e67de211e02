// The mouse page's lighting pass by pass: the step period of each speed on
// the light thread's clock, the playlist of the custom modes, a profile's
// lighting applied, the reactive trigger (and which events give it), the
// light thread's start and stop, and the LED preview on the page.
#include <vector>

#include "devices/mouse_light_effects.h"
#include "link/effect_tables.h"
#include "tests/devices/mouse_page_support.h"
#include "tests/devices/mouse_test_support.h"

namespace {

using mousetest::ProductKind;

// A mouse page that notes when its wave runs.
class CountingMouse : public CCorvaneMouseDevice {
public:
    using CCorvaneMouseDevice::SetLightingCopy;
    int StepWave() override {
        waves.push_back(pass);
        return CCorvaneMouseDevice::StepWave();
    }
    void SetPlaylist(const std::vector<LedEffectStep>& steps) {
        win::CriticalSectionGuard lock(EffectListLock);
        m_effectList = steps;
        m_nEffectListIndex = 0;
    }
    std::vector<int> waves;
    int pass = 0;
};

LightSetting Mode(uint8_t mode, uint8_t speed = 0, uint8_t brightness = 5, uint8_t colorful = 1) {
    LightSetting s;
    s.mode = mode;
    s.speed = speed;
    s.brightness = brightness;
    s.colorful = colorful;
    s.red = 10;
    s.green = 20;
    s.blue = 30;
    return s;
}

class MouseLighting : public ::testing::Test {
protected:
    MouseLighting() {
        page.SetLedCount(CCorvaneMouseDevice::kMouseLedCount);
        page.SetRandomSource([this] { return draws++; });
    }
    // Passes of the light thread with the clock moving `msPerPass` each pass.
    void Passes(int count, uint32_t msPerPass = 2) {
        for (int i = 0; i < count; ++i) {
            ++page.pass;
            now += msPerPass;
            page.RunLightPass(counter, last, now);
        }
    }
    void Enter(const LightSetting& s) {
        page.SetLightSetting(s);
        page.SetLightingCopy(s);
    }

    CountingMouse page;
    uint32_t counter = 0, last = 0, now = 0;
    uint32_t draws = 7;
};

TEST_F(MouseLighting, AStepRunsEveryPeriodOfItsSpeed) {
    const std::vector<int> periods = {28, 23, 18, 13, 7};
    for (uint8_t speed = 0; speed < 5; ++speed) {
        page.waves.clear();
        page.pass = 0;
        counter = 0;
        Enter(Mode(0, speed));
        Passes(3 * periods[speed]);
        const int T = periods[speed];
        EXPECT_EQ(page.waves, (std::vector<int>{T, 2 * T, 3 * T})) << "speed " << int(speed);
    }
}

TEST_F(MouseLighting, TheCountMovesOnlyWhenTheClockMovedByTwo) {
    Enter(Mode(0, 4));
    Passes(28, 1);
    EXPECT_EQ(page.waves, (std::vector<int>{14, 28}));
}

TEST_F(MouseLighting, ASpeedPastTheTableStepsOnEveryCount) {
    Enter(Mode(0, 9));
    Passes(3);
    EXPECT_EQ(page.waves, (std::vector<int>{1, 2, 3}));
}

TEST_F(MouseLighting, CustomModesRunTheirPlaylistOnEveryPass) {
    Enter(Mode(12));
    for (int i = 0; i < 15; ++i) page.Leds().SetLedColor(i, PackLedColor({1, 2, 3, 200}));
    Passes(1);
    EXPECT_TRUE(page.waves.empty());
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.Leds().GetLed(i).brightness, 0) << "an empty playlist is dark";
}

TEST_F(MouseLighting, ACustomModePlaysTheUsersEffect) {
    LedEffectStep breathing;
    breathing.setting = Mode(0, 4, 5, 0);  // breathing in the setting's colour
    breathing.time = 100000;
    page.SetPlaylist({breathing});
    Enter(Mode(10, 0));
    Passes(7 * 40);
    EXPECT_TRUE(page.waves.empty()) << "the wave of mode 0 is not the playlist's";
    const LedColor first = page.Leds().GetLed(0);
    EXPECT_EQ(first.r, 10);
    EXPECT_EQ(first.g, 20);
    EXPECT_EQ(first.b, 30);
    EXPECT_NE(first.brightness, 0);
    for (int i = 1; i < 15; ++i) EXPECT_EQ(page.Leds().GetLedColor(i), page.Leds().GetLedColor(0)) << i;
}

TEST_F(MouseLighting, TheTriggeredFadeFromATriggerToDark) {
    Enter(Mode(6, 4, 5));
    Passes(7);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.Leds().GetLed(i).brightness, 0) << i;

    page.TriggerReactive();
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.GetTriggerState(i), MouseLightEffects::kRising) << i;
    Passes(7);
    const uint8_t full = uint8_t((unsigned(BrightnessLevels[5]) * 255) >> 8);
    for (int i = 0; i < 15; ++i) {
        const LedColor led = page.Leds().GetLed(i);
        EXPECT_EQ(led.brightness, full) << i;
        EXPECT_EQ(led.r, ColorWheel[(7 + i) % 192].r) << i;
        EXPECT_EQ(page.GetTriggerState(i), MouseLightEffects::kFalling) << i;
    }
    Passes(7 * 16);
    EXPECT_NE(page.Leds().GetLed(14).brightness, 0);
    Passes(7);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.Leds().GetLed(i).brightness, 0) << i;
}

TEST_F(MouseLighting, ATriggerOutsideTheTriggeredModeChangesNothing) {
    Enter(Mode(3));
    page.TriggerReactive();
    page.HandleEventCode(CCorvaneMouseDevice::kEventWired, CCorvaneMouseDevice::kTriggerEvent);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.GetTriggerState(i), 0) << i;
    EXPECT_EQ(draws, 7u);
}

TEST_F(MouseLighting, OnlyTheCableTriggers) {
    Enter(Mode(6));
    page.HandleEventCode(CCorvaneMouseDevice::kEventReceiver, CCorvaneMouseDevice::kTriggerEvent);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.GetTriggerState(i), 0) << i;
    page.HandleEventCode(CCorvaneMouseDevice::kEventWired, CCorvaneMouseDevice::kTriggerEvent);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.GetTriggerState(i), MouseLightEffects::kRising) << i;
}

TEST_F(MouseLighting, ANewModeStartsDarkWithOneRingPlaceAndKeepsTheTriggers) {
    Enter(Mode(6));
    page.ApplyLightProfile();  // the document's mode (0) differs from 6
    Enter(Mode(6));
    page.TriggerReactive();
    page.Leds().m_ring.fill(1);
    page.Document().SetLightInfo(Mode(5));
    page.ApplyLightProfile();
    EXPECT_EQ(page.GetLightingCopy().mode, 5);
    EXPECT_EQ(page.CurrentLightSetting().mode, 5);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(page.Leds().m_keyLevel[size_t(i)], 0) << i;
    EXPECT_EQ(page.Leds().m_ring[0], 1);
    for (size_t i = 1; i < page.Leds().m_ring.size(); ++i) EXPECT_EQ(page.Leds().m_ring[i], 0) << i;
    EXPECT_EQ(page.GetTriggerState(3), MouseLightEffects::kRising);

    // The same mode again leaves the levels alone.
    page.Leds().m_keyLevel[2] = 99;
    page.ApplyLightProfile();
    EXPECT_EQ(page.Leds().m_keyLevel[2], 99);
}

TEST(MouseLightThread, RunsWhileTheChannelIsOpenAndStops) {
    mousetest::BoundMouse bound(ProductKind::MouseCable);
    CCorvaneMouseDevice& page = *bound.page;
    page.StartLightThread();
    EXPECT_EQ(page.RunningLightThreads(), 1);
    page.StartLightThread();
    EXPECT_EQ(page.RunningLightThreads(), 1) << "a restart replaces the thread";
    page.StopLightThread();
    EXPECT_EQ(page.RunningLightThreads(), 0);
    page.StopLightThread();
    EXPECT_EQ(page.RunningLightThreads(), 0);
}

class MousePreview : public mousepage::MousePage {};

TEST_F(MousePreview, TheLedButtonsShowTheLedsAndTheLogoOnlyItsLed) {
    // The preview's buttons show while their option tab does.
    page_->SelectOptionTab(1);
    for (int i = 0; i < 15; ++i) page_->Leds().SetLedColor(i, PackLedColor({uint8_t(i), 100, 200, uint8_t(10 + i)}));
    page_->SetLogoLedIndex(-1);
    CDeviceKeyButtonUI* logo = page_->GetLogoButton();
    ASSERT_NE(logo, nullptr);
    const DuiLib::DWORD logoBefore = logo->GetLightColor();
    const int logoLevelBefore = logo->GetLightLevel();
    page_->SendLedFrame();
    for (int i = 0; i < 15; ++i) {
        CDeviceKeyButtonUI* b = page_->GetLight0Buttons()[size_t(i)];
        EXPECT_EQ(b->GetLightColor(), KeyButtonColorWord(page_->Leds().GetLed(i))) << i;
        EXPECT_EQ(b->GetLightLevel(), 10 + i) << i;
    }
    EXPECT_EQ(logo->GetLightColor(), logoBefore);
    EXPECT_EQ(logo->GetLightLevel(), logoLevelBefore);

    page_->SetLogoLedIndex(4);
    page_->SendLedFrame();
    EXPECT_EQ(logo->GetLightColor(), KeyButtonColorWord(page_->Leds().GetLed(4)));
    EXPECT_EQ(logo->GetLightLevel(), 14);

    // A hidden button keeps what it showed; so do all while their tab is not shown.
    CDeviceKeyButtonUI* hidden = page_->GetLight0Buttons()[2];
    hidden->SetVisible(false);
    page_->Leds().SetLedColor(2, PackLedColor({9, 9, 9, 99}));
    page_->SendLedFrame();
    EXPECT_EQ(hidden->GetLightLevel(), 12);
    EXPECT_EQ(page_->GetLight0Buttons()[3]->GetLightLevel(), 13);
    page_->SelectOptionTab(0);
    page_->Leds().SetLedColor(3, PackLedColor({9, 9, 9, 99}));
    page_->SendLedFrame();
    EXPECT_EQ(page_->GetLight0Buttons()[3]->GetLightLevel(), 13);
}

}  // namespace
