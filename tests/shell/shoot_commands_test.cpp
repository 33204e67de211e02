// The main window's recoil commands: notifications of the recoil tab's real
// controls, dispatched by the main window, reach the page of the current
// mouse and its files; the file dialogs answer from a script.
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <json/json.h>

#include "link/device/corvane_usb_device.h"
#include "link/json_file_util.h"
#include "pages/shoot_control_ui.h"
#include "pages/shoot_file.h"
#include "platform/files/utf8.h"
#include "platform/ui/button.h"
#include "platform/ui/dialog_builder.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tests/support/temp_home.h"

namespace mainwndtest {
namespace {

namespace fs = std::filesystem;

class ShootWnd : public RecordingMainWnd {
public:
    std::deque<std::string> answers;  // the paths the dialogs return; "" cancels
    std::vector<std::wstring> filters;
    std::vector<std::string> messages;

    int ShowOpenFileDialog(const CDuiString& filter, HWND, CDuiString& path, int) override {
        return Answer(filter, path);
    }
    int ShowSaveFileDialog(const CDuiString& filter, HWND, CDuiString& path, int) override {
        return Answer(filter, path);
    }
    int ShowMainMessage(const wchar_t* text, int textIsKey, int buttonMode) override {
        messages.push_back(win::ToUtf8(text) + "/" + std::to_string(textIsKey) + "/" + std::to_string(buttonMode));
        return 1;
    }

private:
    int Answer(const CDuiString& filter, CDuiString& path) {
        filters.push_back(filter.str());
        if (answers.empty() || answers.front().empty()) {
            if (!answers.empty()) answers.pop_front();
            return 0;
        }
        path = win::FromUtf8(answers.front()).c_str();
        answers.pop_front();
        return 1;
    }
};

class ShootCommands : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        wnd_ = new ShootWnd;
        OpenMainWindow(wnd_);
        fs::create_directories(dir_.Path() / "mouse");
        fs::create_directories(dir_.Path() / "defaults");
        for (int gun = 0; gun < kShootGunCount; ++gun) Save(Default(gun), Gun(gun));
        page_ = std::make_unique<CCorvaneUSBDevice>();
        page_->SetDeviceType(CCorvaneUSBDevice::kTypeMouse, 0);
        CDialogBuilder builder;
        CControlUI* built =
            builder.Create(CShootControlUI::kSkinFile, nullptr, nullptr, wnd_->GetPaintManager(), nullptr);
        ASSERT_NE(built, nullptr);
        page_->Add(built);
        shoot_ = static_cast<CShootControlUI*>(built->GetInterface(CShootControlUI::kClassName));
        ASSERT_NE(shoot_, nullptr);
        shoot_->SetDataFolder(win::FromUtf8((dir_.Path() / "mouse").string() + "/").c_str());
        shoot_->SetDefaultFolder(win::FromUtf8((dir_.Path() / "defaults").string() + "/").c_str());
        shoot_->Init();
        shoot_->SelectGun(0);
        shoot_->SelectBullet(0);
        wnd_->currentDevice = page_.get();
    }
    void TearDown() override {
        if (wnd_ != nullptr) wnd_->currentDevice = nullptr;
        page_.reset();
        MainWndTest::TearDown();
    }

    fs::path Working(int gun) const { return dir_.Path() / "mouse" / win::ToUtf8(ShootFileName(gun).str()); }
    fs::path Default(int gun) const { return dir_.Path() / "defaults" / win::ToUtf8(ShootFileName(gun).str()); }
    static ShootBullet BulletOf(int seed, int b) {
        return {b % 2 == 1, b + seed, b % 4 == 0, 2 * b + seed, 30 + b + seed};
    }
    static Json::Value Gun(int seed) {
        Json::Value doc;
        for (int b = 0; b < kShootBulletCount; ++b) WriteShootBullet(doc, b, BulletOf(seed, b));
        return doc;
    }
    static void Save(const fs::path& path, const Json::Value& doc) {
        ASSERT_TRUE(CJsonFileUtil::SaveJson(win::FromUtf8(path.string()).c_str(), doc));
    }
    static Json::Value Load(const fs::path& path) {
        return CJsonFileUtil::LoadJson(win::FromUtf8(path.string()).c_str());
    }
    static std::string Bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    CControlUI* Control(const std::wstring& name) { return shoot_->FindSubControl(name.c_str()); }
    // The control's notification, dispatched by the main window.
    void Notify(const std::wstring& name, const wchar_t* type) {
        CControlUI* sender = Control(name);
        ASSERT_NE(sender, nullptr);
        wnd_->GetPaintManager()->SendNotify(sender, type);
    }
    ShootBullet Shown() {
        auto number = [&](const wchar_t* name) { return std::stoi(Control(name)->GetText().str()); };
        auto checked = [&](const wchar_t* name) { return static_cast<COptionUI*>(Control(name))->IsSelected(); };
        return {checked(L"bullet_x_check"), number(L"bullet_x_eidt"), checked(L"bullet_y_check"),
                number(L"bullet_y_eidt"), number(L"bullet_delay_eidt")};
    }

    tavrik::test::TempDir dir_{"tavrik-shoot-commands"};
    ShootWnd* wnd_ = nullptr;
    std::unique_ptr<CCorvaneUSBDevice> page_;
    CShootControlUI* shoot_ = nullptr;
};

TEST_F(ShootCommands, GunAndBulletPickersAndStepsShowTheChosenBullet) {
    Notify(L"shoot_gun_op_2", L"selectchanged");
    EXPECT_EQ(shoot_->GetSelectedGun(), 2);
    EXPECT_EQ(Shown(), BulletOf(2, 0));
    Notify(L"bullet_op_5", L"selectchanged");
    EXPECT_EQ(shoot_->GetSelectedBullet(), 5);
    EXPECT_EQ(Shown(), BulletOf(2, 5));
    Notify(L"bullet_selected_next", L"click");
    EXPECT_EQ(Shown(), BulletOf(2, 6));
    Notify(L"bullet_selected_prev", L"click");
    Notify(L"bullet_selected_prev", L"click");
    EXPECT_EQ(shoot_->GetSelectedBullet(), 4);
    EXPECT_EQ(Control(L"bullet_select_index")->GetText(), L"5");
}

TEST_F(ShootCommands, AnEditLosingFocusStoresTheBulletAndAChecksChangeRelabelsIt) {
    Notify(L"bullet_op_3", L"selectchanged");
    static_cast<COptionUI*>(Control(L"bullet_x_check"))->Selected(false, false);
    static_cast<COptionUI*>(Control(L"bullet_y_check"))->Selected(true, false);
    Notify(L"bullet_y_check", L"selectchanged");
    EXPECT_EQ(Control(L"bullet_y_check")->GetText(),
              CResourceManager::GetInstance()->GetText(L"mouse_move_to_up_text"));
    Control(L"bullet_x_eidt")->SetText(L"300");
    Control(L"bullet_y_eidt")->SetText(L"17");
    Control(L"bullet_delay_eidt")->SetText(L"222");
    Notify(L"bullet_delay_eidt", L"killfocus");
    EXPECT_EQ(ReadShootBullet(Load(Working(0)), 3), (ShootBullet{false, 255, true, 17, 222}));
    EXPECT_EQ(Control(L"bullet_x_eidt")->GetText(), L"255");
}

TEST_F(ShootCommands, ImportTakesAGunAndRefusesAnythingElseWithAMessage) {
    Notify(L"shoot_gun_op_1", L"selectchanged");
    const std::string before = Bytes(Working(1));
    const fs::path bad = dir_.Path() / "bad.shoot";
    std::ofstream(bad) << "{ not json";
    const fs::path good = dir_.Path() / "good.shoot";
    Save(good, Gun(40));

    wnd_->answers = {bad.string(), "", good.string()};
    Notify(L"shootdate_import_btn", L"click");
    EXPECT_EQ(wnd_->messages, (std::vector<std::string>{"import_erro_text/1/0"}));
    EXPECT_EQ(Bytes(Working(1)), before);
    Notify(L"shootdate_import_btn", L"click");  // cancelled
    EXPECT_EQ(wnd_->messages.size(), 1u);
    EXPECT_EQ(Bytes(Working(1)), before);
    Notify(L"shootdate_import_btn", L"click");
    EXPECT_EQ(wnd_->messages.size(), 1u);
    EXPECT_EQ(Load(Working(1)), Gun(40));
    EXPECT_EQ(Shown(), BulletOf(40, 0));
    ASSERT_EQ(wnd_->filters.size(), 3u);
    EXPECT_EQ(wnd_->filters[0], std::wstring(L"Shoot Files(*.shoot)\0*.shoot;\0", 30));
}

TEST_F(ShootCommands, ExportCopiesAndResetRestoresTheSelectedGun) {
    Notify(L"shoot_gun_op_3", L"selectchanged");
    Notify(L"bullet_op_7", L"selectchanged");
    Control(L"bullet_x_eidt")->SetText(L"99");
    Notify(L"bullet_x_eidt", L"killfocus");
    const fs::path exported = dir_.Path() / "out.shoot";
    wnd_->answers = {exported.string()};
    Notify(L"shootdate_export_btn", L"click");
    EXPECT_EQ(Bytes(exported), Bytes(Working(3)));
    EXPECT_EQ(ReadShootBullet(Load(exported), 7).x, 99);

    Notify(L"shootdate_reset_btn", L"click");
    EXPECT_EQ(Load(Working(3)), Gun(3));
    EXPECT_EQ(Shown(), BulletOf(3, 7));
}

// A control numbered beyond the page's guns or bullets selects nothing; the
// page alone would take it for its last gun or bullet.
TEST_F(ShootCommands, NumbersOutsideTheCountsSelectNothing) {
    Notify(L"shoot_gun_op_1", L"selectchanged");
    Notify(L"bullet_op_6", L"selectchanged");
    struct Case {
        const wchar_t* name;
        int gun;
        int bullet;
    } cases[] = {
        {L"shoot_gun_op_4", 1, 6}, {L"shoot_gun_op_9", 1, 6}, {L"bullet_op_30", 1, 6},
        {L"bullet_op_45", 1, 6},   {L"shoot_gun_op_3", 3, 6}, {L"bullet_op_29", 3, 29},
    };
    for (const Case& c : cases) {
        COptionUI stray;
        stray.SetName(c.name);
        wnd_->GetPaintManager()->SendNotify(&stray, L"selectchanged");
        EXPECT_EQ(shoot_->GetSelectedGun(), c.gun) << win::ToUtf8(c.name);
        EXPECT_EQ(shoot_->GetSelectedBullet(), c.bullet) << win::ToUtf8(c.name);
    }
}

TEST_F(ShootCommands, PagesOtherThanAMouseAndNoPageAreLeftAlone) {
    for (int type : {CCorvaneUSBDevice::kTypeKeyboard, CCorvaneUSBDevice::kTypeMousePad, 0}) {
        page_->SetDeviceType(type, 0);
        wnd_->currentDevice = type == 0 ? nullptr : page_.get();
        wnd_->answers = {(dir_.Path() / "never.shoot").string()};
        Notify(L"shoot_gun_op_2", L"selectchanged");
        Notify(L"bullet_selected_next", L"click");
        Notify(L"shootdate_export_btn", L"click");
        EXPECT_EQ(shoot_->GetSelectedGun(), 0) << type;
        EXPECT_EQ(shoot_->GetSelectedBullet(), 0) << type;
        EXPECT_TRUE(wnd_->filters.empty()) << "no dialog for " << type;
        EXPECT_FALSE(fs::exists(dir_.Path() / "never.shoot")) << type;
    }
}

}  // namespace
}  // namespace mainwndtest
