// The light threads of the mouse, headset and mouse-pad pages driven pass by
// pass: with the command channel closed or the lighting sync driving the LEDs
// a pass has nothing to do, and the thread sleeps on its events without
// passes until the change that gives it work wakes it. The headset's frames
// run its passes: its thread sleeps throughout.
#include <functional>
#include <memory>

#include "tests/devices/lit_device_test_support.h"
#include "tests/devices/mouse_test_support.h"
#include "tests/keyboard/driven_tick_source.h"

namespace {

using devicestest::Emulator;
using devicestest::ProductKind;
using kbtest::DrivenTickSource;

// One page with its emulated device, its light thread on the driven clock.
struct ThreadedPage {
    Emulator* device = nullptr;
    CCorvaneUSBDevice* page = nullptr;
    std::function<void()> start;
    std::function<void()> stop;
};

struct PageKind {
    const char* name;
    ProductKind product;
};

void PrintTo(const PageKind& kind, std::ostream* out) { *out << kind.name; }

class LightThreadSleep : public ::testing::TestWithParam<PageKind> {
protected:
    void SetUp() override {
        if (GetParam().product == ProductKind::MouseCable) {
            mouse = std::make_unique<mousetest::BoundMouse>(ProductKind::MouseCable);
            mouse->page->SetTickSource(&ticks);
            bound = {&mouse->device, mouse->page.get(), [this] { mouse->page->StartLightThread(); },
                     [this] { mouse->page->StopLightThread(); }};
        } else {
            lit = std::make_unique<devicestest::BoundPage>(GetParam().product);
            lit->page->SetTickSource(&ticks);
            bound = {&lit->device, lit->page.get(), [this] { lit->page->StartLightThread(); },
                     [this] { lit->page->StopLightThread(); }};
        }
    }
    void TearDown() override { bound.stop(); }

    CDeviceProtocol& Channel() { return bound.page->CommandChannel(); }

    // A change that gives the thread no work costs it one look, after which
    // it sleeps again without passes.
    void ExpectOneLookAndSleep(const std::function<void()>& change) {
        const uint64_t passes = ticks.Passes();
        change();
        ticks.RunPasses(1, 2);
        EXPECT_TRUE(ticks.Asleep());
        EXPECT_EQ(ticks.Passes(), passes + 1);
    }

    // After the change that gives the page work its thread runs passes; the
    // headset's thread looks once and sleeps on, its frames run the passes.
    void ExpectPassesRun(const std::function<void()>& change) {
        if (GetParam().product == ProductKind::Headset) {
            ExpectOneLookAndSleep(change);
            return;
        }
        change();
        ticks.RunPasses(3, 2);
        EXPECT_FALSE(ticks.AsleepNow());
    }

    DrivenTickSource ticks;
    std::unique_ptr<mousetest::BoundMouse> mouse;
    std::unique_ptr<devicestest::BoundPage> lit;
    ThreadedPage bound;
};

const PageKind kKinds[] = {
    {"Mouse", ProductKind::MouseCable},
    {"Headset", ProductKind::Headset},
    {"MousePad", ProductKind::MousePad},
};

INSTANTIATE_TEST_SUITE_P(Pages, LightThreadSleep, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(LightThreadSleep, ClosedChannelSleepsUntilItOpens) {
    tavrik::test::CloseCommandChannel(Channel());
    bound.start();
    ticks.RunPasses(1, 2);
    EXPECT_TRUE(ticks.Asleep());
    EXPECT_TRUE(ticks.Pauses().empty()) << "no pause: nothing polls";

    CCorvaneUSBDevice other;
    ExpectOneLookAndSleep([&] { other.CommandChannel().SetSyncFlag(1); });
    ExpectOneLookAndSleep([&] { bound.page->SetWindowActive(1); });

    ExpectPassesRun([&] { ASSERT_TRUE(tavrik::test::OpenCommandChannel(Channel(), *bound.device)); });
}

// A page shown no more only animates buttons nobody sees: its thread sleeps
// until the page is shown again.
TEST_P(LightThreadSleep, PageShownNoMoreSleepsUntilShownAgain) {
    bound.page->SetPageShown(false);
    bound.start();
    ticks.RunPasses(1, 2);
    EXPECT_TRUE(ticks.Asleep());
    ExpectOneLookAndSleep([&] { bound.page->SetWindowActive(1); });
    ExpectPassesRun([&] { bound.page->SetPageShown(true); });
}

TEST_P(LightThreadSleep, SyncedPageSleepsUntilItLeavesTheSync) {
    Channel().SetSyncFlag(1);
    bound.start();
    ticks.RunPasses(1, 2);
    EXPECT_TRUE(ticks.Asleep());
    // Closing and reopening its channel leaves it in the sync: still asleep.
    ExpectOneLookAndSleep([&] { tavrik::test::CloseCommandChannel(Channel()); });
    ExpectOneLookAndSleep([&] { ASSERT_TRUE(tavrik::test::OpenCommandChannel(Channel(), *bound.device)); });

    ExpectPassesRun([&] { Channel().SetSyncFlag(0); });
}

}  // namespace
