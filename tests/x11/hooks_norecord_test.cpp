// The hooks on an X server without the RECORD extension.

#include <gtest/gtest.h>

#include "platform/hooks/hook_api.h"
#include "platform/hooks/hook_hub.h"
#include "platform/hooks/key_trap.h"
#include "platform/os/handle.h"
#include "platform/os/window.h"
#include "tests/x11/hook_recorder.h"
#include "tests/x11/x_display.h"

namespace tavrik::hooks {
namespace {

TEST(HooksWithoutRecord, InstallationFails) {
    TAVRIK_REQUIRE_X_DISPLAY();
    win::SetLastError(0);
    EXPECT_EQ(win::SetWindowsHookExW(win::WH_KEYBOARD_LL, test::RecordingKeyProc, nullptr, 0), nullptr);
    EXPECT_NE(win::GetLastError(), 0u);
    win::HWND w = test::CreateMouseReportWindow();
    EXPECT_EQ(InstallHook(w, 4), 0);
    EXPECT_EQ(UnInstallHook(w), 0);
    EXPECT_FALSE(HookHub::Instance().SourceRunning());
    win::DestroyWindow(w);
}

}  // namespace
}  // namespace tavrik::hooks
