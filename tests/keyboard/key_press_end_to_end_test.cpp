// End to end in one process: a keyboard page built in a window, connected to
// the emulated keyboard on the simulated bus with its event channel open, in
// the reactive ripple mode. The emulated keyboard reports a key press; the
// listener seeds the ripple, the light thread steps it, and the page's light
// buttons show the key and then its four neighbours lit.
#include <chrono>
#include <set>
#include <string>

#include "platform/os/message_queue.h"
#include "shell/controls/device_key_button_ui.h"
#include "tests/keyboard/driven_tick_source.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace devtest;
using namespace kbtest;

// A page with one light button per key position.
std::string PageSkin() {
    std::string xml = R"(<Window size="800,300"><VerticalLayout><CorvaneKeyboardDevice name="page">)"
                      R"(<Container name="keyboard_device_key_light_0">)";
    for (int p = 0; p < 170; ++p) xml += R"(<DeviceKeyButton name="light_)" + std::to_string(p) + R"("/>)";
    return xml + "</Container></CorvaneKeyboardDevice></VerticalLayout></Window>";
}

class KeyPressEndToEnd : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        RegisterCorvaneKeyboardDevice();
    }
};

TEST_F(KeyPressEndToEnd, PressedKeyAndItsNeighboursLightUpOnThePage) {
    tavrik::devsim::SimFixture sim;
    Emulator& device = sim.Plug(ProductKind::KeyboardCable);
    SkinWindow* window = Open(PageSkin(), 800, 300);
    auto* page = window->Find<CCorvaneKeyboardDevice>(L"page");
    ASSERT_NE(page, nullptr);
    SetUpPage(*page);
    page->SetPageXml(L"XML\\DeviceXml\\keyboarddevice.xml");
    page->InitPage();
    ASSERT_EQ(page->GetLightButtons().size(), 170u);
    page->CommandChannel().m_timeouts = FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page->CommandChannel(), device));
    ASSERT_EQ(page->ReadDeviceTables(), 1);
    DrivenTickSource ticks;
    page->SetTickSources(&ticks, nullptr);
    LightSetting light = page->GetLightSetting();
    light.mode = 6;
    light.speed = 4;  // a step on every pass
    light.brightness = 5;
    light.red = 255;
    page->SetLightSetting(light);
    page->ApplyLightProfile();
    page->OpenEventChannel(device.InterfacePath(tavrik::devsim::kConsumerCollection),
                           CCorvaneKeyboardDevice::kEventWired);
    page->StartLightThreads();

    // Key position 48 (column 8, row 2) and its neighbours 27, 69, 47 and 49.
    constexpr int kKey = 48;
    const std::set<int> expected = {kKey, 27, 69, 47, 49};
    const uint8_t deviceKey = page->GetPositionMaps().keyIndex[kKey];
    ASSERT_NE(deviceKey, 255);
    ASSERT_TRUE(tavrik::devsim::KeyboardModel(device).PressKey(deviceKey));

    std::set<int> lit;
    int passesAfterKey = -1;
    const auto deadline = tavrik::test::Deadline(std::chrono::seconds(20));
    while (lit != expected && std::chrono::steady_clock::now() < deadline) {
        ticks.RunPasses(1);
        page->SendLedFrame();
        for (int p = 0; p < 170; ++p) {
            CDeviceKeyButtonUI* button = page->GetLightButtons()[size_t(p)];
            if (button->GetLightLevel() > 0) lit.insert(p);
        }
        if (!lit.empty() && passesAfterKey < 0) passesAfterKey = 0;
        if (passesAfterKey >= 0) ++passesAfterKey;
        Pump();
    }
    EXPECT_EQ(lit, expected);
    EXPECT_LE(passesAfterKey, 2);  // the key on one step, its ring on the next
    EXPECT_EQ(page->GetLightButtons()[kKey]->GetLightColor(), KeyButtonColorWord({255, light.green, light.blue, 0}));

    page->StopLightThreads();
    page->CloseEventChannel(CCorvaneKeyboardDevice::kEventWired);
    tavrik::test::CloseCommandChannel(page->CommandChannel());
}

}  // namespace
