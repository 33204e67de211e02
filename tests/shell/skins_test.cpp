// The skins: every skin builds without a problem at the creation and the
// fitted size, every picture they name is drawn, every language key they use
// is in every language file, and the pictures come out the same on every run.

#include <cairo.h>

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

// A picture of the build as premultiplied ARGB pixels.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t At(double fx, double fy) const {
        return argb[size_t(int(fy * (height - 1))) * size_t(width) + size_t(int(fx * (width - 1)))];
    }
    int OpaqueIn(double x0, double y0, double x1, double y1) const {
        int count = 0;
        for (int y = int(y0 * height); y < int(y1 * height); ++y)
            for (int x = int(x0 * width); x < int(x1 * width); ++x) count += (argb[size_t(y * width + x)] >> 24) > 0x80;
        return count;
    }
};

Pixels LoadPicture(const std::string& relative) {
    Pixels p;
    cairo_surface_t* s = cairo_image_surface_create_from_png((SkinFolder() / relative).string().c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
        p.width = cairo_image_surface_get_width(s);
        p.height = cairo_image_surface_get_height(s);
        const int stride = cairo_image_surface_get_stride(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                p.argb.push_back(*reinterpret_cast<const uint32_t*>(data + y * stride + x * 4));
    }
    cairo_surface_destroy(s);
    return p;
}

TEST(Skins, EveryKeyOfTheKeyboardPictureCarriesItsLegend) {
    int withLegend = 0;
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(SkinFolder() / "keyboard" / "legend")) {
        ++pictures;
        const Pixels legend = LoadPicture("keyboard/legend/" + entry.path().filename().string());
        ASSERT_GT(legend.width, 0) << entry.path();
        // Text in the middle of the key, and the rim left clear for its light.
        if (legend.OpaqueIn(0.1, 0.25, 0.9, 0.75) > 20) ++withLegend;
        EXPECT_EQ(legend.OpaqueIn(0, 0, 1, 0.05), 0) << entry.path();
    }
    EXPECT_GE(pictures, 100);
    EXPECT_GE(withLegend, pictures - 8);
    // Each key its own text: Esc, F1 and F2 are not the same picture.
    const std::string esc = ReadFile(SkinFolder() / "keyboard/legend/key_0.png");
    EXPECT_NE(esc, ReadFile(SkinFolder() / "keyboard/legend/key_1.png"));
    EXPECT_NE(ReadFile(SkinFolder() / "keyboard/legend/key_1.png"),
              ReadFile(SkinFolder() / "keyboard/legend/key_2.png"));
    // The page's keys name their legends.
    const std::string page = ReadFile(SkinFolder() / "XML/DeviceXml/keyboarddevice.xml");
    EXPECT_NE(page.find(R"(name="key_0" )"), std::string::npos);
    EXPECT_NE(page.find(R"(legendimage="keyboard\legend\key_0.png")"), std::string::npos);
}

// A white legend on a key lit white: every pixel of the legend's white fill
// has, a few pixels away at most, a pixel that still reads dark on the white
// key, so the letters keep an outline of their own.
TEST(Skins, KeyLegendsStayReadableOnAKeyLitWhite) {
    constexpr int kReach = 3;
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(SkinFolder() / "keyboard" / "legend")) {
        const Pixels legend = LoadPicture("keyboard/legend/" + entry.path().filename().string());
        ASSERT_GT(legend.width, 0) << entry.path();
        // Premultiplied: over white a channel reads c + (255 - a).
        const auto overWhite = [&](int x, int y) {
            const uint32_t p = legend.argb[size_t(y * legend.width + x)];
            const int a = int(p >> 24), g = int((p >> 8) & 0xFF);
            return g + (255 - a);
        };
        const auto fill = [&](int x, int y) {
            const uint32_t p = legend.argb[size_t(y * legend.width + x)];
            return (p >> 24) > 0xF0 && ((p >> 8) & 0xFF) > 0xE0;
        };
        int fillPixels = 0, outlined = 0;
        for (int y = 0; y < legend.height; ++y)
            for (int x = 0; x < legend.width; ++x) {
                if (!fill(x, y)) continue;
                ++fillPixels;
                bool dark = false;
                for (int dy = -kReach; dy <= kReach && !dark; ++dy)
                    for (int dx = -kReach; dx <= kReach && !dark; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= legend.width || ny >= legend.height) continue;
                        dark = overWhite(nx, ny) < 90;
                    }
                outlined += dark;
            }
        if (fillPixels == 0) continue;
        ++checked;
        EXPECT_GE(outlined * 100, fillPixels * 98) << entry.path() << ": " << outlined << " of " << fillPixels;
    }
    EXPECT_GE(checked, 90);
}

TEST(Skins, TheDevicePicturesShowTheirPartsWholeWhereThePagesPutThem) {
    struct Spot {
        double x, y;  // in the panel's 96 DPI coordinates
        bool drawn;
    };
    struct Case {
        const char* picture;
        double panelWidth, panelHeight;
        std::vector<Spot> spots;
    } cases[] = {
        // The left and right buttons, the wheel, a side button; outside the body.
        {"device/mouse.png",
         165,
         300,
         {{63, 64, true}, {116, 64, true}, {90, 60, true}, {24, 130, true}, {2, 2, false}}},
        // An LED zone of each row and the cloth between them.
        {"device/mousepad.png", 640, 340, {{40, 40, true}, {280, 150, true}, {520, 260, true}, {1, 1, false}}},
        // A zone on the band and one over a cup; the corners stay clear.
        {"device/headset.png", 400, 260, {{55, 55, true}, {305, 205, true}, {1, 1, false}, {399, 1, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        const Pixels p = LoadPicture(c.picture);
        ASSERT_GT(p.width, 0);
        for (const Spot& spot : c.spots) {
            const uint32_t pixel = p.At(spot.x / c.panelWidth, spot.y / c.panelHeight);
            EXPECT_EQ((pixel >> 24) > 0x80, spot.drawn) << spot.x << "," << spot.y;
        }
        // Nothing is cut at the picture's edges: the outermost rows and
        // columns stay (almost) clear.
        EXPECT_LT(p.OpaqueIn(0, 0, 1, 0.005), p.width / 4);
        EXPECT_LT(p.OpaqueIn(0, 0.995, 1, 1), p.width / 4);
    }
    // The guns differ from one another and are pictures, not empty boxes.
    for (int gun = 1; gun <= 4; ++gun) {
        const Pixels picture = LoadPicture("device/recoil_gun_" + std::to_string(gun) + ".png");
        ASSERT_GT(picture.width, 0) << gun;
        std::set<uint32_t> colours(picture.argb.begin(), picture.argb.end());
        EXPECT_GT(colours.size(), 10u) << gun;
    }
    EXPECT_NE(ReadFile(SkinFolder() / "device/recoil_gun_1.png"), ReadFile(SkinFolder() / "device/recoil_gun_4.png"));
}

class SkinBuild : public MainWndTest {};

TEST_F(SkinBuild, TheMainSkinBuildsWholeAtTheCreationAndTheFittedSize) {
    OpenMainWindow();
    ASSERT_TRUE(PumpUntil([&] { return window_->IsVisible(); }));
    // The first-show fit runs now (its timer ends with it), not while the
    // window is laid out at the sizes below.
    Send(win::WM_TIMER, TIMER_MAIN_FIRST_SHOW);
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
