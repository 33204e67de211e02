// What the headset and mouse-pad pages exchange with their emulated devices:
// the connect sequence, the light block both ways, the status and the events.
#include <chrono>
#include <thread>

#include "link/device_packet.h"
#include "platform/os/event.h"
#include "tests/devices/lit_device_test_support.h"

namespace {

using namespace devicestest;
using tavrik::devsim::FaultKind;
using tavrik::devsim::LitKeptByteMarker;
using tavrik::devsim::ViewLitBlock;

class LitDeviceExchange : public ::testing::TestWithParam<ProductKind> {
protected:
    BoundPage bound{GetParam()};
    Emulator& device = bound.device;
    CCorvaneLitDevice& page = *bound.page;

    void SeedBlock(int profile, uint8_t modeCode, uint8_t speedCode) {
        auto lock = device.Lock();
        device.Memory().params[0] = uint8_t(profile);
        device.Memory().params[size_t(profile) * 64 + 1] = modeCode;
        device.Memory().params[size_t(profile) * 64 + 3] = speedCode;
    }
    HeadsetLightBlock DeviceBlock(int profile) {
        auto lock = device.Lock();
        return ViewLitBlock(device.Memory(), profile).bytes;
    }
};

INSTANTIATE_TEST_SUITE_P(Devices, LitDeviceExchange, ::testing::Values(ProductKind::Headset, ProductKind::MousePad),
                         [](const auto& info) { return KindName(info.param); });

TEST_P(LitDeviceExchange, ConnectSequenceReadsOnlyWhatThePageNeeds) {
    page.OnConnected();
    page.StopLightThread();
    if (GetParam() == ProductKind::Headset) {
        // The headset's connection works from the profile: nothing is exchanged.
        EXPECT_TRUE(Commands(device).empty());
    } else {
        // The pad's information block, in one bracket.
        EXPECT_EQ(Commands(device), (std::vector<uint8_t>{CMD_BEGIN, CMD_READ_INFO, CMD_END}));
    }
    // The profile's lighting is the page's: the default document's mode 0 (wave), brightness 4.
    const HeadsetLightBlock block = page.GetLightBlock();
    EXPECT_EQ(block[light_block::kMode], 0);
    EXPECT_EQ(block[light_block::kBrightness], 4);
    EXPECT_EQ(page.GetLightSetting().blue, 255);
}

TEST_P(LitDeviceExchange, BlockRoundTripConvertsCodeAndSpeedAndKeepsTheIndicesOnThePage) {
    const int32_t code = page.GetModeValues().at(3);
    SeedBlock(2, uint8_t(code), 2);
    int profile = -1;
    ASSERT_EQ(page.ReadProfileBlock(&profile), 1);
    EXPECT_EQ(profile, 2);
    HeadsetLightBlock held = page.GetLightBlock();
    EXPECT_EQ(held[0], 2);
    EXPECT_EQ(held[light_block::kMode], 3);
    EXPECT_EQ(held[light_block::kSpeed], 3);
    // Bytes the program does not manage were read as the device keeps them.
    EXPECT_EQ(held[4], LitKeptByteMarker(2, 4));
    EXPECT_EQ(held[20], LitKeptByteMarker(2, 20));

    device.ClearRecord();
    EXPECT_EQ(page.WriteProfileBlock(2, 0, 1, 0, 0), 1);
    EXPECT_EQ(Commands(device), (std::vector<uint8_t>{CMD_BEGIN, CMD_WRITE_PARAMS, CMD_END}));
    const auto writes = device.Requests(CMD_WRITE_PARAMS);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Count(), 21);
    EXPECT_EQ(writes[0].Offset(), 2u * 64);
    const HeadsetLightBlock written = DeviceBlock(2);
    EXPECT_EQ(written[1], code);
    EXPECT_EQ(written[3], 2);
    EXPECT_EQ(written[4], LitKeptByteMarker(2, 4));
    held = page.GetLightBlock();
    EXPECT_EQ(held[light_block::kMode], 3);
    EXPECT_EQ(held[light_block::kSpeed], 3);
}

TEST_P(LitDeviceExchange, UnknownModeCodeStaysAsReadAndGoesBackUnchanged) {
    SeedBlock(0, 0x77, 5);
    int profile = -1;
    ASSERT_EQ(page.ReadProfileBlock(&profile), 1);
    EXPECT_EQ(page.GetLightBlock()[light_block::kMode], 0x77);
    EXPECT_EQ(page.GetLightBlock()[light_block::kSpeed], 0);
    page.WriteProfileBlock(0, 0, 1, 0, 0);
    EXPECT_EQ(DeviceBlock(0)[1], 0x77);
    EXPECT_EQ(DeviceBlock(0)[3], 5);
}

TEST_P(LitDeviceExchange, TwoWritesInARowSendTheSameBytes) {
    page.LoadProfile(1);
    page.WriteProfileBlock(0, 0, 1, 0, 0);
    page.WriteProfileBlock(0, 0, 1, 0, 0);
    const auto writes = device.Requests(CMD_WRITE_PARAMS);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].bytes, writes[1].bytes);
}

TEST_P(LitDeviceExchange, FailedBlockReadChangesNothing) {
    page.LoadProfile(1);
    const HeadsetLightBlock before = page.GetLightBlock();
    int profile = -1;
    // The device refuses the block read.
    device.Inject({FaultKind::Status, 1, CMD_READ_PARAMS, 1, 0, 0xFF});
    EXPECT_EQ(page.ReadProfileBlock(&profile), 0);
    EXPECT_EQ(profile, -1);
    EXPECT_EQ(page.GetLightBlock(), before);
    // A closed channel reads nothing.
    tavrik::test::CloseCommandChannel(page.CommandChannel());
    device.ClearRecord();
    EXPECT_EQ(page.ReadProfileBlock(&profile), 0);
    EXPECT_EQ(page.GetLightBlock(), before);
    EXPECT_TRUE(device.Record().empty());
    // ... and writing to it still answers 1 without sending.
    EXPECT_EQ(page.WriteProfileBlock(0, 0, 1, 0, 0), 1);
    EXPECT_TRUE(device.Record().empty());
}

TEST_P(LitDeviceExchange, StatusReadTakesTheBlockWithTheCableLink) {
    page.ReadPowerStatus();
    const DeviceStatusBlock& status = page.LastStatus();
    EXPECT_EQ(status.BatteryPercent(), 90);
    EXPECT_EQ(status.WirelessLink(), 0);
    EXPECT_EQ(status.StatusCode(), 1);
    EXPECT_EQ(status.PhoneType(), GetParam() == ProductKind::MousePad ? tavrik::devsim::kMousePadPhoneType : 0);
    EXPECT_EQ(device.Requests(CMD_READ_STATUS).size(), 1u);
}

// Bounded poll: the listener runs on its own thread.
template <class F>
bool Eventually(F done) {
    for (int i = 0; i < 2000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

TEST_P(LitDeviceExchange, SettingsEventIsCountedAndOtherCodesAreNot) {
    page.OpenEventChannel(device.InterfacePath(tavrik::devsim::kConsumerCollection));
    ASSERT_TRUE(page.IsEventChannelOpen());
    ASSERT_EQ(page.RunningListeners(), 1);
    device.SendEvent(0x0402);
    device.SendEvent(0x0401);
    EXPECT_TRUE(Eventually([&] { return page.ResyncRequests() == 1; }));
    // A command exchange on the same collection is no event.
    page.ReadPowerStatus();
    ASSERT_TRUE(tavrik::devsim::ChangeLitAccessoryLight(device, 1, 2, 3));
    EXPECT_TRUE(Eventually([&] { return page.ResyncRequests() == 2; }));
}

TEST_P(LitDeviceExchange, BlockedListenerStopsWhenTheChannelCloses) {
    page.OpenEventChannel(device.InterfacePath(tavrik::devsim::kConsumerCollection));
    ASSERT_EQ(page.RunningListeners(), 1);
    // Nothing arrives: the listener waits in its read until it is stopped.
    page.CloseEventChannel();
    EXPECT_EQ(page.RunningListeners(), 0);
    EXPECT_FALSE(page.IsEventChannelOpen());
}

}  // namespace
