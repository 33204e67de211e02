// The settings window with its update rows, the about window, the version
// list, the installed version, the firmware updaters' rule and the skin
// observer, on a headless display with the built skin folder.

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "link/data_folders.h"
#include "link/base/product_ids.h"
#include "platform/os/clock.h"
#include "platform/files/folders.h"
#include "platform/os/handle.h"
#include "platform/os/registry.h"
#include "shell/main/about_wnd.h"
#include "shell/main/firmware_update.h"
#include "shell/main/installed_version.h"
#include "shell/main/set_wnd.h"
#include "shell/controls/skin_observer.h"
#include "shell/controls/update_info_list_item_ui.h"
#include "tests/shell/main_wnd_fixture.h"

namespace mainwndtest {
namespace {

namespace fs = std::filesystem;

// Runs an action inside the next modal loop of a secondary window.
constexpr UINT kRunAction = 0x8F01;

// A main window whose settings and about windows are the real ones; an action
// posted before they open runs inside their modal loop.
class WindowsMainWnd : public RecordingMainWnd {
public:
    std::function<void()> action;
    // When set, BuildVersionList leaves these versions (by row) instead.
    std::vector<int> versions;
    std::vector<std::pair<UINT, WPARAM>> received;

    void ShowSettingsWindow(bool centred) override { CMainWnd::ShowSettingsWindow(centred); }
    void BuildVersionList() override {
        CMainWnd::BuildVersionList();
        for (size_t i = 0; i < versions.size() && i < m_versionList.size(); ++i) m_versionList[i].version = versions[i];
    }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override {
        if (uMsg == kRunAction) {
            bHandled = TRUE;
            if (auto run = std::move(action)) run();
            return 0;
        }
        if (uMsg == WM_LANGUAGE_CHANGED) received.emplace_back(uMsg, wParam);
        return RecordingMainWnd::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    }
    HWND SettingsHandle() const { return m_hSettingsWnd; }
    HWND AboutHandle() const { return m_hAboutWnd; }
};

template <typename W>
W* WindowOf(HWND hwnd) {
    return dynamic_cast<W*>(CWindowWnd::FromHandle(hwnd));
}

class SecondaryWindows : public MainWndTest {
protected:
    void SetUp() override {
        MainWndTest::SetUp();
        CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml");
        main_ = new WindowsMainWnd;
        OpenMainWindow(main_);
    }

    // Runs `inside` in the settings window's modal loop (after its first
    // paint), then closes it with WM_CLOSE.
    void WithSettingsWindow(bool centred, const std::function<void(CSetWnd&)>& inside) {
        bool ran = false;
        main_->action = [&] {
            CSetWnd* set = WindowOf<CSetWnd>(main_->SettingsHandle());
            ASSERT_NE(set, nullptr);
            set->GetPaintManager()->Invalidate();
            set->GetPaintManager()->Paint();
            inside(*set);
            ran = true;
            if (win::IsWindow(main_->SettingsHandle())) win::PostMessageW(main_->SettingsHandle(), win::WM_CLOSE, 0, 0);
        };
        win::PostMessageW(main_->GetHWND(), kRunAction, 0, 0);
        main_->ShowSettingsWindow(centred);
        EXPECT_TRUE(ran);
        EXPECT_EQ(main_->SettingsHandle(), nullptr);
    }

    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    WindowsMainWnd* main_ = nullptr;
};

// --- Firmware updaters and the installed version ---------------------------

TEST(FirmwareUpdaters, WhichUpdaterAProductAndVersionNeed) {
    struct Case {
        int productId;
        int version;
        FirmwareUpdater expected;
    };
    const Case cases[] = {
        {kPidKeyboardCable, 0x202, FirmwareUpdater::Keyboard},
        {kPidKeyboardCable, 0x203, FirmwareUpdater::None},
        {kPidKeyboardCable, 0x103, FirmwareUpdater::Keyboard},  // below both: the keyboard's rule comes first
        {kPidKeyboardCable, -1, FirmwareUpdater::Keyboard},     // signed comparison
        {kPidKeyboardReceiver, 0x103, FirmwareUpdater::Receiver},
        {kPidKeyboardReceiver, 0x104, FirmwareUpdater::None},
        {kPidKeyboardReceiver, 0x202, FirmwareUpdater::None},
        {kPidMouseCable, 0x001, FirmwareUpdater::None},
        {kPidMouseReceiver, 0x001, FirmwareUpdater::None},
        {kPidMousePad, 0, FirmwareUpdater::None},
        {0, 0, FirmwareUpdater::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.productId << " " << c.version);
        EXPECT_EQ(FirmwareUpdaterFor(c.productId, c.version), c.expected);
    }
    EXPECT_TRUE(FirmwareUpdaterPath(FirmwareUpdater::Keyboard).ends_with(L"Update\\tavrik-keyboard-updater"));
    EXPECT_TRUE(FirmwareUpdaterPath(FirmwareUpdater::Receiver).ends_with(L"Update\\tavrik-receiver-updater"));
    EXPECT_TRUE(FirmwareUpdaterPath(FirmwareUpdater::None).empty());
}

TEST(InstalledVersion, TheTextWithoutItsDotsAsANumber) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"1.0.2", 102}, {L"2.10", 210},      {L"", 0},    {L"v1.2", 0}, {L"3.x", 3},
        {L"-5", 0},      {L"99999999999", 0}, {L"...", 0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseInstalledVersion(text), expected) << "\"" << text << "\"";
}

void SetDisplayVersion(const wchar_t* text) {
    const std::wstring key = std::wstring(kUninstallKeyPrefix) + kProductString;
    win::HKEY handle = nullptr;
    ASSERT_EQ(win::RegCreateKeyExW(win::HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, win::KEY_ALL_ACCESS, nullptr,
                                   &handle, nullptr),
              win::ERROR_SUCCESS);
    const std::wstring value = text;
    win::RegSetValueExW(handle, L"DisplayVersion", 0, win::REG_SZ, reinterpret_cast<const win::BYTE*>(value.c_str()),
                        static_cast<win::DWORD>((value.size() + 1) * sizeof(wchar_t)));
    win::RegCloseKey(handle);
}

TEST(InstalledVersion, ReadFromTheRegistryStore) {
    EXPECT_EQ(GetInstalledVersion(), 0);  // missing
    SetDisplayVersion(L"2.10");
    EXPECT_EQ(GetInstalledVersion(), 210);
    SetDisplayVersion(L"");
    EXPECT_EQ(GetInstalledVersion(), 0);
}

// --- The skin observer ------------------------------------------------------

class OrderReceiver : public SkinReceiver {
public:
    OrderReceiver(std::vector<int>& log, int id) : log_(log), id_(id) {}
    int Receive(SkinChangedParam param) override {
        log_.push_back(id_);
        last = param;
        return 1;
    }
    SkinChangedParam last;

private:
    std::vector<int>& log_;
    int id_;
};

TEST(SkinObserverTest, ReceiversAreCalledInTheOrderTheyWereAdded) {
    SkinObserver observer;
    std::vector<int> log;
    OrderReceiver second(log, 2), first(log, 1), third(log, 3);
    observer.AddReceiver(nullptr);
    observer.AddReceiverOf(&second);
    observer.AddReceiverOf(&first);
    observer.AddReceiverOf(&third);
    SkinChangedParam param;
    param.isColor = true;
    param.color = 0xFF112233;
    EXPECT_EQ(observer.BroadcastCopy(param), 0);
    EXPECT_EQ(log, (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(first.last.color, 0xFF112233u);
    observer.RemoveReceiver(&first);
    third.RemoveObserver();
    log.clear();
    observer.Broadcast(param);
    EXPECT_EQ(log, (std::vector<int>{2}));
    EXPECT_EQ(GetSkinObserver(), GetSkinObserver());
}

TEST_F(SecondaryWindows, TheMainWindowTakesABroadcastBackground) {
    CControlUI* root = Find(L"root");
    ASSERT_NE(root, nullptr);
    SkinChangedParam colour;
    colour.isColor = true;
    colour.color = 0xFF204060;
    GetSkinObserver()->BroadcastCopy(colour);
    EXPECT_EQ(root->GetBkColor(), 0xFF204060u);
    EXPECT_STREQ(root->GetBkImage(), L"");
    SkinChangedParam picture;
    picture.image = L"skin/background_dusk.png";
    GetSkinObserver()->BroadcastCopy(picture);
    EXPECT_EQ(root->GetBkColor(), 0u);
    EXPECT_STREQ(root->GetBkImage(), L"skin/background_dusk.png");
}

// --- The update row ---------------------------------------------------------

class UpdateRow : public SecondaryWindows {
protected:
    CUpdateInfoListItemUI* Build(const wchar_t* xml = CSetWnd::kRowSkin) {
        CDialogBuilder builder;
        CControlUI* built = builder.Create(xml, nullptr, nullptr, nullptr);
        row_.reset(built);
        return dynamic_cast<CUpdateInfoListItemUI*>(built);
    }
    CControlUI* Child(const wchar_t* name) { return static_cast<CContainerUI*>(row_.get())->FindSubControl(name); }
    CCheckBoxUI* Check() { return static_cast<CCheckBoxUI*>(Child(L"check_name_select")); }

    std::unique_ptr<CControlUI> row_;
};

TEST_F(UpdateRow, EachStateShowsItsStatusProgressMarkAndCheckBox) {
    struct Case {
        int state;
        const wchar_t* statusText;  // English text of the status key
        bool progress, done, checkEnabled;
        DWORD text, selected, disabled;
    };
    constexpr DWORD W = 0xFFFFFFFF, G = 0xFF666666, B = 0xFF0099FF, D = 0xFF0078C8;
    const Case cases[] = {
        {1, L"Update available", false, false, true, B, B, D},
        {2, L"Update available", false, false, true, B, B, D},
        {3, L"Waiting to download", false, false, false, B, B, D},
        {4, L"Downloading", true, false, false, B, B, D},
        {5, L"Downloaded", false, true, false, B, B, D},
        {6, L"Updating", true, false, false, B, B, D},
        {7, L"Up to date", false, false, false, W, W, G},
        {8, L"The update could not be started.", false, false, true, B, B, D},
        {0, L"Not checked", false, false, false, W, W, G},
    };
    CUpdateInfoListItemUI* row = Build();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetState(), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        row->SetProgress(45);
        row->SetState(c.state);
        EXPECT_EQ(row->GetState(), c.state);
        EXPECT_EQ(Child(L"update_status_text")->GetText(), CDuiString(c.statusText));
        EXPECT_EQ(Child(L"update_status_ing")->IsVisible(), c.progress);
        EXPECT_EQ(Child(L"update_progress_value")->IsVisible(), c.progress);
        EXPECT_EQ(Child(L"update_status_ok")->IsVisible(), c.done);
        EXPECT_EQ(Check()->IsEnabled(), c.checkEnabled);
        EXPECT_EQ(Check()->GetTextColor(), c.text);
        EXPECT_EQ(Check()->GetSelectedTextColor(), c.selected);
        EXPECT_EQ(Check()->GetDisabledTextColor(), c.disabled);
        EXPECT_EQ(Child(L"update_progress_value")->GetText(), CDuiString(L"0%"));
    }
    // Outside the table: stored, nothing shown changes.
    row->SetState(12);
    EXPECT_EQ(row->GetState(), 12);
    EXPECT_EQ(Child(L"update_status_text")->GetText(), CDuiString(L"Not checked"));
}

TEST_F(UpdateRow, TheSameStateTwiceDoesTheWorkOnce) {
    CUpdateInfoListItemUI* row = Build();
    ASSERT_NE(row, nullptr);
    row->SetState(7);
    row->SetCheckEnabled(true);
    row->SetProgress(45);
    row->SetState(7);
    EXPECT_TRUE(Check()->IsEnabled());
    EXPECT_EQ(Child(L"update_progress_value")->GetText(), CDuiString(L"45%"));
    EXPECT_EQ(row->GetProgress(), 45);
}

TEST_F(UpdateRow, NamesVersionsAndTheCheckBox) {
    CUpdateInfoListItemUI* row = Build();
    ASSERT_NE(row, nullptr);
    row->SetName(L"KB");
    row->SetOldVersion(L"V0203");
    EXPECT_EQ(Check()->GetText(), CDuiString(L"KB"));
    EXPECT_EQ(Child(L"OldRev")->GetText(), CDuiString(L"V0203"));
    row->SetNewVersion(L"");
    EXPECT_FALSE(Child(L"updateRev")->IsVisible());
    row->SetNewVersion(L"V0204");
    EXPECT_TRUE(Child(L"updateRev")->IsVisible());
    EXPECT_EQ(row->GetNewVersion(), CDuiString(L"V0204"));
    EXPECT_FALSE(row->IsChecked());
    row->SetChecked(true);
    EXPECT_TRUE(row->IsChecked());
}

TEST_F(UpdateRow, ARowSkinWithoutTheDoneMarkStillTakesEveryState) {
    CUpdateInfoListItemUI* row = Build(
        L"<UpdateInfoListItem><CheckBox name=\"check_name_select\"/>"
        L"<Label name=\"update_status_text\"/><Label name=\"update_progress_value\"/></UpdateInfoListItem>");
    ASSERT_NE(row, nullptr);
    for (int state = 1; state <= 8; ++state) {
        row->SetState(state);
        EXPECT_EQ(row->GetState(), state);
    }
    EXPECT_EQ(Child(L"update_progress_value")->GetText(), CDuiString(L"0%"));
    row->SetNewVersion(L"V1");  // no "updateRev": nothing happens
    EXPECT_EQ(row->GetNewVersion(), CDuiString());
    // A skin with no children at all.
    CUpdateInfoListItemUI* bare = Build(L"<UpdateInfoListItem/>");
    ASSERT_NE(bare, nullptr);
    bare->SetState(4);
    bare->SetChecked(true);
    EXPECT_FALSE(bare->IsChecked());
}

// --- The settings window ----------------------------------------------------

TEST_F(SecondaryWindows, TheFirstOpeningWritesTheDateAndLaterOpeningsKeepIt) {
    const fs::path file = win::ToFsPath(std::wstring(GetUserDataPath().GetData()) + L"updatetime.config");
    fs::remove(file);
    win::SYSTEMTIME now;
    win::GetLocalTime(&now);
    const std::wstring today =
        std::to_wstring(now.wYear) + L"-" + std::to_wstring(now.wMonth) + L"-" + std::to_wstring(now.wDay);
    WithSettingsWindow(false, [&](CSetWnd& set) { EXPECT_EQ(set.GetLastCheckDate(), today); });
    const std::string written = ReadFile(file);
    EXPECT_NE(written.find("\"updatelasttime\""), std::string::npos) << written;
    EXPECT_NE(written.find(win::ToUtf8(today)), std::string::npos) << written;

    std::ofstream(file) << R"({"updatelasttime":{"value":"2024-5-7"}})";
    WithSettingsWindow(true, [&](CSetWnd& set) { EXPECT_EQ(set.GetLastCheckDate(), L"2024-5-7"); });
    EXPECT_NE(ReadFile(file).find("2024-5-7"), std::string::npos);
}

TEST_F(SecondaryWindows, AKeyboardAt0203AndTheProgramGiveTwoRows) {
    // Rows: mouse, keyboard, receiver, program.
    main_->versions = {0, 0x0203, 0, 100};
    WithSettingsWindow(false, [&](CSetWnd& set) {
        ASSERT_EQ(set.GetRowCount(), 2);
        const std::vector<UpdateEntry>& entries = set.GetUpdateEntries();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].Name, L"KB");
        EXPECT_EQ(entries[0].OldVersion, L"V0203");
        EXPECT_EQ(entries[1].Name, L"AP");
        EXPECT_EQ(entries[1].OldVersion, VersionTable[kVersionCount - 1].versionText);
        for (int i = 0; i < 2; ++i) {
            CUpdateInfoListItemUI* row = set.GetRow(i);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->GetState(), 7);
            EXPECT_EQ(row->GetFixedHeight(), 50);
            auto* check = static_cast<CContainerUI*>(row)->FindSubControl(L"check_name_select");
            ASSERT_NE(check, nullptr);
            EXPECT_FALSE(check->IsEnabled());
            EXPECT_EQ(check->GetText(), CDuiString(entries[static_cast<size_t>(i)].Name.c_str()));
        }
        // Placed beside the main window's right edge, 60 below its top.
        const RECT mainRect = main_->GetWindowRect();
        const RECT setRect = set.GetWindowRect();
        EXPECT_EQ(setRect.right - setRect.left, CSetWnd::kWidth);
        EXPECT_EQ(setRect.left, mainRect.right - CSetWnd::kWidth - 30);
        EXPECT_EQ(setRect.top, mainRect.top + 60);
    });
}

TEST_F(SecondaryWindows, TheSecondLanguageIsSentToTheOwner) {
    WithSettingsWindow(true, [&](CSetWnd& set) {
        auto* combo = static_cast<CComboUI*>(set.GetPaintManager()->FindControl(L"Language_combox_info"));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->GetCount(), 2);
        combo->SelectItem(1, false, true);
        EXPECT_EQ(set.GetLanguageIndex(), 1);
    });
    ASSERT_EQ(main_->received.size(), 1u);
    EXPECT_EQ(main_->received[0], std::make_pair(static_cast<UINT>(WM_LANGUAGE_CHANGED), WPARAM{1}));
}

TEST_F(SecondaryWindows, ASystemCloseEndsOnlyTheSettingsWindow) {
    bool quit = false;
    main_->action = [&] {
        HWND set = main_->SettingsHandle();
        ASSERT_NE(set, nullptr);
        win::SendMessageW(set, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
        EXPECT_FALSE(win::IsWindow(set));
    };
    win::PostMessageW(main_->GetHWND(), kRunAction, 0, 0);
    main_->ShowSettingsWindow(true);
    win::MSG msg;
    while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) quit = quit || msg.message == win::WM_QUIT;
    EXPECT_FALSE(quit);
    EXPECT_TRUE(win::IsWindow(main_->GetHWND()));
    EXPECT_EQ(main_->SettingsHandle(), nullptr);
}

TEST_F(SecondaryWindows, ASecondSettingsRequestWhileOneIsOpenIsIgnored) {
    WithSettingsWindow(true, [&](CSetWnd& set) {
        main_->ShowSettingsWindow(true);  // returns at once
        EXPECT_EQ(main_->SettingsHandle(), set.GetHWND());
    });
}

TEST_F(SecondaryWindows, ALanguageChoiceIsStoredWhenTheKeyIsMissing) {
    const std::filesystem::path store = std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "tavrik";
    std::filesystem::remove_all(store);
    main_->SaveLanguageIndex(2052);
    EXPECT_EQ(main_->LoadLanguageIndex(), 1);
    // The windows of later tests start in the first language again.
    std::filesystem::remove_all(store);
}

// --- The about window -------------------------------------------------------

TEST_F(SecondaryWindows, TheAboutVersionLineIsTheTranslatedKeyAndTheVersion) {
    bool ran = false;
    main_->action = [&] {
        CAboutWnd* about = WindowOf<CAboutWnd>(main_->AboutHandle());
        ASSERT_NE(about, nullptr);
        CControlUI* line = about->GetPaintManager()->FindControl(L"software_ver_label");
        ASSERT_NE(line, nullptr);
        // The version the program is built as, the one the status bar shows.
        const std::wstring version = VersionTable[kVersionCount - 1].versionText;
        EXPECT_EQ(line->GetText().str(), L"Software version: " + version);
        EXPECT_EQ(CResourceManager::GetInstance()->GetText(L"version_text").str(), L"Version " + version);
        // A language chosen while the window is open builds the line again.
        main_->SetLanguage(1);
        EXPECT_EQ(line->GetText().str(), L"软件版本：" + version);
        main_->SetLanguage(0);
        EXPECT_EQ(line->GetText().str(), L"Software version: " + version);
        const HWND first = main_->AboutHandle();
        main_->ShowAboutWindow();  // a second request returns at once
        EXPECT_EQ(main_->AboutHandle(), first);
        ran = true;
        win::PostMessageW(first, win::WM_CLOSE, 0, 0);
    };
    win::PostMessageW(main_->GetHWND(), kRunAction, 0, 0);
    main_->ShowAboutWindow();
    EXPECT_TRUE(ran);
    EXPECT_EQ(main_->AboutHandle(), nullptr);
}

}  // namespace
}  // namespace mainwndtest
