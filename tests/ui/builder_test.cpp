#include "tests/ui/ui_fixture.h"

namespace uitest {
namespace {

class BuilderTest : public UiTest {};

TEST_F(BuilderTest, SmokeWindowBuildsAndPaints) {
    TestWindow* w = Open(LR"(<Window size="200,100"><VerticalLayout name="root" bkcolor="#FF0000FF">
        <Button name="ok" height="30" text="OK"/></VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    EXPECT_EQ(w->GetClientSize().cx, 200);
    CControlUI* ok = w->pm().FindControl(L"ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetPos().bottom - ok->GetPos().top, 30);
    EXPECT_EQ(w->Count(L"windowinit", L"root"), 1);
    EXPECT_EQ(Surface(w)->PixelAt(100, 80), 0xFF0000FFu);
}

}  // namespace
}  // namespace uitest
