// Pictures, GIF and AVI files into the screen frames, and the frames out as
// a picture and an XVID video.

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include "keyboard/screen_image.h"
#include "keyboard/screen_media_library.h"
#include "tests/keyboard/gif_writer.h"
#include "tests/keyboard/screen_page_fixture.h"

namespace {

using namespace kbtest;
using namespace DuiLib;
namespace fs = std::filesystem;

CDuiString ProgramPath(const fs::path& path) { return CDuiString(win::FromUtf8(path.string()).c_str()); }

// A picture whose every pixel tells its position apart.
cv::Mat PositionPicture(int width, int height) {
    cv::Mat image(height, width, CV_8UC3);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            image.at<cv::Vec3b>(r, c) = cv::Vec3b(uint8_t(r), uint8_t(c), uint8_t((r * 7 + c * 3) & 0xFF));
    return image;
}

// Frame k of the test animations: one of the 216 GIF colours per frame.
GifPixel AnimationColour(int k) {
    return GifPixel{uint8_t(k % 6 * 51), uint8_t(k / 6 % 6 * 51), uint8_t(k / 36 % 6 * 51)};
}

std::vector<GifFrame> SolidFrames(int count, int width, int height) {
    std::vector<GifFrame> frames;
    for (int k = 0; k < count; ++k) frames.emplace_back(size_t(width * height), AnimationColour(k));
    return frames;
}

// An XVID file of `count` solid frames.
bool WriteAvi(const fs::path& path, int count, int width, int height) {
    cv::VideoWriter writer(path.string(), cv::CAP_FFMPEG, cv::VideoWriter::fourcc('X', 'V', 'I', 'D'), 10.0,
                           cv::Size(width, height), true);
    if (!writer.isOpened()) return false;
    for (int k = 0; k < count; ++k) {
        const GifPixel p = AnimationColour(k);
        writer.write(cv::Mat(height, width, CV_8UC3, cv::Scalar(p.blue, p.green, p.red)));
    }
    writer.release();
    return true;
}

bool Near(int a, int b, int tolerance) { return std::abs(a - b) <= tolerance; }

class ScreenImportExport : public ScreenPageTest {
protected:
    // A page of `frames` frames, all with the editor attached.
    CCorvaneKeyboardDevice* Ready(int frames, int width = 240, int height = 135, int rotate = 0) {
        CCorvaneKeyboardDevice* page = Build(true, width, height, rotate);
        if (!page) return nullptr;
        editor_ = std::make_unique<CanvasEditor>(page->ScreenColumns(), page->ScreenRows());
        page->LoadFrames();
        for (int i = 1; i < frames; ++i) EXPECT_EQ(page->AddFrame(), 0);
        page->AttachScreenEditor(editor_.get());
        page->SelectFrame(0);
        return page;
    }
    fs::path File(const char* name) const { return home_.Root() / name; }

    std::unique_ptr<CanvasEditor> editor_;
};

TEST_F(ScreenImportExport, LargerPictureTakesEverySecondPixelOfEverySecondRow) {
    CCorvaneKeyboardDevice* page = Ready(1);
    ASSERT_NE(page, nullptr);
    const cv::Mat picture = PositionPicture(480, 270);
    ASSERT_TRUE(cv::imwrite(File("big.png").string(), picture));
    ASSERT_EQ(page->ImportPicture(ProgramPath(File("big.png"))), 0);
    CScreenViewControlUI* frame = page->GetFrame(0);
    for (int r = 0; r < 135; ++r) {
        for (int c = 0; c < 240; ++c) {
            const cv::Vec3b p = picture.at<cv::Vec3b>(2 * r, 2 * c);
            const ScreenCell want{p[2], p[1], p[0], 1};
            ASSERT_EQ(frame->Cell(c, r), want) << c << "," << r;
            ASSERT_EQ(editor_->canvas.Cell(c, r), want) << c << "," << r;
            ASSERT_EQ(editor_->canvas.history[1].cells[size_t(CScreenViewControlUI::CellIndex(c, r))], want);
        }
    }
    EXPECT_GE(editor_->redraws, 1);
}

TEST_F(ScreenImportExport, BlackPixelsBecomeSetCells) {
    CCorvaneKeyboardDevice* page = Ready(1, 16, 8);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(cv::imwrite(File("black.bmp").string(), cv::Mat(8, 16, CV_8UC3, cv::Scalar(0, 0, 0))));
    ASSERT_EQ(page->ImportPicture(ProgramPath(File("black.bmp"))), 0);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 16; ++c) ASSERT_EQ(page->GetFrame(0)->Cell(c, r), (ScreenCell{0, 0, 0, 1}));
}

TEST_F(ScreenImportExport, RotatedScreenTakesAnUprightPictureWithoutScaling) {
    CCorvaneKeyboardDevice* page = Ready(1, 240, 135, 1);
    ASSERT_NE(page, nullptr);
    const cv::Mat picture = PositionPicture(135, 240);
    ASSERT_TRUE(cv::imwrite(File("upright.png").string(), picture));
    ASSERT_EQ(page->ImportPicture(ProgramPath(File("upright.png"))), 0);
    // A quarter turn counter-clockwise: the picture's right column becomes the top row.
    for (int r = 0; r < 135; ++r) {
        for (int c = 0; c < 240; ++c) {
            const cv::Vec3b p = picture.at<cv::Vec3b>(c, 134 - r);
            ASSERT_EQ(page->GetFrame(0)->Cell(c, r), (ScreenCell{p[2], p[1], p[0], 1})) << c << "," << r;
        }
    }
}

TEST_F(ScreenImportExport, UnreadablePictureChangesNothing) {
    CCorvaneKeyboardDevice* page = Ready(1, 16, 8);
    ASSERT_NE(page, nullptr);
    page->GetFrame(0)->Cell(3, 3) = ScreenCell{1, 2, 3, 1};
    std::ofstream(File("broken.png")) << "not a picture";
    EXPECT_EQ(page->ImportPicture(ProgramPath(File("broken.png"))), -1);
    EXPECT_EQ(page->ImportPicture(ProgramPath(File("missing.png"))), -1);
    EXPECT_EQ(page->GetFrame(0)->Cell(3, 3), (ScreenCell{1, 2, 3, 1}));
    EXPECT_EQ(page->GetFrame(0)->Cell(4, 4), ScreenCell{});
}

TEST_F(ScreenImportExport, ScreenWithoutSizeImportsNothing) {
    CCorvaneKeyboardDevice* page = Ready(1, 0, 0);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(cv::imwrite(File("small.png").string(), PositionPicture(8, 8)));
    ASSERT_TRUE(WriteGif(File("anim.gif"), 8, 8, SolidFrames(3, 8, 8)));
    EXPECT_EQ(page->ImportPicture(ProgramPath(File("small.png"))), -1);
    EXPECT_EQ(page->ImportAnimation(ProgramPath(File("anim.gif"))), 0);
    EXPECT_EQ(page->GetFrameCount(), 1);
    for (const ScreenCell& cell : page->GetFrame(0)->Cells()) ASSERT_EQ(cell, ScreenCell{});
    // Nothing to export either.
    page->ExportPicture(ProgramPath(File("out.png")));
    EXPECT_FALSE(fs::exists(File("out.png")));
}

TEST_F(ScreenImportExport, GifBeyondTheSmallModeLimitIsRefusedWhole) {
    CCorvaneKeyboardDevice* page = Ready(10, 32, 16);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WriteGif(File("anim.gif"), 32, 16, SolidFrames(25, 32, 16)));
    ChooseMode(0);
    EXPECT_EQ(page->ImportAnimation(ProgramPath(File("anim.gif"))), -1);
    EXPECT_EQ(page->GetFrameCount(), 10);
    EXPECT_EQ(page->GetFrameStrip()->GetCount(), 10);
    EXPECT_EQ(page->GetCurrentFrame(), 0);
}

TEST_F(ScreenImportExport, GifFramesFollowTheFramesThereAre) {
    CCorvaneKeyboardDevice* page = Ready(10, 32, 16);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WriteGif(File("anim.gif"), 32, 16, SolidFrames(25, 32, 16)));
    const ScreenColor pen = editor_->canvas.pen;
    ASSERT_EQ(page->ImportAnimation(ProgramPath(File("anim.gif"))), 0);
    ASSERT_EQ(page->GetFrameCount(), 35);
    EXPECT_EQ(LabelText(L"frame_count_label"), L"35");
    EXPECT_EQ(page->GetCurrentFrame(), 34);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(page->GetFrame(i)->Cell(5, 5), ScreenCell{}) << i;
    for (int k = 0; k < 25; ++k) {
        const GifPixel p = AnimationColour(k);
        CScreenViewControlUI* frame = page->GetFrame(10 + k);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->Cell(0, 0), (ScreenCell{p.red, p.green, p.blue, 1})) << k;
        EXPECT_EQ(frame->Cell(31, 15), (ScreenCell{p.red, p.green, p.blue, 1})) << k;
        EXPECT_EQ(frame->GetPenColor(), (ScreenColor{255, 255, 255}));
    }
    // The canvas shows the last picture; the colours stay.
    const GifPixel last = AnimationColour(24);
    EXPECT_EQ(editor_->canvas.Cell(7, 7), (ScreenCell{last.red, last.green, last.blue, 1}));
    EXPECT_EQ(editor_->canvas.pen, pen);
}

TEST_F(ScreenImportExport, TooLongAviIsRefusedAndOneThatFitsIsTakenWhole) {
    CCorvaneKeyboardDevice* page = Ready(1, 48, 32);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WriteAvi(File("long.avi"), 200, 48, 32));
    EXPECT_EQ(page->ImportAnimation(ProgramPath(File("long.avi"))), -1);
    EXPECT_EQ(page->GetFrameCount(), 1);

    ASSERT_TRUE(WriteAvi(File("fits.avi"), 79, 48, 32));
    ASSERT_EQ(page->ImportAnimation(ProgramPath(File("fits.avi"))), 0);
    ASSERT_EQ(page->GetFrameCount(), 80);
    for (int k : {0, 40, 78}) {
        const GifPixel p = AnimationColour(k);
        const ScreenCell cell = page->GetFrame(1 + k)->Cell(20, 10);
        EXPECT_TRUE(Near(cell.red, p.red, 12) && Near(cell.green, p.green, 12) && Near(cell.blue, p.blue, 12))
            << k << ": " << int(cell.red) << " " << int(cell.green) << " " << int(cell.blue);
        EXPECT_EQ(cell.flag, 1);
    }
    // Full now: one more frame is too many.
    ASSERT_TRUE(WriteAvi(File("one.avi"), 1, 48, 32));
    EXPECT_EQ(page->ImportAnimation(ProgramPath(File("one.avi"))), -1);
}

TEST_F(ScreenImportExport, AnimationThatDoesNotOpenChangesNothing) {
    CCorvaneKeyboardDevice* page = Ready(2, 16, 8);
    ASSERT_NE(page, nullptr);
    std::ofstream(File("broken.gif")) << "GIF89a but nothing else";
    EXPECT_EQ(page->ImportAnimation(ProgramPath(File("missing.avi"))), 0);
    EXPECT_EQ(page->ImportAnimation(ProgramPath(File("broken.gif"))), 0);
    EXPECT_EQ(page->GetFrameCount(), 2);
}

TEST_F(ScreenImportExport, PictureExportWritesTheCanvasExactly) {
    CCorvaneKeyboardDevice* page = Ready(1, 40, 20);
    ASSERT_NE(page, nullptr);
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 40; ++c)
            editor_->canvas.Cell(c, r) = ScreenCell{uint8_t(c * 6), uint8_t(r * 12), uint8_t(c + r), (c + r) % 2};
    page->ExportPicture(ProgramPath(File("canvas.png")));
    const cv::Mat read = cv::imread(File("canvas.png").string(), cv::IMREAD_COLOR);
    ASSERT_EQ(read.cols, 40);
    ASSERT_EQ(read.rows, 20);
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 40; ++c)
            ASSERT_EQ(read.at<cv::Vec3b>(r, c), cv::Vec3b(uint8_t(c + r), uint8_t(r * 12), uint8_t(c * 6)))
                << c << "," << r;
    // An extension without a writer writes nothing and does not fail the program.
    page->ExportPicture(ProgramPath(File("canvas.unknown")));
    EXPECT_FALSE(fs::exists(File("canvas.unknown")));
}

TEST_F(ScreenImportExport, VideoExportPlaysAtTheIntervalAndHoldsEveryFrame) {
    CCorvaneKeyboardDevice* page = Ready(3, 64, 32);
    ASSERT_NE(page, nullptr);
    const ScreenCell colours[] = {{200, 40, 40, 1}, {40, 200, 40, 1}, {40, 40, 200, 1}};
    for (int i = 0; i < 3; ++i)
        for (ScreenCell& cell : page->GetFrame(i)->Cells()) cell = colours[i];
    Find<CEditUI>(L"frame_interval_time_edit")->SetText(L"150");
    page->ExportVideo(ProgramPath(File("frames.avi")));

    cv::VideoCapture capture(File("frames.avi").string(), cv::CAP_FFMPEG);
    ASSERT_TRUE(capture.isOpened());
    EXPECT_NEAR(capture.get(cv::CAP_PROP_FPS), 1000.0 / 150.0, 0.01);
    cv::Mat image;
    int count = 0;
    while (capture.read(image)) {
        ASSERT_LT(count, 3);
        EXPECT_EQ(image.cols, 64);
        EXPECT_EQ(image.rows, 32);
        const cv::Vec3b p = image.at<cv::Vec3b>(16, 32);
        const ScreenCell& want = colours[count];
        EXPECT_TRUE(Near(p[2], want.red, 12) && Near(p[1], want.green, 12) && Near(p[0], want.blue, 12))
            << count << ": " << int(p[2]) << " " << int(p[1]) << " " << int(p[0]);
        ++count;
    }
    EXPECT_EQ(count, 3);
}

// Without a usable picture and video plug-in every file command says so and
// reads or writes nothing; the page stays as it was.
TEST_F(ScreenImportExport, MissingPluginIsReportedByEveryFileCommand) {
    std::ofstream(File("not-a-library.so")) << "not a library";
    const std::wstring unusable[] = {
        win::FromUtf8(File("missing.so").string()),
        win::FromUtf8(File("not-a-library.so").string()),
        // A library, but not the plug-in: it lacks the entry point.
        win::GetProgramFolder() + L"SDK/osConfLib.so",
    };
    CCorvaneKeyboardDevice* page = Ready(2, 16, 8);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(cv::imwrite(File("small.png").string(), PositionPicture(16, 8)));
    ASSERT_TRUE(WriteGif(File("anim.gif"), 16, 8, SolidFrames(3, 16, 8)));
    page->GetFrame(0)->Cell(3, 3) = ScreenCell{1, 2, 3, 1};
    ASSERT_EQ(page->SaveAllFrames(), 1);
    for (const std::wstring& path : unusable) {
        SCOPED_TRACE(win::ToUtf8(path));
        const auto cells = page->GetFrame(0)->Cells();
        screen_media::SetPath(path);
        EXPECT_EQ(page->ImportPicture(ProgramPath(File("small.png"))), CCorvaneKeyboardDevice::kScreenMediaMissing);
        EXPECT_EQ(page->ImportAnimation(ProgramPath(File("anim.gif"))), CCorvaneKeyboardDevice::kScreenMediaMissing);
        EXPECT_EQ(page->GetFrameCount(), 2);
        EXPECT_EQ(page->GetFrame(0)->Cells(), cells);
        EXPECT_EQ(page->ExportPicture(ProgramPath(File("out.png"))), CCorvaneKeyboardDevice::kScreenMediaMissing);
        EXPECT_EQ(page->ExportVideo(ProgramPath(File("out.avi"))), CCorvaneKeyboardDevice::kScreenMediaMissing);
        EXPECT_FALSE(fs::exists(File("out.png")));
        EXPECT_FALSE(fs::exists(File("out.avi")));
        // The saved frames cannot be read back either: that is said too.
        EXPECT_EQ(page->LoadFrames(), CCorvaneKeyboardDevice::kScreenMediaMissing);

        // The plug-in beside the program reads them again.
        screen_media::SetPath(L"");
        EXPECT_EQ(page->LoadFrames(), 0);
        EXPECT_EQ(page->GetFrame(0)->Cell(3, 3), (ScreenCell{1, 2, 3, 1}));
    }
    page->SelectFrame(0);
    EXPECT_EQ(page->ImportPicture(ProgramPath(File("small.png"))), 0);
    EXPECT_EQ(page->GetFrame(0)->Cell(3, 3), (ScreenCell{uint8_t((3 * 7 + 3 * 3) & 0xFF), 3, 3, 1}));
}

TEST(ScreenImage, FittingKeepsTheSizeOrResizesAndRotates) {
    const cv::Mat same = PositionPicture(10, 5);
    EXPECT_EQ(screen_image::FitToScreen(same, 10, 5, false).data, same.data);  // unchanged, not copied
    const cv::Mat wide = screen_image::FitToScreen(PositionPicture(4, 2), 8, 4, false);
    ASSERT_EQ(wide.cols, 8);
    EXPECT_EQ(wide.at<cv::Vec3b>(3, 7), PositionPicture(4, 2).at<cv::Vec3b>(1, 3));
    const cv::Mat turned = screen_image::FitToScreen(PositionPicture(5, 10), 10, 5, true);
    ASSERT_EQ(turned.cols, 10);
    ASSERT_EQ(turned.rows, 5);
    EXPECT_EQ(turned.at<cv::Vec3b>(0, 0), PositionPicture(5, 10).at<cv::Vec3b>(0, 4));
    EXPECT_TRUE(screen_image::FitToScreen(cv::Mat(), 10, 5, false).empty());
    EXPECT_TRUE(screen_image::FitToScreen(same, 0, 5, false).empty());
}

}  // namespace
