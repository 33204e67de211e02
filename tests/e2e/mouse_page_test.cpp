// End to end: the real Tavrik against the emulated mouse in its own process.
// The mouse gets its page, and its connection reads the information block
// and the default key table in one session and nothing else.

#include "tests/e2e/tavrik_session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

// The command bytes of the 64-byte command reports the mouse received, one per
// transfer (the packets of a paged transfer follow each other), link queries
// left out.
std::vector<int> Commands(const std::vector<std::string>& answer) {
    std::vector<int> commands;
    const std::string prefix = "record mouse ";
    int lastOffsetEnd = -1;
    for (const std::string& line : answer) {
        if (line.rfind(prefix, 0) != 0) continue;
        const std::string hex = line.substr(prefix.size());
        if (hex.size() != 128 || hex.substr(0, 2) != "04") continue;
        const int command = std::stoi(hex.substr(6, 2), nullptr, 16);
        const int count = std::stoi(hex.substr(8, 2), nullptr, 16);
        const int offset = std::stoi(hex.substr(10, 2), nullptr, 16) | std::stoi(hex.substr(12, 2), nullptr, 16) << 8;
        if (command == 0xAA) continue;
        const bool continues = !commands.empty() && commands.back() == command && offset == lastOffsetEnd && offset != 0;
        if (!continues) commands.push_back(command);
        lastOffsetEnd = offset + count;
    }
    return commands;
}

using MousePageTest = TavrikSession;

TEST_F(MousePageTest, AMouseGetsItsPageAndItsConnectionReadsItsTables) {
    StartEmulator({"mouse"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("mouse_device_key_light")) << Log("tavrik.log");

    std::vector<int> commands;
    ASSERT_TRUE(Poll(
        [&] {
            commands = Commands(EmulatorCommand("record mouse"));
            return commands.size() >= 4;
        },
        30s))
        << Log("tavrik.log");
    const std::vector<int> connect = {0x01, 0x03, 0x07, 0x02};
    EXPECT_EQ(std::vector<int>(commands.begin(), commands.begin() + 4), connect);
    // No parameter block is read or written by the connection.
    for (int c : commands) {
        EXPECT_NE(c, 0x05);
        EXPECT_NE(c, 0x06);
    }
}

}  // namespace
}  // namespace tavrik::test
