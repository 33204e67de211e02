// The main window's screen file commands with a real keyboard page attached
// to an emulated keyboard: a picture or an animation chosen in the open
// dialog fills the frames, failures show their message, and the save dialogs
// write the canvas and the frames.
#include <filesystem>
#include <fstream>
#include <memory>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_media_library.h"
#include "platform/dialogs/file_dialog.h"
#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "platform/ui/controls.h"
#include "shell/main/page_operation.h"
#include "shell/controls/process_state.h"
#include "tests/shell/discovery_fixture.h"
#include "tests/shell/main_wnd_fixture.h"

namespace discoverytest {
namespace {

namespace dialogs = tavrik::dialogs;
namespace fs = std::filesystem;

// The main window with its real pages; its messages are recorded.
class ScreenWnd : public DiscoveryWnd {
public:
    std::vector<std::wstring> asked;
    std::vector<int> buttonModes;
    CControlUI* CreateControl(LPCTSTR pstrClass) override { return CMainWnd::CreateControl(pstrClass); }
    int ShowMainMessage(const wchar_t* text, int, int buttonMode) override {
        asked.push_back(text);
        buttonModes.push_back(buttonMode);
        return 0;
    }
};

class ScreenCommandsTest : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        dialogs_ = std::make_shared<dialogs::ScriptedFileDialogProvider>();
        dialogs::SetFileDialogProvider(dialogs_);
        window_ = wnd_ = new ScreenWnd;
        wnd_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
        mainwndtest::Pump();
        folder_ = fs::temp_directory_path() / ("tavrik-screen-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        dialogs::SetFileDialogProvider(nullptr);
        DiscoveryTest::TearDown();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // The keyboard attached by the scan, its screen 16 x 8 with one frame.
    CCorvaneKeyboardDevice* AttachKeyboard() {
        sim_.Plug(ProductKind::KeyboardCable);
        ScanPass();
        auto* page = dynamic_cast<CCorvaneKeyboardDevice*>(wnd_->GetCurrentDevice());
        if (!page) return nullptr;
        page->StopLightThreads();
        page->SetScreenGeometry(16, 8, 0);
        page->LoadFrames();
        return page;
    }

    std::shared_ptr<dialogs::ScriptedFileDialogProvider> dialogs_;
    ScreenWnd* wnd_ = nullptr;
    fs::path folder_;
};

TEST_F(ScreenCommandsTest, ChosenPictureFillsTheFrameAndMarksTheScreenChanged) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page->GetFrame(0), nullptr);
    ScreenFramesUnsaved = 0;
    const fs::path picture = folder_ / "red.png";
    ASSERT_TRUE(cv::imwrite(picture.string(), cv::Mat(8, 16, CV_8UC3, cv::Scalar(0, 0, 255))));
    dialogs_->Choose(picture.string());
    wnd_->ImportScreenPicture();
    EXPECT_TRUE(wnd_->asked.empty());
    EXPECT_EQ(page->GetFrame(0)->Cell(15, 7), (ScreenCell{255, 0, 0, 1}));
    EXPECT_EQ(ScreenFramesUnsaved.load(), 1);
    ASSERT_FALSE(dialogs_->Requests().empty());
    EXPECT_EQ(dialogs_->Requests().back().kind, dialogs::FileDialogKind::Open);
    ASSERT_EQ(dialogs_->Requests().back().filters.size(), 1u);
    EXPECT_EQ(dialogs_->Requests().back().filters[0].patterns, (std::vector<std::string>{"*.jpg", "*.bmp", "*.png"}));

    // A file that is no picture: the message, nothing changed.
    ScreenFramesUnsaved = 0;
    std::ofstream(folder_ / "broken.png") << "no picture";
    dialogs_->Choose((folder_ / "broken.png").string());
    wnd_->ImportScreenPicture();
    EXPECT_EQ(wnd_->asked, std::vector<std::wstring>{L"import_erro_text"});
    EXPECT_EQ(wnd_->buttonModes, std::vector<int>{1}) << "confirm and cancel";
    EXPECT_EQ(ScreenFramesUnsaved.load(), 0);
    // A cancelled dialog does nothing.
    dialogs_->Cancel();
    wnd_->ImportScreenPicture();
    EXPECT_EQ(wnd_->asked.size(), 1u);
}

TEST_F(ScreenCommandsTest, TooLongAnimationShowsTheLimitMessage) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    const fs::path video = folder_ / "long.avi";
    {
        cv::VideoWriter writer(video.string(), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('X', 'V', 'I', 'D'), 10.0,
                               cv::Size(16, 8), true);
        ASSERT_TRUE(writer.isOpened());
        for (int k = 0; k < 85; ++k) writer.write(cv::Mat(8, 16, CV_8UC3, cv::Scalar(k, 0, 0)));
    }
    dialogs_->Choose(video.string());
    ScreenFramesUnsaved = 0;
    wnd_->ImportScreenAnimation();
    EXPECT_EQ(wnd_->asked, std::vector<std::wstring>{L"message_erro_over_text"});
    EXPECT_EQ(wnd_->buttonModes, std::vector<int>{0}) << "the confirm button only";
    EXPECT_EQ(page->GetFrameCount(), 1);
    EXPECT_EQ(ScreenFramesUnsaved.load(), 0) << "nothing was added";
    EXPECT_EQ(dialogs_->Requests().back().filters[0].patterns, (std::vector<std::string>{"*.gif", "*.avi"}));
}

TEST_F(ScreenCommandsTest, SaveDialogsWriteThePictureAndTheVideo) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    for (ScreenCell& cell : page->GetFrame(0)->Cells()) cell = ScreenCell{0, 255, 0, 1};
    const fs::path picture = folder_ / "frame.png";
    dialogs_->Choose(picture.string());
    wnd_->ExportScreenPicture();
    const cv::Mat read = cv::imread(picture.string());
    ASSERT_EQ(read.cols, 16);
    EXPECT_EQ(read.at<cv::Vec3b>(7, 15), cv::Vec3b(0, 255, 0));
    EXPECT_EQ(dialogs_->Requests().back().kind, dialogs::FileDialogKind::Save);

    const fs::path video = folder_ / "frames.avi";
    dialogs_->Choose(video.string());
    wnd_->ExportScreenVideo();
    cv::VideoCapture capture(video.string(), cv::CAP_FFMPEG);
    ASSERT_TRUE(capture.isOpened());
    cv::Mat image;
    EXPECT_TRUE(capture.read(image));
    EXPECT_EQ(dialogs_->Requests().back().filters[0].patterns, (std::vector<std::string>{"*.avi"}));
}

// Without the picture and video plug-in each file command shows why nothing
// was read or written, with the confirm button only.
TEST_F(ScreenCommandsTest, MissingPluginIsShownByEveryFileCommand) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    const fs::path picture = folder_ / "red.png";
    ASSERT_TRUE(cv::imwrite(picture.string(), cv::Mat(8, 16, CV_8UC3, cv::Scalar(0, 0, 255))));
    screen_media::SetPath(win::FromUtf8((folder_ / "missing.so").string()));
    struct Command {
        void (CMainWnd::*run)();
        fs::path chosen;
    };
    const Command commands[] = {{&CMainWnd::ImportScreenPicture, picture},
                                {&CMainWnd::ImportScreenAnimation, picture},
                                {&CMainWnd::ExportScreenPicture, folder_ / "out.png"},
                                {&CMainWnd::ExportScreenVideo, folder_ / "out.avi"}};
    for (const Command& command : commands) {
        wnd_->asked.clear();
        wnd_->buttonModes.clear();
        ScreenFramesUnsaved = 0;
        dialogs_->Choose(command.chosen.string());
        (wnd_->*command.run)();
        EXPECT_EQ(wnd_->asked, std::vector<std::wstring>{L"screen_media_missing_text"}) << command.chosen;
        EXPECT_EQ(wnd_->buttonModes, std::vector<int>{0});
        EXPECT_EQ(ScreenFramesUnsaved.load(), 0);
    }
    EXPECT_EQ(page->GetFrame(0)->Cell(15, 7), ScreenCell{});
    EXPECT_FALSE(fs::exists(folder_ / "out.png"));
    EXPECT_FALSE(fs::exists(folder_ / "out.avi"));
    screen_media::SetPath(L"");
}

TEST_F(ScreenCommandsTest, DispatchedFrameOperationsReachThePage) {
    CCorvaneKeyboardDevice* page = AttachKeyboard();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(wnd_->RunPageOperation(page, PageOperation::AddFrame, 0), 0);
    EXPECT_EQ(wnd_->RunPageOperation(page, PageOperation::AddFrame, 0), 0);
    EXPECT_EQ(page->GetFrameCount(), 3);
    wnd_->RunPageOperation(page, PageOperation::SelectFrame, 2);
    EXPECT_EQ(page->GetCurrentFrame(), 2);
    EXPECT_EQ(wnd_->RunPageOperation(page, PageOperation::SaveAllFrames, 0), 1);
    EXPECT_EQ(wnd_->RunPageOperation(page, PageOperation::DeleteFrame, 0), 0);
    EXPECT_EQ(page->GetFrameCount(), 2);
    EXPECT_EQ(wnd_->RunPageOperation(page, PageOperation::SaveFrame, 0), 1);

    auto* edit = static_cast<CEditUI*>(page->FindSubControl(L"frame_interval_time_edit"));
    ASSERT_NE(edit, nullptr);
    edit->SetText(L"30");
    wnd_->RunPageOperation(page, PageOperation::FrameIntervalEdit, 0);
    EXPECT_EQ(page->GetStoredFrameInterval(), 60);
    EXPECT_EQ(std::wstring(edit->GetText().GetData()), L"60");

    // The screen tab opened: the combos show the page's choices.
    page->SelectFunctionTab(9);
    page->LoadFrames();
    auto* mode = static_cast<CComboUI*>(page->FindSubControl(L"screen_mode_combo_Select"));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->GetCurSel(), 1);
    auto* tool = static_cast<CComboUI*>(page->FindSubControl(L"Screen_tool_combo_Select"));
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->GetCurSel(), 0);
    mode->SelectItem(0, false, false);
    wnd_->RunPageOperation(page, PageOperation::ScreenModeSelected, 0);
    EXPECT_EQ(page->GetMaxFrames(), 30);
}

}  // namespace
}  // namespace discoverytest
