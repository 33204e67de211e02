// The device base class on its command channel, against an emulated keyboard:
// what switching the host lighting sends.
#include <gtest/gtest.h>

#include "link/device/corvane_usb_device.h"
#include "link/device_packet.h"
#include "tests/link/sim_channel.h"

namespace {

using tavrik::devsim::Emulator;
using tavrik::devsim::ProductKind;
using tavrik::devsim::SimFixture;

class ChannelDevice : public CCorvaneUSBDevice {
public:
    CDeviceProtocol& CommandChannel() { return m_commandChannel; }
};

TEST(DeviceBaseChannel, LightingSwitchedOnSendsLightOnOnlyForAKeyboard) {
    SimFixture sim;
    Emulator& device = sim.Plug(ProductKind::KeyboardCable);
    ChannelDevice page;
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page.CommandChannel(), device));

    const struct {
        int type;
        int enabled;
        size_t sent;
    } cases[] = {
        {1, 1, 1}, {1, 0, 0}, {1, 5, 1},  // any nonzero value switches on
        {2, 1, 0}, {3, 1, 0}, {7, 1, 0}, {9, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " enabled " << c.enabled);
        device.ClearRecord();
        page.SetDeviceType(c.type, 0);
        page.SetLightingEnabled(c.enabled);
        EXPECT_EQ(page.IsLightingEnabled(), c.enabled);
        EXPECT_EQ(device.Requests(CMD_LIGHT_ON).size(), c.sent);
        EXPECT_EQ(device.Record().empty(), c.sent == 0);  // nothing else goes out
    }
    tavrik::test::CloseCommandChannel(page.CommandChannel());
}

}  // namespace
