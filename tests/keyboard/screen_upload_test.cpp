// The keyboard page's screen upload against the emulated keyboard: the order
// of its commands, the frames the keyboard holds afterwards, the refusals
// before anything is sent, and failures in the middle of the transfer.
#include <atomic>
#include <fstream>
#include <sstream>

#include "link/json_file_util.h"
#include "shell/controls/message_boxes.h"
#include "tests/keyboard/keyboard_test_support.h"
#include "tests/shell/device_ui_fixture.h"
#include "tests/support/temp_home.h"

namespace {

using namespace devtest;
using namespace kbtest;
using tavrik::devsim::Fault;
using tavrik::devsim::FaultKind;
namespace sim = tavrik::devsim;
namespace fs = std::filesystem;

constexpr size_t kPadded = 65536;

const char* const kScreenSkin = R"(<Window size="800,600"><VerticalLayout>
  <CorvaneKeyboardDevice name="page">
    <HorizontalLayout name="screen_view_tab"/>
    <Edit name="frame_interval_time_edit" text="150"/>
    <Combo name="screen_mode_combo_Select">
      <ListLabelElement text="small"/><ListLabelElement text="large" selected="true"/>
    </Combo>
  </CorvaneKeyboardDevice></VerticalLayout></Window>)";

// The colour the test paints into cell (c, r) of frame f.
ScreenCell Painted(int f, int c, int r) {
    return {uint8_t(c * 3 + f * 40), uint8_t(r * 5 + f), uint8_t((c ^ r) + f), 1};
}
uint16_t Rgb565(const ScreenCell& cell) {
    return uint16_t((cell.red & 0xF8) << 8 | (cell.green & 0xFC) << 3 | cell.blue >> 3);
}

class ScreenUpload : public DeviceUiTest {
protected:
    void SetUp() override {
        DeviceUiTest::SetUp();
        RegisterCorvaneKeyboardDevice();
    }
    void TearDown() override {
        if (page_ != nullptr) tavrik::test::CloseCommandChannel(page_->CommandChannel());
        DeviceUiTest::TearDown();
    }

    // A page on the emulated keyboard with `frames` painted frames. The
    // keyboard's frame maximum is set before the page reads its tables.
    CCorvaneKeyboardDevice* Connect(ProductKind kind, int frames, uint8_t deviceMaximum = 80) {
        kb_ = &sim_.Plug(kind);
        {
            auto lock = kb_->Lock();
            kb_->Memory().info[35] = deviceMaximum;
        }
        main_ = Open(kScreenSkin, 800, 600);
        page_ = main_->Find<CCorvaneKeyboardDevice>(L"page");
        EXPECT_NE(page_, nullptr);
        if (page_ == nullptr) return nullptr;
        SetUpPage(*page_);
        page_->CommandChannel().m_timeouts = FastTimeouts();
        EXPECT_TRUE(tavrik::test::OpenCommandChannel(page_->CommandChannel(), *kb_));
        EXPECT_EQ(page_->ReadDeviceTables(), 1);
        if (kind == ProductKind::KeyboardCable) {
            EXPECT_EQ(page_->WriteProfileBlock(0, 0, 1, 0, 0), 1);  // the page's block copy
        }

        Json::Value empty;
        empty["Frame"] = Json::Value(Json::arrayValue);
        EXPECT_TRUE(CJsonFileUtil::SaveJson(page_->GetUserDataFolder() + L"ScreenFrame.json", empty));
        page_->LoadFrames();
        for (int i = 1; i < frames; ++i) EXPECT_EQ(page_->AddFrame(), 0);
        EXPECT_EQ(page_->GetFrameCount(), frames);
        for (int f = 0; f < frames; ++f) {
            CScreenViewControlUI* frame = page_->GetFrame(f);
            EXPECT_NE(frame, nullptr);
            if (frame == nullptr) continue;
            for (int r = 0; r < 135; ++r)
                for (int c = 0; c < 240; ++c) frame->Cell(c, r) = Painted(f, c, r);
        }
        kb_->ClearRecord();
        return page_;
    }

    void SelectScreenMode(int mode) {
        auto* combo = main_->Find<CComboUI>(L"screen_mode_combo_Select");
        ASSERT_NE(combo, nullptr);
        combo->SelectItem(mode, false);
        page_->OnScreenModeSelected();
        ASSERT_EQ(page_->GetScreenMode(), mode);
    }

    // Frame f of the keyboard's screen is frame `painted` of the page, pixel
    // for pixel, followed by a pad of 0xFF.
    void ExpectFrameOnKeyboard(int f, int painted) {
        auto lock = kb_->Lock();
        const auto& m = kb_->Memory();
        ASSERT_EQ(sim::ViewScreenFrame(m, f).size(), 240u * 135 * 2) << "frame " << f;
        for (int r = 0; r < 135; ++r)
            for (int c = 0; c < 240; ++c)
                ASSERT_EQ(sim::ViewScreenPixel(m, f, r, c), Rgb565(Painted(painted, c, r)))
                    << "frame " << f << " row " << r << " column " << c;
        EXPECT_TRUE(sim::ScreenPadIsFilled(m, f));
    }

    Json::Value SavedDocument() { return CJsonFileUtil::LoadJson(page_->GetUserDataFolder() + L"ScreenFrame.json"); }

    // After any upload: nothing left switched on, no progress window.
    void ExpectIdle() {
        EXPECT_EQ(page_->IsScreenUploading(), 0);
        EXPECT_EQ(page_->CommandChannel().m_restricted.load(), 0);
        EXPECT_FALSE(page_->CommandChannel().IsLongWait());
        EXPECT_EQ(GetProgressWindowHwnd(), nullptr);
    }

    tavrik::test::TempHome home_;
    tavrik::devsim::SimFixture sim_;
    Emulator* kb_ = nullptr;
    SkinWindow* main_ = nullptr;
    CCorvaneKeyboardDevice* page_ = nullptr;
};

std::vector<uint8_t> ExpectedOrder(size_t frames) {
    std::vector<uint8_t> order = {CMD_BEGIN, CMD_BEGIN, 0x06, CMD_END, CMD_SCREEN_BEGIN};
    Packets(order, CMD_SCREEN_DATA, frames * kPadded, kWiredChunkSize);
    order.push_back(CMD_END);
    return order;
}

TEST_F(ScreenUpload, CurrentFrameReachesTheKeyboardInOrder) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 3), nullptr);
    page_->SetFrameIntervalValue(230);
    page_->SelectFrame(2);
    ASSERT_EQ(page_->GetCurrentFrame(), 2);

    EXPECT_EQ(page_->UploadCurrentFrame(), 1);
    EXPECT_EQ(Commands(*kb_), ExpectedOrder(1));
    const auto block = kb_->Requests(0x06);
    ASSERT_EQ(block.size(), 1u);
    EXPECT_EQ(block[0].bytes[8 + 34], 1);  // one frame
    // A single frame carries the page's stored interval.
    EXPECT_EQ(block[0].bytes[8 + 43] | block[0].bytes[8 + 44] << 8, 230);
    const auto data = kb_->Requests(CMD_SCREEN_DATA);
    ASSERT_EQ(data.size(), 1171u);
    EXPECT_EQ(data.back().Offset(), 65520u);
    EXPECT_EQ(data.back().bytes[4], 16);
    ExpectFrameOnKeyboard(0, 2);
    ExpectIdle();
    // Frame 2 saved; into an empty document it becomes its first entry.
    EXPECT_EQ(SavedDocument()["Frame"].size(), 1u);
}

TEST_F(ScreenUpload, AllFramesReachTheKeyboardWithTheEditsInterval) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 3), nullptr);
    auto* edit = main_->Find<CEditUI>(L"frame_interval_time_edit");
    ASSERT_NE(edit, nullptr);
    const struct {
        const wchar_t* text;
        int interval;
    } cases[] = {{L"150", 150}, {L"20", 60}, {L"-5", 60}};
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << win::ToUtf8(k.text));
        edit->SetText(k.text);
        kb_->ClearRecord();
        EXPECT_EQ(page_->UploadAllFrames(), 1);
        EXPECT_EQ(Commands(*kb_), ExpectedOrder(3));
        const auto block = kb_->Requests(0x06);
        ASSERT_EQ(block.size(), 1u);
        EXPECT_EQ(block[0].bytes[8 + 34], 3);
        auto lock = kb_->Lock();
        EXPECT_EQ(sim::ViewScreenInterval(kb_->Memory()), k.interval);
    }
    for (int f = 0; f < 3; ++f) ExpectFrameOnKeyboard(f, f);
    ExpectIdle();
    EXPECT_EQ(SavedDocument()["Frame"].size(), 3u);
}

TEST_F(ScreenUpload, OtherCommandsAreRefusedWhileTheFramesGo) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 1), nullptr);
    std::atomic<int> clock{-100}, restricted{-1}, uploading{-1};
    std::atomic<bool> window{false};
    kb_->SetCommandHook([&](Emulator&, const uint8_t* r, uint8_t*) {
        if (r[3] == CMD_SCREEN_DATA && (r[5] | r[6] << 8) == 56 * 100) {
            clock = page_->WriteClock(0);
            const uint8_t colours[3] = {1, 2, 3};
            page_->CommandChannel().StreamColors(colours, 3);
            restricted = page_->CommandChannel().m_restricted.load();
            uploading = page_->IsScreenUploading();
            window = GetProgressWindowHwnd() != nullptr;
        }
        return false;
    });
    EXPECT_EQ(page_->UploadAllFrames(), 1);
    kb_->SetCommandHook(nullptr);
    EXPECT_EQ(clock.load(), 0);
    EXPECT_EQ(restricted.load(), 1);
    EXPECT_EQ(uploading.load(), 1);
    EXPECT_TRUE(window.load());
    EXPECT_EQ(Commands(*kb_), ExpectedOrder(1));  // nothing else reached the keyboard
    ExpectIdle();
    EXPECT_EQ(page_->WriteClock(0), 1);  // and afterwards they go again
}

TEST_F(ScreenUpload, AProgressWindowClosedEarlyLeavesTheUiAnsweringUntilTheUploadEnds) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 2), nullptr);
    const win::HWND mainWindow = main_->GetHWND();
    std::atomic<bool> closed{false};
    std::atomic<int> answered{-1};
    kb_->SetCommandHook([&](Emulator&, const uint8_t* r, uint8_t*) {
        if (r[3] != CMD_SCREEN_DATA) return false;
        const uint32_t offset = r[5] | r[6] << 8 | r[7] << 16;
        if (offset == 56 * 100) {
            // The user closes the progress window in the middle of the upload.
            closed = win::PostMessageW(GetProgressWindowHwnd(), win::WM_CLOSE, 0, 0) != 0;
        } else if (offset == 56 * 1500) {
            // The UI thread serves its messages while the frames still go.
            win::DWORD_PTR result = 0;
            answered = int(win::SendMessageTimeoutW(mainWindow, win::WM_NULL, 0, 0, win::SMTO_NORMAL, 5000, &result));
        }
        return false;
    });
    EXPECT_EQ(page_->UploadAllFrames(), 1);
    kb_->SetCommandHook(nullptr);
    EXPECT_TRUE(closed.load());
    EXPECT_EQ(answered.load(), 1);
    EXPECT_EQ(Commands(*kb_), ExpectedOrder(2));
    ExpectFrameOnKeyboard(1, 1);
    ExpectIdle();
}

TEST_F(ScreenUpload, APageWithoutAFrameStripSendsNothing) {
    kb_ = &sim_.Plug(ProductKind::KeyboardCable);
    main_ =
        Open(R"(<Window size="400,300"><VerticalLayout><CorvaneKeyboardDevice name="page"/></VerticalLayout></Window>)",
             400, 300);
    page_ = main_->Find<CCorvaneKeyboardDevice>(L"page");
    ASSERT_NE(page_, nullptr);
    SetUpPage(*page_);
    page_->CommandChannel().m_timeouts = FastTimeouts();
    ASSERT_TRUE(tavrik::test::OpenCommandChannel(page_->CommandChannel(), *kb_));
    ASSERT_EQ(page_->ReadDeviceTables(), 1);
    kb_->ClearRecord();
    EXPECT_EQ(page_->UploadAllFrames(), 0);
    EXPECT_EQ(page_->UploadCurrentFrame(), 0);
    EXPECT_FALSE(page_->DumpUploadImage());
    EXPECT_FALSE(fs::exists(UserFolder(*page_) / "data.txt"));
    EXPECT_TRUE(Commands(*kb_).empty());
    ExpectIdle();
}

TEST_F(ScreenUpload, ReceiverRefusesBothUploads) {
    ASSERT_NE(Connect(ProductKind::KeyboardReceiver, 2), nullptr);
    EXPECT_EQ(page_->UploadCurrentFrame(), -1);
    EXPECT_EQ(page_->UploadAllFrames(), -1);
    EXPECT_TRUE(Commands(*kb_).empty());
    ExpectIdle();
}

TEST_F(ScreenUpload, MoreFramesThanTheKeyboardTakesAreRefusedInEveryMode) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 3, 2), nullptr);
    for (int mode : {1, 0}) {
        SCOPED_TRACE(mode);
        SelectScreenMode(mode);
        EXPECT_EQ(page_->UploadAllFrames(), -2);
    }
    EXPECT_TRUE(Commands(*kb_).empty());
    ExpectIdle();
}

// Starts an upload that an injected fault on its first data packet ends at
// once; -1 when it got that far.
int UploadUntilTheFirstPacket(CCorvaneKeyboardDevice& page, Emulator& kb) {
    kb.ClearRecord();
    kb.Inject({FaultKind::Status, 1, CMD_SCREEN_DATA, 0, 0, 0xFF});
    return page.UploadAllFrames();
}

TEST_F(ScreenUpload, LongAnimationsWaitForTheUsersConsentInModeOne) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 51), nullptr);
    EXPECT_EQ(page_->UploadAllFrames(), -3);
    EXPECT_TRUE(Commands(*kb_).empty());

    // Accepted, and in mode 0 without asking, the upload runs.
    for (int mode : {1, 0}) {
        SCOPED_TRACE(mode);
        SelectScreenMode(mode);
        page_->CommandChannel().SetLongWait(mode == 1);
        EXPECT_EQ(UploadUntilTheFirstPacket(*page_, *kb_), -1);
        EXPECT_EQ(kb_->Requests(CMD_SCREEN_BEGIN).size(), 1u);
        const auto block = kb_->Requests(0x06);
        ASSERT_EQ(block.size(), 1u);
        EXPECT_EQ(block[0].bytes[8 + 34], 51);
        ExpectIdle();
    }

    // 50 frames go in mode 1 without the question.
    SelectScreenMode(1);
    ASSERT_EQ(page_->DeleteFrame(), 0);
    ASSERT_EQ(page_->GetFrameCount(), 50);
    EXPECT_EQ(UploadUntilTheFirstPacket(*page_, *kb_), -1);
    EXPECT_EQ(kb_->Requests(CMD_SCREEN_BEGIN).size(), 1u);
    ExpectIdle();
}

TEST_F(ScreenUpload, FailuresInTheTransferAreReportedAndTheFramesSaved) {
    const struct {
        const char* name;
        Fault fault;
    } cases[] = {
        {"status on packet 1", {FaultKind::Status, 1, CMD_SCREEN_DATA, 1, 0, 0xFF}},
        {"status on packet 3000", {FaultKind::Status, 1, CMD_SCREEN_DATA, 3000, 0, 0xFE}},
        {"refused block write", {FaultKind::Status, 1, 0x06, 0, 0, 0xFF}},
        {"refused screen begin", {FaultKind::Status, 1, CMD_SCREEN_BEGIN, 0, 0, 0xFF}},
        {"unplugged on packet 10", {FaultKind::Unplug, 1, CMD_SCREEN_DATA, 10, 0, 0}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        // Each case on a keyboard of its own.
        if (page_ != nullptr) tavrik::test::CloseCommandChannel(page_->CommandChannel());
        ASSERT_NE(Connect(ProductKind::KeyboardCable, 3), nullptr);
        fs::remove(UserFolder(*page_) / "ScreenFrame.json");
        kb_->Inject(k.fault);
        EXPECT_EQ(page_->UploadAllFrames(), -1);
        ExpectIdle();
        EXPECT_EQ(SavedDocument()["Frame"].size(), 3u);
        if (k.fault.kind != FaultKind::Unplug) {
            EXPECT_EQ(Commands(*kb_).back(), CMD_END);
        }
    }
}

TEST_F(ScreenUpload, AnUploadThatEndsAtOnceStillClosesItsWindow) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 2), nullptr);
    tavrik::test::CloseCommandChannel(page_->CommandChannel());
    EXPECT_EQ(page_->UploadAllFrames(), -1);
    EXPECT_EQ(page_->UploadCurrentFrame(), -1);
    ExpectIdle();
    EXPECT_EQ(SavedDocument()["Frame"].size(), 2u);
    EXPECT_TRUE(Commands(*kb_).empty());
}

TEST_F(ScreenUpload, DumpWritesTheImageAsHexText) {
    ASSERT_NE(Connect(ProductKind::KeyboardCable, 2), nullptr);
    ASSERT_TRUE(page_->DumpUploadImage());
    std::ifstream in(UserFolder(*page_) / "data.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    ASSERT_EQ(s.size(), 2 * 2 * kPadded);
    for (int f = 0; f < 2; ++f) {
        for (int r = 0; r < 135; r += 67)
            for (int c = 0; c < 240; c += 239) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%04x", Rgb565(Painted(f, c, r)));
                EXPECT_EQ(s.substr(2 * (size_t(f) * kPadded + 2 * size_t(r * 240 + c)), 4), hex) << f << r << c;
            }
        const std::string pad = s.substr(2 * (size_t(f) * kPadded + 64800), 2 * (kPadded - 64800));
        EXPECT_EQ(pad.find_first_not_of('f'), std::string::npos) << f;
    }
    EXPECT_TRUE(Commands(*kb_).empty());
}

}  // namespace
