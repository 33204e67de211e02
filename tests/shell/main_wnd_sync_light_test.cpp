// The main window's lighting-sync members forward to its lighting sync over
// its own device lists: only pages in sync take the colour.
#include "link/led_color.h"
#include "link/sync_light_state.h"
#include "tests/shell/discovery_fixture.h"

namespace {

using namespace discoverytest;

class MainWndSyncLight : public DiscoveryTest {
protected:
    void TearDown() override {
        GetSyncLightState().Store({});
        DiscoveryTest::TearDown();
    }
};

TEST_F(MainWndSyncLight, StepsAndBroadcastReachTheSyncedPagesOfTheLists) {
    ASSERT_NE(Open(), nullptr);
    RecordingPage* keyboard = PageOf(kKeyboardEntry);
    RecordingPage* mouse = PageOf(kMouseEntry);
    ASSERT_NE(keyboard, nullptr);
    ASSERT_NE(mouse, nullptr);
    ASSERT_GT(keyboard->GetLedCount(), 0);
    keyboard->CommandChannel().SetSyncFlag(1);

    window_->BroadcastSyncColor(1, 2, 3, 300);  // a level past a byte is held at 255
    EXPECT_EQ(keyboard->GetLedColor(keyboard->GetLedCount() - 1), PackLedColor({1, 2, 3, 255}));
    EXPECT_EQ(mouse->GetLedColor(0), 0u);

    SyncLightState::Values setting;
    setting.effect = SyncLightState::Static;
    setting.brightness = 3;
    setting.red = 40;
    setting.green = 50;
    setting.blue = 60;
    GetSyncLightState().Store(setting);
    window_->SyncLightStaticStep();
    EXPECT_EQ(keyboard->GetLedColor(0), PackLedColor({40, 50, 60, 153}));
    window_->SyncLightOffStep();
    EXPECT_EQ(keyboard->GetLedColor(0), 0u);
    window_->SyncLightColorCycleStep();
    EXPECT_EQ(window_->LightSync().GetState().cycleHue, 1);
    window_->SyncLightBreathingStep();
    EXPECT_EQ(window_->LightSync().GetState().breathPhase, 127);  // direction clear: backwards
    window_->SyncLightFlashStep();
    EXPECT_EQ(mouse->GetLedColor(0), 0u);
}

}  // namespace
