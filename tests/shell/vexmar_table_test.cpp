// The device table the main window sends to the outside work tool's window.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "link/device_tables.h"
#include "platform/os/messages.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

// A window titled "Vexmar" that keeps what it is sent.
class WorkToolWindow : public CWindowWnd {
public:
    std::vector<std::uintptr_t> codes;
    std::vector<std::vector<std::int32_t>> blocks;
    std::vector<HWND> senders;

protected:
    LPCTSTR GetWindowClassName() const override { return L"WorkTool"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == win::WM_COPYDATA) {
            const auto* data = reinterpret_cast<const win::COPYDATASTRUCT*>(lParam);
            codes.push_back(data->dwData);
            std::vector<std::int32_t> block(data->cbData / sizeof(std::int32_t));
            std::memcpy(block.data(), data->lpData, block.size() * sizeof(std::int32_t));
            blocks.push_back(block);
            senders.push_back(reinterpret_cast<HWND>(wParam));
            return 1;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

using VexmarTableTest = MainWndTest;

TEST_F(VexmarTableTest, TheToolGetsTheDeviceTableAndWithoutItNothingFails) {
    OpenMainWindow();
    // No tool window: nothing to send to.
    window_->CMainWnd::SendVexmarTable();

    WorkToolWindow tool;
    ASSERT_NE(tool.Create(nullptr, L"Vexmar", UI_WS_POPUP, 0, 0, 0, 10, 10), nullptr);
    window_->CMainWnd::SendVexmarTable();
    ASSERT_EQ(tool.blocks.size(), 1u);
    EXPECT_EQ(tool.codes[0], kVexmarTableCode);
    EXPECT_EQ(tool.senders[0], window_->GetHWND());
    const std::vector<std::int32_t>& block = tool.blocks[0];
    ASSERT_EQ(block.size(), 256u);
    std::vector<std::int32_t> expected(256, 0);
    expected[0] = 2;
    expected[1] = 3;
    expected[3] = 2;
    expected[4] = 4;
    for (int row = 0; row < kDeviceOptionCount; ++row) {
        expected[static_cast<std::size_t>(5 + 3 * row)] = DeviceOptionTable[row].vendorId;
        expected[static_cast<std::size_t>(6 + 3 * row)] = DeviceOptionTable[row].productId;
        expected[static_cast<std::size_t>(7 + 3 * row)] = DeviceOptionTable[row].deviceType;
    }
    EXPECT_EQ(block, expected);
    // The keyboard's row is a real device (the headset's ids are unknown).
    EXPECT_NE(block[5 + 3], 0);
    win::DestroyWindow(tool.GetHWND());
}

}  // namespace
}  // namespace mainwndtest
