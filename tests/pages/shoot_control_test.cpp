// The recoil page built from the shipped template on a headless display, with
// its working and default files in temporary folders.

#include <ostream>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <json/json.h>

#include "link/json_file_util.h"
#include "pages/shoot_control_ui.h"
#include "pages/shoot_file.h"
#include "platform/files/utf8.h"
#include "tests/pages/shoot_bullet_print.h"
#include "platform/ui/button.h"
#include "platform/ui/edit.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;
namespace fs = std::filesystem;

class ShootPageTest : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        const fs::path source = fs::path(TAVRIK_SOURCE_DIR) / "skin";
        fs::create_directories(dir_.Path() / "XML" / "CustomControlXML");
        fs::copy_file(source / "XML" / "CustomControlXML" / "ShootControl.xml",
                      dir_.Path() / "XML" / "CustomControlXML" / "ShootControl.xml");
        fs::copy_file(source / "lan_en.xml", dir_.Path() / "lan_en.xml");
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml"));
        CControlFactory::GetInstance()->RegistControl(CShootControlUI::kClassName, &CShootControlUI::CreateInstance);
        data_ = dir_.Path() / "mouse";
        defaults_ = dir_.Path() / "DefaultData";
        fs::create_directories(data_);
        fs::create_directories(defaults_);
    }

public:
    // Builds the page as the mouse page does: folders, Init, gun 0, bullet 0
    // (without `select`, no gun or bullet is picked).
    CShootControlUI* OpenPage(bool select = true) {
        window_ = Open(
            R"(<Window size="900,600"><VerticalLayout><Include source="XML\CustomControlXML\ShootControl.xml"/></VerticalLayout></Window>)",
            900, 600);
        page_ = window_->Find<CShootControlUI>(L"ShootControlItem");
        if (page_ == nullptr) return nullptr;
        page_->SetDataFolder(Folder(data_));
        page_->SetDefaultFolder(Folder(defaults_));
        page_->Init();
        if (select) {
            page_->SelectGun(0);
            page_->SelectBullet(0);
        }
        return page_;
    }

    static CDuiString Folder(const fs::path& p) { return win::FromUtf8(p.string() + "/").c_str(); }
    static CDuiString PathOf(const fs::path& p) { return win::FromUtf8(p.string()).c_str(); }
    fs::path Working(int gun) const { return data_ / win::ToUtf8(ShootFileName(gun).str()); }
    fs::path Default(int gun) const { return defaults_ / win::ToUtf8(ShootFileName(gun).str()); }

    // A full gun whose bullets differ from one another and from other seeds.
    static ShootBullet BulletOf(int seed, int b) {
        return {(b + seed) % 2 == 0, (b * 3 + seed) % 200, b % 3 == 0, (b + seed * 7) % 150, 20 + b * (seed + 1)};
    }
    static Json::Value Gun(int seed) {
        Json::Value doc(Json::objectValue);
        doc["Note"] = "gun " + std::to_string(seed);
        for (int b = 0; b < kShootBulletCount; ++b) WriteShootBullet(doc, b, BulletOf(seed, b));
        return doc;
    }
    static void Save(const fs::path& path, const Json::Value& doc) {
        ASSERT_TRUE(CJsonFileUtil::SaveJson(PathOf(path), doc));
    }
    static void WriteText(const fs::path& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static Json::Value Load(const fs::path& path) { return CJsonFileUtil::LoadJson(PathOf(path)); }

    COptionUI* Option(const std::wstring& name) { return window_->Find<COptionUI>(name.c_str()); }
    CEditUI* Edit(const wchar_t* name) { return window_->Find<CEditUI>(name); }
    std::wstring Text(const wchar_t* name) { return window_->Find<CControlUI>(name)->GetText().str(); }

    // What the editors show.
    ShootBullet Shown() {
        return {Option(L"bullet_x_check")->IsSelected(), std::stoi(Text(L"bullet_x_eidt")),
                Option(L"bullet_y_check")->IsSelected(), std::stoi(Text(L"bullet_y_eidt")),
                std::stoi(Text(L"bullet_delay_eidt"))};
    }
    // Types a bullet into the editors.
    void Enter(bool left, const std::wstring& x, bool up, const std::wstring& y, const std::wstring& delay) {
        Option(L"bullet_x_check")->Selected(left, false);
        Option(L"bullet_y_check")->Selected(up, false);
        Edit(L"bullet_x_eidt")->SetText(x.c_str());
        Edit(L"bullet_y_eidt")->SetText(y.c_str());
        Edit(L"bullet_delay_eidt")->SetText(delay.c_str());
    }
    int SelectedOption(const std::wstring& prefix, int count) {
        int selected = -1;
        for (int i = 0; i < count; ++i) {
            if (Option(prefix + std::to_wstring(i))->IsSelected()) {
                EXPECT_EQ(selected, -1) << "two options selected";
                selected = i;
            }
        }
        return selected;
    }

    fs::path data_;
    fs::path defaults_;
    SkinWindow* window_ = nullptr;
    CShootControlUI* page_ = nullptr;
};

// --- The editor's edge cases, one row each ------------------------------------------

struct EdgeCase {
    const char* name;
    std::function<void(ShootPageTest&)> run;
};

// Tests name the case in their messages, not its bytes.
void PrintTo(const EdgeCase& c, std::ostream* out) { *out << c.name; }

class ShootPageEdgeCases : public ShootPageTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(ShootPageEdgeCases, Hold) {
    for (int gun = 0; gun < kShootGunCount; ++gun) Save(Default(gun), Gun(gun));
    ASSERT_NE(OpenPage(), nullptr);
    GetParam().run(*this);
}

const EdgeCase kEdgeCases[] = {
    {"BulletPastTheEndSelectsTheLast",
     [](ShootPageTest& t) {
         t.page_->SelectGun(1);
         t.page_->SelectBullet(30);
         EXPECT_EQ(t.page_->GetSelectedBullet(), 29);
         EXPECT_EQ(t.SelectedOption(L"bullet_op_", 30), 29);
         EXPECT_EQ(t.Text(L"bullet_select_index"), L"30");
         EXPECT_EQ(t.Shown(), ClampShootBullet(ShootPageTest::BulletOf(1, 29)));
         t.page_->SelectNextBullet();
         EXPECT_EQ(t.page_->GetSelectedBullet(), 29);
     }},
    {"PreviousAtTheFirstBulletStays",
     [](ShootPageTest& t) {
         t.page_->SelectBullet(1);
         t.page_->SelectPreviousBullet();
         t.page_->SelectPreviousBullet();
         EXPECT_EQ(t.page_->GetSelectedBullet(), 0);
         EXPECT_EQ(t.SelectedOption(L"bullet_op_", 30), 0);
         EXPECT_EQ(t.Text(L"bullet_select_index"), L"1");
     }},
    {"GunPastTheEndSelectsTheLast",
     [](ShootPageTest& t) {
         t.page_->SelectGun(7);
         EXPECT_EQ(t.page_->GetSelectedGun(), 3);
         EXPECT_EQ(t.SelectedOption(L"shoot_gun_op_", 4), 3);
         EXPECT_EQ(t.window_->Find<CTabLayoutUI>(L"shoot_image_display_switch")->GetCurSel(), 3);
         t.page_->LoadBullet();
         EXPECT_EQ(t.Shown(), ShootPageTest::BulletOf(3, 0));
     }},
    {"LeftAndDownWriteDownOnXAndUpOnY",
     [](ShootPageTest& t) {
         t.page_->SelectBullet(4);
         t.Enter(true, L"6", false, L"9", L"77");
         ASSERT_TRUE(t.page_->WriteBullet(0, 4));
         const Json::Value events = ShootPageTest::Load(t.Working(0))["Events"];
         EXPECT_EQ(events[26]["Action"].asString(), "down");
         EXPECT_EQ(events[28]["Action"].asString(), "down");
         EXPECT_EQ(events[27]["Action"].asString(), "up");
         EXPECT_EQ(events[29]["Action"].asString(), "up");
     }},
    {"ClickAndXMoveDelaysAreFixedOnlyTheYMoveCarriesTheDelay",
     [](ShootPageTest& t) {
         t.page_->SelectBullet(2);
         t.Enter(false, L"3", true, L"4", L"999");
         t.page_->SaveBullet();
         const Json::Value events = ShootPageTest::Load(t.Working(0))["Events"];
         const int want[6] = {10, 0, 5, 999, 0, 0};
         for (int s = 0; s < 6; ++s) EXPECT_EQ(events[12 + s]["Delay"].asInt(), want[s]) << s;
     }},
    {"DownInCapitalsReadsAsLeft",
     [](ShootPageTest& t) {
         Json::Value doc = ShootPageTest::Load(t.Working(2));
         doc["Events"][6 * 5 + 2]["Action"] = "DOWN";
         doc["Events"][6 * 5 + 3]["Action"] = "dOwN";
         ShootPageTest::Save(t.Working(2), doc);
         t.page_->SelectGun(2);
         t.page_->SelectBullet(5);
         EXPECT_TRUE(t.Option(L"bullet_x_check")->IsSelected());
         EXPECT_TRUE(t.Option(L"bullet_y_check")->IsSelected());
         EXPECT_EQ(t.Text(L"bullet_x_check"), L"Move left");
         EXPECT_EQ(t.Text(L"bullet_y_check"), L"Move up");
     }},
    {"NumbersAsTextReadAsTheirLeadingNumber",
     [](ShootPageTest& t) {
         Json::Value doc = ShootPageTest::Load(t.Working(0));
         doc["Events"][2]["Button"] = "12";
         doc["Events"][3]["Button"] = " 40px";
         doc["Events"][3]["Delay"] = "250";
         ShootPageTest::Save(t.Working(0), doc);
         t.page_->LoadBullet();
         EXPECT_EQ(t.Text(L"bullet_x_eidt"), L"12");
         EXPECT_EQ(t.Text(L"bullet_y_eidt"), L"40");
         EXPECT_EQ(t.Text(L"bullet_delay_eidt"), L"250");
         doc["Events"][2]["Button"] = true;
         ShootPageTest::Save(t.Working(0), doc);
         t.page_->LoadBullet();
         EXPECT_EQ(t.Text(L"bullet_x_eidt"), L"0");
     }},
    {"ExportThenImportLeavesTheBulletsUnchanged",
     [](ShootPageTest& t) {
         t.page_->SelectGun(3);
         t.page_->SelectBullet(9);
         const Json::Value before = ShootPageTest::Load(t.Working(3));
         const fs::path exported = t.data_.parent_path() / "out.shoot";
         ASSERT_TRUE(t.page_->ExportGunFile(ShootPageTest::PathOf(exported)));
         EXPECT_EQ(ShootPageTest::Bytes(exported), ShootPageTest::Bytes(t.Working(3)));
         ASSERT_TRUE(t.page_->ImportGunFile(ShootPageTest::PathOf(exported)));
         EXPECT_EQ(ShootPageTest::Load(t.Working(3)), before);
         EXPECT_EQ(t.Shown(), ShootPageTest::BulletOf(3, 9));
     }},
};

INSTANTIATE_TEST_SUITE_P(ShootPage, ShootPageEdgeCases, ::testing::ValuesIn(kEdgeCases),
                         [](const ::testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.name); });

// --- Starting up --------------------------------------------------------------------

TEST_F(ShootPageTest, InitRestoresMissingEmptyAndBrokenWorkingFilesAndKeepsAGoodOne) {
    for (int gun = 0; gun < kShootGunCount; ++gun) Save(Default(gun), Gun(gun));
    WriteText(Working(1), "");
    WriteText(Working(2), "{\"Events\": [");
    Save(Working(3), Gun(9));
    ASSERT_NE(OpenPage(), nullptr);
    for (int gun = 0; gun < 3; ++gun) EXPECT_EQ(Load(Working(gun)), Gun(gun)) << gun;
    EXPECT_EQ(Load(Working(3)), Gun(9));
    EXPECT_EQ(Shown(), BulletOf(0, 0));
    EXPECT_EQ(Text(L"bullet_select_index"), L"1");
    EXPECT_EQ(SelectedOption(L"shoot_gun_op_", 4), 0);
}

TEST_F(ShootPageTest, TheTemplateBuildsCleanlyWithEveryControlThePageDrives) {
    TakeUIProblems();
    ASSERT_NE(OpenPage(), nullptr);
    for (const CDuiString& problem : TakeUIProblems()) ADD_FAILURE() << problem.str();
    std::vector<std::wstring> names = {L"shoot_image_display_switch",
                                       L"bullet_select_index",
                                       L"bullet_selected_prev",
                                       L"bullet_selected_next",
                                       L"bullet_x_check",
                                       L"bullet_y_check",
                                       L"bullet_x_eidt",
                                       L"bullet_y_eidt",
                                       L"bullet_delay_eidt",
                                       L"bullet_edit_layout",
                                       L"shootdate_import_btn",
                                       L"shootdate_export_btn",
                                       L"shootdate_save_btn",
                                       L"shootdate_reset_btn"};
    for (int i = 0; i < kShootGunCount; ++i) names.push_back(L"shoot_gun_op_" + std::to_wstring(i));
    for (int i = 0; i < kShootBulletCount; ++i) names.push_back(L"bullet_op_" + std::to_wstring(i));
    for (const std::wstring& name : names) EXPECT_NE(page_->FindSubControl(name.c_str()), nullptr) << name;
    EXPECT_EQ(window_->Find<CTabLayoutUI>(L"shoot_image_display_switch")->GetCount(), kShootGunCount);
    EXPECT_EQ(page_->GetInterface(CShootControlUI::kClassName), page_);
}

TEST_F(ShootPageTest, BeforeABulletIsPickedNothingIsReadOrWritten) {
    ASSERT_NE(OpenPage(false), nullptr);
    EXPECT_EQ(page_->GetSelectedBullet(), -1);
    Enter(true, L"5", true, L"6", L"7");
    page_->SaveBullet();
    EXPECT_FALSE(fs::exists(Working(0))) << "no bullet to store";
    page_->LoadBullet();
    EXPECT_EQ(Text(L"bullet_x_eidt"), L"5") << "the editors keep what they hold";
    page_->SelectPreviousBullet();
    EXPECT_EQ(page_->GetSelectedBullet(), 0);
}

TEST_F(ShootPageTest, DirectionChecksNameTheirState) {
    ASSERT_NE(OpenPage(), nullptr);
    EXPECT_EQ(Text(L"bullet_x_check"), L"Move right");
    EXPECT_EQ(Text(L"bullet_y_check"), L"Move down");
    Option(L"bullet_x_check")->Selected(true, false);
    Option(L"bullet_y_check")->Selected(true, false);
    page_->UpdateXDirectionText();
    EXPECT_EQ(Text(L"bullet_x_check"), L"Move left");
    EXPECT_EQ(Text(L"bullet_y_check"), L"Move down") << "each check is relabelled on its own";
    page_->UpdateYDirectionText();
    EXPECT_EQ(Text(L"bullet_y_check"), L"Move up");
}

// --- Writing bullets ----------------------------------------------------------------

TEST_F(ShootPageTest, AmountsAndDelayOutOfRangeAreStoredClampedAndShownAsStored) {
    for (int gun = 0; gun < kShootGunCount; ++gun) Save(Default(gun), Gun(gun));
    ASSERT_NE(OpenPage(), nullptr);
    const struct {
        const wchar_t* x;
        const wchar_t* y;
        const wchar_t* delay;
        ShootBullet want;
    } cases[] = {
        {L"300", L"-5", L"70000", {true, 255, true, 0, 65535}},
        {L"-5", L"300", L"-1", {true, 0, true, 255, 0}},
        // The edits take 3 and 5 characters.
        {L" 42", L"", L"+6000", {true, 42, true, 0, 6000}},
        {L"4x", L"-", L"99999", {true, 4, true, 0, 65535}},
    };
    int bullet = 3;
    for (const auto& c : cases) {
        page_->SelectBullet(bullet);
        Enter(true, c.x, true, c.y, c.delay);
        page_->SaveBullet();
        EXPECT_EQ(Shown(), c.want) << bullet;
        EXPECT_EQ(ReadShootBullet(Load(Working(0)), bullet), c.want) << bullet;
        page_->SelectBullet(0);
        page_->SelectBullet(bullet);
        EXPECT_EQ(Shown(), c.want) << "read back " << bullet;
        ++bullet;
    }
    // The other bullets are untouched.
    const Json::Value doc = Load(Working(0));
    for (int b : {0, 1, 2, 7, 29}) EXPECT_EQ(ReadShootBullet(doc, b), BulletOf(0, b)) << b;
    EXPECT_EQ(doc["Note"].asString(), "gun 0");
}

TEST_F(ShootPageTest, Bullet29OfAMissingFileStartsFromTheGunsDefault) {
    Save(Default(1), Gun(1));
    ASSERT_NE(OpenPage(), nullptr);
    fs::remove(Working(1));
    page_->SelectGun(1);
    page_->SelectBullet(29);
    Enter(false, L"15", true, L"25", L"140");
    ASSERT_TRUE(page_->WriteBullet(1, 29));
    const Json::Value doc = Load(Working(1));
    ASSERT_TRUE(IsShootDocument(doc));
    ASSERT_EQ(doc["Events"].size(), 180u);
    for (int b = 0; b < 29; ++b) EXPECT_EQ(ReadShootBullet(doc, b), BulletOf(1, b)) << b;
    EXPECT_EQ(ReadShootBullet(doc, 29), (ShootBullet{false, 15, true, 25, 140}));
}

TEST_F(ShootPageTest, Bullet29OfAMissingFileWithoutDefaultGivesZeroBulletsNotEmptySteps) {
    ASSERT_NE(OpenPage(), nullptr);
    ASSERT_FALSE(fs::exists(Working(0))) << "nothing to restore from";
    EXPECT_EQ(Shown(), ShootBullet{}) << "a missing gun shows zeros, right and down";
    page_->SelectBullet(29);
    Enter(true, L"8", false, L"3", L"60");
    page_->SaveBullet();
    const Json::Value doc = Load(Working(0));
    ASSERT_EQ(doc["Events"].size(), 180u);
    for (Json::ArrayIndex i = 0; i < 174; ++i) {
        ASSERT_TRUE(doc["Events"][i].isObject()) << i;
        EXPECT_EQ(doc["Events"][i], ShootBulletStep(int(i % 6), ShootBullet{})) << i;
    }
    EXPECT_EQ(ReadShootBullet(doc, 29), (ShootBullet{true, 8, false, 3, 60}));
}

TEST_F(ShootPageTest, AnUnreadableWorkingFileIsRebuiltFromTheDefaultWhenABulletIsWritten) {
    Save(Default(0), Gun(5));
    ASSERT_NE(OpenPage(), nullptr);
    WriteText(Working(0), "not json at all");
    page_->SelectBullet(2);
    Enter(false, L"1", false, L"2", L"3");
    page_->SaveBullet();
    const Json::Value doc = Load(Working(0));
    EXPECT_EQ(ReadShootBullet(doc, 2), (ShootBullet{false, 1, false, 2, 3}));
    EXPECT_EQ(ReadShootBullet(doc, 3), BulletOf(5, 3));
    EXPECT_EQ(doc["Events"].size(), 180u);
}

// --- Files --------------------------------------------------------------------------

TEST_F(ShootPageTest, ImportRejectsWhatIsNotAGunAndKeepsTheWorkingFile) {
    for (int gun = 0; gun < kShootGunCount; ++gun) Save(Default(gun), Gun(gun));
    ASSERT_NE(OpenPage(), nullptr);
    page_->SelectGun(2);
    page_->SelectBullet(6);
    const std::string before = Bytes(Working(2));
    std::string tooLong = R"({"Events": [)";
    for (int i = 0; i < 181; ++i) tooLong += i ? ",{}" : "{}";
    tooLong += "]}";
    const struct {
        const char* name;
        std::string text;
    } rejected[] = {
        {"not json", "this is no gun"},
        {"empty", ""},
        {"array", "[{}, {}]"},
        {"no events", R"({"Guns": []})"},
        {"events not an array", R"({"Events": {"a": {}}})"},
        {"an event not an object", R"({"Events": [{}, 3]})"},
        {"181 events", tooLong},
    };
    const fs::path candidate = dir_.Path() / "candidate.shoot";
    for (const auto& r : rejected) {
        WriteText(candidate, r.text);
        EXPECT_FALSE(page_->ImportGunFile(PathOf(candidate))) << r.name;
        EXPECT_EQ(Bytes(Working(2)), before) << r.name;
        EXPECT_EQ(Shown(), BulletOf(2, 6)) << r.name;
    }
    EXPECT_FALSE(page_->ImportGunFile(CDuiString())) << "a cancelled dialog";
    EXPECT_FALSE(page_->ImportGunFile(PathOf(dir_.Path() / "missing.shoot")));
    EXPECT_EQ(Bytes(Working(2)), before);

    Save(candidate, Gun(11));
    ASSERT_TRUE(page_->ImportGunFile(PathOf(candidate)));
    EXPECT_EQ(Load(Working(2)), Gun(11));
    EXPECT_EQ(Shown(), BulletOf(11, 6)) << "the selected bullet shows the imported data";
    EXPECT_EQ(Load(Working(1)), Gun(1)) << "only the selected gun";
}

TEST_F(ShootPageTest, ResetTakesTheDefaultAndAMissingOrBrokenDefaultKeepsTheWorkingFile) {
    Save(Default(0), Gun(0));
    Save(Working(0), Gun(4));
    Save(Working(1), Gun(6));
    WriteText(Default(2), "{\"Events\": 7}");
    Save(Working(2), Gun(8));
    ASSERT_NE(OpenPage(), nullptr);
    page_->SelectBullet(12);
    EXPECT_EQ(Shown(), BulletOf(4, 12));
    page_->ResetGun();
    EXPECT_EQ(Load(Working(0)), Gun(0));
    EXPECT_EQ(Shown(), BulletOf(0, 12));

    for (int gun : {1, 2}) {
        page_->SelectGun(gun);
        page_->LoadBullet();
        const std::string before = Bytes(Working(gun));
        page_->ResetGun();
        EXPECT_FALSE(page_->RestoreGunFile(gun)) << gun;
        EXPECT_EQ(Bytes(Working(gun)), before) << gun;
        EXPECT_EQ(Shown(), BulletOf(gun == 1 ? 6 : 8, 12)) << gun;
    }
}

TEST_F(ShootPageTest, ExportCopiesTheSelectedGunAndRefusesWhatItCannotCopy) {
    Save(Working(1), Gun(3));
    ASSERT_NE(OpenPage(), nullptr);
    page_->SelectGun(1);
    const fs::path target = dir_.Path() / "gun.shoot";
    WriteText(target, "old content that is longer than nothing");
    ASSERT_TRUE(page_->ExportGunFile(PathOf(target)));
    EXPECT_EQ(Bytes(target), Bytes(Working(1)));
    EXPECT_FALSE(page_->ExportGunFile(CDuiString()));

    page_->SelectGun(0);  // no working file and no default
    const fs::path other = dir_.Path() / "other.shoot";
    EXPECT_FALSE(page_->ExportGunFile(PathOf(other)));
    EXPECT_FALSE(fs::exists(other)) << "no empty file for a gun that has none";
}

}  // namespace
