// The pulsing button, the window host, the framed list row, the combo-edit
// rows and the registration of every custom control.

#include <gtest/gtest.h>

#include "platform/ui/edit.h"
#include "shell/controls/audio_record_ui.h"
#include "shell/controls/chart_view_ui.h"
#include "shell/controls/circle_progress_ui.h"
#include "shell/controls/cloud_share_list_item_ui.h"
#include "shell/controls/combo_edit_container_element_ui.h"
#include "shell/controls/hand_img_button_ui.h"
#include "shell/controls/hand_img_select_button_ui.h"
#include "shell/controls/redio_macro_button_ui.h"
#include "shell/controls/wnd_ui.h"
#include "tests/shell/custom_controls_fixture.h"

#ifndef TAVRIK_SOURCE_DIR
#error "the tests read the skins of the source tree"
#endif

namespace customtest {
namespace {

using OtherControlsTest = CustomControlsTest;

// ---- registration -------------------------------------------------------------

TEST_F(OtherControlsTest, EveryRegisteredNameCreatesItsControl) {
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"CCircleProgressUI", L"CircleProgress"},
        {L"CChartViewUI", L"ChartView"},
        {L"CWndUI", L"Wnd"},
        {L"CCloudShareListItemUI", L"CloudShareListItemUI"},
        {L"CComboEditContainerElementUI", L"ComboEditContainerElement"},
        {L"CHandImgButtonUI", L"HandImgButton"},
        {L"CHandImgSelectButtonUI", L"HandImgSelectButton"},
        {L"CRedioMacroButtonUI", L"RedioMacroButton"},
        {L"CAudioRecordUI", L"AudioRecord"},
    };
    for (const auto& [registered, cls] : names) {
        SCOPED_TRACE(win::ToUtf8(registered));
        CControlUI* c = CControlFactory::GetInstance()->CreateControl(registered);
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c->GetClass(), cls);
        delete c;
    }
}

TEST_F(OtherControlsTest, SkinsReachEveryControlByItsShortTag) {
    SkinWindow* w = Open(R"(<Window size="300,300"><VerticalLayout>
        <CircleProgress name="a" height="20"/><ChartView name="b" height="20"/><Wnd name="c" height="20"/>
        <HandImgButton name="d" height="20"/><HandImgSelectButton name="e" height="20"/>
        <RedioMacroButton name="f" height="20"/><AudioRecord name="g" height="20"/>
        <List name="l" height="60"><CloudShareListItem name="h" height="20"/></List>
        </VerticalLayout></Window>)",
                         300, 300);
    EXPECT_TRUE(TakeUIProblems().empty());
    EXPECT_NE(w->Find<CCircleProgressUI>(L"a"), nullptr);
    EXPECT_STREQ(w->pm().FindControl(L"h")->GetClass(), L"CloudShareListItemUI");
    EXPECT_STREQ(w->pm().FindControl(L"g")->GetClass(), L"AudioRecord");
}

// ---- pulsing button -----------------------------------------------------------

class PulseTest : public CustomControlsTest {
protected:
    CRedioMacroButtonUI* OpenButton(const std::string& attributes) {
        SkinWindow* w = Open(R"(<Window size="100,100"><HorizontalLayout><RedioMacroButton name="p" )" + attributes +
                                 R"(/></HorizontalLayout></Window>)",
                             100, 100);
        return w->Find<CRedioMacroButtonUI>(L"p");
    }
};

TEST_F(PulseTest, FadeFallsToEightyAndRisesBackInEighteenSteps) {
    CRedioMacroButtonUI* b = OpenButton(R"(redioimage="macro.png")");
    ASSERT_NE(b, nullptr);
    const int expected[] = {235, 215, 195, 175, 155, 135, 115, 95,  80, 100,
                            120, 140, 160, 180, 200, 220, 240, 255, 235};
    for (int fade : expected) {
        b->PulseStep(CRedioMacroButtonUI::kPulseTimer);
        EXPECT_EQ(b->GetFade(), fade);
        EXPECT_EQ(CDuiString(b->GetNormalImage()), DuiFormat(L"res='macro.png' fade='%d'", fade));
    }
    // Other timers leave it.
    b->PulseStep(7);
    EXPECT_EQ(b->GetFade(), 235);
}

TEST_F(PulseTest, PulseImageNameInAnyCaseAndTheButtonsOwnAttributes) {
    CRedioMacroButtonUI* b = OpenButton(R"(REDIOIMAGE="macro.png" normalimage="plain.png")");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetPulseImage(), L"macro.png");
    EXPECT_STREQ(b->GetNormalImage(), L"plain.png");
    EXPECT_TRUE(TakeUIProblems().empty());
}

TEST_F(PulseTest, WithoutAPictureOnlyTheTimerRuns) {
    CRedioMacroButtonUI* b = OpenButton(R"(normalimage="plain.png")");
    ASSERT_NE(b, nullptr);
    b->PulseStep(CRedioMacroButtonUI::kPulseTimer);
    EXPECT_EQ(b->GetFade(), 255);
    EXPECT_STREQ(b->GetNormalImage(), L"plain.png");
}

TEST_F(PulseTest, AStartedPulseStepsOnItsTimerUntilStopped) {
    CRedioMacroButtonUI* b = OpenButton(R"(redioimage="macro.png")");
    ASSERT_NE(b, nullptr);
    b->StartPulse();
    EXPECT_TRUE(b->IsPulsing());
    ASSERT_TRUE(PumpUntil([&] { return b->GetFade() <= 195; }));
    b->StopPulse();
    // A step delivered after the stop does not arm the timer again.
    TEventUI timer;
    timer.Type = UIEVENT_TIMER;
    timer.wParam = CRedioMacroButtonUI::kPulseTimer;
    timer.pSender = b;
    b->Event(timer);
    const int last = b->GetFade();
    // A timer four pulse steps long on the layout: were the pulse still
    // armed, it would step before this one fires.
    CControlUI* layout = b->GetParent();
    ASSERT_NE(layout, nullptr);
    layout->SetName(L"layout");
    ASSERT_TRUE(layout->GetManager()->SetTimer(layout, 1, 4 * CRedioMacroButtonUI::kPulseInterval));
    auto* w = static_cast<SkinWindow*>(windows_.back());
    ASSERT_TRUE(PumpUntil([&] { return w->Count(L"timer", L"layout") > 0; }));
    layout->GetManager()->KillTimer(layout, 1);
    EXPECT_EQ(b->GetFade(), last);
}

// ---- window host --------------------------------------------------------------

TEST_F(OtherControlsTest, WindowHostPlacesAndShowsItsWindow) {
    SkinWindow* main = new SkinWindow(win::FromUtf8(R"(<Window size="300,200"><HorizontalLayout>
        <Wnd name="host" float="true" pos="20,30,120,90"/></HorizontalLayout></Window>)"));
    windows_.push_back(main);
    main->Create(nullptr, L"main", UI_WS_POPUP | UI_WS_VISIBLE, 0, 100, 50, 300, 200);
    SkinWindow* hosted = Open(R"(<Window size="10,10"><HorizontalLayout bkcolor="#FFFF0000"/></Window>)", 10, 10);
    Repaint(main);
    auto* host = main->Find<CWndUI>(L"host");
    ASSERT_NE(host, nullptr);

    host->Attach(hosted->GetHWND());
    RECT r{};
    win::GetWindowRect(hosted->GetHWND(), &r);
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.top, 80);
    EXPECT_EQ(r.right, 220);
    EXPECT_EQ(r.bottom, 140);

    host->SetPos(RECT{50, 60, 90, 100});
    win::GetWindowRect(hosted->GetHWND(), &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 110);
    EXPECT_EQ(r.right, 190);
    EXPECT_EQ(r.bottom, 150);

    host->SetVisible(false);
    EXPECT_FALSE(win::IsWindowVisible(hosted->GetHWND()));
    host->SetVisible(true);
    EXPECT_TRUE(win::IsWindowVisible(hosted->GetHWND()));
    host->SetInternVisible(false);
    EXPECT_FALSE(win::IsWindowVisible(hosted->GetHWND()));
}

TEST_F(OtherControlsTest, WindowHostWithoutAWindowIsAPlainControl) {
    SkinWindow* w = Open(R"(<Window size="300,200"><HorizontalLayout>
        <Wnd name="host" float="true" pos="20,30,120,90"/></HorizontalLayout></Window>)",
                         300, 200);
    auto* host = w->Find<CWndUI>(L"host");
    ASSERT_NE(host, nullptr);
    host->SetPos(RECT{1, 2, 3, 4});
    host->SetVisible(false);
    EXPECT_EQ(host->GetPos().right, 3);
    // A window that is gone is left alone.
    SkinWindow* gone = Open(R"(<Window size="10,10"><HorizontalLayout/></Window>)", 10, 10);
    HWND handle = gone->GetHWND();
    host->Attach(handle);
    win::DestroyWindow(handle);
    devtest::Pump();
    host->SetPos(RECT{5, 5, 50, 50});
    host->SetVisible(true);
    EXPECT_FALSE(win::IsWindow(handle));
}

// ---- list rows ----------------------------------------------------------------

TEST_F(OtherControlsTest, HotRowIsFramedOnlyWhenTheListHasAHotPicture) {
    WriteSolidPng("hot.png", 4, 4, 0xFFFFFFFF);
    for (bool hotImage : {true, false}) {
        SCOPED_TRACE(hotImage);
        SkinWindow* w = Open(std::string(R"(<Window size="200,200"><VerticalLayout bkcolor="#FFFFFFFF">
            <List name="list" float="true" pos="10,10,190,190" itemhotbkcolor="#FFFFFFFF" itemselectedbkcolor="#FF0000FF" )") +
                                 (hotImage ? R"(itemhotimage="hot.png")" : "") + R"(>
              <CloudShareListItem name="row0" height="40"/><CloudShareListItem name="row1" height="40"/>
            </List></VerticalLayout></Window>)",
                             200, 200);
        MoveTo(w, {100, 30}, false);  // over row 0
        Repaint(w);
        EXPECT_EQ(PixelAt(w, 10, 30), hotImage ? 0xFF0000FFu : 0xFFFFFFFFu);  // the frame's left side
        EXPECT_EQ(PixelAt(w, 100, 30), 0xFFFFFFFFu);
        EXPECT_EQ(PixelAt(w, 10, 70), 0xFFFFFFFFu);  // row 1 is not hot
        // A selected row is not framed.
        ClickWith(w, {100, 30}, 0);
        Repaint(w);
        EXPECT_EQ(PixelAt(w, 100, 30), 0xFF0000FFu);  // the selected colour fills it
        MoveTo(w, {100, 70}, false);
        Repaint(w);
        EXPECT_EQ(PixelAt(w, 10, 70), hotImage ? 0xFF0000FFu : 0xFFFFFFFFu);
        EXPECT_EQ(PixelAt(w, 10, 30), 0xFF0000FFu);
    }
}

class ComboEditTest : public CustomControlsTest {
protected:
    void SetUp() override {
        CustomControlsTest::SetUp();
        CPaintManagerUI::SetResourcePath(win::FromUtf8(TAVRIK_SOURCE_DIR "/skin").c_str());
        w_ = Open(R"(<Window size="300,200"><VerticalLayout bkcolor="#FFFFFFFF">
            <List name="list" float="true" pos="0,0,300,200" multiselect="true">
              <ComboEditContainerElement name="r0" height="30" hotimage="x.png"/>
              <ComboEditContainerElement name="r1" height="30"/>
              <ComboEditContainerElement name="r2" height="30"/>
            </List></VerticalLayout></Window>)",
                  300, 200);
        for (int i = 0; i < 3; ++i)
            rows_[i] = w_->Find<CComboEditContainerElementUI>((L"r" + std::to_wstring(i)).c_str());
    }
    // A point on the row's first text, away from its delay field.
    static POINT OnRow(int i) { return POINT{30, 15 + 30 * i}; }

    SkinWindow* w_ = nullptr;
    CComboEditContainerElementUI* rows_[3] = {};
};

TEST_F(ComboEditTest, EveryRowOwnsTheControlsOfItsSkin) {
    EXPECT_TRUE(TakeUIProblems().empty());
    for (CComboEditContainerElementUI* row : rows_) {
        ASSERT_NE(row, nullptr);
        for (CControlUI* c : {row->GetText1(), row->GetText2(), row->GetDelayEdit()}) {
            ASSERT_NE(c, nullptr);
            CControlUI* up = c;
            while (up && up != row) up = up->GetParent();
            EXPECT_EQ(up, row) << win::ToUtf8(c->GetName().str());
        }
        EXPECT_NE(row->GetDelayEdit()->GetInterface(L"Edit"), nullptr);
        EXPECT_EQ(row->GetInterface(L"ComboEditContainerElement"), row);
        EXPECT_EQ(row->GetInterface(L"comboeditcontainerelement"), nullptr);
    }
    EXPECT_NE(rows_[0]->GetDelayEdit(), rows_[1]->GetDelayEdit());
    EXPECT_NE(rows_[1]->GetDelayEdit(), rows_[2]->GetDelayEdit());
}

TEST_F(ComboEditTest, ItemClickComesOnReleaseAfterThePressSelected) {
    Press(w_, OnRow(1));
    EXPECT_TRUE(rows_[1]->IsSelected());
    EXPECT_EQ(w_->Count(L"itemclick"), 0);
    Release(w_, OnRow(1));
    EXPECT_EQ(w_->Count(L"itemclick", L"r1"), 1);
}

TEST_F(ComboEditTest, CtrlClickTogglesRowsOfAMultipleSelection) {
    auto* list = w_->Find<CListUI>(L"list");
    ASSERT_NE(list, nullptr);
    ClickWith(w_, OnRow(0), 0);
    ClickWith(w_, OnRow(2), kBackendControl);
    EXPECT_TRUE(rows_[0]->IsSelected());
    EXPECT_FALSE(rows_[1]->IsSelected());
    EXPECT_TRUE(rows_[2]->IsSelected());
    EXPECT_EQ(list->GetSelectItemCount(), 2);
    ClickWith(w_, OnRow(0), kBackendControl);
    EXPECT_FALSE(rows_[0]->IsSelected());
    EXPECT_TRUE(rows_[2]->IsSelected());
    EXPECT_EQ(list->GetSelectItemCount(), 1);
    // Without Ctrl a click selects just its row.
    ClickWith(w_, OnRow(1), 0);
    EXPECT_FALSE(rows_[2]->IsSelected());
    EXPECT_TRUE(rows_[1]->IsSelected());
    EXPECT_EQ(w_->Count(L"itemclick"), 4);
}

TEST_F(ComboEditTest, ReturnFromItsOwnDelayFieldMarksTheRowModified) {
    TNotifyUI other;
    other.sType = L"return";
    other.pSender = rows_[1]->GetDelayEdit();
    rows_[0]->Notify(other);
    EXPECT_FALSE(rows_[0]->IsModified());
    TNotifyUI own = other;
    own.pSender = rows_[0]->GetDelayEdit();
    rows_[0]->Notify(own);
    EXPECT_TRUE(rows_[0]->IsModified());
    TNotifyUI selected;
    selected.sType = L"selectchanged";
    rows_[2]->Notify(selected);
    EXPECT_TRUE(rows_[2]->IsModified());
}

}  // namespace
}  // namespace customtest
