// The headset's LED output reports: built from the LED vector, checked and
// assembled by the emulated headset, and shown on the page's light buttons.
#include <chrono>

#include "link/device/device_option_ui.h"
#include "platform/os/message_queue.h"
#include "shell/controls/device_key_button_ui.h"
#include "tests/devices/lit_device_test_support.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/wait_bound.h"

namespace {

using namespace devicestest;
using tavrik::devsim::LedFrameView;
using tavrik::devsim::ViewLedFrame;

struct LedCase {
    const char* name;
    LedColor led;  // given to every LED
    uint8_t expectR, expectG, expectB;
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const LedCase& c, std::ostream* out) { *out << c.name; }

class HeadsetLedFrame : public ::testing::TestWithParam<LedCase> {
protected:
    BoundPage bound{ProductKind::Headset};
    Emulator& device = bound.device;
    CCorvaneHS6533Device& page = static_cast<CCorvaneHS6533Device&>(*bound.page);

    LedFrameView Frame() {
        auto lock = device.Lock();
        return ViewLedFrame(device.Memory());
    }
};

const LedCase kLedCases[] = {
    {"FullWhiteIsCapped", {255, 255, 255, 255}, 247, 247, 247},
    {"ValuesAboveTheCapAreCapped", {250, 249, 248, 255}, 247, 247, 247},
    {"LevelScalesEachChannel", {200, 100, 50, 128}, 100, 50, 25},
    {"DarkLedSendsZero", {255, 0, 0, 0}, 0, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Values, HeadsetLedFrame, ::testing::ValuesIn(kLedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(HeadsetLedFrame, TwelveReportsInOrderMakeOneFrame) {
    const LedCase& c = GetParam();
    for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i) page.SetLedColor(i, PackLedColor(c.led));
    page.SendLedFrame();
    const LedFrameView frame = Frame();
    EXPECT_EQ(frame.errors, 0u) << frame.lastError;
    ASSERT_EQ(frame.frames, 1u);
    for (const auto& led : frame.leds) {
        EXPECT_EQ(led[0], c.expectR);
        EXPECT_EQ(led[1], c.expectG);
        EXPECT_EQ(led[2], c.expectB);
    }
}

TEST(HeadsetLedReports, SixValueReportsCarryZeroInByteTen) {
    CCorvaneHS6533Device page;
    page.SetLedCount(CCorvaneHS6533Device::kHeadsetLeds);
    for (int i = 0; i < CCorvaneHS6533Device::kHeadsetLeds; ++i)
        page.SetLedColor(i, PackLedColor({uint8_t(i * 10 + 5), 7, 9, 255}));
    const auto reports = page.BuildLedReports();
    const std::pair<uint8_t, uint8_t> order[] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
                                                 {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
                                                 {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
    for (size_t r = 0; r < reports.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(reports[r][0], 0xFF);
        EXPECT_EQ(reports[r][1], order[r].first);
        EXPECT_EQ(reports[r][2], order[r].second);
        EXPECT_EQ(reports[r][3], 0);
        const bool six = reports[r][2] >= 0xAD;
        for (size_t b = six ? 10 : 11; b < 17; ++b) EXPECT_EQ(reports[r][b], 0) << "byte " << b;
    }
    // Red of LED 6 ends the first report; red of LED 7 starts the second.
    EXPECT_EQ(reports[0][10], (65 * 255) >> 8);
    EXPECT_EQ(reports[1][4], (75 * 255) >> 8);
}

TEST(HeadsetLedReports, OutOfOrderReportIsRefusedByTheEmulatedHeadset) {
    tavrik::devsim::DeviceMemory m;
    uint8_t second[17] = {0xFF, 0x22, 0xAD};
    EXPECT_FALSE(tavrik::devsim::TakeLedReport(m, second, sizeof second));
    EXPECT_EQ(m.ledErrors, 1u);
    uint8_t first[17] = {0xFF, 0x22, 0xAA, 0, 248};
    EXPECT_FALSE(tavrik::devsim::TakeLedReport(m, first, sizeof first));
    EXPECT_EQ(m.ledErrors, 2u);
    uint8_t stray[17] = {0xFF, 0x22, 0xAD, 0, 1, 1, 1, 1, 1, 1, 9};
    first[4] = 1;
    EXPECT_TRUE(tavrik::devsim::TakeLedReport(m, first, sizeof first));
    EXPECT_FALSE(tavrik::devsim::TakeLedReport(m, stray, sizeof stray));  // byte 10 of a six-value report
    EXPECT_EQ(m.ledFrames, 0u);
}

TEST(HeadsetLedFrameSwitches, LightingOffSendsNothing) {
    BoundPage bound{ProductKind::Headset};
    auto& page = static_cast<CCorvaneHS6533Device&>(*bound.page);
    page.SetLightingEnabled(0);
    EXPECT_EQ(page.SendLedFrame(), 0);
    EXPECT_TRUE(bound.device.Record().empty());
    page.SetLightingEnabled(1);
    page.SendLedFrame();
    EXPECT_EQ(bound.device.Record().size(), 12u);
}

}  // namespace

namespace {

TEST(HeadsetLedFrameSwitches, HiddenButtonKeepsItsOverlayWhileItsLedIsSent) {
    BoundPage bound{ProductKind::Headset};
    auto& page = static_cast<CCorvaneHS6533Device&>(*bound.page);
    auto* picture = new DuiLib::CContainerUI();
    picture->SetName(L"hs6533_device_key_light");
    CDeviceKeyButtonUI* buttons[2] = {};
    for (int i = 0; i < 2; ++i) {
        buttons[i] = static_cast<CDeviceKeyButtonUI*>(CDeviceKeyButtonUI::CreateControl());
        buttons[i]->SetName(i == 0 ? L"light_0" : L"light_1");
        picture->Add(buttons[i]);
    }
    page.Add(picture);
    page.SetPageXml(L"XML\\DeviceXml\\hs6533device.xml");
    page.BuildDevicePage();
    ASSERT_EQ(page.GetLightButtons()[1], buttons[1]);
    buttons[1]->SetVisible(false);
    const DuiLib::DWORD hiddenBefore = buttons[1]->GetLightColor();
    page.SetLedColor(0, PackLedColor({10, 20, 30, 200}));
    page.SetLedColor(1, PackLedColor({40, 50, 60, 255}));
    page.SendLedFrame();
    EXPECT_EQ(buttons[0]->GetLightColor(), KeyButtonColorWord({10, 20, 30, 200}));
    EXPECT_EQ(buttons[0]->GetLightLevel(), 200);
    EXPECT_EQ(buttons[1]->GetLightColor(), hiddenBefore);
    auto lock = bound.device.Lock();
    const auto frame = ViewLedFrame(bound.device.Memory());
    ASSERT_EQ(frame.frames, 1u);
    EXPECT_EQ(frame.leds[1][0], (40 * 255) >> 8);
    EXPECT_EQ(frame.leds[1][2], (60 * 255) >> 8);
}

}  // namespace

// The frame timer of the headset's device entry, on a window's real timers:
// one frame of twelve reports per tick, and the frames no closer together
// than the wired frame period (the timer's clock counts whole milliseconds, so
// a period may end up to 1 ms early). At 20 ms that is at most 50 frames, 600
// reports, a second.
namespace {

// The page outlives the window, whose entry points at it.
class HeadsetFrameTimer : public devtest::DeviceUiTest {
protected:
    BoundPage bound{ProductKind::Headset};
};

bool StartsFrame(const tavrik::devsim::RecordEntry& r) {
    return r.bytes.size() > 2 && r.bytes[0] == 0xFF && r.bytes[1] == 0x22 && r.bytes[2] == 0xAA;
}

TEST_F(HeadsetFrameTimer, FramesKeepTheWiredPeriod) {
    devtest::SkinWindow* window = Open("<Window size=\"200,100\"><VerticalLayout name=\"root\"/></Window>", 200, 100);
    auto* root = window->Find<DuiLib::CContainerUI>(L"root");
    ASSERT_NE(root, nullptr);
    auto* entry = new CDeviceOptionUI;
    root->Add(entry);
    entry->SetDevice(bound.page.get());
    bound.device.ClearRecord();

    constexpr size_t kFrames = 12;
    entry->ArmTimer(TIMER_OPTION_FRAME, CDeviceOptionUI::kFirstFrameMs);
    const auto enough = [&] {
        auto lock = bound.device.Lock();
        return tavrik::devsim::ViewLedFrame(bound.device.Memory()).frames >= kFrames;
    };
    const auto end = tavrik::test::Deadline(std::chrono::seconds(20));
    while (!enough() && std::chrono::steady_clock::now() < end) {
        win::MsgWaitForMultipleObjects(0, nullptr, 0, 10, win::QS_ALLINPUT);
        devtest::Pump();
    }
    entry->KillOwnTimer(TIMER_OPTION_FRAME);
    ASSERT_TRUE(enough());

    std::vector<std::chrono::steady_clock::time_point> starts;
    size_t reports = 0;
    for (const auto& r : bound.device.Record()) {
        if (r.bytes.empty() || r.bytes[0] != 0xFF) continue;
        ++reports;
        if (StartsFrame(r)) starts.push_back(r.time);
    }
    ASSERT_GE(starts.size(), kFrames);
    EXPECT_EQ(reports, 12 * starts.size()) << "twelve reports make each frame";
    const auto period = std::chrono::milliseconds(CDeviceOptionUI::kFrameWiredMs - 1);
    for (size_t k = 1; k < starts.size(); ++k)
        EXPECT_GE(starts[k] - starts[k - 1], period)
            << "frame " << k << " came " << std::chrono::duration<double, std::milli>(starts[k] - starts[k - 1]).count()
            << " ms after the one before";
}

}  // namespace
