// The screen frames on disk: the bitmap file, "ScreenFrame.json" and its
// bitmaps through save and load.

#include <cstring>
#include <fstream>
#include <iterator>

#include <opencv2/imgcodecs.hpp>

#include "keyboard/screen_bitmap_file.h"
#include "shell/controls/process_state.h"
#include "tests/keyboard/screen_page_fixture.h"

namespace {

using namespace kbtest;
using namespace DuiLib;
namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

CDuiString ProgramPath(const fs::path& path) { return CDuiString(win::FromUtf8(path.string()).c_str()); }

class ScreenFrameFiles : public ScreenPageTest {};

TEST_F(ScreenFrameFiles, BitmapFileOfAFullFrameHasBothHeadersAndReadsBack) {
    CScreenViewControlUI frame;
    frame.SetColumns(240);
    frame.SetRows(135);
    PaintFrame(frame, 3);
    frame.Cell(10, 20) = ScreenCell{0, 0, 0, 1};
    const fs::path path = home_.Root() / "frame.bmp";
    ASSERT_TRUE(WriteBitmapFile(*frame.GetBitmap(), ProgramPath(path)));

    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 54u + 129600u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Le32(bytes, 2), 54u + 129600u);
    EXPECT_EQ(Le32(bytes, 6), 0u);
    EXPECT_EQ(Le32(bytes, 10), 54u);
    EXPECT_EQ(Le32(bytes, 14), 40u);
    EXPECT_EQ(Le32(bytes, 18), 240u);
    EXPECT_EQ(static_cast<int32_t>(Le32(bytes, 22)), -135);
    EXPECT_EQ(Le16(bytes, 26), 1);
    EXPECT_EQ(Le16(bytes, 28), 32);
    EXPECT_EQ(Le32(bytes, 30), 0u);
    EXPECT_EQ(Le32(bytes, 34), 129600u);
    for (size_t at = 38; at < 54; ++at) EXPECT_EQ(bytes[at], 0) << at;
    // Pixel data: row 0 first, blue, green, red, 255.
    const size_t pixel = 54 + (5 * 240 + 7) * 4;
    EXPECT_EQ(bytes[pixel], Marker(3, 7, 5).blue);
    EXPECT_EQ(bytes[pixel + 1], Marker(3, 7, 5).green);
    EXPECT_EQ(bytes[pixel + 2], Marker(3, 7, 5).red);
    EXPECT_EQ(bytes[pixel + 3], 255);

    const cv::Mat read = cv::imread(path.string(), cv::IMREAD_COLOR);
    ASSERT_EQ(read.cols, 240);
    ASSERT_EQ(read.rows, 135);
    for (int r = 0; r < 135; r += 13) {
        for (int c = 0; c < 240; c += 17) {
            const cv::Vec3b p = read.at<cv::Vec3b>(r, c);
            const ScreenCell& cell = frame.Cell(c, r);
            ASSERT_EQ(p, cv::Vec3b(cell.blue, cell.green, cell.red)) << c << "," << r;
        }
    }
    EXPECT_EQ(read.at<cv::Vec3b>(20, 10), cv::Vec3b(0, 0, 0));
}

TEST_F(ScreenFrameFiles, BitmapFileInAMissingFolderFails) {
    CScreenViewControlUI frame;
    frame.SetColumns(2);
    frame.SetRows(2);
    const fs::path path = home_.Root() / "no-such-folder" / "frame.bmp";
    EXPECT_FALSE(WriteBitmapFile(*frame.GetBitmap(), ProgramPath(path)));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ScreenFrameFiles, SavedFramesLoadBackWithCellsAndColours) {
    CCorvaneKeyboardDevice* page = Build(true, 240, 135);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 3; ++i) ASSERT_EQ(page->AddFrame(), 0);
    for (int i = 0; i < 3; ++i) {
        PaintFrame(*page->GetFrame(i), i);
        page->GetFrame(i)->SetPenColor(0x102030 + DWORD(i));
        page->GetFrame(i)->SetBackgroundColor(0x405060 + DWORD(i));
    }
    // An empty black cell is kept as black through the bitmap.
    page->GetFrame(1)->Cell(0, 0) = ScreenCell{};
    ASSERT_EQ(page->SaveAllFrames(), 1);

    const Json::Value document = ReadDocument();
    ASSERT_EQ(document["Frame"].size(), 3u);
    EXPECT_EQ(document["Frame"][1]["PenColor"]["Blue"].asInt(), 0x31);
    EXPECT_EQ(document["Frame"][2]["BkGroundColor"]["Blue"].asInt(), 0x62);
    EXPECT_EQ(document["Frame"][2]["SaveFameDir"].asString(), "ScreenFamres\\2.bmp");
    EXPECT_FALSE(document["Frame"][0].isMember("Pixel"));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(fs::exists(BitmapPath(i))) << i;

    // A second page (the program started again) reads them.
    CCorvaneKeyboardDevice* again = Build(true, 240, 135);
    ASSERT_NE(again, nullptr);
    again->LoadFrames();
    ASSERT_EQ(again->GetFrameCount(), 3);
    EXPECT_EQ(again->GetCurrentFrame(), 0);
    EXPECT_EQ(LabelText(L"frame_count_label"), L"3");
    for (int i = 0; i < 3; ++i) {
        CScreenViewControlUI* frame = again->GetFrame(i);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetPenColor().ToRgb(), 0x102030u + DWORD(i));
        EXPECT_EQ(frame->GetBackgroundColor().ToRgb(), 0x405060u + DWORD(i));
        for (int r = 0; r < 135; ++r) {
            for (int c = 0; c < 240; ++c) {
                const ScreenCell want = (i == 1 && c == 0 && r == 0) ? ScreenCell{0, 0, 0, 1} : Marker(i, c, r);
                ASSERT_EQ(frame->Cell(c, r), want) << i << ":" << c << "," << r;
            }
        }
    }
}

TEST_F(ScreenFrameFiles, RotatedScreenLoadsItsFramesAsTheyWereSaved) {
    CCorvaneKeyboardDevice* page = Build(true, 240, 135, 1);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    PaintFrame(*page->GetFrame(0), 4);
    ASSERT_EQ(page->SaveAllFrames(), 1);
    page->LoadFrames();
    ASSERT_EQ(page->GetFrameCount(), 1);
    for (int r = 0; r < 135; ++r)
        for (int c = 0; c < 240; ++c) ASSERT_EQ(page->GetFrame(0)->Cell(c, r), Marker(4, c, r)) << c << "," << r;
}

TEST_F(ScreenFrameFiles, RotatedScreenTurnsAnUprightBitmapOnLoad) {
    CCorvaneKeyboardDevice* page = Build(true, 4, 2, 1);
    ASSERT_NE(page, nullptr);
    // A 2 x 4 picture, as a rotated screen's pictures come.
    CScreenViewControlUI upright;
    upright.SetColumns(2);
    upright.SetRows(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c) upright.Cell(c, r) = ScreenCell{uint8_t(10 * r + c), 0, 0, 1};
    fs::create_directories(DataFolder() / "ScreenFamres");
    ASSERT_TRUE(WriteBitmapFile(*upright.GetBitmap(), ProgramPath(BitmapPath(0))));
    Json::Value document;
    document["Frame"][0]["SaveFameDir"] = "ScreenFamres\\0.bmp";
    WriteDocument(document);
    page->LoadFrames();
    // A quarter turn counter-clockwise: the right column becomes the top row.
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(page->GetFrame(0)->Cell(c, r).red, 10 * c + (1 - r)) << c << "," << r;
}

TEST_F(ScreenFrameFiles, LoadingTwiceKeepsOneSetOfFrames) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    ASSERT_EQ(page->AddFrame(), 0);
    ASSERT_EQ(page->SaveAllFrames(), 1);
    page->LoadFrames();
    page->LoadFrames();
    EXPECT_EQ(page->GetFrameCount(), 2);
    EXPECT_EQ(page->GetFrameStrip()->GetCount(), 2);
}

TEST_F(ScreenFrameFiles, MissingDocumentIsMadeFromTheDefaults) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    ASSERT_FALSE(fs::exists(DocumentPath()));
    page->LoadFrames();
    EXPECT_TRUE(fs::exists(DocumentPath()));
    EXPECT_TRUE(ReadDocument()["Frame"].isArray());
    ASSERT_EQ(page->GetFrameCount(), 1);
    EXPECT_EQ(page->GetFrame(0)->GetPenColor(), (ScreenColor{255, 255, 255}));
    EXPECT_EQ(page->GetFrame(0)->GetBackgroundColor(), ScreenColor{});
    EXPECT_EQ(LabelText(L"frame_count_label"), L"1");
}

TEST_F(ScreenFrameFiles, DocumentThatIsNotJsonIsReplacedByTheDefaults) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    fs::create_directories(DataFolder());
    std::ofstream(DocumentPath()) << "{ not json";
    page->LoadFrames();
    EXPECT_EQ(page->GetFrameCount(), 1);
    EXPECT_TRUE(ReadDocument()["Frame"].isArray());
}

TEST_F(ScreenFrameFiles, UnreadableOrMissingBitmapsGiveBlankFramesWithAWhitePen) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    fs::create_directories(DataFolder() / "ScreenFamres");
    std::ofstream(BitmapPath(0)) << "BM but not a bitmap";
    Json::Value document;
    for (int i = 0; i < 3; ++i) {
        Json::Value entry;
        entry["PenColor"]["Red"] = 1;
        entry["BkGroundColor"]["Red"] = 2;
        entry["SaveFameDir"] = "ScreenFamres\\" + std::to_string(i) + ".bmp";
        document["Frame"].append(entry);
    }
    // An entry left null by an older program, and one of the wrong kind.
    document["Frame"].append(Json::Value());
    document["Frame"].append(Json::Value("text"));
    WriteDocument(document);

    page->LoadFrames();
    ASSERT_EQ(page->GetFrameCount(), 5);
    for (int i = 0; i < 5; ++i) {
        CScreenViewControlUI* frame = page->GetFrame(i);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetPenColor(), (ScreenColor{255, 255, 255})) << i;
        EXPECT_EQ(frame->GetBackgroundColor(), ScreenColor{}) << i;
        for (const ScreenCell& cell : frame->Cells()) ASSERT_EQ(cell, ScreenCell{}) << i;
    }
}

TEST_F(ScreenFrameFiles, SavingFrameSevenIntoThreeEntriesAppendsIt) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 8; ++i) ASSERT_EQ(page->AddFrame(), 0);
    // Three frames saved, then frame 7 on its own.
    Json::Value document;
    for (int i = 0; i < 3; ++i) {
        Json::Value entry;
        entry["SaveFameDir"] = "ScreenFamres\\" + std::to_string(i) + ".bmp";
        document["Frame"].append(entry);
    }
    WriteDocument(document);
    CanvasEditor editor(8, 4);
    page->AttachScreenEditor(&editor);
    page->SelectFrame(7);
    editor.canvas.pen = ScreenColor{1, 2, 3};
    editor.canvas.background = ScreenColor{4, 5, 6};
    editor.canvas.Cell(1, 2) = ScreenCell{7, 8, 9, 1};
    page->StoreCanvasToFrame();
    ASSERT_EQ(page->SaveFrame(), 1);

    const Json::Value saved = ReadDocument();
    ASSERT_EQ(saved["Frame"].size(), 4u);
    const Json::Value& entry = saved["Frame"][3];
    EXPECT_EQ(entry["SaveFameDir"].asString(), "ScreenFamres\\3.bmp");
    EXPECT_EQ(entry["PenColor"]["Blue"].asInt(), 3);
    EXPECT_EQ(entry["BkGroundColor"]["Red"].asInt(), 4);
    ASSERT_EQ(entry["Pixel"].size(), 32u);
    const Json::Value& pixel = entry["Pixel"][2 * 8 + 1];
    EXPECT_EQ(pixel["Red"].asInt(), 7);
    EXPECT_EQ(pixel["Blue"].asInt(), 9);
    EXPECT_EQ(pixel["Flag"].asInt(), 1);
    EXPECT_EQ(entry["Pixel"][0]["Flag"].asInt(), 0);
    EXPECT_TRUE(fs::exists(BitmapPath(3)));
    EXPECT_FALSE(fs::exists(BitmapPath(7)));
    EXPECT_EQ(ScreenUndoPosition.load(), 0);
    const cv::Mat read = cv::imread(BitmapPath(3).string(), cv::IMREAD_COLOR);
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read.at<cv::Vec3b>(2, 1), cv::Vec3b(9, 8, 7));
}

TEST_F(ScreenFrameFiles, SavingIntoAnEmptyArrayLeavesNoNullEntries) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 3; ++i) ASSERT_EQ(page->AddFrame(), 0);
    page->SelectFrame(2);
    ASSERT_EQ(page->SaveFrame(), 1);
    const Json::Value saved = ReadDocument();
    ASSERT_EQ(saved["Frame"].size(), 1u);
    EXPECT_TRUE(saved["Frame"][0].isObject());
    EXPECT_EQ(saved["Frame"][0]["SaveFameDir"].asString(), "ScreenFamres\\0.bmp");
}

TEST_F(ScreenFrameFiles, SavingAFrameAlreadyInTheDocumentReplacesItsEntry) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 3; ++i) ASSERT_EQ(page->AddFrame(), 0);
    ASSERT_EQ(page->SaveAllFrames(), 1);
    page->SelectFrame(1);
    page->GetFrame(1)->Cell(3, 3) = ScreenCell{50, 60, 70, 1};
    ASSERT_EQ(page->SaveFrame(), 1);
    const Json::Value saved = ReadDocument();
    ASSERT_EQ(saved["Frame"].size(), 3u);
    EXPECT_TRUE(saved["Frame"][1].isMember("Pixel"));
    EXPECT_FALSE(saved["Frame"][2].isMember("Pixel"));
    EXPECT_EQ(cv::imread(BitmapPath(1).string()).at<cv::Vec3b>(3, 3), cv::Vec3b(70, 60, 50));
}

TEST_F(ScreenFrameFiles, SavingAllAfterDeletionsLeavesOneEntryPerFrame) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 5; ++i) ASSERT_EQ(page->AddFrame(), 0);
    ASSERT_EQ(page->SaveAllFrames(), 1);
    page->SelectFrame(4);
    ASSERT_EQ(page->DeleteFrame(), 0);
    page->SelectFrame(0);
    ASSERT_EQ(page->DeleteFrame(), 0);
    ASSERT_EQ(page->GetFrameCount(), 3);
    Json::Value document = ReadDocument();
    ASSERT_EQ(document["Frame"].size(), 3u);
    // Entries beyond the strip from an older save stay out.
    document["Frame"].append(document["Frame"][0]);
    document["Frame"].append(document["Frame"][0]);
    WriteDocument(document);
    ASSERT_EQ(page->SaveAllFrames(), 1);
    EXPECT_EQ(ReadDocument()["Frame"].size(), 3u);
    page->LoadFrames();
    EXPECT_EQ(page->GetFrameCount(), 3);
}

TEST_F(ScreenFrameFiles, SavingAllIsRefusedBeforeAnythingIsWritten) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 31; ++i) ASSERT_EQ(page->AddFrame(), 0);
    ChooseMode(0);
    ScreenUndoPosition = 5;
    const std::vector<uint8_t> before = ReadBytes(DocumentPath());
    EXPECT_EQ(page->SaveAllFrames(), 0);
    EXPECT_EQ(ReadBytes(DocumentPath()), before);
    EXPECT_FALSE(fs::exists(DataFolder() / "ScreenFamres" / "0.bmp"));
    EXPECT_EQ(ScreenUndoPosition.load(), 5);
    ChooseMode(1);
    EXPECT_EQ(page->SaveAllFrames(), 1);
    EXPECT_EQ(ReadDocument()["Frame"].size(), 31u);
    EXPECT_EQ(ScreenUndoPosition.load(), 0);
}

TEST_F(ScreenFrameFiles, SaveReportsADocumentThatCannotBeWritten) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    // A folder where the document should be.
    fs::remove(DocumentPath());
    fs::create_directories(DocumentPath() / "blocked");
    EXPECT_EQ(page->SaveAllFrames(), 0);
    EXPECT_EQ(page->SaveFrame(), 0);
}

}  // namespace
