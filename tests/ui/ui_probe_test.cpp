// The UI probe's listing of a window: visible named controls with the part
// of them the window shows, their texts, and list rows named by their owner.

#include "tests/ui/ui_fixture.h"

#include "platform/ui/ui_probe.h"

namespace uitest {
namespace {

class UiProbeTest : public UiTest {};

const BackendProbeEntry* Entry(const std::vector<BackendProbeEntry>& entries, const std::wstring& name) {
    for (const BackendProbeEntry& e : entries) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

TEST_F(UiProbeTest, ListsVisibleNamedControlsClippedToWhatTheWindowShows) {
    TestWindow* w = Open(
        LR"(<Window size="200,100"><VerticalLayout name="root">
        <Button name="ok" height="30" text="OK"/>
        <Button height="10" text="no name"/>
        <Button name="hidden" height="10" visible="false"/>
        <VerticalLayout name="closed" height="10" visible="false"><Button name="inner" height="5"/></VerticalLayout>
        <Combo name="combo" height="20"><ListLabelElement text="first"/><ListLabelElement text="second"/></Combo>
        <Button name="partly" height="80" text="partly"/>
        </VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    auto* combo = static_cast<CComboUI*>(w->pm().FindControl(L"combo"));
    ASSERT_NE(combo, nullptr);
    combo->SelectItem(1, false, false);
    const std::vector<BackendProbeEntry> entries = CollectProbeEntries(w->pm().GetRoot(), RECT{0, 0, 200, 100});

    const BackendProbeEntry* ok = Entry(entries, L"ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text, L"OK");
    EXPECT_EQ(ok->rect.left, 0);
    EXPECT_EQ(ok->rect.top, 0);
    EXPECT_EQ(ok->rect.right, 200);
    EXPECT_EQ(ok->rect.bottom, 30);
    EXPECT_NE(Entry(entries, L"root"), nullptr);
    EXPECT_EQ(Entry(entries, L"hidden"), nullptr);
    EXPECT_EQ(Entry(entries, L"closed"), nullptr);
    EXPECT_EQ(Entry(entries, L"inner"), nullptr);
    // A closed combo: its selected row's text, and no rows of its own.
    ASSERT_NE(Entry(entries, L"combo"), nullptr);
    EXPECT_EQ(Entry(entries, L"combo")->text, L"second");
    EXPECT_EQ(Entry(entries, L"combo/0"), nullptr);
    // 30 + 10 + 20 pixels above it: of its 80 pixels the window shows 40.
    const BackendProbeEntry* partly = Entry(entries, L"partly");
    ASSERT_NE(partly, nullptr);
    EXPECT_EQ(partly->rect.top, 60);
    EXPECT_EQ(partly->rect.bottom, 100);
    // The window cuts it off: it is listed once more, whole.
    const BackendProbeEntry* cut = Entry(entries, L"partly#cut");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->rect.top, 60);
    EXPECT_EQ(cut->rect.bottom, 140);
    EXPECT_EQ(Entry(entries, L"ok#cut"), nullptr);
    for (const BackendProbeEntry& e : entries) EXPECT_FALSE(e.name.empty());
}

// A control that a fixed ancestor cuts off is listed as cut even when none
// of it shows; one that a scrolling list clips is not, also when a row of the
// list that holds it is partly shown: it can be scrolled to.
// A slider lists its value.
TEST_F(UiProbeTest, ControlsCutOffByAFixedAncestorAreListedAsCut) {
    TestWindow* w = Open(
        LR"(<Window size="200,100"><VerticalLayout name="root">
        <VerticalLayout name="panel" height="30"><Button name="in" height="20"/><Button name="out" height="20"/>
          <Button name="gone" height="20"/></VerticalLayout>
        <VerticalLayout name="list" height="30" vscrollbar="true"><Button name="row0" height="20"/>
          <HorizontalLayout height="20"><Button name="row1" width="50"/></HorizontalLayout>
          <Button name="row2" height="20"/></VerticalLayout>
        <Slider name="bar" height="10" min="0" max="5" value="3"/>
        </VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    const std::vector<BackendProbeEntry> entries = CollectProbeEntries(w->pm().GetRoot(), RECT{0, 0, 200, 100});
    EXPECT_EQ(Entry(entries, L"in#cut"), nullptr);
    ASSERT_NE(Entry(entries, L"out#cut"), nullptr);
    EXPECT_EQ(Entry(entries, L"out#cut")->rect.bottom, 40);
    EXPECT_NE(Entry(entries, L"out"), nullptr) << "the part shown is listed as before";
    ASSERT_NE(Entry(entries, L"gone#cut"), nullptr);
    EXPECT_EQ(Entry(entries, L"gone"), nullptr);
    for (const wchar_t* row : {L"row0#cut", L"row1#cut", L"row2#cut"}) EXPECT_EQ(Entry(entries, row), nullptr);
    EXPECT_NE(Entry(entries, L"row1"), nullptr);
    // A bar's text is its value, range and direction.
    ASSERT_NE(Entry(entries, L"bar"), nullptr);
    EXPECT_EQ(Entry(entries, L"bar")->text, L"3 0 5 h");
}

TEST_F(UiProbeTest, ARowWithoutANameIsListedUnderItsOwner) {
    TestWindow* w = Open(
        LR"(<Window size="200,100"><VerticalLayout name="root">
        <Combo name="modes" height="20"/><VerticalLayout name="drop"/></VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    auto* combo = static_cast<CComboUI*>(w->pm().FindControl(L"modes"));
    auto* drop = static_cast<CContainerUI*>(w->pm().FindControl(L"drop"));
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(drop, nullptr);
    // As in the drop window: rows of the combo laid out in a list of their own.
    auto* row = new CListLabelElementUI;
    row->SetText(L"static");
    row->SetFixedHeight(20);
    row->SetOwner(combo);
    row->SetIndex(3);
    drop->Add(row);
    w->pm().Invalidate();
    w->pm().Paint();
    const std::vector<BackendProbeEntry> entries = CollectProbeEntries(w->pm().GetRoot(), RECT{0, 0, 200, 100});
    const BackendProbeEntry* listed = Entry(entries, L"modes/3");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->text, L"static");
    EXPECT_EQ(listed->rect.top, 20);
    EXPECT_EQ(listed->rect.bottom, 40);
}

// Which option of a group and which row of a list is chosen: an option of a
// group names its group, a chosen option or row is listed once more.
TEST_F(UiProbeTest, ChoicesAreListedWithTheirGroupAndState) {
    TestWindow* w = Open(
        LR"(<Window size="200,200"><VerticalLayout name="root">
        <HorizontalLayout height="20"><Option name="left" group="dir"/><Option name="right" group="dir"/>
          <Option name="check"/></HorizontalLayout>
        <List name="list" height="60"><ListLabelElement name="r0" height="20"/><ListLabelElement name="r1" height="20"/>
          </List>
        <Combo name="modes" height="20"><ListLabelElement text="a"/><ListLabelElement text="b"/>
          <ListLabelElement text="c"/></Combo><Combo name="off" height="20" enabled="false"/>
        </VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    static_cast<COptionUI*>(w->pm().FindControl(L"right"))->Selected(true, false);
    static_cast<COptionUI*>(w->pm().FindControl(L"check"))->Selected(true, false);
    static_cast<CListUI*>(w->pm().FindControl(L"list"))->SelectItem(1, false, false);
    const std::vector<BackendProbeEntry> entries = CollectProbeEntries(w->pm().GetRoot(), RECT{0, 0, 200, 100});
    struct Case {
        const wchar_t* name;
        const wchar_t* group;  // null: not listed as a group member
        bool chosen;
    };
    for (const Case& c : {Case{L"left", L"dir", false}, Case{L"right", L"dir", true}, Case{L"check", nullptr, true},
                          Case{L"r0", nullptr, false}, Case{L"r1", nullptr, true}}) {
        SCOPED_TRACE(c.name);
        const BackendProbeEntry* control = Entry(entries, c.name);
        ASSERT_NE(control, nullptr);
        const BackendProbeEntry* group = Entry(entries, std::wstring(c.name) + L"#group");
        if (c.group) {
            ASSERT_NE(group, nullptr);
            EXPECT_EQ(group->text, c.group);
        } else {
            EXPECT_EQ(group, nullptr);
        }
        const BackendProbeEntry* chosen = Entry(entries, std::wstring(c.name) + L"#chosen");
        EXPECT_EQ(chosen != nullptr, c.chosen);
        if (chosen) EXPECT_EQ(chosen->rect.top, control->rect.top);
    }
    // A drop list: its current row, its number of rows, whether it opens.
    static_cast<CComboUI*>(w->pm().FindControl(L"modes"))->SelectItem(2, false, false);
    const std::vector<BackendProbeEntry> lists = CollectProbeEntries(w->pm().GetRoot(), RECT{0, 0, 200, 200});
    ASSERT_NE(Entry(lists, L"modes#list"), nullptr);
    EXPECT_EQ(Entry(lists, L"modes#list")->text, L"2 3 1");
    ASSERT_NE(Entry(lists, L"off#list"), nullptr);
    EXPECT_EQ(Entry(lists, L"off#list")->text, L"-1 0 0");
    EXPECT_EQ(Entry(lists, L"modes#chosen"), nullptr);
}

// A text that does not fit its room, beside an indicator, in wrapped lines or
// ended by an ellipsis, is listed as cut; an edit's text, which scrolls, is not.
TEST_F(UiProbeTest, TextsWithoutRoomAreListedAsCut) {
    TestWindow* w = Open(
        LR"(<Window size="400,300"><VerticalLayout name="root">
        <HorizontalLayout height="30">
          <Label name="fits" width="120" text="Hello"/>
          <Label name="narrow" width="30" text="Hello there"/>
          <Button name="ellipsis" width="40" text="Hello there" endellipsis="true"/>
          <Label name="low" width="120" height="6" text="Hello"/>
          <Label width="20" text="Unnamed and long"/>
        </HorizontalLayout>
        <HorizontalLayout height="30">
          <Option name="plain" width="42" text="Hello"/>
          <Option name="radio" width="42" text="Hello" indicator="radio"/>
          <Option name="padded" width="120" text="Hello" textpadding="100,0,0,0"/>
          <Edit name="edit" width="30" text="A long text that scrolls"/>
        </HorizontalLayout>
        <HorizontalLayout height="120">
          <Text name="wrapped" width="60" text="one two three four five six seven"/>
          <Text name="short" width="60" height="20" text="one two three four five six seven"/>
        </HorizontalLayout>
        </VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    const std::vector<BackendProbeEntry> entries = CollectProbeEntries(w->pm().GetRoot(), RECT{0, 0, 400, 300});
    struct Case {
        const wchar_t* name;
        bool cut;
    };
    for (const Case& c : {Case{L"fits", false}, Case{L"narrow", true}, Case{L"ellipsis", true}, Case{L"low", true},
                          Case{L"plain", false}, Case{L"radio", true}, Case{L"padded", true}, Case{L"edit", false},
                          Case{L"wrapped", false}, Case{L"short", true}}) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(Entry(entries, c.name), nullptr);
        const BackendProbeEntry* cut = Entry(entries, std::wstring(c.name) + L"#textcut");
        EXPECT_EQ(cut != nullptr, c.cut);
        if (cut) {
            EXPECT_EQ(cut->text, Entry(entries, c.name)->text);
            EXPECT_EQ(cut->rect.left, Entry(entries, c.name)->rect.left);
            EXPECT_EQ(cut->rect.right, Entry(entries, c.name)->rect.right);
        }
    }
    const BackendProbeEntry* unnamed = Entry(entries, L"#textcut");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->text, L"Unnamed and long");
}

}  // namespace
}  // namespace uitest
