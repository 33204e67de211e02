#include "tests/ui/ui_fixture.h"

#include <atomic>
#include <thread>

namespace uitest {
namespace {

class WindowTest : public UiTest {};

class PageHandler : public CNotifyPump {
public:
    void OnClick(TNotifyUI& msg) { clicks.push_back(msg.pSender->GetName().str()); }
    std::vector<std::wstring> clicks;
    DUI_DECLARE_MESSAGE_MAP()
};

DUI_BEGIN_MESSAGE_MAP(PageHandler, CNotifyPump)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, PageHandler::OnClick)
DUI_END_MESSAGE_MAP()

// A control that counts its timer events.
class CTickerUI : public CControlUI {
public:
    void DoEvent(TEventUI& e) override {
        if (e.Type == UIEVENT_TIMER) {
            ids.push_back(static_cast<UINT>(e.wParam));
            if (onTick) onTick(static_cast<UINT>(e.wParam));
            return;
        }
        CControlUI::DoEvent(e);
    }
    std::vector<UINT> ids;
    std::function<void(UINT)> onTick;
};

// A modal dialog whose skin has one button that closes it with a code.
class Dialog : public WindowImplBase {
public:
    explicit Dialog(UINT code) : code_(code) {}
    CDuiString GetSkinFile() override {
        return L"<Window size='120,60'><VerticalLayout><Button name='done' height='30'/></VerticalLayout></Window>";
    }
    LPCTSTR GetWindowClassName() const override { return L"Dialog"; }
    void OnClick(TNotifyUI& msg) override {
        if (msg.pSender->GetName() == L"done") Close(code_);
    }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) override {
        if (uMsg == win::WM_USER + 50) {
            bHandled = TRUE;
            sends.push_back(static_cast<int>(wParam));
            return 7;
        }
        bHandled = FALSE;
        return 0;
    }
    std::vector<int> sends;

private:
    UINT code_;
};

TEST_F(WindowTest, ControlTimersArmedFromAnotherThread) {
    TestWindow* w = Open(L"<Window size='50,50'><VerticalLayout/></Window>");
    auto* ticker = new CTickerUI;
    static_cast<CContainerUI*>(w->pm().GetRoot())->Add(ticker);
    std::thread worker([&] {
        w->pm().SetTimer(ticker, 5, 5);
        w->pm().SetTimer(ticker, 6, 5);
    });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return ticker->ids.size() >= 4; }));
    EXPECT_NE(std::find(ticker->ids.begin(), ticker->ids.end(), 5u), ticker->ids.end());
    EXPECT_NE(std::find(ticker->ids.begin(), ticker->ids.end(), 6u), ticker->ids.end());
    // A window timer with the same small id is the window's, not the control's.
    EXPECT_TRUE(w->pm().KillTimer(ticker, 5));
    EXPECT_FALSE(w->pm().KillTimer(ticker, 5));
    w->pm().KillTimer(ticker);
    Pump();
    size_t seen = ticker->ids.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Pump();
    EXPECT_EQ(ticker->ids.size(), seen);
    // A control taken out of the tree gets no timer events, even when a
    // worker arms one for it afterwards.
    auto* root = static_cast<CContainerUI*>(w->pm().GetRoot());
    root->Remove(ticker, true);
    size_t before = ticker->ids.size();
    std::thread late([&] { w->pm().SetTimer(ticker, 8, 1); });
    late.join();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Pump();
    EXPECT_EQ(ticker->ids.size(), before);
    root->Add(ticker);
    // Removing the control kills its timers with it.
    w->pm().SetTimer(ticker, 9, 1);
    static_cast<CContainerUI*>(w->pm().GetRoot())->Remove(ticker);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Pump();  // nothing may reach the deleted control
}

TEST_F(WindowTest, NestedModalLoopsServeTimersAndCrossThreadSends) {
    TestWindow* owner = Open(L"<Window size='200,100'><VerticalLayout name='root'/></Window>");
    auto* ticker = new CTickerUI;
    static_cast<CContainerUI*>(owner->pm().GetRoot())->Add(ticker);

    Dialog outer(11), inner(22);
    std::atomic<LRESULT> sendResult{0};
    UINT innerResult = 0;
    std::thread sender;
    bool checkedInside = false;
    ticker->onTick = [&](UINT id) {
        if (id == 1) {
            // Inside the outer modal loop: open the inner one over it.
            owner->pm().KillTimer(ticker, 1);
            inner.Create(outer.GetHWND(), L"inner", win::WS_POPUP, 0, 0, 0, 0, 0);
            sender = std::thread([&] { sendResult = win::SendMessageW(inner.GetHWND(), win::WM_USER + 50, 3, 0); });
            owner->pm().SetTimer(ticker, 2, 5);
            innerResult = inner.ShowModal();
            EXPECT_TRUE(win::IsWindowEnabled(outer.GetHWND()));
            outer.Close(11);
        } else if (id == 2) {
            // Inside the inner loop: the owner's timers still run.
            owner->pm().KillTimer(ticker, 2);
            checkedInside = true;
            EXPECT_FALSE(win::IsWindowEnabled(outer.GetHWND()));
            EXPECT_FALSE(win::IsWindowEnabled(owner->GetHWND()));
            EXPECT_TRUE(PumpUntil([&] { return !inner.sends.empty(); }));
            inner.Close(5);
            inner.Close(6);  // the first close code wins
        }
    };
    outer.Create(owner->GetHWND(), L"outer", win::WS_POPUP, 0, 0, 0, 0, 0);
    owner->pm().SetTimer(ticker, 1, 5);
    UINT outerResult = outer.ShowModal();
    if (sender.joinable()) sender.join();
    EXPECT_TRUE(checkedInside);
    EXPECT_EQ(innerResult, 5u);
    EXPECT_EQ(inner.sends, std::vector<int>{3});
    EXPECT_EQ(sendResult.load(), 7);
    EXPECT_EQ(outerResult, 11u);
    EXPECT_TRUE(win::IsWindowEnabled(owner->GetHWND()));
    EXPECT_FALSE(win::IsWindow(outer.GetHWND()));
}

TEST_F(WindowTest, ModalResultFromAButtonAndInputToTheOwnerIsBlocked) {
    TestWindow* owner = Open(L"<Window size='200,100'><VerticalLayout><Button name='b'/></VerticalLayout></Window>");
    Dialog dlg(42);
    dlg.Create(owner->GetHWND(), L"dlg", win::WS_POPUP, 0, 0, 0, 0, 0);
    auto* ticker = new CTickerUI;
    static_cast<CContainerUI*>(owner->pm().GetRoot())->Add(ticker);
    ticker->onTick = [&](UINT) {
        owner->pm().KillTimer(ticker, 1);
        display_->Click(Surface(owner), 100, 20);  // the owner is disabled: ignored
        HeadlessWindow* d = Surface(&dlg);
        display_->Click(d, 60, 15);
    };
    owner->pm().SetTimer(ticker, 1, 5);
    EXPECT_EQ(dlg.ShowModal(), 42u);
    Pump();
    EXPECT_EQ(owner->Count(L"click", L"b"), 0);
}

TEST_F(WindowTest, CaptionDragAndDefaultCaptionButtons) {
    TestWindow* w = Open(
        LR"(<Window size='300,200' caption='0,0,0,30'><VerticalLayout>
        <HorizontalLayout height='30'><Control/><Button name='minbtn' width='30'/><Button name='maxbtn' width='30'/>
        <Button name='restorebtn' width='30' visible='false'/></HorizontalLayout><Control/></VerticalLayout></Window>)");
    display_->Click(Surface(w), 10, 10);
    EXPECT_EQ(Surface(w)->MoveRequests(), 1);
    display_->Click(Surface(w), 10, 100);  // below the caption: no move
    EXPECT_EQ(Surface(w)->MoveRequests(), 1);
    ClickOn(w, w->pm().FindControl(L"maxbtn"));
    EXPECT_TRUE(w->IsZoomed());
    EXPECT_FALSE(w->pm().FindControl(L"maxbtn")->IsVisible());
    EXPECT_TRUE(w->pm().FindControl(L"restorebtn")->IsVisible());
    EXPECT_EQ(w->GetClientSize().cx, 1920);  // the work area of the headless screen
    ClickOn(w, w->pm().FindControl(L"restorebtn"));
    EXPECT_FALSE(w->IsZoomed());
    EXPECT_EQ(w->GetClientSize().cx, 300);
    ClickOn(w, w->pm().FindControl(L"minbtn"));
    EXPECT_TRUE(w->IsIconic());
}

TEST_F(WindowTest, DpiScalesWindowAndLayout) {
    TestWindow* w =
        Open(L"<Window size='100,80'><VerticalLayout><Control name='c' height='20'/></VerticalLayout></Window>");
    EXPECT_EQ(w->pm().GetDPIObj()->GetScale(), 100);
    CPaintManagerUI::SetAllDPI(144);
    Pump();
    EXPECT_EQ(w->pm().GetDPIObj()->GetScale(), 150);
    EXPECT_EQ(w->GetClientSize().cx, 150);
    EXPECT_EQ(w->GetClientSize().cy, 120);
    EXPECT_EQ(w->pm().FindControl(L"c")->GetHeight(), 30);
    CPaintManagerUI::SetAllDPI(96);
    Pump();
    EXPECT_EQ(w->GetClientSize().cx, 100);
}

TEST_F(WindowTest, ScreenUpdatePausedWhileOff) {
    TestWindow* w = Open(L"<Window size='40,40'><VerticalLayout name='v' bkcolor='#FF00FF00'/></Window>");
    EXPECT_EQ(Surface(w)->PixelAt(5, 5), 0xFF00FF00u);
    w->pm().SetScreenWndUpdate(false);
    w->pm().FindControl(L"v")->SetBkColor(0xFFFF0000);
    Pump();
    EXPECT_EQ(Surface(w)->PixelAt(5, 5), 0xFF00FF00u);
    w->pm().SetScreenWndUpdate(true);
    Pump();
    EXPECT_EQ(Surface(w)->PixelAt(5, 5), 0xFFFF0000u);
}

TEST_F(WindowTest, AsyncNotifyArrivesLaterAndVirtualWindowsRoute) {
    TestWindow* w = Open(
        LR"(<Window size='100,100'><VerticalLayout>
        <Button name='inpage' height='20' virtualwnd='page'/><Button name='outside' height='20'/></VerticalLayout></Window>)");
    PageHandler page;
    w->AddVirtualWnd(L"page", &page);
    ClickOn(w, w->pm().FindControl(L"inpage"));
    ClickOn(w, w->pm().FindControl(L"outside"));
    EXPECT_EQ(page.clicks, std::vector<std::wstring>{L"inpage"});
    EXPECT_EQ(w->Count(L"click", L"inpage"), 1);  // the window's notifier still sees it
    CControlUI* out = w->pm().FindControl(L"outside");
    w->pm().SendNotify(out, L"custom", 1, 2, true);
    EXPECT_EQ(w->Count(L"custom", L"outside"), 0);
    Pump();
    EXPECT_EQ(w->Count(L"custom", L"outside"), 1);
    w->RemoveVirtualWnd(L"page");
}

}  // namespace
}  // namespace uitest
