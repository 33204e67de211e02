#include "tests/ui/ui_fixture.h"

#include "platform/files/utf8.h"
#include "platform/ui/scroll_into_view.h"
#include "platform/ui/ui_probe.h"
#include "tests/ui/program_activations.h"

#include <map>

namespace uitest {
namespace {

class ControlsTest : public UiTest {
protected:
    // Escape in an open drop list (it closes the list).
    void CloseWithEscape(HeadlessWindow* drop) {
        BackendEvent escape;
        escape.type = BackendEventType::KeyDown;
        escape.virtualKey = 0x1B;
        display_->Inject(drop, escape);
        Pump();
    }
};

constexpr uint32_t kVkReturn = 0x0D, kVkTab = 0x09, kVkBack = 0x08;

TEST_F(ControlsTest, ButtonClickAndCaptureOutside) {
    TestWindow* w = Open(
        LR"(<Window size='200,100'><VerticalLayout name='root'>
        <Button name='b1' height='40'/><Button name='b2' height='40' enabled='false'/></VerticalLayout></Window>)");
    ClickOn(w, w->pm().FindControl(L"b1"));
    EXPECT_EQ(w->Count(L"click", L"b1"), 1);
    ClickOn(w, w->pm().FindControl(L"b2"));
    EXPECT_EQ(w->Count(L"click", L"b2"), 0);  // disabled
    // Pressed inside, released outside: no click.
    BackendEvent e;
    e.button = BackendButton::Left;
    e.type = BackendEventType::ButtonDown;
    e.x = 100;
    e.y = 20;
    display_->Inject(Surface(w), e);
    e.type = BackendEventType::MouseMove;
    e.y = 90;
    display_->Inject(Surface(w), e);
    e.type = BackendEventType::ButtonUp;
    display_->Inject(Surface(w), e);
    Pump();
    EXPECT_EQ(w->Count(L"click", L"b1"), 1);
}

TEST_F(ControlsTest, OptionGroupSelectsOneAndBindsTab) {
    TestWindow* w = Open(
        LR"(<Window size='300,200'><VerticalLayout>
        <HorizontalLayout height='30'>
          <Option name='o1' group='g' selected='true' bindtablayoutname='tabs' bindtabindex='0'/>
          <Option name='o2' group='g' bindtablayoutname='tabs' bindtabindex='1'/>
          <Option name='chk'/>
        </HorizontalLayout>
        <TabLayout name='tabs'><Control name='page0'/><Control name='page1'/></TabLayout>
        </VerticalLayout></Window>)");
    auto* o1 = static_cast<COptionUI*>(w->pm().FindControl(L"o1"));
    auto* o2 = static_cast<COptionUI*>(w->pm().FindControl(L"o2"));
    auto* tabs = static_cast<CTabLayoutUI*>(w->pm().FindControl(L"tabs"));
    EXPECT_TRUE(o1->IsSelected());
    ClickOn(w, o2);
    EXPECT_FALSE(o1->IsSelected());
    EXPECT_TRUE(o2->IsSelected());
    EXPECT_EQ(w->TypesFor(L"o2"), (std::vector<std::wstring>{L"setfocus", L"click", L"selectchanged"}));
    EXPECT_EQ(w->Count(L"selectchanged", L"o1"), 0);  // only the one that becomes selected speaks
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_TRUE(w->pm().FindControl(L"page1")->IsVisible());
    EXPECT_FALSE(w->pm().FindControl(L"page0")->IsVisible());
    ClickOn(w, o2);  // already selected: stays selected, no change
    EXPECT_EQ(w->Count(L"selectchanged", L"o2"), 1);
    // Selected() without notification.
    o1->Selected(true, false);
    EXPECT_EQ(w->Count(L"selectchanged", L"o1"), 0);
    EXPECT_FALSE(o2->IsSelected());
    // An option without a group toggles and reports the check click.
    auto* chk = static_cast<COptionUI*>(w->pm().FindControl(L"chk"));
    ClickOn(w, chk);
    ClickOn(w, chk);
    EXPECT_FALSE(chk->IsSelected());
    EXPECT_EQ(w->Count(L"checkclick", L"chk"), 2);
}

// Options of one group name on two pages: each page keeps its own choice,
// choosing on one page leaves the other's, and options outside every
// scope still form one group across the window.
TEST_F(ControlsTest, OptionGroupsEndAtTheirScope) {
    TestWindow* w = Open(
        LR"(<Window size='300,200'><VerticalLayout>
        <HorizontalLayout height='30' optionscope='true'>
          <Option name='p1a' group='dir'/><Option name='p1b' group='dir'/></HorizontalLayout>
        <HorizontalLayout height='30' optionscope='true'><VerticalLayout>
          <Option name='p2a' group='dir'/><Option name='p2b' group='dir'/></VerticalLayout></HorizontalLayout>
        <HorizontalLayout height='30'>
          <Option name='w1' group='dir'/><Option name='w2' group='dir'/></HorizontalLayout>
        </VerticalLayout></Window>)");
    auto option = [&](const wchar_t* name) {
        auto* o = static_cast<COptionUI*>(w->pm().FindControl(name));
        EXPECT_NE(o, nullptr) << name;
        return o;
    };
    const std::vector<const wchar_t*> names = {L"p1a", L"p1b", L"p2a", L"p2b", L"w1", L"w2"};
    for (const wchar_t* n : names) ASSERT_NE(option(n), nullptr);
    auto chosen = [&] {
        std::wstring out;
        for (const wchar_t* n : names)
            if (option(n)->IsSelected()) out += std::wstring(out.empty() ? L"" : L" ") + n;
        return out;
    };
    // Each page shows its stored choice as it is built.
    option(L"p1a")->Selected(true, false);
    option(L"p2b")->Selected(true, false);
    option(L"w1")->Selected(true, false);
    EXPECT_EQ(chosen(), L"p1a p2b w1");
    ClickOn(w, option(L"p1b"));
    EXPECT_EQ(chosen(), L"p1b p2b w1");
    ClickOn(w, option(L"p2a"));
    EXPECT_EQ(chosen(), L"p1b p2a w1");
    ClickOn(w, option(L"w2"));
    EXPECT_EQ(chosen(), L"p1b p2a w2");
    EXPECT_EQ(option(L"p1a")->GroupScope(), option(L"p1b")->GroupScope());
    EXPECT_NE(option(L"p1a")->GroupScope(), option(L"p2a")->GroupScope());
    EXPECT_EQ(option(L"w1")->GroupScope(), w->pm().GetRoot());
}

TEST_F(ControlsTest, ComboSelectItemNotifiesOnlyWhenAsked) {
    TestWindow* w = Open(
        LR"(<Window size='200,200'><VerticalLayout>
        <Combo name='cb' height='24'><ListLabelElement text='zero'/><ListLabelElement text='one'/>
        <ListLabelElement text='two'/></Combo><Control/></VerticalLayout></Window>)");
    auto* cb = static_cast<CComboUI*>(w->pm().FindControl(L"cb"));
    EXPECT_TRUE(cb->SelectItem1(1, false, false));
    EXPECT_EQ(cb->GetCurSel(), 1);
    EXPECT_EQ(cb->GetText(), L"one");
    Pump();
    EXPECT_EQ(w->Count(L"itemselect", L"cb"), 0);
    EXPECT_TRUE(cb->SelectItem1(2, false, true));
    Pump();
    ASSERT_EQ(w->Count(L"itemselect", L"cb"), 1);
    EXPECT_EQ(w->notes.back().wParam, 2u);
    EXPECT_EQ(w->notes.back().lParam, 1);
    EXPECT_FALSE(cb->SelectItem(7));  // no such row: nothing changes
    EXPECT_EQ(cb->GetCurSel(), 2);

    // Through the drop-down: click the combo, then the first row.
    ClickOn(w, cb);
    ASSERT_TRUE(cb->IsDropped());
    HeadlessWindow* drop = display_->TopVisibleWindow();
    ASSERT_NE(drop, Surface(w));
    EXPECT_TRUE(drop->IsPopup());
    display_->Click(drop, 10, 5);
    Pump();
    EXPECT_FALSE(cb->IsDropped());
    EXPECT_EQ(cb->GetCurSel(), 0);
    EXPECT_EQ(w->Count(L"itemselect", L"cb"), 2);
}

// An open list: its height is scaled like the rest of the window, it is as
// dark as its rows below the last one, the wheel scrolls it and the arrow
// keys move the selection through it without closing it, keeping the
// selected row in view.
TEST_F(ControlsTest, OpenComboListScalesScrollsAndTakesTheArrowKeys) {
    std::wstring rows;
    for (int i = 0; i < 30; ++i) rows += L"<ListLabelElement height='20' text='row" + std::to_wstring(i) + L"'/>";
    TestWindow* w = Open(
        L"<Window size='300,300'><VerticalLayout><Combo name='cb' height='24' "
        L"itembkcolor='#FF2A2F38' itemselectedbkcolor='#FF0078C8'>" +
        rows +
        L"</Combo><Combo name='short' height='24' dropboxsize='0,200' itembkcolor='#FF2A2F38'>"
        L"<ListLabelElement height='20' text='only'/></Combo><Control/></VerticalLayout></Window>");
    w->pm().SetDPI(144);
    Pump();
    auto* cb = static_cast<CComboUI*>(w->pm().FindControl(L"cb"));
    cb->SelectItem(0);
    ClickOn(w, cb);
    ASSERT_TRUE(cb->IsDropped());
    HeadlessWindow* drop = display_->TopVisibleWindow();
    ASSERT_NE(drop, Surface(w));
    // 30 rows of 30 px at 1.5x are cut at the scaled default of 450 px.
    EXPECT_EQ(drop->GetRect().Height(), 450);
    CControlUI* first = cb->GetItemAt(0);
    const int top = first->GetPos().top;

    BackendEvent wheel;
    wheel.type = BackendEventType::Wheel;
    wheel.x = 20;
    wheel.y = 40;
    wheel.wheelDelta = -120;
    display_->Inject(drop, wheel);
    Pump();
    EXPECT_EQ(first->GetPos().top, top - 30) << "the wheel scrolls the open list by a row";
    EXPECT_TRUE(cb->IsDropped());

    BackendEvent down;
    down.type = BackendEventType::KeyDown;
    down.virtualKey = 0x28;
    for (int i = 0; i < 20; ++i) display_->Inject(drop, down);
    Pump();
    ASSERT_TRUE(cb->IsDropped()) << "the arrows keep the list open";
    EXPECT_EQ(cb->GetCurSel(), 20);
    const RECT selected = cb->GetItemAt(20)->GetPos();
    EXPECT_GE(selected.top, 0);
    EXPECT_LE(selected.bottom, drop->GetRect().Height());
    BackendEvent escape = down;
    escape.virtualKey = 0x1B;
    display_->Inject(drop, escape);
    Pump();
    EXPECT_FALSE(cb->IsDropped());

    // A short list is as tall as its row; its background below is the rows'.
    auto* shortList = static_cast<CComboUI*>(w->pm().FindControl(L"short"));
    ClickOn(w, shortList);
    ASSERT_TRUE(shortList->IsDropped());
    drop = display_->TopVisibleWindow();
    EXPECT_EQ(drop->GetRect().Height(), 32);
    EXPECT_EQ(drop->PixelAt(40, 15), 0xFF2A2F38u);
}

// A long list opens with its current row whole in view and drawn as the
// chosen one, wherever that row stands.
TEST_F(ControlsTest, AnOpenListShowsItsCurrentRowMarked) {
    constexpr DWORD kChosen = 0xFF0078C8;
    std::wstring rows;
    for (int i = 0; i < 40; ++i) rows += L"<ListLabelElement height='20' text='row" + std::to_wstring(i) + L"'/>";
    TestWindow* w = Open(
        L"<Window size='300,300'><VerticalLayout><Combo name='cb' height='24' "
        L"itembkcolor='#FF2A2F38' itemselectedbkcolor='#FF0078C8'>" +
        rows + L"</Combo><Control/></VerticalLayout></Window>");
    auto* cb = static_cast<CComboUI*>(w->pm().FindControl(L"cb"));
    for (int current : {0, 1, 14, 15, 16, 27, 39}) {
        SCOPED_TRACE(current);
        ASSERT_TRUE(cb->SelectItem(current, false, false));
        ClickOn(w, cb);
        ASSERT_TRUE(cb->IsDropped());
        HeadlessWindow* drop = display_->TopVisibleWindow();
        ASSERT_NE(drop, Surface(w));
        // The list is cut at 300 pixels: it scrolls.
        ASSERT_LT(drop->GetRect().Height(), 40 * 20);
        const RECT row = cb->GetItemAt(current)->GetPos();
        EXPECT_GE(row.top, 0);
        EXPECT_LE(row.bottom, drop->GetRect().Height());
        EXPECT_EQ(drop->PixelAt(150, (row.top + row.bottom) / 2), kChosen);
        CloseWithEscape(drop);
        ASSERT_FALSE(cb->IsDropped());
    }
}

// A row under the pointer is drawn hot only while the pointer is there: a
// list closed with the pointer on a row opens again without it.
TEST_F(ControlsTest, AListClosedUnderThePointerOpensWithoutAHotRow) {
    constexpr DWORD kRow = 0xFF2A2F38, kHot = 0xFF3A4250;
    TestWindow* w = Open(
        L"<Window size='300,300'><VerticalLayout><Combo name='cb' height='24' itembkcolor='#FF2A2F38' "
        L"itemhotbkcolor='#FF3A4250' itemselectedbkcolor='#FF0078C8'><ListLabelElement height='20' text='a'/>"
        L"<ListLabelElement height='20' text='b'/><ListLabelElement height='20' text='c'/></Combo><Control/>"
        L"</VerticalLayout></Window>");
    auto* cb = static_cast<CComboUI*>(w->pm().FindControl(L"cb"));
    ASSERT_TRUE(cb->SelectItem(0, false, false));
    ClickOn(w, cb);
    ASSERT_TRUE(cb->IsDropped());
    HeadlessWindow* drop = display_->TopVisibleWindow();
    const RECT row = cb->GetItemAt(2)->GetPos();
    BackendEvent move;
    move.type = BackendEventType::MouseMove;
    move.x = 150;
    move.y = (row.top + row.bottom) / 2;
    display_->Inject(drop, move);
    Pump();
    ASSERT_EQ(drop->PixelAt(150, move.y), kHot) << "the row under the pointer is hot";
    CloseWithEscape(drop);
    ASSERT_FALSE(cb->IsDropped());
    ClickOn(w, cb);
    ASSERT_TRUE(cb->IsDropped());
    drop = display_->TopVisibleWindow();
    const RECT again = cb->GetItemAt(2)->GetPos();
    EXPECT_EQ(drop->PixelAt(150, (again.top + again.bottom) / 2), kRow);
}

// A page that is not shown still fills its combos: a row added to a hidden
// combo, or a combo hidden after it got its rows, takes the selection and
// shows it once the page is shown.
TEST_F(ControlsTest, ComboOnAHiddenPageTakesItsSelection) {
    TestWindow* w = Open(
        LR"(<Window size='200,200'><TabLayout name='tabs'><Control/>
        <VerticalLayout><Combo name='cb' height='24'><ListLabelElement text='zero'/></Combo></VerticalLayout>
        </TabLayout></Window>)");
    auto* cb = static_cast<CComboUI*>(w->pm().FindControl(L"cb"));
    ASSERT_NE(cb, nullptr);
    ASSERT_FALSE(cb->IsVisible());
    auto* added = new CListLabelElementUI;
    added->SetText(L"one");
    ASSERT_TRUE(cb->Add(added));
    EXPECT_TRUE(cb->SelectItem1(1, false, false));
    EXPECT_EQ(cb->GetText(), L"one");
    EXPECT_TRUE(cb->SelectItem1(0, false, false));
    EXPECT_EQ(cb->GetText(), L"zero");
    static_cast<CTabLayoutUI*>(w->pm().FindControl(L"tabs"))->SelectItem(1);
    EXPECT_TRUE(cb->IsVisible());
    EXPECT_EQ(cb->GetCurSel(), 0);
    cb->SetVisible(false);
    EXPECT_TRUE(cb->SelectItem1(1, false, false));
    EXPECT_EQ(cb->GetText(), L"one");
}

TEST_F(ControlsTest, SliderMovesWhileDraggingAndChangesOnRelease) {
    TestWindow* w = Open(
        LR"(<Window size='220,60'><VerticalLayout>
        <Slider name='s' width='200' height='20' min='0' max='100' value='0' thumbsize='0,10'/></VerticalLayout></Window>)");
    auto* s = static_cast<CSliderUI*>(w->pm().FindControl(L"s"));
    BackendEvent e;
    e.button = BackendButton::Left;
    e.type = BackendEventType::ButtonDown;
    e.x = 0;
    e.y = 10;
    display_->Inject(Surface(w), e);
    e.type = BackendEventType::MouseMove;
    e.x = 50;
    display_->Inject(Surface(w), e);
    e.x = 100;
    display_->Inject(Surface(w), e);
    Pump();
    EXPECT_EQ(s->GetValue(), 50);
    EXPECT_EQ(w->Count(L"movevaluechanged", L"s"), 2);
    EXPECT_EQ(w->Count(L"valuechanged", L"s"), 0);
    e.type = BackendEventType::ButtonUp;
    e.x = 150;
    display_->Inject(Surface(w), e);
    Pump();
    EXPECT_EQ(s->GetValue(), 75);
    EXPECT_EQ(w->Count(L"valuechanged", L"s"), 1);
    e.x = 400;  // far outside: clamped to the maximum
    e.type = BackendEventType::ButtonDown;
    display_->Inject(Surface(w), e);
    EXPECT_EQ(s->GetValue(), 75);  // the press was outside the control
}

TEST_F(ControlsTest, EditFocusTypingReturnAndRange) {
    TestWindow* w = Open(
        LR"(<Window size='200,100'><VerticalLayout>
        <Edit name='e1' height='24' maxchar='5'/><Edit name='num' height='24' numberonly='true' minnum='1' maxnum='50'/>
        </VerticalLayout></Window>)");
    auto* e1 = static_cast<CEditUI*>(w->pm().FindControl(L"e1"));
    auto* num = static_cast<CEditUI*>(w->pm().FindControl(L"num"));
    ClickOn(w, e1);
    EXPECT_EQ(w->Count(L"setfocus", L"e1"), 1);
    Type(w, L"abcdefg");
    EXPECT_EQ(e1->GetText(), L"abcde");  // at most maxchar
    Key(w, kVkBack);
    EXPECT_EQ(e1->GetText(), L"abcd");
    EXPECT_EQ(w->Count(L"textchanged", L"e1"), 6);
    Key(w, kVkReturn);
    EXPECT_EQ(w->Count(L"return", L"e1"), 1);
    Key(w, kVkTab);  // focus moves on
    EXPECT_EQ(w->Count(L"killfocus", L"e1"), 1);
    EXPECT_EQ(w->pm().GetFocus(), num);
    Type(w, L"9x9");
    EXPECT_EQ(num->GetText(), L"99");
    ClickOn(w, e1);  // leaving the number edit applies its range
    EXPECT_EQ(num->GetText(), L"50");
}

TEST_F(ControlsTest, ListClickSelectDoubleClickActivateAndMultiSelect) {
    TestWindow* w = Open(
        LR"(<Window size='200,300'><VerticalLayout>
        <List name='list' multiselect='true'>
          <ListLabelElement name='r0' text='a' height='20'/><ListLabelElement name='r1' text='b' height='20'/>
          <ListContainerElement name='r2' height='20'><Label text='c'/></ListContainerElement>
        </List></VerticalLayout></Window>)");
    auto* list = static_cast<CListUI*>(w->pm().FindControl(L"list"));
    ClickOn(w, w->pm().FindControl(L"r1"));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(w->Count(L"itemclick", L"r1"), 1);
    EXPECT_EQ(w->Count(L"itemselect", L"list"), 1);
    DoubleClickOn(w, w->pm().FindControl(L"r2"));
    EXPECT_EQ(w->Count(L"itemactivate", L"r2"), 1);
    EXPECT_EQ(list->GetCurSel(), 2);
    ClickOn(w, w->pm().FindControl(L"r0"), kBackendControl);
    EXPECT_EQ(list->GetSelectItems(), (std::vector<int>{2, 0}));
    ClickOn(w, w->pm().FindControl(L"r2"), kBackendControl);  // Ctrl+click on a selected row drops it
    EXPECT_EQ(list->GetSelectItems(), (std::vector<int>{0}));
    // Removing rows keeps indexes right; removal destroys.
    EXPECT_TRUE(list->RemoveAt(0));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(w->pm().FindControl(L"r0"), nullptr);
    EXPECT_EQ(static_cast<CListElementUI*>(w->pm().FindControl(L"r1"))->GetIndex(), 0);
}

TEST_F(ControlsTest, ListScrollsAndEnsuresVisible) {
    std::wstring rows;
    for (int i = 0; i < 20; ++i) rows += L"<ListLabelElement name='row" + std::to_wstring(i) + L"' height='20'/>";
    TestWindow* w = Open(L"<Window size='200,100'><VerticalLayout><List name='list'>" + rows +
                         L"</List></VerticalLayout></Window>");
    auto* list = static_cast<CListUI*>(w->pm().FindControl(L"list"));
    ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
    EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(list->GetScrollRange().cy, 300);
    list->SelectItem(15, false, false);
    Pump();
    RECT r = w->pm().FindControl(L"row15")->GetPos();
    EXPECT_LE(r.bottom, 100);
    EXPECT_GE(r.top, 0);
    list->InitListCtrl();
    Pump();
    EXPECT_EQ(list->GetScrollPos().cy, 0);
    // The wheel scrolls by lines.
    BackendEvent e;
    e.type = BackendEventType::Wheel;
    e.x = 50;
    e.y = 50;
    e.wheelDelta = -120;
    display_->Inject(Surface(w), e);
    Pump();
    EXPECT_GT(list->GetScrollPos().cy, 0);
}

// A row of equal children that shows only whole ones: 200 pixels hold three
// steps of 60 and 6 (192 pixels), the 8 left over stand empty, 4 on each
// side; scrolling an item into view moves by whole steps, and a click in the
// empty room hits none of the children.
TEST_F(ControlsTest, ARowOfWholeItemsShowsNoneCutAtItsEnds) {
    std::wstring items;
    for (int i = 0; i < 5; ++i) items += L"<Button name='item" + std::to_wstring(i) + L"' width='60'/>";
    TestWindow* w = Open(
        L"<Window size='200,100'><VerticalLayout><HorizontalLayout name='row' height='40' "
        L"childpadding='6' wholeitems='true' hscrollbar='true'>" +
        items + L"</HorizontalLayout></VerticalLayout></Window>");
    auto* row = static_cast<CContainerUI*>(w->pm().FindControl(L"row"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetClientPos().left, 4);
    EXPECT_EQ(row->GetClientPos().right, 196);
    EXPECT_EQ(w->pm().FindControl(L"item2")->GetPos().right, 196);
    EXPECT_EQ(row->GetScrollRange().cx, 2 * 66);
    ScrollIntoView(row, w->pm().FindControl(L"item4"));
    EXPECT_EQ(row->GetScrollPos().cx, 2 * 66);
    EXPECT_EQ(w->pm().FindControl(L"item4")->GetPos().right, 196);
    EXPECT_EQ(w->pm().FindControl(POINT{2, 20}), row);
    // Without the attribute the row fills its width.
    row->SetAttribute(L"wholeitems", L"false");
    row->SetPos(row->GetPos(), false);
    EXPECT_EQ(row->GetClientPos().left, 0);
}

TEST_F(ControlsTest, ColorPaletteReportsPickedColor) {
    TestWindow* w = Open(
        LR"(<Window size='200,120'><VerticalLayout>
        <ColorPalette name='pal' width='101' height='110' barheight='10'/></VerticalLayout></Window>)");
    auto* pal = static_cast<CColorPaletteUI*>(w->pm().FindControl(L"pal"));
    display_->Click(Surface(w), 100, 0);  // full colour at the top right: red
    Pump();
    EXPECT_EQ(pal->GetSelectColor(), 0xFFFF0000u);
    EXPECT_EQ(w->Count(L"colorchanged", L"pal"), 1);
    display_->Click(Surface(w), 50, 99);  // the bottom row is black
    Pump();
    EXPECT_EQ(pal->GetSelectColor(), 0xFF000000u);
    pal->SetSelectColor(0x00123456);
    EXPECT_EQ(pal->GetSelectColor(), 0xFF123456u);
}

TEST_F(ControlsTest, CursorFollowsTheControlUnderThePointer) {
    TestWindow* w = Open(
        LR"(<Window size='200,90'><VerticalLayout>
        <Edit name='e' height='30'/><Button name='b' height='30' cursor='hand'/><Control height='30'/>
        </VerticalLayout></Window>)");
    BackendEvent e;
    e.type = BackendEventType::MouseMove;
    e.x = 50;
    e.y = 15;
    display_->Inject(Surface(w), e);
    EXPECT_EQ(Surface(w)->Cursor(), BackendCursor::IBeam);
    e.y = 45;
    display_->Inject(Surface(w), e);
    EXPECT_EQ(Surface(w)->Cursor(), BackendCursor::Hand);
    e.y = 75;
    display_->Inject(Surface(w), e);
    EXPECT_EQ(Surface(w)->Cursor(), BackendCursor::Arrow);
    Pump();
}

TEST_F(ControlsTest, TooltipShowsAfterTheRestAndHidesOnLeave) {
    TestWindow* w = Open(
        LR"(<Window size='200,60'><VerticalLayout>
        <Button name='b' height='30' tooltip='Hint'/><Control height='30'/></VerticalLayout></Window>)");
    BackendEvent e;
    e.type = BackendEventType::MouseMove;
    e.x = 50;
    e.y = 15;
    display_->Inject(Surface(w), e);
    ASSERT_TRUE(PumpUntil([&] {
        CToolTipWnd* t = w->pm().GetToolTipWindow();
        return t && t->IsVisible();
    }));
    EXPECT_EQ(w->pm().GetToolTipWindow()->GetTipText(), L"Hint");
    e.y = 45;
    display_->Inject(Surface(w), e);
    Pump();
    EXPECT_FALSE(w->pm().GetToolTipWindow()->IsVisible());
}

TEST_F(ControlsTest, ATooltipTitleShowsAboveItsTextAndAloneItShowsToo) {
    TestWindow* w = Open(
        LR"(<Window size='200,90'><VerticalLayout>
        <Button name='b' height='30' tooltip='Plain'/><Button name='c' height='30'/><Control height='30'/>
        </VerticalLayout></Window>)");
    auto* b = static_cast<CControlUI*>(w->pm().FindControl(L"b"));
    auto* c = static_cast<CControlUI*>(w->pm().FindControl(L"c"));
    b->SetUserToolTitle(L"Esc");
    b->SetUserToolText(L"Esc / assigned: F1");
    c->SetUserToolTitle(L"Only a title");
    struct Case {
        int y;
        const wchar_t* title;
        const wchar_t* text;
    };
    for (const Case& k : {Case{15, L"Esc", L"Esc / assigned: F1"}, Case{45, L"Only a title", L""}}) {
        BackendEvent e;
        e.type = BackendEventType::MouseMove;
        e.x = 50;
        e.y = 75;
        display_->Inject(Surface(w), e);
        Pump();
        e.y = k.y;
        display_->Inject(Surface(w), e);
        ASSERT_TRUE(PumpUntil([&] {
            CToolTipWnd* t = w->pm().GetToolTipWindow();
            return t && t->IsVisible() && t->GetTipTitle() == k.title;
        }));
        EXPECT_EQ(w->pm().GetToolTipWindow()->GetTipText(), k.text);
    }
}

// At every scale the tip is as big as its lines drawn in the owner's font at
// the owner's scale: nothing of them is cut, and it grows with the scale.
TEST_F(ControlsTest, ATooltipHoldsItsLinesAtTheWindowsScale) {
    TestWindow* w = Open(
        LR"(<Window size='200,60'><Font id='0' name='Sans' size='14' default='true'/><VerticalLayout>
        <Button name='b' height='30' tooltip='Settings and Cloud'/><Control height='30'/></VerticalLayout></Window>)");
    auto* b = w->pm().FindControl(L"b");
    b->SetUserToolTitle(L"Quite a long title");
    std::map<int, SIZE> sizes;
    for (const int dpi : {96, 144, 192}) {
        SCOPED_TRACE(dpi);
        const CDPI& scale = *w->pm().GetDPIObj();
        BackendEvent e;
        e.type = BackendEventType::MouseMove;
        e.x = scale.Scale(50);
        e.y = scale.Scale(45);
        display_->Inject(Surface(w), e);
        Pump();
        w->pm().SetDPI(dpi);
        Pump();
        e.x = scale.Scale(50);
        e.y = scale.Scale(15);
        display_->Inject(Surface(w), e);
        ASSERT_TRUE(PumpUntil([&] {
            CToolTipWnd* t = w->pm().GetToolTipWindow();
            return t && t->IsVisible();
        }));
        CToolTipWnd* tip = w->pm().GetToolTipWindow();
        tip->GetManager().Paint();
        const BackendRect r = Surface(tip)->GetRect();
        const SIZE size{r.Width(), r.Height()};
        sizes[dpi] = size;
        // The owner's text at the owner's scale fits the tip.
        const SIZE text = CRenderEngine::GetTextSize(nullptr, &w->pm(), L"Settings and Cloud", -1, DT_SINGLELINE);
        EXPECT_GT(size.cx, text.cx);
        EXPECT_GE(size.cy, 2 * text.cy);
        // Each line is shown whole, inside the tip.
        const std::vector<BackendProbeEntry> entries =
            CollectProbeEntries(tip->GetManager().GetRoot(), RECT{0, 0, size.cx, size.cy});
        int lines = 0;
        for (const BackendProbeEntry& entry : entries) {
            EXPECT_EQ(entry.name.find(L'#'), std::wstring::npos)
                << win::ToUtf8(entry.name) << " " << win::ToUtf8(entry.text);
            lines += entry.name == L"tooltip_title" || entry.name == L"tooltip_text";
        }
        EXPECT_EQ(lines, 2);
    }
    // The tip grows with the scale (a pixel or two of rounding aside).
    for (const int dpi : {144, 192}) {
        EXPECT_NEAR(sizes[dpi].cx, sizes[96].cx * dpi / 96, 4) << dpi;
        EXPECT_NEAR(sizes[dpi].cy, sizes[96].cy * dpi / 96, 4) << dpi;
    }
}

TEST_F(ControlsTest, FindControlFollowsTreeChanges) {
    TestWindow* w = Open(
        LR"(<Window size='100,100'><VerticalLayout name='root'>
        <Control name='a' height='10'/><VerticalLayout name='box'><Control name='a'/></VerticalLayout>
        </VerticalLayout></Window>)");
    auto* root = static_cast<CContainerUI*>(w->pm().FindControl(L"root"));
    auto* box = static_cast<CContainerUI*>(w->pm().FindControl(L"box"));
    CControlUI* first = w->pm().FindControl(L"a");
    ASSERT_EQ(first, root->GetItemAt(0));  // the first in document order
    EXPECT_TRUE(root->Remove(first));
    Pump();
    CControlUI* second = w->pm().FindControl(L"a");
    ASSERT_EQ(second, box->GetItemAt(0));
    second->SetName(L"b");
    EXPECT_EQ(w->pm().FindControl(L"a"), nullptr);
    EXPECT_EQ(w->pm().FindControl(L"b"), second);
    auto* added = new CLabelUI;
    added->SetName(L"c");
    box->Add(added);
    EXPECT_EQ(w->pm().FindControl(L"c"), added);
    EXPECT_EQ(w->pm().FindSubControlByName(box, L"b"), second);
    EXPECT_EQ(w->pm().FindSubControlByName(root, L"zz"), nullptr);
    box->RemoveAll();
    Pump();
    EXPECT_EQ(w->pm().FindControl(L"c"), nullptr);
    EXPECT_EQ(w->pm().FindControl(L"b"), nullptr);
}

// The program raising its own window (shown again, a device's arrival, the
// first-show timer) does not take the activation from the window's open drop
// list, which would close it under the user's pointer; the window is active
// again once the list goes.
struct ProgramActivation {
    const char* name;
    void (*activate)(HWND);
};
const ProgramActivation kProgramActivations[] = {
    {"ShownAgain", &tavrik::test::ShowAgain},
    {"RaisedAsOnADevicesArrival", &tavrik::test::RaiseAsOnArrival},
    {"BroughtToTheFront", &tavrik::test::BringToFront},
};

TEST_F(ControlsTest, OpenComboListOutlastsTheProgramsOwnActivationOfItsWindow) {
    for (const ProgramActivation& a : kProgramActivations) {
        SCOPED_TRACE(a.name);
        TestWindow* w = Open(
            L"<Window size='300,200'><VerticalLayout><Combo name='cb' height='24'><ListLabelElement text='zero'/>"
            L"<ListLabelElement text='one'/></Combo><Control/></VerticalLayout></Window>");
        w->ShowWindow(true, true);
        Pump();
        auto* cb = static_cast<CComboUI*>(w->pm().FindControl(L"cb"));
        ClickOn(w, cb);
        ASSERT_TRUE(cb->IsDropped());
        HeadlessWindow* drop = display_->TopVisibleWindow();
        ASSERT_TRUE(drop->IsActive());

        a.activate(w->GetHWND());
        Pump();
        ASSERT_TRUE(cb->IsDropped()) << "the list closed";
        EXPECT_EQ(display_->TopVisibleWindow(), drop) << "the list stays in front";
        EXPECT_TRUE(drop->IsActive());

        display_->Click(drop, 20, 35);  // the second row
        Pump();
        EXPECT_FALSE(cb->IsDropped());
        EXPECT_EQ(cb->GetCurSel(), 1);
        EXPECT_TRUE(Surface(w)->IsActive()) << "the window is activated once the list goes";
        w->Close();
        Pump();
    }
}

}  // namespace
}  // namespace uitest
