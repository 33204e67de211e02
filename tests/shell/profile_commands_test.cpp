// The main window's profile commands on a real keyboard page bound to an
// emulated keyboard: the questions, the profile bar's files in the temporary
// home and what reaches the keyboard.
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <json/json.h>

#include "keyboard/corvane_keyboard_device.h"
#include "link/device_packet.h"
#include "pages/device_profile_ui.h"
#include "pages/macro_files.h"
#include "platform/dialogs/file_dialog.h"
#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "platform/ui/combo.h"
#include "platform/ui/edit.h"
#include "platform/ui/resource_manager.h"
#include "shell/main/control_tables.h"
#include "tests/link/profile_test_files.h"
#include "tests/link/sim_channel.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tools/devsim/keyboard_model.h"

namespace discoverytest {
namespace {

using mainwndtest::PumpUntil;
using profile_test::ReadJson;
using profile_test::WriteJson;
namespace fs = std::filesystem;
namespace dialogs = tavrik::dialogs;

constexpr int kKeyboardCable = 0;

// The main window with the real device pages, its questions answered from a
// script and the operations of other features recorded.
class ProfileWnd : public DiscoveryWnd {
public:
    std::deque<int> answers;
    std::vector<std::string> messages;

    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CMainWnd::CreateControl(pstrClass); }
    int ShowMainMessage(const wchar_t* text, int textIsKey, int buttonMode) override {
        messages.push_back(win::ToUtf8(text) + (textIsKey ? "" : " (text)") + "/" + std::to_string(buttonMode));
        if (answers.empty()) return 0;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void RestoreAudioDefaults() override { calls.push_back("RestoreAudioDefaults"); }
    void ShowScreenEditor() override { calls.push_back("ShowScreenEditor"); }
    void ResetKeySetPage(CCorvaneUSBDevice*, bool init) override {
        calls.push_back(std::string("ResetKeySetPage ") + (init ? "1" : "0"));
    }
    int RunPageOperation(CCorvaneUSBDevice*, PageOperation operation, int) override {
        if (operation == PageOperation::ClearAllFrames) calls.push_back("ClearAllFrames");
        return 0;
    }
    bool Called(const std::string& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
};

// A translation of the macro report that carries a "%s".
class PercentText : public IQueryControlText {
public:
    LPCTSTR QueryControlText(LPCTSTR id, LPCTSTR) override {
        return std::wstring(id) == L"message_text_16" ? L"%s: %d too many" : nullptr;
    }
};

class ProfileCommands : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        script_ = std::make_shared<dialogs::ScriptedFileDialogProvider>();
        dialogs::SetFileDialogProvider(script_);
        wnd_ = new ProfileWnd;
        window_ = wnd_;
        wnd_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        mainwndtest::Pump();
        wnd_->GetPaintManager()->Invalidate();
        wnd_->GetPaintManager()->Paint();
        mainwndtest::Pump();
        page_ = dynamic_cast<CCorvaneKeyboardDevice*>(Entry(kKeyboardEntry)->GetDevice());
        ASSERT_NE(page_, nullptr);
        bar_ = page_->GetProfileBar();
        ASSERT_NE(bar_, nullptr);
    }
    void TearDown() override {
        CResourceManager::GetInstance()->SetTextQueryInterface(nullptr);
        dialogs::SetFileDialogProvider(nullptr);
        DiscoveryTest::TearDown();
    }

    // Binds the emulated keyboard and waits for its connect sequence.
    void Connect() {
        window_->Slots()[kKeyboardCable].connected = 1;
        window_->Slots()[kKeyboardCable].devicePath = keyboard_.InterfacePath(4);
        ASSERT_EQ(window_->OnDeviceSlotAttached(kKeyboardCable), 1);
        page_->CommandChannel().m_timeouts = tavrik::test::FastTimeouts();
        // The entry's timers would repaint the 170-key picture every 20 ms
        // while the test pumps; the connect sequence runs here instead.
        for (UINT timer : {TIMER_OPTION_FRAME, TIMER_OPTION_CONNECT, TIMER_OPTION_STATUS, TIMER_OPTION_KEEPALIVE})
            Entry(kKeyboardEntry)->KillOwnTimer(timer);
        page_->OnConnected();
        ASSERT_TRUE(page_->HasBlockCopy());
        ASSERT_EQ(window_->GetCurrentDevice(), page_);
        keyboard_.ClearRecord();
        wnd_->calls.clear();
    }
    fs::path Folder() { return win::ToFsPath(page_->GetUserDataFolder().str()); }
    Json::Value Index() { return ReadJson(Folder() / "ProfileList.ini"); }
    std::string Id(int i) { return Index()["profilelist"][i]["profileUUID"].asString(); }
    size_t Profiles() { return Index()["profilelist"].size(); }
    std::vector<uint8_t> Commands() {
        std::vector<uint8_t> out;
        for (const auto& r : keyboard_.Record())
            if (r.kind == win::HidP_Output && r.interfaceNumber == tavrik::devsim::kCommandInterface)
                out.push_back(r.Command());
        return out;
    }
    bool Sent(uint8_t command) {
        const auto c = Commands();
        return std::find(c.begin(), c.end(), command) != c.end();
    }
    // Gives profile i the lighting mode `mode` in its document.
    void SetDocumentMode(int i, int mode) {
        const fs::path path = Folder() / (Id(i) + ".Json");
        Json::Value document = ReadJson(path);
        document["Device"][0]["LightInfo"]["SelectItem"] = mode;
        WriteJson(path, document);
    }
    // The keyboard's own combo: every device page has a profile bar of its own.
    void Choose(int index) {
        static_cast<CComboUI*>(bar_->FindSubControl(L"device_profile_combo"))->SelectItem1(index, false, false);
    }

    std::shared_ptr<dialogs::ScriptedFileDialogProvider> script_;
    ProfileWnd* wnd_ = nullptr;
    CCorvaneKeyboardDevice* page_ = nullptr;
    CDeviceProfileUI* bar_ = nullptr;
    Emulator& keyboard_ = sim_.Plug(ProductKind::KeyboardCable);
};

TEST_F(ProfileCommands, ListCommandsAskFirstAndCancelChangesNothing) {
    Connect();
    struct Case {
        const char* name;
        void (CMainWnd::*command)();
        const char* question;
        size_t confirmed;  // profiles after a confirmed command, starting from two
    };
    const Case cases[] = {
        {"add", &CMainWnd::OnAddProfile, "message_text_27/1", 3},
        {"copy", &CMainWnd::OnCopyProfile, "message_text_26/1", 3},
        {"delete", &CMainWnd::OnDeleteProfile, "message_text_18/1", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        while (Profiles() < 2) bar_->NewProfile();
        while (Profiles() > 2) {
            Choose(int(Profiles()) - 1);
            bar_->DeleteSelectedProfile();
        }
        const std::string before = *profile_test::ReadText(Folder() / "ProfileList.ini");
        wnd_->messages.clear();
        wnd_->answers = {0};
        (wnd_->*c.command)();
        EXPECT_EQ(wnd_->messages, std::vector<std::string>{c.question});
        EXPECT_EQ(*profile_test::ReadText(Folder() / "ProfileList.ini"), before);
        wnd_->answers = {1};
        (wnd_->*c.command)();
        EXPECT_EQ(Profiles(), c.confirmed);
    }
}

TEST_F(ProfileCommands, ResetCancelledChangesNothingAndConfirmedReachesTheKeyboard) {
    Connect();
    SetDocumentMode(0, 9);
    const std::string before = *profile_test::ReadText(Folder() / (Id(0) + ".Json"));
    wnd_->answers = {0};
    wnd_->OnResetProfile();
    EXPECT_EQ(*profile_test::ReadText(Folder() / (Id(0) + ".Json")), before);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(wnd_->calls.empty());

    wnd_->answers = {1};
    wnd_->OnResetProfile();
    EXPECT_NE(ReadJson(Folder() / (Id(0) + ".Json"))["Device"][0]["LightInfo"]["SelectItem"], 9);
    EXPECT_TRUE(Sent(CMD_WRITE_PARAMS));
    EXPECT_TRUE(Sent(CMD_WRITE_KEYMAP));
    for (const char* call : {"RestoreAudioDefaults", "ResetKeySetPage 1", "ClearAllFrames", "SetDeviceUiEnabled 01"})
        EXPECT_TRUE(wnd_->Called(call)) << call;
    EXPECT_FALSE(wnd_->Called("ShowScreenEditor"));
}

TEST_F(ProfileCommands, ResetWithMacrosThatDoNotFitReportsThemAndStillWritesTheKeys) {
    Connect();
    SaveMacroList(page_->GetUserDataFolder(), {{"m", "g1"}});
    {
        auto lock = keyboard_.Lock();
        keyboard_.Memory().info[6] = 0;  // no room for a macro table
    }
    CResourceManager::GetInstance()->SetTextQueryInterface(nullptr);
    wnd_->answers = {1};
    wnd_->OnResetProfile();
    ASSERT_EQ(wnd_->messages.size(), 2u);
    EXPECT_EQ(wnd_->messages[0], "message_text_22/1");
    EXPECT_NE(wnd_->messages[1].find(" (text)/0"), std::string::npos);
    EXPECT_EQ(wnd_->messages[1].find("%d"), std::string::npos);
    EXPECT_TRUE(Sent(CMD_WRITE_KEYMAP));
    EXPECT_TRUE(wnd_->Called("ClearAllFrames"));
}

TEST_F(ProfileCommands, ATranslatedPercentSIsShownLiterally) {
    Connect();
    SaveMacroList(page_->GetUserDataFolder(), {{"m", "g1"}});
    {
        auto lock = keyboard_.Lock();
        keyboard_.Memory().info[6] = 0;
    }
    PercentText text;
    CResourceManager::GetInstance()->SetTextQueryInterface(&text);
    Choose(0);
    wnd_->ApplySelectedProfile();
    ASSERT_EQ(wnd_->messages.size(), 1u);
    EXPECT_EQ(wnd_->messages[0].rfind("%s: ", 0), 0u) << wnd_->messages[0];
    EXPECT_NE(wnd_->messages[0].find(" too many (text)/0"), std::string::npos);
}

TEST_F(ProfileCommands, RenameRefusalsShowTheirMessageAndPutTheOldNameBack) {
    Connect();
    bar_->NewProfile();
    bar_->SelectProfile(0, false);
    struct Case {
        const wchar_t* typed;
        const char* message;  // null: renamed, nothing shown
    };
    const Case cases[] = {
        {L"", "message_text_5_1/0"},   {L"PROFILE2", "message_text_5/0"},
        {L"  ", "message_text_5_2/0"}, {L"a&b", "message_text_5_3/0"},
        {L"Evening", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(win::ToUtf8(c.typed));
        wnd_->messages.clear();
        const std::string before = Index()["profilelist"][0]["profilename"].asString();
        bar_->SetNameEditText(c.typed);
        wnd_->OnSaveProfileName();
        const std::string after = Index()["profilelist"][0]["profilename"].asString();
        if (c.message) {
            EXPECT_EQ(wnd_->messages, std::vector<std::string>{c.message});
            EXPECT_EQ(after, before);
            EXPECT_EQ(win::ToUtf8(bar_->GetNameEditText().str()), before);
        } else {
            EXPECT_TRUE(wnd_->messages.empty());
            EXPECT_EQ(after, win::ToUtf8(c.typed));
        }
    }
}

TEST_F(ProfileCommands, TheProfileSwitchWritesTheBlockTheMacrosAndTheKeyMap) {
    Connect();
    SaveMacroList(page_->GetUserDataFolder(), {{"m", "g1"}});
    bar_->NewProfile();
    SetDocumentMode(1, 5);
    Choose(1);
    wnd_->ApplySelectedProfile();
    EXPECT_EQ(page_->GetProfileId().str(), win::FromUtf8(Id(1)));
    EXPECT_EQ(page_->GetLightSetting().mode, 5);
    EXPECT_EQ(Index()["profileselect"], 1);
    for (uint8_t command : {CMD_WRITE_PARAMS, CMD_WRITE_MACROS, CMD_WRITE_KEYMAP})
        EXPECT_TRUE(Sent(command)) << int(command);
    auto lock = keyboard_.Lock();
    EXPECT_EQ(tavrik::devsim::ViewBlock(keyboard_.Memory(), 0).modeCode(), page_->GetModeValues()[5]);
}

TEST_F(ProfileCommands, AnAddedProfileIsSelectedAndTheKeyboardTakesIt) {
    Connect();
    SetDocumentMode(0, 9);
    wnd_->answers = {1};
    wnd_->OnAddProfile();
    ASSERT_EQ(Profiles(), 2u);
    EXPECT_EQ(bar_->GetSelectedIndex(), 1);
    EXPECT_EQ(Index()["profileselect"], 1);
    EXPECT_EQ(page_->GetProfileId().str(), win::FromUtf8(Id(1)));
    // The default document's mode, not the one the first profile had.
    EXPECT_NE(page_->GetLightSetting().mode, 9);
    EXPECT_TRUE(Sent(CMD_WRITE_PARAMS));
}

TEST_F(ProfileCommands, AfterADeleteTheKeyboardGetsTheNewProfileAndNoDeletedFileComesBack) {
    Connect();
    bar_->NewProfile();
    SetDocumentMode(0, 4);
    SetDocumentMode(1, 6);
    Choose(1);
    wnd_->ApplySelectedProfile();
    const std::string deleted = Id(1);
    keyboard_.ClearRecord();
    wnd_->answers = {1};
    wnd_->OnDeleteProfile();
    EXPECT_FALSE(fs::exists(Folder() / (deleted + ".Json")));
    EXPECT_EQ(page_->GetProfileId().str(), win::FromUtf8(Id(0)));
    EXPECT_EQ(page_->GetLightSetting().mode, 4);
    EXPECT_TRUE(Sent(CMD_WRITE_PARAMS));
    {
        auto lock = keyboard_.Lock();
        EXPECT_EQ(tavrik::devsim::ViewBlock(keyboard_.Memory(), 0).modeCode(), page_->GetModeValues()[4]);
    }
    page_->SaveProfile();
    EXPECT_FALSE(fs::exists(Folder() / (deleted + ".Json")));
}

TEST_F(ProfileCommands, ImportTakesProfilesAndRefusesOtherFilesWithAMessage) {
    Connect();
    const fs::path folder = Folder();
    Json::Value profile;
    profile["profilename"] = "theirs";
    profile["profileUUID"] = "x";
    WriteJson(folder / ".." / "Shared.json", profile);
    Json::Value notProfile;
    notProfile["profilename"] = "no id";
    WriteJson(folder / ".." / "Other.json", notProfile);
    profile_test::WriteText(folder / ".." / "Broken.json", "{");

    for (const char* file : {"Other.json", "Broken.json"}) {
        SCOPED_TRACE(file);
        const std::string before = *profile_test::ReadText(folder / "ProfileList.ini");
        wnd_->messages.clear();
        script_->Choose((folder / ".." / file).string());
        wnd_->OnImportProfile();
        EXPECT_EQ(wnd_->messages, std::vector<std::string>{"import_erro_text/0"});
        EXPECT_EQ(*profile_test::ReadText(folder / "ProfileList.ini"), before);
    }
    script_->Cancel();
    wnd_->OnImportProfile();
    EXPECT_EQ(Profiles(), 1u);
    script_->Choose((folder / ".." / "Shared.json").string());
    wnd_->OnImportProfile();
    ASSERT_EQ(Profiles(), 2u);
    EXPECT_EQ(Index()["profilelist"][1]["profilename"], "Shared");
}

TEST_F(ProfileCommands, ExportWritesTheSelectedDocument) {
    Connect();
    const fs::path out = Folder() / ".." / "out.json";
    script_->Choose(out.string());
    wnd_->OnExportProfile();
    EXPECT_EQ(ReadJson(out), ReadJson(Folder() / (Id(0) + ".Json")));
}

TEST_F(ProfileCommands, KeyClicksSelectOnTheKeysTabAndPaintOnTheLightingTab) {
    Connect();
    page_->SelectFunctionTab(2);
    wnd_->OnDeviceKeyClick(7);
    EXPECT_EQ(page_->GetSelectedKey(), 7);
    // No readable profile: no key is picked.
    fs::remove(win::ToFsPath(page_->GetProfilePath().str()));
    wnd_->OnDeviceKeyClick(9);
    EXPECT_EQ(page_->GetSelectedKey(), 7);

    page_->SelectFunctionTab(1);
    LightSetting light = page_->GetLightSetting();
    light.mode = 19;
    light.red = 0x42;
    page_->SetLightSetting(light);
    wnd_->OnDeviceKeyClick(9);
    EXPECT_EQ(page_->Leds().GetLed(9).r, 0x42);
    EXPECT_EQ(page_->GetSelectedKey(), 7);
}

TEST_F(ProfileCommands, WithoutADeviceTheQuestionsAreStillAskedAndNothingElseHappens) {
    wnd_->answers = {1, 1, 1, 1};
    wnd_->OnAddProfile();
    wnd_->OnDeleteProfile();
    wnd_->OnCopyProfile();
    wnd_->OnResetProfile();
    EXPECT_EQ(wnd_->messages.size(), 4u);
    EXPECT_TRUE(wnd_->Called("SetDeviceUiEnabled 01"));
    EXPECT_EQ(Profiles(), 1u);
}

TEST_F(ProfileCommands, TheToolButtonTogglesTheProfileMenu) {
    Connect();
    EXPECT_FALSE(bar_->IsProfileMenuVisible());
    wnd_->ToggleProfileMenu();
    EXPECT_TRUE(bar_->IsProfileMenuVisible());
    wnd_->ToggleProfileMenu();
    EXPECT_FALSE(bar_->IsProfileMenuVisible());
}

}  // namespace
}  // namespace discoverytest
