// End to end, the outside work tool: a window titled "Vexmar" in another
// process (this test's) asks the real Tavrik for its device table with the
// registered query message, sent by tavrik-post; Tavrik answers with one
// 1024-byte WM_COPYDATA block. With no such window the query changes nothing.

#include "tests/e2e/tavrik_session.h"

#include <cstdint>
#include <cstring>

#include "link/device_tables.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/window.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

// The query's registered name.
constexpr const char* kQueryMessage = "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}";

// A top-level window of this process, reachable by its title, keeping the
// blocks it is sent.
class WorkToolWindow {
public:
    WorkToolWindow() { hwnd_ = win::CreateWindowHandle(&Proc, L"Vexmar", nullptr, this); }
    ~WorkToolWindow() {
        if (hwnd_) win::DestroyWindow(hwnd_);
    }
    bool Created() const { return hwnd_ != nullptr; }
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<win::ULONG_PTR> codes;

private:
    static win::LRESULT Proc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
        if (message == win::WM_NCCREATE) {
            win::SetWindowLongPtrW(
                hwnd, win::GWLP_USERDATA,
                reinterpret_cast<win::LONG_PTR>(reinterpret_cast<win::CREATESTRUCTW*>(lParam)->lpCreateParams));
            return 1;
        }
        auto* self = reinterpret_cast<WorkToolWindow*>(win::GetWindowLongPtrW(hwnd, win::GWLP_USERDATA));
        if (message == win::WM_COPYDATA && self != nullptr) {
            const auto* data = reinterpret_cast<const win::COPYDATASTRUCT*>(lParam);
            const auto* bytes = static_cast<const uint8_t*>(data->lpData);
            self->blocks.emplace_back(bytes, bytes + data->cbData);
            self->codes.push_back(data->dwData);
            return 1;
        }
        return win::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    win::HWND hwnd_ = nullptr;
};

void ServeMessages() {
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) win::DispatchMessageW(&msg);
}

using VexmarTest = TavrikSession;

TEST_F(VexmarTest, TheWorkToolInAnotherProcessGetsTheDeviceTable) {
    StartEmulator({"keyboard"});
    tavrik_ = StartTavrik("tavrik.log");
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    const auto query = [&] {
        return ChildProcess("tavrik-post", {"--title", kMainWindowTitle, "--message", kQueryMessage}, {},
                            (folder_ / "post.log").string())
            .Wait(30s);
    };

    // 1. No tool window: the query is taken and nothing fails.
    ASSERT_EQ(query(), 0) << Log("post.log");
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(tavrik_->Exited()) << Log("tavrik.log");

    // 2. The tool's window gets the table once.
    WorkToolWindow tool;
    ASSERT_TRUE(tool.Created());
    ASSERT_EQ(query(), 0) << Log("post.log");
    ASSERT_TRUE(Poll([&] { return !tool.blocks.empty(); }, 30s, ServeMessages)) << Log("tavrik.log");
    ASSERT_EQ(tool.blocks[0].size(), 1024u);
    std::vector<int32_t> block(256);
    std::memcpy(block.data(), tool.blocks[0].data(), 1024);
    std::vector<int32_t> expected(256, 0);
    expected[0] = 2;
    expected[1] = 3;
    expected[3] = 2;
    expected[4] = kDeviceOptionCount;
    for (int row = 0; row < kDeviceOptionCount; ++row) {
        expected[size_t(5 + 3 * row)] = DeviceOptionTable[row].vendorId;
        expected[size_t(6 + 3 * row)] = DeviceOptionTable[row].productId;
        expected[size_t(7 + 3 * row)] = DeviceOptionTable[row].deviceType;
    }
    EXPECT_EQ(block, expected);
    EXPECT_EQ(tool.blocks.size(), 1u);
}

}  // namespace
}  // namespace tavrik::test
