// Size limits of skinned windows, and what a window hears when the display
// changes under it.

#include "tests/ui/ui_fixture.h"

#include "platform/os/messages.h"

namespace uitest {
namespace {

using namespace win;

// Records the window-level messages of display changes and activation.
class WatchingWindow : public TestWindow {
public:
    using TestWindow::TestWindow;

    struct Heard {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        RECT suggested;  // WM_DPICHANGED only
    };
    std::vector<Heard> heard;
    // When set, WM_DPICHANGED is answered as a program does: take the DPI
    // and the suggested place.
    bool followDpi = false;

    int Count(UINT message) const {
        int n = 0;
        for (const Heard& h : heard) n += h.message == message;
        return n;
    }
    const Heard* Last(UINT message) const {
        for (auto it = heard.rbegin(); it != heard.rend(); ++it)
            if (it->message == message) return &*it;
        return nullptr;
    }

    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override {
        if (uMsg == WM_DISPLAYCHANGE || uMsg == WM_DPICHANGED || uMsg == WM_ACTIVATE) {
            Heard h{uMsg, wParam, lParam, {}};
            if (uMsg == WM_DPICHANGED) {
                h.suggested = *reinterpret_cast<const RECT*>(lParam);
                if (followDpi) {
                    m_pm.SetDPI(LOWORD(wParam));
                    SetWindowRect(h.suggested);
                }
            }
            heard.push_back(h);
        }
        return TestWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
};

class WindowDisplayTest : public UiTest {
protected:
    WatchingWindow* OpenWatching(const std::wstring& skin) {
        auto* w = new WatchingWindow(skin);
        windows_.push_back(w);
        w->Create(nullptr, L"watching", WS_POPUP | WS_VISIBLE, 0, 10, 20, 0, 0);
        Pump();
        return w;
    }
};

constexpr wchar_t kLimited[] =
    L"<Window size='300,200' mininfo='200,150' maxinfo='400,300'><VerticalLayout bkcolor='#FF102030'/></Window>";

bool SizeIs(CWindowWnd* w, int cx, int cy) {
    SIZE s = w->GetClientSize();
    return s.cx == cx && s.cy == cy;
}

TEST_F(WindowDisplayTest, SkinSizeLimitsReachTheDisplayAndHoldEveryResize) {
    TestWindow* w = Open(kLimited);
    HeadlessWindow* surface = Surface(w);
    EXPECT_EQ(surface->MinSize().width, 200);
    EXPECT_EQ(surface->MinSize().height, 150);
    EXPECT_EQ(surface->MaxSize().width, 400);
    EXPECT_EQ(surface->MaxSize().height, 300);
    EXPECT_TRUE(SizeIs(w, 300, 200));

    struct Case {
        int cx, cy;  // asked for
        int wantX, wantY;
    } cases[] = {
        {100, 100, 200, 150},   // below the minimum
        {1000, 900, 400, 300},  // above the maximum
        {250, 1000, 250, 300},  // one dimension out
        {320, 180, 320, 180},   // inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy);
        // Through the window layer...
        w->ResizeClient(c.cx, c.cy);
        Pump();
        EXPECT_TRUE(SizeIs(w, c.wantX, c.wantY));
        EXPECT_EQ(surface->GetRect().Width(), c.wantX);
        EXPECT_EQ(surface->GetRect().Height(), c.wantY);
        // ...and by the display itself (a user dragging the frame).
        w->ResizeClient(300, 200);
        BackendRect r = surface->GetRect();
        surface->SetRect({r.left, r.top, r.left + c.cx, r.top + c.cy});
        Pump();
        EXPECT_TRUE(SizeIs(w, c.wantX, c.wantY));
        EXPECT_EQ(surface->GetRect().Width(), c.wantX);
    }
    // The top-left corner stays where it was.
    EXPECT_EQ(w->GetWindowRect().left, 10);
    EXPECT_EQ(w->GetWindowRect().top, 20);
}

TEST_F(WindowDisplayTest, ChangedLimitsApplyAtOnceAndFollowTheDpi) {
    TestWindow* w = Open(kLimited);
    // A larger minimum grows the window now, and the layout follows.
    w->pm().SetMinInfo(350, 250);
    Pump();
    EXPECT_TRUE(SizeIs(w, 350, 250));
    EXPECT_EQ(Surface(w)->GetRect().Width(), 350);
    EXPECT_EQ(w->pm().GetRoot()->GetPos().right, 350);
    // No limit at all: anything goes.
    w->pm().SetMinInfo(0, 0);
    w->pm().SetMaxInfo(0, 0);
    w->ResizeClient(40, 30);
    Pump();
    EXPECT_TRUE(SizeIs(w, 40, 30));
    EXPECT_EQ(Surface(w)->MinSize().width, 0);

    TestWindow* v = Open(kLimited);
    CPaintManagerUI::SetAllDPI(144);
    Pump();
    EXPECT_EQ(Surface(v)->MinSize().width, 300);
    EXPECT_EQ(Surface(v)->MaxSize().height, 450);
    EXPECT_TRUE(SizeIs(v, 450, 300));  // scaled, not pushed to a limit
    v->ResizeClient(10, 10);
    EXPECT_TRUE(SizeIs(v, 300, 225));
    CPaintManagerUI::SetAllDPI(96);
    Pump();
    EXPECT_EQ(Surface(v)->MinSize().width, 200);
    EXPECT_TRUE(SizeIs(v, 200, 150));
}

TEST_F(WindowDisplayTest, DisplayChangeReachesEveryWindowAndDpiChangeOnlyWhenTheDpiMoved) {
    WatchingWindow* a = OpenWatching(kLimited);
    WatchingWindow* b = OpenWatching(L"<Window size='100,80'><VerticalLayout/></Window>");
    a->heard.clear();
    b->heard.clear();

    // A new screen size at the same DPI: no DPI message.
    display_->ChangeDisplay(1280, 1024, 96);
    Pump();
    for (WatchingWindow* w : {a, b}) {
        ASSERT_EQ(w->Count(WM_DISPLAYCHANGE), 1);
        EXPECT_EQ(w->Last(WM_DISPLAYCHANGE)->wParam, 32u);
        EXPECT_EQ(LOWORD(w->Last(WM_DISPLAYCHANGE)->lParam), 1280);
        EXPECT_EQ(HIWORD(w->Last(WM_DISPLAYCHANGE)->lParam), 1024);
        EXPECT_EQ(w->Count(WM_DPICHANGED), 0);
    }

    // The DPI moves to 144: both messages, the DPI in both halves of
    // wParam and a suggested place scaled from where the window is.
    b->followDpi = true;
    display_->ChangeDisplay(1280, 1024, 144, 24);
    Pump();
    ASSERT_EQ(a->Count(WM_DPICHANGED), 1);
    EXPECT_EQ(a->Last(WM_DISPLAYCHANGE)->wParam, 24u);
    EXPECT_EQ(LOWORD(a->Last(WM_DPICHANGED)->wParam), 144);
    EXPECT_EQ(HIWORD(a->Last(WM_DPICHANGED)->wParam), 144);
    RECT s = a->Last(WM_DPICHANGED)->suggested;
    EXPECT_EQ(s.left, 10);
    EXPECT_EQ(s.top, 20);
    EXPECT_EQ(s.right - s.left, 450);
    EXPECT_EQ(s.bottom - s.top, 300);
    // The window that follows the message takes its new scale and size.
    ASSERT_EQ(b->Count(WM_DPICHANGED), 1);
    EXPECT_EQ(b->pm().GetDPIObj()->GetScale(), 150);
    EXPECT_TRUE(SizeIs(b, 150, 120));

    // The same DPI again is no DPI change; a change back is one.
    display_->ChangeDisplay(1920, 1080, 144);
    Pump();
    EXPECT_EQ(a->Count(WM_DISPLAYCHANGE), 3);
    EXPECT_EQ(a->Count(WM_DPICHANGED), 1);
    display_->ChangeDisplay(1920, 1080, 96);
    Pump();
    EXPECT_EQ(a->Count(WM_DPICHANGED), 2);
    EXPECT_EQ(LOWORD(a->Last(WM_DPICHANGED)->wParam), 96);
}

TEST_F(WindowDisplayTest, ActivationFromTheDisplayIsWmActivate) {
    WatchingWindow* a = OpenWatching(L"<Window size='100,80'><VerticalLayout/></Window>");
    WatchingWindow* b = OpenWatching(L"<Window size='100,80'><VerticalLayout/></Window>");
    a->heard.clear();
    b->heard.clear();
    a->Activate();
    Pump();
    ASSERT_NE(a->Last(WM_ACTIVATE), nullptr);
    EXPECT_EQ(LOWORD(a->Last(WM_ACTIVATE)->wParam), WA_ACTIVE);
    ASSERT_NE(b->Last(WM_ACTIVATE), nullptr);
    EXPECT_EQ(LOWORD(b->Last(WM_ACTIVATE)->wParam), WA_INACTIVE);
}

}  // namespace
}  // namespace uitest
