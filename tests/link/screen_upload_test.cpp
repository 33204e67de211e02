// Screen animation upload: 24-bit offsets, the pause after the first packet
// and the progress posted to a progress window.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "link/device_packet.h"
#include "link/device_protocol.h"
#include "platform/os/message_queue.h"
#include "platform/os/window.h"
#include "tests/link/sim_channel.h"

namespace {

using namespace std::chrono_literals;
using tavrik::devsim::Emulator;
using tavrik::devsim::Fault;
using tavrik::devsim::FaultKind;
using tavrik::devsim::ProductKind;
using tavrik::devsim::SimFixture;

constexpr win::UINT kTransferProgress = 0x4901;

win::LRESULT IgnoreProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    return win::DefWindowProcW(hwnd, message, wParam, lParam);
}

struct Progress {
    win::WPARAM done;
    win::LPARAM percent;
};

// A progress window on the test thread; the upload posts to its queue.
class ProgressWindow {
public:
    ProgressWindow() : hwnd_(win::CreateWindowHandle(&IgnoreProc)) {}
    ~ProgressWindow() { win::DestroyWindow(hwnd_); }
    win::HWND Handle() const { return hwnd_; }
    std::vector<Progress> Drain() {
        std::vector<Progress> out;
        win::MSG msg;
        while (win::PeekMessageW(&msg, hwnd_, 0, 0, win::PM_REMOVE))
            if (msg.message == kTransferProgress) out.push_back({msg.wParam, msg.lParam});
        return out;
    }

private:
    win::HWND hwnd_;
};

std::vector<uint8_t> Frames(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 13 + 1);
    return v;
}

TEST(ScreenUpload, PostsEachNewPercentThenCompletion) {
    SimFixture sim;
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    CDeviceProtocol channel;
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(channel, keyboard));
    ProgressWindow window;
    ASSERT_NE(window.Handle(), nullptr);

    // Four packets: 31, 62, 94 and 100 percent, then done.
    const auto small = Frames(178);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(channel.UploadScreenData(small.data(), 178, window.Handle()), 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 480ms);  // pause after the first packet
    const auto posted = window.Drain();
    ASSERT_EQ(posted.size(), 5u);
    const win::LPARAM percents[] = {31, 62, 94, 100};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(posted[i].done, 0u);
        EXPECT_EQ(posted[i].percent, percents[i]);
    }
    EXPECT_EQ(posted[4].done, 1u);
    EXPECT_EQ(posted[4].percent, 0);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), keyboard.Memory().screen.begin()));

    // 200 packets: half a percent each, so most percents are posted once;
    // the packet counter adds a post every hundredth packet.
    const auto big = Frames(200 * 56);
    ASSERT_EQ(channel.UploadScreenData(big.data(), static_cast<uint32_t>(big.size()), window.Handle()), 1);
    const auto many = window.Drain();
    ASSERT_GE(many.size(), 102u);
    EXPECT_LE(many.size(), 104u);
    for (size_t i = 1; i + 1 < many.size(); ++i) EXPECT_GE(many[i].percent, many[i - 1].percent);
    EXPECT_EQ(many[many.size() - 2].percent, 100);
    EXPECT_EQ(many.back().done, 1u);
}

TEST(ScreenUpload, LargeOffsetsUseTheThirdOffsetByteAndErrorsPostNoCompletion) {
    SimFixture sim;
    Emulator& keyboard = sim.Plug(ProductKind::KeyboardCable);
    CDeviceProtocol channel;
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(channel, keyboard));
    ProgressWindow window;

    const auto frames = Frames(70000);
    ASSERT_EQ(channel.UploadScreenData(frames.data(), 70000, nullptr), 1);
    const auto requests = keyboard.Requests(CMD_SCREEN_DATA);
    ASSERT_EQ(requests.size(), 1250u);
    EXPECT_EQ(requests.back().Offset(), 1249u * 56);
    EXPECT_EQ(requests.back().bytes[kPacketStatus], (1249u * 56) >> 16);
    ASSERT_GE(keyboard.Memory().screen.size(), 70000u);
    EXPECT_TRUE(std::equal(frames.begin(), frames.end(), keyboard.Memory().screen.begin()));

    keyboard.ClearRecord();
    keyboard.Inject({FaultKind::Status, 1, CMD_SCREEN_DATA, 2, 0, 0xFE});
    EXPECT_EQ(channel.UploadScreenData(frames.data(), 1000, window.Handle()), -103);
    EXPECT_EQ(keyboard.Requests(CMD_SCREEN_DATA).size(), 3u);
    const auto posted = window.Drain();
    ASSERT_EQ(posted.size(), 2u);
    for (const auto& p : posted) EXPECT_EQ(p.done, 0u);
}

}  // namespace
