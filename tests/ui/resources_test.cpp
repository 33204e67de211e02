#include "tests/ui/ui_fixture.h"

#include "platform/files/folders.h"

namespace uitest {
namespace {

class ResourcesTest : public UiTest {};

class FixedQuery : public IQueryControlText {
public:
    LPCTSTR QueryControlText(LPCTSTR id, LPCTSTR) override {
        return CDuiString(id) == L"asked" ? L"from query" : nullptr;
    }
};

TEST_F(ResourcesTest, LanguageTextsThroughAHiddenLabel) {
    Skin("lan_en.xml", "<Language><Text id='str_test' value='%d of %d'/><Text id='title' value='Hello'/></Language>");
    Skin("lan_de.xml", "<Language><Text id='str_test' value='%d von %d'/><Text id='title' value='Hallo'/></Language>");
    TestWindow* w = Open(
        LR"(<Window size='100,50'><VerticalLayout>
        <Label name='str_test' text='str_test' resourcetext='true' visible='false'/>
        <Label name='title' text='title' resourcetext='true'/><Label name='plain' text='title'/></VerticalLayout></Window>)");
    CResourceManager* rm = CResourceManager::GetInstance();
    ASSERT_TRUE(rm->LoadLanguage(L"lan_en.xml"));
    CDuiString s;
    s.Format(w->pm().FindControl(L"str_test")->GetText(), 2, 5);
    EXPECT_EQ(s, L"2 of 5");
    EXPECT_EQ(w->pm().FindControl(L"plain")->GetText(), L"title");  // no resource text: as written
    rm->SetLanguage(L"German");
    ASSERT_TRUE(rm->LoadLanguage(L"lan_de.xml"));
    rm->ReloadText();
    Pump();
    EXPECT_EQ(w->pm().FindControl(L"title")->GetText(), L"Hallo");
    EXPECT_STREQ(rm->GetLanguage(), L"German");
    // Query interface first, then the table, and an unknown key is the key.
    FixedQuery query;
    rm->SetTextQueryInterface(&query);
    EXPECT_EQ(rm->GetText(L"asked"), L"from query");
    EXPECT_EQ(rm->GetText(L"title"), L"Hallo");
    EXPECT_EQ(rm->GetText(L"message_text_999"), L"message_text_999");
    rm->SetTextQueryInterface(nullptr);
    EXPECT_FALSE(rm->LoadLanguage(L"missing.xml"));
    EXPECT_EQ(rm->GetText(L"title"), L"Hallo");  // a failed load keeps the table
    rm->Release();
    EXPECT_EQ(rm->GetText(L"title"), L"title");
}

TEST_F(ResourcesTest, BackslashPathsOfTheProgramWork) {
    Skin("skin/xml/part.xml", "<Label name='p' text='x'/>");
    CPaintManagerUI::SetResourcePath((win::FromUtf8(dir_.Path().string()) + L"\\skin\\").c_str());
    CPaintManagerUI pm;
    CDialogBuilder b;
    CControlUI* root = b.Create(L"xml\\part.xml", nullptr, nullptr, &pm);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), L"p");
    delete root;
}

TEST_F(ResourcesTest, InstancePathIsTheProgramFolder) {
    CDuiString p = CPaintManagerUI::GetInstancePath();
    ASSERT_FALSE(p.IsEmpty());
    EXPECT_EQ(p.Right(1), L"/");
    EXPECT_TRUE(std::filesystem::exists(win::ToFsPath((p + L"ui_tests").str())));
}

TEST_F(ResourcesTest, MenuPostsTheCommandRecordAndCloses) {
    Skin("menu.xml",
         "<Menu><MenuElement name='about_menu' text='About' userdata='u1'/>"
         "<MenuElement name='exit' text='Exit'/></Menu>");
    TestWindow* w = Open(L"<Window size='200,100'><VerticalLayout/></Window>");
    std::wstring got;
    std::wstring user;
    struct Filter : IMessageFilterUI {
        std::wstring* name;
        std::wstring* data;
        LRESULT MessageHandler(UINT m, WPARAM wp, LPARAM, bool& handled) override {
            if (m != WM_MENU_COMMAND_UI) return 0;
            auto* cmd = reinterpret_cast<MenuCmd*>(wp);
            *name = cmd->szName;
            *data = cmd->szUserData;
            CPaintManagerUI::DeletePtr(cmd);
            handled = true;
            return 0;
        }
    } filter;
    filter.name = &got;
    filter.data = &user;
    w->pm().AddMessageFilter(&filter);
    auto* menu = new CMenuWnd;
    menu->Init(nullptr, L"menu.xml", {500, 400}, &w->pm(), nullptr, eMenuAlignment_Right | eMenuAlignment_Bottom);
    Pump();
    HeadlessWindow* m = display_->TopVisibleWindow();
    ASSERT_NE(m, Surface(w));
    BackendRect r = m->GetRect();
    EXPECT_EQ(r.right, 500);  // opens up and to the left of the anchor
    EXPECT_EQ(r.bottom, 400);
    EXPECT_EQ(CMenuWnd::OpenMenus().size(), 1u);
    display_->Click(m, 20, 10);  // the first row
    Pump();
    EXPECT_EQ(got, L"about_menu");
    EXPECT_EQ(user, L"u1");
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty());
    // A second menu closes when another window becomes active; the
    // program's own activation of the menu's window leaves it open.
    auto* second = new CMenuWnd;
    second->Init(nullptr, L"menu.xml", {10, 10}, &w->pm());
    Pump();
    EXPECT_EQ(CMenuWnd::OpenMenus().size(), 1u);
    w->Activate();
    Pump();
    EXPECT_EQ(CMenuWnd::OpenMenus().size(), 1u);
    TestWindow* other = Open(L"<Window size='50,50'><VerticalLayout/></Window>");
    other->Activate();
    Pump();
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty());
    EXPECT_TRUE(Surface(other)->IsActive());
    w->pm().RemoveMessageFilter(&filter);
    delete menu;
    delete second;
}

// The row under the pointer takes the menu skin's hot colour: the row's own,
// else the menu's for every row.
TEST_F(ResourcesTest, AMenuRowUnderThePointerTakesTheSkinsHotColour) {
    Skin("menu.xml",
         "<Menu bkcolor='#FF1F232B' itemhotbkcolor='#FF303845'>"
         "<MenuElement name='own' text='Own' height='30' width='160' textcolor='#FFE6E8EC' hotbkcolor='#FF2E3440'/>"
         "<MenuElement name='shared' text='Shared' height='30' width='160' textcolor='#FFE6E8EC'/></Menu>");
    TestWindow* w = Open(L"<Window size='200,100'><VerticalLayout/></Window>");
    auto* menu = new CMenuWnd;
    menu->Init(nullptr, L"menu.xml", {10, 10}, &w->pm());
    Pump();
    HeadlessWindow* m = display_->TopVisibleWindow();
    ASSERT_NE(m, Surface(w));
    struct Case {
        int y;
        uint32_t hot;
    };
    for (const Case& c : {Case{15, 0xFF2E3440u}, Case{45, 0xFF303845u}, Case{15, 0xFF2E3440u}}) {
        SCOPED_TRACE(c.y);
        BackendEvent e;
        e.type = BackendEventType::MouseMove;
        e.x = 150;
        e.y = c.y;
        display_->Inject(m, e);
        Pump();
        menu->GetMenuPaintManager()->Paint();
        EXPECT_EQ(m->PixelAt(150, c.y) | 0xFF000000u, c.hot);
        // The other row keeps the menu's background.
        EXPECT_EQ(m->PixelAt(150, c.y == 15 ? 45 : 15) | 0xFF000000u, 0xFF1F232Bu);
    }
    CMenuWnd::DestroyMenu();
    Pump();
    delete menu;
}

TEST_F(ResourcesTest, TrayIconPostsMouseMessages) {
    TestWindow* w = Open(L"<Window size='50,50'><VerticalLayout/></Window>");
    std::vector<LPARAM> seen;
    struct Filter : IMessageFilterUI {
        std::vector<LPARAM>* seen;
        LRESULT MessageHandler(UINT m, WPARAM wp, LPARAM lp, bool& handled) override {
            if (m == win::WM_USER + 1 && wp == 107) {
                seen->push_back(lp);
                handled = true;
            }
            return 0;
        }
    } filter;
    filter.seen = &seen;
    w->pm().AddMessageFilter(&filter);
    CTrayIcon tray;
    tray.CreateTrayIcon(w->GetHWND(), 107, L"Q580", 0);
    ASSERT_NE(display_->TrayIcon(), nullptr);
    EXPECT_EQ(display_->TrayIcon()->Tooltip(), L"Q580");
    BackendEvent e;
    e.button = BackendButton::Left;
    e.type = BackendEventType::ButtonDown;
    display_->TrayIcon()->Inject(e);
    e.type = BackendEventType::ButtonUp;
    display_->TrayIcon()->Inject(e);
    e.button = BackendButton::Right;
    display_->TrayIcon()->Inject(e);
    Pump();
    EXPECT_EQ(seen, (std::vector<LPARAM>{win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_RBUTTONUP}));
    tray.DeleteTrayIcon();
    EXPECT_EQ(display_->TrayIcon(), nullptr);
    w->pm().RemoveMessageFilter(&filter);
}

}  // namespace
}  // namespace uitest
