#include "tests/ui/ui_fixture.h"

#include "platform/files/folders.h"

namespace uitest {
namespace {

class BuilderTest : public UiTest {};

// A control made only through the factory (not a built-in, no callback).
class CPanelProbeUI : public CVerticalLayoutUI {
public:
    LPCTSTR GetClass() const override { return L"PanelProbe"; }
    void SetAttribute(LPCTSTR n, LPCTSTR v) override {
        order.push_back(n);
        CVerticalLayoutUI::SetAttribute(n, v);
    }
    void DoInit() override { initedAfter = order.size(); }
    std::vector<std::wstring> order;
    size_t initedAfter = 999;
};

TEST_F(BuilderTest, WindowBuildsPaintsAndSaysWindowInitOnce) {
    TestWindow* w = Open(
        LR"(<Window size="200,100"><VerticalLayout name="root" bkcolor="#FF0000FF">
        <Button name="ok" height="30" text="OK"/></VerticalLayout></Window>)");
    ASSERT_NE(w->GetHWND(), nullptr);
    EXPECT_EQ(w->GetClientSize().cx, 200);
    EXPECT_EQ(w->GetClientSize().cy, 100);
    CControlUI* ok = w->pm().FindControl(L"ok");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetHeight(), 30);
    EXPECT_EQ(w->Count(L"windowinit", L"root"), 1);
    EXPECT_EQ(Surface(w)->PixelAt(100, 80), 0xFF0000FFu);
}

struct Snippet {
    const char* what;
    const wchar_t* xml;
    const wchar_t* control;  // a control that must exist afterwards (or null)
    RECT pos;                // its rectangle (when control is set)
    bool problem;            // a problem must be reported
};

TEST_F(BuilderTest, SnippetTable) {
    Skin("part.xml", R"(<HorizontalLayout name="included" height="20"/>)");
    const Snippet table[] = {
        {"fixed and stretched heights",
         L"<Window size='100,100'><VerticalLayout><Control name='a' height='30'/><Control name='b'/>"
         L"<Control name='c' height='10'/></VerticalLayout></Window>",
         L"b",
         {0, 30, 100, 90},
         false},
        {"floating child at pos",
         L"<Window size='100,100'><VerticalLayout inset='5,5,5,5'><Control name='f' float='true' pos='10,20,40,35'/>"
         L"</VerticalLayout></Window>",
         L"f",
         {10, 20, 40, 35},
         false},
        {"pos without float only sizes the control",
         L"<Window size='100,100'><VerticalLayout><Control name='np' pos='50,50,80,70'/></VerticalLayout></Window>",
         L"np",
         {0, 0, 30, 20},
         false},
        {"defaults apply before the element's own attributes",
         L"<Window size='100,100'><Default name='Control' value='height=&quot;12&quot; width=&quot;50&quot;'/>"
         L"<VerticalLayout><Control name='d' width='60'/></VerticalLayout></Window>",
         L"d",
         {0, 0, 60, 12},
         false},
        {"include builds a file into the parent",
         L"<Window size='100,100'><VerticalLayout><Include source='part.xml'/><Control name='after'/>"
         L"</VerticalLayout></Window>",
         L"after",
         {0, 20, 100, 100},
         false},
        {"unknown element is reported and skipped",
         L"<Window size='100,100'><VerticalLayout><Bogus name='x'/><Control name='kept' height='5'/>"
         L"</VerticalLayout></Window>",
         L"kept",
         {0, 0, 100, 5},
         true},
        {"unknown attribute is reported",
         L"<Window size='100,100'><VerticalLayout><Control name='u' frobnicate='1' "
         L"height='7'/></VerticalLayout></Window>",
         L"u",
         {0, 0, 100, 7},
         true},
        {"horizontal with padding and child padding",
         L"<Window size='100,50'><HorizontalLayout childpadding='4'><Control width='20'/>"
         L"<Control name='p' padding='3,2,1,5'/></HorizontalLayout></Window>",
         L"p",
         {27, 2, 99, 45},
         false},
    };
    for (const Snippet& s : table) {
        SCOPED_TRACE(s.what);
        TakeUIProblems();
        TestWindow* w = Open(s.xml);
        CControlUI* c = w->pm().FindControl(s.control);
        ASSERT_NE(c, nullptr);
        RECT r = c->GetPos();
        EXPECT_EQ(r.left, s.pos.left);
        EXPECT_EQ(r.top, s.pos.top);
        EXPECT_EQ(r.right, s.pos.right);
        EXPECT_EQ(r.bottom, s.pos.bottom);
        EXPECT_EQ(!TakeUIProblems().empty(), s.problem);
    }
}

TEST_F(BuilderTest, FontsByIdAndDefault) {
    TestWindow* w = Open(
        LR"(<Window size='100,100'>
        <Font id='3' name='DejaVu Sans' size='20' bold='true'/>
        <Font id='0' name='DejaVu Sans' size='11' default='true'/>
        <VerticalLayout><Label name='l' font='3' text='x'/></VerticalLayout></Window>)");
    TFontInfo* f3 = w->pm().GetFontInfo(3);
    ASSERT_NE(f3, nullptr);
    EXPECT_EQ(f3->iSize, 20);
    EXPECT_TRUE(f3->bBold);
    EXPECT_EQ(w->pm().GetDefaultFontInfo()->iSize, 11);
    EXPECT_EQ(w->pm().GetFontInfo(42)->iSize, 11);  // unknown ids fall back to the default
    // Text measured in the bigger font is taller.
    SIZE big = CRenderEngine::GetTextSize(nullptr, &w->pm(), L"Hg", 3, DT_SINGLELINE);
    SIZE small = CRenderEngine::GetTextSize(nullptr, &w->pm(), L"Hg", 0, DT_SINGLELINE);
    EXPECT_GT(big.cy, small.cy);
}

TEST_F(BuilderTest, NameResolutionOrderAndAttributesBeforeInit) {
    CControlFactory::GetInstance()->RegistControl(L"CPanelProbeUI",
                                                  [] { return static_cast<CControlUI*>(new CPanelProbeUI); });
    CControlFactory::GetInstance()->RegistControl(L"Exact", [] { return static_cast<CControlUI*>(new CLabelUI); });
    TestWindow* w = new TestWindow(
        L"<Window size='100,100'><VerticalLayout><PanelProbe name='probe' height='10' bkcolor='#FF00FF00'/>"
        L"<Exact name='exact'/><Viaback name='cb'/><Button name='btn'/></VerticalLayout></Window>");
    windows_.push_back(w);
    w->factory = [](LPCTSTR cls) -> CControlUI* {
        if (DuiCompareNoCase(cls, L"Viaback") == 0) return new CTextUI;
        if (DuiCompareNoCase(cls, L"Button") == 0) return new CTextUI;  // must never win over the built-in
        return nullptr;
    };
    w->Create(nullptr, L"t", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 0, 0);
    Pump();
    auto* probe = static_cast<CPanelProbeUI*>(w->pm().FindControl(L"probe"));
    ASSERT_NE(probe, nullptr);
    EXPECT_STREQ(probe->GetClass(), L"PanelProbe");
    EXPECT_EQ(probe->order, (std::vector<std::wstring>{L"name", L"height", L"bkcolor"}));
    EXPECT_EQ(probe->initedAfter, 3u);  // DoInit after every attribute
    EXPECT_STREQ(w->pm().FindControl(L"exact")->GetClass(), L"LabelUI");
    EXPECT_STREQ(w->pm().FindControl(L"cb")->GetClass(), L"TextUI");
    EXPECT_STREQ(w->pm().FindControl(L"btn")->GetClass(), L"ButtonUI");
}

TEST_F(BuilderTest, BrokenSkinsGiveNullNeverACrash) {
    CPaintManagerUI pm;
    const wchar_t* broken[] = {
        L"<Window><VerticalLayout></Window>", L"<Window",          L"", L"not xml at all",
        L"<Window><Include/></Window>",       L"missing_file.xml",
    };
    for (const wchar_t* xml : broken) {
        SCOPED_TRACE(testing::Message() << win::ToUtf8(xml));
        CDialogBuilder b;
        CControlUI* root = b.Create(xml, nullptr, nullptr, &pm);
        EXPECT_EQ(root, nullptr);
        delete root;
    }
    // A skin that includes itself stops at the nesting limit.
    Skin("loop.xml", "<Window><VerticalLayout><Include source='loop.xml'/></VerticalLayout></Window>");
    CDialogBuilder b;
    CControlUI* root = b.Create(L"loop.xml", nullptr, nullptr, &pm);
    ASSERT_NE(root, nullptr);
    pm.AttachDialog(root);  // the manager frees the tree
}

TEST_F(BuilderTest, MutatedSkinsNeverCrash) {
    const std::wstring good =
        L"<Window size='100,100'><Font id='1' name='Sans' size='12'/><VerticalLayout inset='1,1,1,1'>"
        L"<Button name='b' text='&amp;x&#65;' height='20'/><Combo><ListLabelElement text='a'/></Combo>"
        L"<List><ListContainerElement><Label text='x'/></ListContainerElement></List>"
        L"<Edit maxchar='-5' numberonly='true'/><Slider min='9' max='1' value='50'/></VerticalLayout></Window>";
    CPaintManagerUI pm;
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 300; ++round) {
        std::wstring s = good;
        for (int k = 0; k < 3; ++k) {
            size_t at = next() % s.size();
            switch (next() % 3) {
                case 0:
                    s.erase(at, 1 + next() % 8);
                    break;
                case 1:
                    s.insert(at, 1, L"<>'\"=&/ ;#"[next() % 11]);
                    break;
                default:
                    s[at] = static_cast<wchar_t>(next() % 0x300);
                    break;
            }
            if (s.empty()) s = L"<";
        }
        CDialogBuilder b;
        CControlUI* root = b.Create(s.c_str(), nullptr, nullptr, &pm);
        if (root) {
            pm.AttachDialog(root);  // frees the previous tree
            root->SetPos({0, 0, 100, 100}, false);
        }
    }
    TakeUIProblems();
}

TEST_F(BuilderTest, ResourceIndexAndStyles) {
    Skin("xml/main.xml",
         "<Window size='80,40'><Style name='big' value='height=&quot;25&quot;'/>"
         "<VerticalLayout><Label name='s' style='big'/></VerticalLayout></Window>");
    Skin("res.xml", "<Res><Xml name='XML_MAIN' file='xml/main.xml'/></Res>");
    ASSERT_TRUE(CResourceManager::GetInstance()->LoadResource(L"res.xml"));
    TestWindow* w = Open(L"XML_MAIN");
    CControlUI* s = w->pm().FindControl(L"s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetHeight(), 25);
    EXPECT_EQ(w->GetClientSize().cx, 80);
}

}  // namespace
}  // namespace uitest
