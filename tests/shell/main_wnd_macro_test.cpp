// The main window's macro commands with a real keyboard page attached to an
// emulated keyboard by the scan: the macro delete's repair of every profile,
// the questions, the import names and the recording hooks.
#include <algorithm>
#include <chrono>
#include <functional>
#include <deque>
#include <map>
#include <fstream>
#include <iterator>
#include <memory>

#include "devices/corvane_mouse_device.h"
#include "keyboard/corvane_keyboard_device.h"
#include "link/json_file_util.h"
#include "pages/device_hook.h"
#include "pages/key_set_control_ui.h"
#include "shell/controls/device_key_button_ui.h"
#include "link/base/key_tables.h"
#include "pages/macro_control_ui.h"
#include "pages/macro_files.h"
#include "platform/dialogs/file_dialog.h"
#include "platform/hooks/injected_input_source.h"
#include "platform/hooks/key_trap.h"
#include "platform/hooks/hook_api.h"
#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/files/utf8.h"
#include "platform/ui/combo.h"
#include "platform/ui/list.h"
#include "platform/ui/menu.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"
#include "tests/support/wait_bound.h"

namespace discoverytest {
namespace {

namespace dialogs = tavrik::dialogs;

// Serves messages one at a time until `done` holds (checked after each one),
// so a page that keeps repainting cannot hold the wait; false at the bound.
bool ServeUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    const auto end = tavrik::test::Deadline(std::chrono::milliseconds(timeoutMs));
    win::MSG msg;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (!win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            win::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, win::QS_ALLINPUT);
            continue;
        }
        if (msg.message == win::WM_QUIT || CPaintManagerUI::TranslateMessage(&msg)) continue;
        win::TranslateMessage(&msg);
        win::DispatchMessageW(&msg);
    }
    return true;
}

// The main window with its real pages; the questions it asks are answered
// from a script and recorded.
class MacroWnd : public DiscoveryWnd {
public:
    std::deque<int> answers;
    std::vector<std::wstring> asked;

    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CMainWnd::CreateControl(pstrClass); }
    void OnStopRecordClick() override { CMainWnd::OnStopRecordClick(); }
    int saves = 0;
    void SaveMacro() override {
        ++saves;
        CMainWnd::SaveMacro();
    }
    int ShowMainMessage(const wchar_t* text, int, int) override {
        asked.push_back(text);
        if (answers.empty()) return 0;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    int Count(const std::string& call) const { return int(std::count(calls.begin(), calls.end(), call)); }
    using CMainWnd::m_nRecording;
    using CMainWnd::OnHookKeyMacro;
    using CMainWnd::OnHookMouseMacro;
    using DiscoveryWnd::calls;
};

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

KeyListEntry MacroKey(const KeyListEntry& entry, int macro) {
    KeyListEntry e = entry;
    e.current.function = KeyFunction{kFunctionMacro, uint8_t(macro), 0};
    return e;
}

class MacroCommandsTest : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        dialogs_ = std::make_shared<dialogs::ScriptedFileDialogProvider>();
        dialogs::SetFileDialogProvider(dialogs_);
        window_ = wnd_ = new MacroWnd;
        wnd_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        mainwndtest::Pump();
        wnd_->GetPaintManager()->Invalidate();
        wnd_->GetPaintManager()->Paint();
        mainwndtest::Pump();
    }
    void TearDown() override {
        dialogs::SetFileDialogProvider(nullptr);
        DiscoveryTest::TearDown();
        // The next test starts from an empty keyboard folder of the test home.
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }

    // Plugs the keyboard, lets the scan attach it and waits until it is connected.
    CCorvaneKeyboardDevice* AttachKeyboard() {
        device_ = &sim_.Plug(ProductKind::KeyboardCable);
        ScanPass();
        auto* page = dynamic_cast<CCorvaneKeyboardDevice*>(wnd_->GetCurrentDevice());
        if (!page) return nullptr;
        EXPECT_TRUE(ServeUntil([&] { return !page->GetKeyList().empty(); }));
        // The lights need not run here; their repaints only slow the tests.
        page->StopLightThreads();
        macros_ = wnd_->MacroPageOf(page);
        // The macro tab, as the user opens it.
        wnd_->SelectFunctionTab(3);
        folder_ = win::ToFsPath(page->GetUserDataFolder().str());
        return page;
    }

    // Macros m0..m3, three profiles p1 (the page's), p2 and p3 whose keys 0, 1
    // and 2 play macros 0, 1 and 2; macro 1 selected.
    void MakeProfiles(CCorvaneKeyboardDevice& page) {
        Json::Value list(Json::objectValue);
        for (int i = 0; i < 4; ++i) {
            Json::Value e;
            e["MacroName"] = "m" + std::to_string(i);
            e["Guid"] = "g" + std::to_string(i);
            list["MacroInfo"].append(e);
        }
        ASSERT_TRUE(CJsonFileUtil::SaveJson(Path("macro.config"), list));
        Json::Value index(Json::objectValue);
        for (const char* id : {"p1", "p2", "p3"}) {
            Json::Value e;
            e["profilename"] = id;
            e["profileUUID"] = id;
            index["profilelist"].append(e);
        }
        index["profileselect"] = 0;
        ASSERT_TRUE(CJsonFileUtil::SaveJson(Path("ProfileList.ini"), index));
        page.SetProfileId(L"p1");
        page.LoadProfile(1);
        std::vector<KeyListEntry> keys = page.GetKeyList();
        ASSERT_GE(keys.size(), 4u);
        for (int k = 0; k < 3; ++k) keys[size_t(k)] = MacroKey(keys[size_t(k)], k);
        page.SetKeyList(keys);
        page.SaveProfile();
        for (const char* id : {"p2", "p3"}) {
            std::filesystem::copy_file(folder_ / "p1.Json", folder_ / (std::string(id) + ".Json"),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        macros_->LoadMacroList();
        static_cast<CListUI*>(macros_->FindSubControl(L"macro_name_list"))->SelectItem(1);
        original_ = keys;
    }

    CDuiString Path(const std::string& name) const { return CDuiString(win::FromUtf8((folder_ / name).string())); }
    std::vector<KeyListEntry> KeysOf(CCorvaneKeyboardDevice& page, const std::string& profile) {
        page.Document().LoadOtherProfile(Path(profile + ".Json"));
        return page.Document().GetOtherKeyList();
    }
    std::map<std::string, std::string> Files() {
        std::map<std::string, std::string> files;
        for (const auto& f : std::filesystem::directory_iterator(folder_))
            files[f.path().filename().string()] = Bytes(f.path());
        return files;
    }

    std::shared_ptr<dialogs::ScriptedFileDialogProvider> dialogs_;
    MacroWnd* wnd_ = nullptr;
    Emulator* device_ = nullptr;
    CMacroControlUI* macros_ = nullptr;
    std::filesystem::path folder_;
    std::vector<KeyListEntry> original_;
};

TEST_F(MacroCommandsTest, DeletingMacroTwoOfFourRepairsEveryProfile) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    ASSERT_NE(macros_, nullptr);
    MakeProfiles(*page);
    wnd_->answers = {1, 1};
    wnd_->OnDeleteMacro();
    EXPECT_EQ(wnd_->asked, (std::vector<std::wstring>{L"message_text_4", L"message_text_2"}));
    auto check = [&](const std::vector<KeyListEntry>& keys, const std::string& where) {
        SCOPED_TRACE(where);
        ASSERT_GE(keys.size(), 4u);
        EXPECT_EQ(keys[0].current.function, (KeyFunction{kFunctionMacro, 0, 0})) << "before the deleted macro";
        EXPECT_EQ(keys[1].current, original_[1].defaults) << "the deleted macro's key takes its default";
        EXPECT_EQ(keys[2].current.function, (KeyFunction{kFunctionMacro, 1, 0})) << "a later macro moves down";
        EXPECT_EQ(keys[3], original_[3]);
    };
    check(page->GetKeyList(), "the page's own list");
    check(KeysOf(*page, "p2"), "p2");
    check(KeysOf(*page, "p3"), "p3");
    const Json::Value list = CJsonFileUtil::LoadJson(Path("macro.config"));
    ASSERT_EQ(list["MacroInfo"].size(), 3u);
    EXPECT_EQ(list["MacroInfo"][1]["MacroName"].asString(), "m2");
    EXPECT_EQ(page->GetMacroNames().size(), 3u) << "the device's name lists follow";
}

// A mouse's keys are repaired the same way, in its own list and in its
// other profiles.
TEST_F(MacroCommandsTest, DeletingAMacroRepairsTheMousesKeysToo) {
    sim_.Plug(ProductKind::MouseCable);
    ScanPass();
    auto* mouse = dynamic_cast<CCorvaneMouseDevice*>(wnd_->GetCurrentDevice());
    ASSERT_NE(mouse, nullptr);
    ASSERT_TRUE(ServeUntil([&] { return mouse->GetKeyList().size() >= 4; }));
    macros_ = wnd_->MacroPageOf(mouse);
    ASSERT_NE(macros_, nullptr);
    wnd_->SelectFunctionTab(3);
    folder_ = win::ToFsPath(mouse->GetUserDataFolder().str());
    wnd_->answers = {1, 1, 1};
    for (int i = 0; i < 3; ++i) wnd_->OnAddMacro();
    ASSERT_EQ(mouse->GetMacroNames().size(), 3u);

    std::vector<KeyListEntry> keys = mouse->GetKeyList();
    for (int k = 0; k < 3; ++k) keys[size_t(k)] = MacroKey(keys[size_t(k)], k);
    mouse->SetKeyList(keys);
    mouse->SaveProfile();
    // A second profile of the mouse with the same keys.
    const std::filesystem::path own = win::ToFsPath(mouse->GetProfilePath().str());
    std::filesystem::copy_file(own, folder_ / "p2.Json", std::filesystem::copy_options::overwrite_existing);
    Json::Value index(Json::objectValue);
    for (const std::string& id : {own.stem().string(), std::string("p2")}) {
        Json::Value e;
        e["profilename"] = id;
        e["profileUUID"] = id;
        index["profilelist"].append(e);
    }
    index["profileselect"] = 0;
    ASSERT_TRUE(CJsonFileUtil::SaveJson(Path("ProfileList.ini"), index));

    static_cast<CListUI*>(macros_->FindSubControl(L"macro_name_list"))->SelectItem(1);
    ASSERT_EQ(macros_->GetSelectedMacroIndex(), 1);
    wnd_->answers = {1, 1};
    wnd_->asked.clear();
    wnd_->OnDeleteMacro();
    EXPECT_EQ(wnd_->asked, (std::vector<std::wstring>{L"message_text_4", L"message_text_2"}));
    auto check = [&](const std::vector<KeyListEntry>& list, const std::string& where) {
        SCOPED_TRACE(where);
        ASSERT_GE(list.size(), 4u);
        EXPECT_EQ(list[0].current.function, (KeyFunction{kFunctionMacro, 0, 0}));
        EXPECT_EQ(list[1].current, keys[1].defaults);
        EXPECT_EQ(list[2].current.function, (KeyFunction{kFunctionMacro, 1, 0}));
        EXPECT_EQ(list[3], keys[3]);
    };
    check(mouse->GetKeyList(), "the page's own list");
    mouse->Document().LoadOtherProfile(Path("p2.Json"));
    check(mouse->Document().GetOtherKeyList(), "p2");
}

TEST_F(MacroCommandsTest, CancellingEitherQuestionChangesNoFile) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    MakeProfiles(*page);
    const auto before = Files();
    for (const std::deque<int>& answers : {std::deque<int>{0}, std::deque<int>{1, 0}}) {
        wnd_->answers = answers;
        wnd_->asked.clear();
        wnd_->OnDeleteMacro();
        EXPECT_EQ(wnd_->asked.size(), answers.size());
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(page->GetKeyList(), original_);
        EXPECT_EQ(macros_->GetSelectedMacroIndex(), 1);
    }
}

TEST_F(MacroCommandsTest, ImportNamesOf14CharactersAreTakenAnd15Refused) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    const std::filesystem::path from = folder_.parent_path() / "imports";
    std::filesystem::create_directories(from);
    Json::Value file(Json::objectValue);
    file["Events"] = Json::Value(Json::arrayValue);
    const struct {
        const char* name;
        bool taken;
    } rows[] = {{"abcdefghij.mac", true}, {"abcdefghijk.mac", false}, {"xyz.mac", true}};
    int macros = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const std::filesystem::path path = from / r.name;
        ASSERT_TRUE(CJsonFileUtil::SaveJson(CDuiString(win::FromUtf8(path.string())), file));
        dialogs_->Choose(path.string());
        wnd_->asked.clear();
        wnd_->OnImportMacro();
        if (r.taken) ++macros;
        EXPECT_EQ(wnd_->asked, r.taken ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"message_text_34"});
        EXPECT_EQ(int(CJsonFileUtil::LoadJson(Path("macro.config"))["MacroInfo"].size()), macros);
        ASSERT_EQ(int(page->GetMacroNames().size()), macros);
    }
    EXPECT_EQ(page->GetMacroNames()[0].str(), L"abcdefghij");
    dialogs_->Cancel();
    wnd_->OnImportMacro();
    EXPECT_EQ(int(page->GetMacroNames().size()), macros);
}

// The key-assignment page's macro combo follows the macro list: a new macro
// can be assigned at once, a rename shows in its row and on the keys that
// play the macro, and after a delete row n still names macro n.
TEST_F(MacroCommandsTest, TheKeyAssignmentComboAndTheKeyLabelsFollowTheMacroList) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    ASSERT_NE(macros_, nullptr);
    CKeySetControlUI* keys = wnd_->KeySetPageOf(page);
    ASSERT_NE(keys, nullptr);
    auto* combo = static_cast<CComboUI*>(keys->FindSubControl(L"keyset_macro_combo")->GetInterface(L"Combo"));
    ASSERT_NE(combo, nullptr);
    const auto rows = [&] {
        std::vector<std::wstring> texts;
        for (int i = 0; i < combo->GetCount(); ++i) texts.push_back(combo->GetItemAt(i)->GetText().str());
        return texts;
    };
    const auto names = [&] {
        std::vector<std::wstring> texts;
        for (const CDuiString& name : page->GetMacroNames()) texts.push_back(name.str());
        return texts;
    };
    const auto label = [&](size_t key) { return page->GetKeyButtons().at(key)->GetUserToolText().str(); };
    const auto endsWith = [](const std::wstring& text, const std::wstring& end) {
        return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
    };
    ASSERT_TRUE(rows().empty());

    wnd_->answers = {1, 1, 1};
    for (int i = 0; i < 3; ++i) wnd_->OnAddMacro();
    ASSERT_EQ(names().size(), 3u);
    EXPECT_EQ(rows(), names()) << "new macros can be assigned at once";

    // Key 4 plays macro 1, key 5 macro 2.
    std::vector<KeyListEntry> list = page->GetKeyList();
    ASSERT_GE(list.size(), 6u);
    list[4] = MacroKey(list[4], 1);
    list[5] = MacroKey(list[5], 2);
    page->SetKeyList(list);
    page->UpdateKeyLabels();
    ASSERT_TRUE(endsWith(label(5), names()[2]));

    auto* macroList = static_cast<CListUI*>(macros_->FindSubControl(L"macro_name_list"));
    macroList->SelectItem(2);
    macros_->FindSubControl(L"macro_edit_macroname")->SetText(L"Boss");
    wnd_->OnRenameMacro();
    ASSERT_EQ(rows().size(), 3u);
    EXPECT_EQ(rows()[2], L"Boss");
    ASSERT_EQ(rows(), names());
    EXPECT_TRUE(endsWith(label(5), L"Boss")) << win::ToUtf8(label(5));

    const std::wstring first = names()[0];
    macroList->SelectItem(1);
    wnd_->answers = {1, 1};
    wnd_->asked.clear();
    wnd_->OnDeleteMacro();
    EXPECT_EQ(wnd_->asked, (std::vector<std::wstring>{L"message_text_4", L"message_text_2"}));
    EXPECT_EQ(rows(), (std::vector<std::wstring>{first, L"Boss"})) << "row n names macro n";
    EXPECT_EQ(rows(), names());
    EXPECT_EQ(page->GetKeyList()[5].current.function, (KeyFunction{kFunctionMacro, 1, 0}));
    EXPECT_TRUE(endsWith(label(5), L"Boss")) << win::ToUtf8(label(5));
    EXPECT_EQ(page->GetKeyList()[4].current, list[4].defaults);
    EXPECT_FALSE(endsWith(label(4), names()[1]));
}

TEST_F(MacroCommandsTest, StoppingWithoutADeviceRemovesTheHooks) {
    tavrik::hooks::InjectedInput input;
    ASSERT_EQ(wnd_->GetCurrentDevice(), nullptr);
    wnd_->OnStartRecordClick();
    EXPECT_TRUE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_TRUE(CDeviceHook::IsLibraryHookInstalled());
    EXPECT_EQ(CDeviceHook::GetMode(), 4);
    EXPECT_EQ(wnd_->Count("SetDeviceUiEnabled 10"), 1) << "the selector is locked";
    wnd_->OnStopRecordClick();
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_FALSE(CDeviceHook::IsLibraryHookInstalled());
    EXPECT_FALSE(input.KeyboardGrabbed());
    EXPECT_EQ(wnd_->Count("SetDeviceUiEnabled 11"), 1);
}

TEST_F(MacroCommandsTest, ARecordingThatCannotHookEndsAndSaysSo) {
    tavrik::hooks::InjectedInput input;
    input.SetKeyboardGrabbable(false);
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    wnd_->m_nRecording = 1;
    wnd_->OnStartRecordClick();
    EXPECT_EQ(wnd_->asked, std::vector<std::wstring>{L"macro_record_erro_text"});
    EXPECT_EQ(wnd_->m_nRecording, 0);
    EXPECT_FALSE(CDeviceHook::IsKeyboardHookInstalled());
    EXPECT_TRUE(macros_->FindSubControl(L"macro_btn_starredio")->IsVisible()) << "the page is unlocked";
    EXPECT_FALSE(macros_->FindSubControl(L"macro_btn_stopredio")->IsVisible());
    EXPECT_EQ(wnd_->calls.back(), "SetDeviceUiEnabled 11");
}

TEST_F(MacroCommandsTest, ARecordingThroughTheMainWindowAddsTheHooksEvents) {
    tavrik::hooks::InjectedInput input;
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    wnd_->answers = {1};
    wnd_->OnAddMacro();
    ASSERT_EQ(macros_->GetSelectedMacroIndex(), 0);
    wnd_->OnStartRecordClick();
    ASSERT_TRUE(input.KeyboardGrabbed());
    // "a" pressed and released, then a left click away from the page.
    ASSERT_TRUE(input.Inject({tavrik::hooks::KeyEvent(true, 38, 0x61, 10)}));
    ASSERT_TRUE(input.Inject({tavrik::hooks::KeyEvent(false, 38, 0x61, 20)}));
    ASSERT_TRUE(input.Inject({tavrik::hooks::ButtonEvent(true, 1, 3000, 3000, 30)}));
    auto* actions = static_cast<CListUI*>(macros_->FindSubControl(L"macro_action_list"));
    EXPECT_TRUE(ServeUntil([&] { return actions->GetCount() == 3; }));
    wnd_->OnStopRecordClick();
    EXPECT_FALSE(input.KeyboardGrabbed());
    const std::string guid = CJsonFileUtil::LoadJson(Path("macro.config"))["MacroInfo"][0]["Guid"].asString();
    const Json::Value events = CJsonFileUtil::LoadJson(Path(guid + ".mac"))["Events"];
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0]["Type"].asInt(), 10);
    EXPECT_EQ(events[0]["Button"].asInt(), 0x04);
    EXPECT_EQ(events[1]["Action"].asString(), "up");
    EXPECT_EQ(events[2]["Type"].asInt(), 1);
}

// The hooks report from their own thread: a click or key that they saw just
// before the stop can be handed to the window after it. It is no step.
TEST_F(MacroCommandsTest, StepsHandedOverAfterTheStopAreNoPartOfTheMacro) {
    tavrik::hooks::InjectedInput input;
    ASSERT_NE(AttachKeyboard(), nullptr);
    wnd_->answers = {1};
    wnd_->OnAddMacro();
    wnd_->OnStartRecordClick();
    ASSERT_TRUE(input.Inject({tavrik::hooks::KeyEvent(true, 38, 0x61, 10)}));
    auto* actions = static_cast<CListUI*>(macros_->FindSubControl(L"macro_action_list"));
    ASSERT_TRUE(ServeUntil([&] { return actions->GetCount() == 1; }));
    wnd_->OnStopRecordClick();

    MouseHookRecord click;
    click.x = click.y = 3000;
    wnd_->OnHookMouseMacro(0x201, reinterpret_cast<LPARAM>(&click));
    win::KBDLLHOOKSTRUCT key{};
    key.vkCode = 0x42;
    key.scanCode = 0x30;
    wnd_->OnHookKeyMacro(win::WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
    EXPECT_EQ(actions->GetCount(), 1);
}

// "left_click", chosen in the real macro action menu, adds a press and a
// release of the left button to the selected macro and writes it once.
TEST_F(MacroCommandsTest, LeftClickFromTheActionMenuAddsTwoStepsAndSavesOnce) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    MakeProfiles(*page);
    wnd_->OnMacroSelected();
    auto* steps = static_cast<CListUI*>(macros_->FindSubControl(L"macro_action_list"));
    ASSERT_NE(steps, nullptr);
    ASSERT_EQ(steps->GetCount(), 0);
    wnd_->saves = 0;

    CControlUI row;
    row.SetName(L"macro_action");
    TNotifyUI activate;
    activate.sType = L"itemactivate";
    activate.pSender = &row;
    wnd_->CMainWnd::ShowMacroActionMenu(activate);
    ASSERT_EQ(CMenuWnd::OpenMenus().size(), 1u);
    CPaintManagerUI* menu = CMenuWnd::OpenMenus().front()->GetMenuPaintManager();
    CControlUI* item = menu->FindControl(L"left_click");
    ASSERT_NE(item, nullptr);
    menu->SendNotify(item, DUI_MSGTYPE_ITEMCLICK, 1);
    ASSERT_TRUE(ServeUntil([&] { return wnd_->saves > 0; }));
    mainwndtest::Pump();
    EXPECT_EQ(wnd_->saves, 1);
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty());

    ASSERT_EQ(steps->GetCount(), 2);
    const Json::Value file = CJsonFileUtil::LoadJson(MacroFilePath(macros_->GetMacroFolder(), "g1"));
    const Json::Value& events = file["Events"];
    ASSERT_EQ(events.size(), 2u) << file.toStyledString();
    EXPECT_EQ(events[0]["Action"], "down");
    EXPECT_EQ(events[1]["Action"], "up");
    EXPECT_EQ(events[0]["Button"], events[1]["Button"]);
    EXPECT_NE(events[0]["Button"].asInt(), 0);
    for (Json::ArrayIndex i = 0; i < 2; ++i) EXPECT_EQ(events[i], MacroRowEvent(steps->GetItemAt(int(i)))) << i;
}

}  // namespace
}  // namespace discoverytest
