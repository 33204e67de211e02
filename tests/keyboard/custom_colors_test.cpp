// The keyboard's custom colours against the emulated keyboard: a group read
// from the keyboard lands on the key positions through the LED map and in the
// profile's group, the colours go back on page 0, the groups of the document
// are shown and filled, and a failed read keeps the profile as it was.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "pages/light_control_ui.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tools/devsim/keyboard_model.h"

namespace {

using namespace kbtest;
using tavrik::devsim::Fault;
using tavrik::devsim::FaultKind;

constexpr int kGroup = 2;

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The colour the keyboard holds for its LED k on a page: (k, 255 - k, page).
LedColor DeviceColor(int k, int page) { return {uint8_t(k), uint8_t(255 - k), uint8_t(page), 255}; }

class CustomColors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(kb.page.ReadDeviceTables(), 1);
        kb.page.LoadProfile(1);
        LightSetting s = kb.page.GetLightSetting();
        s.mode = 19;
        s.customGroup = kGroup;
        kb.page.SetLightSetting(s);
        kb.page.Document().SetCustomLightGroupIndex(kGroup);
        kb.page.Document().GetCustomLightColors(kGroup, 170);  // a full group in the document
        kb.page.SaveProfile();
        auto lock = kb.device.Lock();
        auto& colors = kb.device.Memory().colors;
        for (int page : {0, kGroup}) {
            for (int k = 0; k < 170; ++k) {
                const LedColor c = DeviceColor(k, page);
                colors[size_t(page * 512 + 3 * k)] = c.r;
                colors[size_t(page * 512 + 3 * k + 1)] = c.g;
                colors[size_t(page * 512 + 3 * k + 2)] = c.b;
            }
        }
    }
    std::filesystem::path ProfileFile() { return win::ToFsPath(kb.page.GetProfilePath().str()); }
    std::vector<uint8_t> DevicePage(int page) {
        auto lock = kb.device.Lock();
        return tavrik::devsim::ViewColorPage(kb.device.Memory(), page);
    }

    ConnectedKeyboard kb{ProductKind::KeyboardCable};
};

TEST_F(CustomColors, DeviceGroupLandsOnThePositionsThroughTheLedMap) {
    kb.page.ReadDeviceCustomColors();
    const auto& leds = kb.page.GetPositionMaps().ledIndex;
    int mapped = 0;
    const std::vector<LedColor> stored = kb.page.Document().GetCustomLightColors(kGroup, 170);
    for (int p = 0; p < 170; ++p) {
        const LedColor led = kb.page.Leds().GetLed(p);
        if (leds[size_t(p)] >= 170) continue;
        ++mapped;
        const LedColor expected = DeviceColor(leds[size_t(p)], kGroup);
        EXPECT_EQ(PackLedColor(led), PackLedColor(expected)) << p;
        EXPECT_EQ(PackLedColor(stored[size_t(p)]), PackLedColor(expected)) << p;
    }
    EXPECT_GT(mapped, 90);
    // Sent back in the keyboard's order on page 0: the group's colours again.
    const std::vector<uint8_t> page0 = DevicePage(0);
    const std::vector<uint8_t> group = DevicePage(kGroup);
    for (int p = 0; p < 170; ++p) {
        const size_t k = leds[size_t(p)];
        if (k >= 170) continue;
        for (size_t b = 0; b < 3; ++b) EXPECT_EQ(page0[3 * k + b], group[3 * k + b]) << p;
    }
}

TEST_F(CustomColors, FailedReadKeepsTheProfileByteForByte) {
    kb.page.Document().SetCustomLightColors(std::vector<LedColor>(170, LedColor{7, 8, 9, 255}), kGroup);
    kb.page.SaveProfile();
    const std::string before = FileBytes(ProfileFile());
    const Fault faults[] = {
        {FaultKind::Status, 1, 0x0A, 0, 0, 0xFF},
        {FaultKind::NoReply, 1, 0x0A},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(int(fault.kind));
        kb.device.ClearRecord();
        kb.device.Inject(fault);
        kb.page.ReadDeviceCustomColors();
        kb.page.SaveProfile();
        EXPECT_EQ(FileBytes(ProfileFile()), before);
        // The page shows the profile's colours and sends them as after a good read.
        EXPECT_EQ(PackLedColor(kb.page.Leds().GetLed(0)), PackLedColor({7, 8, 9, 255}));
        EXPECT_FALSE(kb.device.Requests(0x0B).empty());
    }
    kb.device.Inject({FaultKind::Unplug, 1, 0x0A});
    kb.page.ReadDeviceCustomColors();
    kb.page.SaveProfile();
    EXPECT_EQ(FileBytes(ProfileFile()), before);
}

TEST_F(CustomColors, GroupsOfTheDocumentAreShownFilledAndSent) {
    kb.page.Document().SetCustomLightColors(std::vector<LedColor>(170, LedColor{1, 2, 3, 255}), 0);
    kb.page.Document().SetCustomLightColors(std::vector<LedColor>(170, LedColor{4, 5, 6, 255}), 1);
    kb.page.SetCustomColorGroup(1);
    EXPECT_EQ(kb.page.GetRunningGroup(), 1);
    kb.page.ReloadCustomColors();
    EXPECT_EQ(PackLedColor(kb.page.Leds().GetLed(169)), PackLedColor({4, 5, 6, 255}));
    const size_t k = kb.page.GetPositionMaps().ledIndex[0];
    ASSERT_LT(k, 170u);
    EXPECT_EQ(DevicePage(0)[3 * k], 4);
    kb.page.Document().SetCustomLightGroupIndex(0);
    kb.page.LoadCustomColors();
    EXPECT_EQ(PackLedColor(kb.page.Leds().GetLed(0)), PackLedColor({1, 2, 3, 255}));

    // Filling without a lighting page (no custom mode selected): the keyboard
    // changes, the document does not.
    kb.page.FillCustomColors(0);
    EXPECT_EQ(PackLedColor(kb.page.Leds().GetLed(0)), PackLedColor({0, 0, 0, 255}));
    EXPECT_EQ(DevicePage(0)[3 * k], 0);
    EXPECT_EQ(PackLedColor(kb.page.Document().GetCustomLightColors(0, 1)[0]), PackLedColor({1, 2, 3, 255}));

    // Out of mode 19 nothing is written to the keyboard.
    LightSetting s = kb.page.GetLightSetting();
    s.mode = 1;
    kb.page.SetLightSetting(s);
    kb.device.ClearRecord();
    kb.page.FillCustomColors(1);
    EXPECT_TRUE(kb.device.Requests(0x0B).empty());
    EXPECT_EQ(PackLedColor(kb.page.Leds().GetLed(0)), PackLedColor({s.red, s.green, s.blue, 255}));

    // The mode's step only sets the level of the brightness.
    s.brightness = 2;
    kb.page.SetLightSetting(s);
    kb.page.StepCustomColors();
    EXPECT_EQ(PackLedColor(kb.page.Leds().GetLed(0)), PackLedColor({s.red, s.green, s.blue, 102}));
}

}  // namespace
