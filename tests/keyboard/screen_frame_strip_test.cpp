// The screen page's frame strip: adding, deleting and clearing frames, the
// counter, the screen mode, the page switch and the interval edit.

#include <tuple>

#include "link/json_file_util.h"
#include "shell/controls/process_state.h"
#include "tests/keyboard/screen_page_fixture.h"

namespace {

using namespace kbtest;
using namespace DuiLib;

class ScreenFrameStrip : public ScreenPageTest {};

TEST_F(ScreenFrameStrip, AddedFramesTakeTheScreenSizeAWhitePenAndTheNextName) {
    CCorvaneKeyboardDevice* page = Build(true, 128, 64);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    ASSERT_EQ(page->GetFrameCount(), 1);
    ASSERT_EQ(page->AddFrame(), 0);
    ASSERT_EQ(page->AddFrame(), 0);
    EXPECT_EQ(page->GetFrameCount(), 3);
    EXPECT_EQ(page->GetCurrentFrame(), 0);  // a new frame does not become current
    EXPECT_EQ(LabelText(L"frame_count_label"), L"3");
    CContainerUI* strip = page->GetFrameStrip();
    ASSERT_EQ(strip->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        CScreenViewControlUI* frame = page->GetFrame(i);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetName(), CDuiString((L"frame_option_" + std::to_wstring(i)).c_str()));
        EXPECT_EQ(frame->GetColumns(), 128);
        EXPECT_EQ(frame->GetRows(), 64);
        EXPECT_EQ(frame->GetFixedWidth(), 128);
        EXPECT_EQ(frame->GetFixedHeight(), 64);
        EXPECT_EQ(frame->GetPadding().right, 3);
        EXPECT_EQ(frame->GetPenColor(), (ScreenColor{255, 255, 255}));
        EXPECT_EQ(frame->GetBackgroundColor(), ScreenColor{});
    }
}

TEST_F(ScreenFrameStrip, ScreenLargerThanTheGridIsHeldToIt) {
    CCorvaneKeyboardDevice* page = Build(true, 255, 255);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    EXPECT_EQ(page->GetFrame(0)->GetColumns(), 240);
    EXPECT_EQ(page->GetFrame(0)->GetRows(), 135);
    EXPECT_EQ(page->ScreenColumns(), 240);
    EXPECT_EQ(page->ScreenRows(), 135);
    // Taller than the strip: drawn smaller, in the screen's proportions.
    EXPECT_EQ(page->GetFrame(0)->GetFixedHeight(), 64);
    EXPECT_EQ(page->GetFrame(0)->GetFixedWidth(), 240 * 64 / 135);
}

TEST_F(ScreenFrameStrip, AddingStopsAtTheScreenModeMaximum) {
    const std::tuple<int, int> cases[] = {{0, 30}, {1, 80}};
    for (auto [mode, maximum] : cases) {
        SCOPED_TRACE(mode);
        CCorvaneKeyboardDevice* page = Build(true, 8, 4);
        ASSERT_NE(page, nullptr);
        ChooseMode(mode);
        EXPECT_EQ(page->GetScreenMode(), mode);
        page->LoadFrames();
        while (page->GetFrameCount() < maximum) ASSERT_EQ(page->AddFrame(), 0);
        EXPECT_EQ(page->AddFrame(), -1);
        EXPECT_EQ(page->GetFrameCount(), maximum);
        EXPECT_EQ(page->GetFrameStrip()->GetCount(), maximum);
        EXPECT_EQ(LabelText(L"frame_count_label"), std::to_wstring(maximum));
    }
}

TEST_F(ScreenFrameStrip, SwitchingToTheSmallModeKeepsTheFrames) {
    CCorvaneKeyboardDevice* page = Build(true, 8, 4);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 40; ++i) ASSERT_EQ(page->AddFrame(), 0);
    ChooseMode(0);
    EXPECT_EQ(page->GetMaxFrames(), 30);
    EXPECT_EQ(page->GetFrameCount(), 40);
    EXPECT_EQ(page->GetFrameStrip()->GetCount(), 40);
    EXPECT_EQ(page->AddFrame(), -1);
}

TEST_F(ScreenFrameStrip, WithoutTheStripNothingIsAddedOrDeleted) {
    CCorvaneKeyboardDevice* page = Build(false);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    EXPECT_EQ(page->AddFrame(), -2);
    EXPECT_EQ(page->DeleteFrame(), 0);
    EXPECT_EQ(page->GetFrameCount(), 1);
    EXPECT_EQ(page->SaveFrame(), 0);
    EXPECT_FALSE(std::filesystem::exists(DocumentPath()));
}

TEST_F(ScreenFrameStrip, TheOnlyFrameIsNotDeleted) {
    CCorvaneKeyboardDevice* page = Build();
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    EXPECT_EQ(page->DeleteFrame(), -1);
    EXPECT_EQ(page->GetFrameCount(), 1);
    EXPECT_EQ(page->GetFrameStrip()->GetCount(), 1);
}

TEST_F(ScreenFrameStrip, DeletingFrameTwoOfFiveRenamesTheRestAndDropsItsEntry) {
    CCorvaneKeyboardDevice* page = Build(true, 6, 3);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    for (int i = 1; i < 5; ++i) ASSERT_EQ(page->AddFrame(), 0);
    for (int i = 0; i < 5; ++i) PaintFrame(*page->GetFrame(i), i);
    ASSERT_EQ(page->SaveAllFrames(), 1);
    page->SelectFrame(2);
    ASSERT_EQ(page->DeleteFrame(), 0);

    EXPECT_EQ(page->GetFrameCount(), 4);
    EXPECT_EQ(page->GetCurrentFrame(), 0);
    EXPECT_EQ(LabelText(L"frame_count_label"), L"4");
    const int kept[] = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i) {
        CScreenViewControlUI* frame = page->GetFrame(i);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->GetName(), CDuiString((L"frame_option_" + std::to_wstring(i)).c_str()));
        EXPECT_EQ(frame->Cell(5, 2), Marker(kept[i], 5, 2));
        EXPECT_EQ(frame->IsSelected(), i == 0);
    }
    const Json::Value document = ReadDocument();
    ASSERT_EQ(document["Frame"].size(), 4u);
    EXPECT_EQ(document["Frame"][2]["SaveFameDir"].asString(), "ScreenFamres\\3.bmp");
}

TEST_F(ScreenFrameStrip, ClearingAllFramesEmptiesFramesCanvasAndDocument) {
    CCorvaneKeyboardDevice* page = Build(true, 6, 3);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    ASSERT_EQ(page->AddFrame(), 0);
    page->GetFrame(1)->SetBackgroundColor(0x203040);
    PaintFrame(*page->GetFrame(0), 0);
    PaintFrame(*page->GetFrame(1), 1);
    ASSERT_EQ(page->SaveAllFrames(), 1);

    // Without an editor nothing happens.
    page->ClearAllFrames();
    EXPECT_EQ(page->GetFrame(0)->Cell(1, 1), Marker(0, 1, 1));
    EXPECT_EQ(ReadDocument()["Frame"].size(), 2u);

    CanvasEditor editor(6, 3);
    editor.canvas.background = ScreenColor{9, 9, 9};
    editor.canvas.Cell(2, 2) = ScreenCell{1, 2, 3, 1};
    page->AttachScreenEditor(&editor);
    page->ClearAllFrames();
    EXPECT_EQ(editor.canvas.Cell(2, 2), (ScreenCell{9, 9, 9, 0}));
    EXPECT_GE(editor.redraws, 1);
    const Json::Value document = ReadDocument();
    EXPECT_TRUE(document["Frame"].isArray());
    EXPECT_EQ(document["Frame"].size(), 0u);
    // The editor is closed with its frames; the bitmaps stay on disk.
    EXPECT_EQ(page->GetScreenEditor(), nullptr);
    EXPECT_EQ(page->GetFrameStrip()->GetCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(BitmapPath(1)));

    page->LoadFrames();
    ASSERT_EQ(page->GetFrameCount(), 1);
    for (const ScreenCell& cell : page->GetFrame(0)->Cells()) ASSERT_EQ(cell, ScreenCell{});
}

TEST_F(ScreenFrameStrip, PagesSwitchOnlyWithAllThreeControls) {
    CCorvaneKeyboardDevice* page = Build();
    ASSERT_NE(page, nullptr);
    auto* frames = Find<COptionUI>(L"frame_option");
    auto* uploading = Find<COptionUI>(L"uploading_option");
    auto* pages = Find<CTabLayoutUI>(L"screen_function_switch");
    page->SelectScreenPage(1);
    EXPECT_FALSE(frames->IsSelected());
    EXPECT_TRUE(uploading->IsSelected());
    EXPECT_EQ(pages->GetCurSel(), 1);
    page->SelectScreenPage(2);
    EXPECT_EQ(pages->GetCurSel(), 1);
    EXPECT_TRUE(uploading->IsSelected());
    page->ShowFramesPage();
    EXPECT_TRUE(frames->IsSelected());
    EXPECT_FALSE(uploading->IsSelected());
    EXPECT_EQ(pages->GetCurSel(), 0);
}

TEST_F(ScreenFrameStrip, IntervalEditReadsAtLeastSixtyAndAHundredWhenEmpty) {
    CCorvaneKeyboardDevice* page = Build();
    ASSERT_NE(page, nullptr);
    auto* edit = Find<CEditUI>(L"frame_interval_time_edit");
    const std::tuple<const wchar_t*, int> cases[] = {{L"", 100},  {L"abc", 60},   {L"0", 60},    {L"59", 60},
                                                     {L"60", 60}, {L"61", 61},    {L"150", 150}, {L"100000", 100000},
                                                     {L"-5", 60}, {L"120ms", 120}};
    for (auto [text, want] : cases) {
        edit->SetText(text);
        EXPECT_EQ(page->GetFrameInterval(), want) << static_cast<const void*>(text);
    }
}

TEST_F(ScreenFrameStrip, IntervalWithoutTheEditIsAHundred) {
    CCorvaneKeyboardDevice* page = Build(false);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetFrameInterval(), 100);
}

TEST_F(ScreenFrameStrip, SetIntervalShowsAndSavesWhatItStores) {
    CCorvaneKeyboardDevice* page = Build();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->LoadProfile(0), 1);
    auto* edit = Find<CEditUI>(L"frame_interval_time_edit");
    for (int show : {1, 0}) {
        const int value = show ? 250 : 75;
        page->SetFrameInterval(value, show);
        EXPECT_EQ(page->GetStoredFrameInterval(), value);
        EXPECT_EQ(std::wstring(edit->GetText().GetData()), std::to_wstring(value));
        EXPECT_EQ(page->GetFrameInterval(), value);
        const Json::Value saved = CJsonFileUtil::LoadJson(page->GetProfilePath());
        EXPECT_EQ(saved["Device"][0]["FrameIntervalTime"].asInt(), value);
    }
}

TEST_F(ScreenFrameStrip, RefreshWithoutTheIntervalFlagStillShowsTheStoredInterval) {
    CCorvaneKeyboardDevice* page = Build();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->LoadProfile(0), 1);
    auto* edit = Find<CEditUI>(L"frame_interval_time_edit");
    // A profile reset refreshes the page without the flag: what the edit
    // shows is what the next loss of focus stores.
    for (int flag : {0, 1}) {
        page->SetFrameIntervalValue(flag ? 320 : 240);
        page->RefreshPage(flag);
        EXPECT_EQ(std::wstring(edit->GetText().GetData()), std::to_wstring(flag ? 320 : 240)) << flag;
        EXPECT_EQ(page->GetFrameInterval(), page->GetStoredFrameInterval());
    }
}

TEST_F(ScreenFrameStrip, FramesInTheWindowShowTheirDotsAndAClickSelectsOne) {
    CCorvaneKeyboardDevice* page = Build(true, 40, 20);
    ASSERT_NE(page, nullptr);
    page->LoadFrames();
    ASSERT_EQ(page->AddFrame(), 0);
    page->GetFrame(1)->Cell(9, 4) = ScreenCell{0xFF, 0, 0, 1};
    Repaint(main_);
    CScreenViewControlUI* second = page->GetFrame(1);
    const RECT at = second->GetPos();
    ASSERT_EQ(at.right - at.left, 40);
    // Dot of cell (9, 4) at (10, 5) times the pitch 40 / 42.
    const float pitch = 40.0f / 42.0f;
    EXPECT_EQ(PixelAt(main_, at.left + int(10 * pitch), at.top + int(5 * pitch)) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(main_, at.left, at.top + 10) & 0xFFFFFF, 0xFFFFFFu);

    Click(main_, devtest::CentreOf(second));
    Repaint(main_);
    EXPECT_TRUE(second->IsSelected());
    EXPECT_GE(main_->Count(L"selectchanged", L"frame_option_1"), 1);
    EXPECT_EQ(PixelAt(main_, at.left, at.top + 10) & 0xFFFFFF, 0xD20334u);
}

}  // namespace
