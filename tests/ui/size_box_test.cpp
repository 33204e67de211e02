// Resizing a borderless skinned window by its size box: the band along the
// edges that the skin's "sizebox" gives.

#include "tests/ui/ui_fixture.h"

#include "platform/os/messages.h"

namespace uitest {
namespace {

// Left 4, top 5, right 6, bottom 7 pixels; a button fills the rest, so a
// press that is not the frame's would click it.
constexpr wchar_t kBoxed[] =
    L"<Window size='300,200' sizebox='4,5,6,7' mininfo='200,150' maxinfo='400,300'>"
    L"<VerticalLayout name='root' bkcolor='#FF102030'><Button name='all'/></VerticalLayout></Window>";

class SizeBoxTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w_ = Open(kBoxed);
        s_ = Surface(w_);
    }
    void Send(BackendEventType type, int x, int y) {
        BackendEvent e;
        e.type = type;
        e.x = x;
        e.y = y;
        e.button = BackendButton::Left;
        if (type == BackendEventType::ButtonDown || (type == BackendEventType::MouseMove && held_))
            e.modifiers = kBackendLeftButton;
        if (type == BackendEventType::ButtonDown) held_ = true;
        if (type == BackendEventType::ButtonUp) held_ = false;
        display_->Inject(s_, e);
        Pump();
    }
    // Press at a client point, move the pointer by (dx, dy), release there.
    void Drag(int x, int y, int dx, int dy) {
        Send(BackendEventType::MouseMove, x, y);
        Send(BackendEventType::ButtonDown, x, y);
        Send(BackendEventType::MouseMove, x + dx, y + dy);
        Send(BackendEventType::ButtonUp, x + dx, y + dy);
    }
    void Place(RECT r) {
        w_->SetWindowRect(r);
        Pump();
    }

    TestWindow* w_ = nullptr;
    HeadlessWindow* s_ = nullptr;
    bool held_ = false;
};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(SizeBoxTest, PressInEachBandResizesThatWayAndShowsItsCursor) {
    using E = BackendResizeEdge;
    using C = BackendCursor;
    const RECT start{10, 20, 310, 220};
    struct Case {
        const char* what;
        int x, y;    // the press, client coordinates
        int dx, dy;  // the drag
        E edge;
        C cursor;
        RECT want;
    } cases[] = {
        {"left", 1, 100, -20, 5, E::Left, C::SizeWE, {-10, 20, 310, 220}},
        {"right", 296, 100, 30, -4, E::Right, C::SizeWE, {10, 20, 340, 220}},
        {"top", 150, 2, 3, -10, E::Top, C::SizeNS, {10, 10, 310, 220}},
        {"bottom", 150, 194, 0, 25, E::Bottom, C::SizeNS, {10, 20, 310, 245}},
        {"top-left", 1, 1, -10, -10, E::TopLeft, C::SizeNWSE, {0, 10, 310, 220}},
        {"top-right", 299, 0, 10, -10, E::TopRight, C::SizeNESW, {10, 10, 320, 220}},
        {"bottom-left", 0, 199, -10, 10, E::BottomLeft, C::SizeNESW, {0, 20, 310, 230}},
        {"bottom-right", 299, 199, 50, 40, E::BottomRight, C::SizeNWSE, {10, 20, 360, 260}},
    };
    int requests = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Place(start);
        Send(BackendEventType::MouseMove, c.x, c.y);
        EXPECT_EQ(s_->Cursor(), c.cursor);
        Send(BackendEventType::ButtonDown, c.x, c.y);
        ASSERT_EQ(s_->ResizeRequests(), ++requests);
        EXPECT_TRUE(s_->IsResizing());
        EXPECT_EQ(s_->ResizeEdge(), c.edge);
        Send(BackendEventType::MouseMove, c.x + c.dx, c.y + c.dy);
        Send(BackendEventType::ButtonUp, c.x + c.dx, c.y + c.dy);
        EXPECT_FALSE(s_->IsResizing());
        EXPECT_TRUE(Same(w_->GetWindowRect(), c.want)) << Show(w_->GetWindowRect());
        BackendRect r = s_->GetRect();
        EXPECT_TRUE(Same({r.left, r.top, r.right, r.bottom}, c.want));
        // The layout follows the new size.
        RECT root = w_->pm().GetRoot()->GetPos();
        EXPECT_EQ(root.right, c.want.right - c.want.left);
        EXPECT_EQ(root.bottom, c.want.bottom - c.want.top);
    }
    // The frame's presses never reached the button under it.
    EXPECT_EQ(w_->Count(L"click", L"all"), 0);

    // Inside the band's inner edge the button has the pointer and the press.
    Place(start);
    Send(BackendEventType::MouseMove, 4, 100);
    EXPECT_EQ(s_->Cursor(), C::Arrow);
    Send(BackendEventType::ButtonDown, 4, 100);
    Send(BackendEventType::ButtonUp, 4, 100);
    EXPECT_EQ(s_->ResizeRequests(), requests);
    EXPECT_EQ(w_->Count(L"click", L"all"), 1);
    EXPECT_TRUE(Same(w_->GetWindowRect(), start));
}

TEST_F(SizeBoxTest, DragKeepsTheSkinsSizeLimitsAndTheOppositeEdge) {
    struct Case {
        const char* what;
        int x, y, dx, dy;
        RECT want;
    } cases[] = {
        {"left past the minimum", 1, 100, 250, 0, {110, 20, 310, 220}},
        {"top past the minimum", 150, 1, 0, 120, {10, 70, 310, 220}},
        {"bottom-right past the maximum", 299, 199, 500, 500, {10, 20, 410, 320}},
        {"top-left past the maximum", 0, 0, -300, -300, {-90, -80, 310, 220}},
        {"right to nothing", 299, 100, -400, 0, {10, 20, 210, 220}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Place({10, 20, 310, 220});
        Drag(c.x, c.y, c.dx, c.dy);
        EXPECT_TRUE(Same(w_->GetWindowRect(), c.want)) << Show(w_->GetWindowRect());
    }
}

TEST_F(SizeBoxTest, MaximisedWindowAndWindowWithoutSizeBoxDoNotResize) {
    w_->SendMessage(win::WM_SYSCOMMAND, win::SC_MAXIMIZE, 0);
    Pump();
    ASSERT_TRUE(w_->IsZoomed());
    const RECT zoomed = w_->GetWindowRect();
    const int cx = zoomed.right - zoomed.left, cy = zoomed.bottom - zoomed.top;
    Send(BackendEventType::MouseMove, cx - 1, cy - 1);
    EXPECT_EQ(s_->Cursor(), BackendCursor::Arrow);
    Drag(cx - 1, cy - 1, -40, -40);
    EXPECT_EQ(s_->ResizeRequests(), 0);
    EXPECT_TRUE(Same(w_->GetWindowRect(), zoomed));
    EXPECT_EQ(w_->Count(L"click", L"all"), 1);  // the corner is the button's now

    // Restored, the same corner resizes again.
    w_->SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
    Pump();
    Place({10, 20, 310, 220});
    Drag(299, 199, 10, 10);
    EXPECT_EQ(s_->ResizeRequests(), 1);
    EXPECT_TRUE(Same(w_->GetWindowRect(), RECT{10, 20, 320, 230}));

    // No "sizebox": the edges belong to the controls.
    TestWindow* plain = Open(L"<Window size='120,80'><VerticalLayout><Button name='all'/></VerticalLayout></Window>");
    s_ = Surface(plain);
    Drag(0, 0, 2, 2);
    Drag(119, 79, -2, -2);
    EXPECT_EQ(s_->ResizeRequests(), 0);
    EXPECT_EQ(plain->GetClientSize().cx, 120);
    EXPECT_EQ(plain->Count(L"click", L"all"), 2);
}

}  // namespace
}  // namespace uitest
