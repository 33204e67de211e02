// The skins: every skin builds without a problem at the creation and the
// fitted size, every picture they name is drawn, every language key they use
// is in every language file, and the pictures come out the same on every run.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "platform/files/folders.h"
#include "platform/ui/ui_log.h"
#include "tests/e2e/child_process.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tests/support/temp_home.h"
#include "tests/support/wait_bound.h"

namespace mainwndtest {
namespace {

namespace fs = std::filesystem;

fs::path SkinFolder() { return win::ToFsPath(BuiltProgramFolder() + L"skin"); }

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> SkinFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(SkinFolder() / "XML")) {
        if (entry.is_regular_file() && entry.path().extension() == ".xml") files.push_back(entry.path());
    }
    return files;
}

std::vector<fs::path> LanguageFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(SkinFolder())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("lan_") && entry.path().extension() == ".xml") files.push_back(entry.path());
    }
    return files;
}

// Every match of the first group of `pattern` in `text`.
std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::set<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
        found.insert((*it)[1].str());
    }
    return found;
}

// The picture files a skin names: bare image attributes and file='...'.
std::set<std::string> PicturesOf(const std::string& xml) {
    std::set<std::string> pictures = Matches(xml, R"re((?:image|bkimage)="([^"'=]+\.png)")re");
    for (const std::string& p : Matches(xml, R"re(file='([^']+\.png)')re")) pictures.insert(p);
    // Skins may write their paths with either separator.
    std::set<std::string> files;
    for (std::string p : pictures) {
        std::replace(p.begin(), p.end(), '\\', '/');
        files.insert(p);
    }
    return files;
}

// Language keys a skin uses: texts and tool tips of controls with resource
// text.
std::set<std::string> KeysOf(const std::string& xml) {
    std::set<std::string> keys;
    const std::regex element(R"(<[A-Za-z]+\s[^>]*>)");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), element); it != std::sregex_iterator(); ++it) {
        const std::string tag = it->str();
        const bool resource = tag.find("resourcetext=\"true\"") != std::string::npos ||
                              tag.find("style=\"caption_button\"") != std::string::npos ||
                              tag.find("style=\"link_button\"") != std::string::npos ||
                              tag.find("style=\"push_button\"") != std::string::npos;
        if (!resource) continue;
        for (const char* attribute : {"text", "tooltip"}) {
            for (const std::string& key : Matches(tag, std::string(" ") + attribute + "=\"([^\"]+)\"")) {
                keys.insert(key);
            }
        }
    }
    return keys;
}

TEST(Skins, EveryPictureTheSkinsNameIsDrawn) {
    const std::vector<fs::path> skins = SkinFiles();
    ASSERT_FALSE(skins.empty());
    int named = 0;
    for (const fs::path& skin : skins) {
        for (const std::string& picture : PicturesOf(ReadFile(skin))) {
            ++named;
            EXPECT_TRUE(fs::is_regular_file(SkinFolder() / picture)) << skin.filename() << ": " << picture;
        }
    }
    EXPECT_GT(named, 30);
    EXPECT_TRUE(fs::is_regular_file(SkinFolder() / "icon107.png"));
}

TEST(Skins, EveryKeyUsedIsInEveryLanguageFile) {
    std::set<std::string> used{"Q580-RGB-PRO"};  // the tray's tool tip
    for (const fs::path& skin : SkinFiles()) {
        for (const std::string& key : KeysOf(ReadFile(skin))) used.insert(key);
    }
    ASSERT_GT(used.size(), 10u);
    const std::vector<fs::path> languages = LanguageFiles();
    ASSERT_GE(languages.size(), 2u);
    for (const fs::path& language : languages) {
        const std::set<std::string> defined = Matches(ReadFile(language), R"re(<Text id="([^"]+)")re");
        for (const std::string& key : used) EXPECT_TRUE(defined.count(key)) << language.filename() << ": " << key;
    }
}

TEST(Skins, TheLanguageConfigNamesTheLanguageFiles) {
    const LanguageList list = LanguageList::LoadFile((BuiltProgramFolder() + L"DefaultData/Language.config").c_str());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0)->id, 1033);
    EXPECT_EQ(list.At(0)->file, L"lan_en.xml");
    EXPECT_EQ(list.At(1)->id, 2052);
    EXPECT_EQ(list.At(1)->file, L"lan_cn.xml");
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_TRUE(fs::is_regular_file(SkinFolder() / win::ToUtf8(list.At(i)->file.str()))) << i;
    }
}

TEST(Skins, TheGeneratorDrawsTheSameBytesOnEveryRun) {
    tavrik::test::TempDir first("tavrik-skin-a");
    tavrik::test::TempDir second("tavrik-skin-b");
    for (const fs::path& folder : {first.Path(), second.Path()}) {
        tavrik::test::ChildProcess generator("tavrik-skin-images", {folder.string()}, {},
                                             (folder / "generator.log").string());
        ASSERT_EQ(generator.Wait(tavrik::test::WaitBound(std::chrono::seconds(60))), 0)
            << ReadFile(folder / "generator.log");
    }
    int pictures = 0;
    for (const auto& entry : fs::recursive_directory_iterator(first.Path())) {
        if (entry.path().extension() != ".png") continue;
        ++pictures;
        const fs::path relative = fs::relative(entry.path(), first.Path());
        EXPECT_EQ(ReadFile(entry.path()), ReadFile(second.Path() / relative)) << relative;
        // And the same as the pictures of the build.
        EXPECT_EQ(ReadFile(entry.path()), ReadFile(SkinFolder() / relative)) << relative;
    }
    EXPECT_GT(pictures, 30);
}

class SkinBuild : public MainWndTest {};

TEST_F(SkinBuild, TheMainSkinBuildsWholeAtTheCreationAndTheFittedSize) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    EXPECT_EQ(TakeUIProblems(), std::vector<CDuiString>{});
    for (const char* name : {"root",
                             "closebtn",
                             "maxbtn",
                             "restorebtn",
                             "minbtn",
                             "skinbtn",
                             "gamemodebtn",
                             "cloudbtn",
                             "smarteyesbtn",
                             "setbtn",
                             "No_device_Link",
                             "device_select_layout",
                             "device_select_prev",
                             "device_select_next",
                             "device_switch",
                             "device_power_switch",
                             "control_light_status",
                             "str_test",
                             "setting_progress",
                             "windowdeviceset_0",
                             "windowdeviceset_1",
                             "nodevice_ok_btn"}) {
        EXPECT_NE(Find(win::FromUtf8(name).c_str()), nullptr) << name;
    }
    EXPECT_EQ(Find(L"closebtn")->GetVirtualWnd(), L"mainpage");
    // At both sizes every shown control lies inside the window.
    for (const SIZE size : {SIZE{800, 572}, SIZE{1000, 640}}) {
        win::SetWindowPos(window_->GetHWND(), nullptr, 0, 0, size.cx, size.cy, win::SWP_NOZORDER | win::SWP_NOMOVE);
        Paint();
        std::function<void(CControlUI*)> check = [&](CControlUI* control) {
            if (!control->IsVisible()) return;
            const RECT r = control->GetPos();
            EXPECT_GE(r.left, 0) << control->GetName().str() << " at " << size.cx;
            EXPECT_GE(r.top, 0) << control->GetName().str() << " at " << size.cx;
            EXPECT_LE(r.right, size.cx) << control->GetName().str() << " at " << size.cx;
            EXPECT_LE(r.bottom, size.cy) << control->GetName().str() << " at " << size.cx;
            if (auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"))) {
                for (int i = 0; i < container->GetCount(); ++i) check(container->GetItemAt(i));
            }
        };
        check(window_->GetPaintManager()->GetRoot());
    }
}

// The message box's skin, built by a plain window as the message box does.
class MessageSkinWindow : public WindowImplBase {
public:
    CDuiString GetSkinFile() override { return L"XML_MSG"; }
    LPCTSTR GetWindowClassName() const override { return L"MsgWnd"; }
    CPaintManagerUI& pm() { return m_pm; }
};

TEST_F(SkinBuild, TheMessageBoxSkinHasItsNames) {
    auto* box = new MessageSkinWindow;
    box->Create(nullptr, L"msgwnd", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 380, 200);
    Pump();
    EXPECT_EQ(TakeUIProblems(), std::vector<CDuiString>{});
    for (const wchar_t* name : {L"MessageTitle", L"MessageText", L"confirm_btn", L"cancel_btn", L"closebtn"}) {
        EXPECT_NE(box->pm().FindControl(name), nullptr) << name;
    }
    win::DestroyWindow(box->GetHWND());
    Pump();
    delete box;
}

}  // namespace
}  // namespace mainwndtest
