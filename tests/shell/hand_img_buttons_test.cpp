// The image buttons: the hand picture over the normal images, clicks only on
// a release inside, the pointer's crossings, the crop button's panning and
// its "cursor" names.

#include <gtest/gtest.h>

#include "shell/controls/hand_img_button_ui.h"
#include "shell/controls/hand_img_select_button_ui.h"
#include "tests/shell/custom_controls_fixture.h"

namespace customtest {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;

std::string ButtonSkin(const std::string& attributes) {
    return R"(<Window size="200,100"><HorizontalLayout bkcolor="#FFFFFFFF">
      <HandImgButton name="b" float="true" pos="20,20,80,60" normalimage="normal.png" )" +
           attributes + R"(/></HorizontalLayout></Window>)";
}

class HandImgButtonTest : public CustomControlsTest {
protected:
    void SetUp() override {
        CustomControlsTest::SetUp();
        WriteSolidPng("normal.png", 60, 40, kBlue);
        WriteSolidPng("hand.png", 10, 10, kRed);
    }
};

struct HandPicture {
    const char* attribute;
    uint32_t inDest;       // at (30, 30): 10 px into the button
    uint32_t outsideDest;  // at (60, 50)
};

TEST_F(HandImgButtonTest, DrawsTheHandPictureOverTheNormalImage) {
    const HandPicture cases[] = {
        {R"(handimage="hand.png")", kRed, kRed},                             // the whole button
        {R"(handimage="file='hand.png' dest='5,5,15,15'")", kRed, kBlue},    // a square inside it
        {R"(HANDIMAGE="file='hand.png' dest='5,5,15,15'")", kRed, kBlue},    // the name in any case
        {R"(handimage="file='hand.png' dest='20,20,90,90'")", kBlue, kRed},  // kept inside the button
        {R"(handimage="file='missing.png'")", kBlue, kBlue},                 // no picture: the normal image
    };
    for (const HandPicture& c : cases) {
        SCOPED_TRACE(c.attribute);
        SkinWindow* w = Open(ButtonSkin(c.attribute), 200, 100);
        EXPECT_EQ(PixelAt(w, 30, 30), c.inDest);
        EXPECT_EQ(PixelAt(w, 60, 50), c.outsideDest);
        EXPECT_EQ(PixelAt(w, 10, 10), 0xFFFFFFFFu);
    }
}

TEST_F(HandImgButtonTest, ClicksOnlyWhenReleasedInside) {
    SkinWindow* w = Open(ButtonSkin(""), 200, 100);
    auto* b = w->Find<CHandImgButtonUI>(L"b");
    ASSERT_NE(b, nullptr);
    const POINT inside = devtest::CentreOf(b), outside{150, 80};

    Press(w, inside);
    EXPECT_TRUE(b->GetButtonState() & UISTATE_PUSHED);
    MoveTo(w, outside, true);
    EXPECT_FALSE(b->GetButtonState() & UISTATE_PUSHED);
    Release(w, outside);
    EXPECT_EQ(w->Count(L"click", L"b"), 0);
    EXPECT_FALSE(b->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));

    Press(w, inside);
    Release(w, inside);
    EXPECT_EQ(w->Count(L"click", L"b"), 1);

    b->SetEnabled(false);
    Press(w, inside);
    Release(w, inside);
    EXPECT_EQ(w->Count(L"click", L"b"), 1);
}

TEST_F(HandImgButtonTest, BothButtonsReportThePointerEnteringAndLeaving) {
    for (const char* tag : {"HandImgButton", "HandImgSelectButton"}) {
        SCOPED_TRACE(tag);
        SkinWindow* w = Open(std::string(R"(<Window size="200,100"><HorizontalLayout bkcolor="#FFFFFFFF"><)") + tag +
                                 R"( name="b" float="true" pos="20,20,80,60"/></HorizontalLayout></Window>)",
                             200, 100);
        MoveTo(w, {50, 40}, false);
        EXPECT_EQ(w->Count(L"msenter", L"b"), 1);
        EXPECT_EQ(w->Count(L"msleave", L"b"), 0);
        MoveTo(w, {150, 80}, false);
        EXPECT_EQ(w->Count(L"msleave", L"b"), 1);
        EXPECT_EQ(w->Count(L"msenter", L"b"), 1);
    }
}

// ---- the crop button ----------------------------------------------------------

// A 40 x 30 crop button at (200, 100) of a 300 x 200 window.
constexpr char kCropSkin[] = R"(<Window size="300,200"><HorizontalLayout bkcolor="#FFFFFFFF">
  <HandImgSelectButton name="crop" float="true" pos="200,100,240,130"/></HorizontalLayout></Window>)";

class HandImgSelectButtonTest : public CustomControlsTest {
protected:
    void SetUp() override {
        CustomControlsTest::SetUp();
        // 100 x 80 in four colours: red and blue above, green and yellow below.
        WritePng("pic.png", 100, 80, [](int x, int y) {
            if (y < 40) return x < 50 ? kRed : kBlue;
            return x < 50 ? kGreen : kYellow;
        });
        WriteSolidPng("small.png", 20, 20, kGreen);
    }
    // The crop button of a fresh window, its picture set once it has its size.
    CHandImgSelectButtonUI* OpenCrop(const wchar_t* picture) {
        w_ = Open(kCropSkin, 300, 200);
        auto* crop = w_->Find<CHandImgSelectButtonUI>(L"crop");
        EXPECT_NE(crop, nullptr);
        if (crop) crop->SetAttribute(L"handimage", picture);
        Repaint(w_);
        return crop;
    }
    SkinWindow* w_ = nullptr;
};

struct Pan {
    const char* what;
    std::vector<POINT> path;  // pointer positions after the press at (220, 115)
    RECT crop;
};

TEST_F(HandImgSelectButtonTest, PanningKeepsTheCropInsideThePicture) {
    const Pan cases[] = {
        {"no move", {}, {0, 0, 40, 30}},
        {"left 10", {{210, 115}}, {10, 0, 50, 30}},
        {"left past the right edge", {{0, 115}}, {60, 0, 100, 30}},
        {"right past the left edge", {{290, 115}}, {0, 0, 40, 30}},
        {"left 30, then right 50", {{190, 115}, {240, 115}}, {0, 0, 40, 30}},
        {"up past the bottom edge", {{220, 0}}, {0, 50, 40, 80}},
        {"up 20, then down 5", {{220, 95}, {220, 100}}, {0, 15, 40, 45}},
        {"diagonal", {{205, 105}}, {15, 10, 55, 40}},
    };
    for (const Pan& c : cases) {
        SCOPED_TRACE(c.what);
        CHandImgSelectButtonUI* crop = OpenCrop(L"pic.png");
        ASSERT_NE(crop, nullptr);
        Press(w_, {220, 115});
        for (POINT p : c.path) MoveTo(w_, p, true);
        Release(w_, c.path.empty() ? POINT{220, 115} : c.path.back());
        const RECT& r = crop->GetCropRect();
        EXPECT_EQ(r.left, c.crop.left);
        EXPECT_EQ(r.top, c.crop.top);
        EXPECT_EQ(r.right, c.crop.right);
        EXPECT_EQ(r.bottom, c.crop.bottom);
        EXPECT_EQ(crop->GetCropDescription(), DuiFormat(L"file='pic.png' source='%d,%d,%d,%d'", c.crop.left, c.crop.top,
                                                        c.crop.right, c.crop.bottom));
        // Moving without the button pressed pans nothing.
        MoveTo(w_, {100, 50}, false);
        EXPECT_EQ(crop->GetCropRect().left, c.crop.left);
    }
}

TEST_F(HandImgSelectButtonTest, ShowsThePannedPartAtItsOwnSize) {
    CHandImgSelectButtonUI* crop = OpenCrop(L"pic.png");
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(PixelAt(w_, 202, 102), kRed);
    EXPECT_EQ(PixelAt(w_, 238, 128), kRed);  // 40 of the picture's pixels: still its left half
    Press(w_, {220, 115});
    MoveTo(w_, {0, 115}, true);
    Release(w_, {0, 115});
    Repaint(w_);
    EXPECT_EQ(PixelAt(w_, 202, 102), kBlue);
    EXPECT_EQ(w_->Count(L"click", L"crop"), 0);
}

TEST_F(HandImgSelectButtonTest, APictureThatFitsCannotBePanned) {
    CHandImgSelectButtonUI* crop = OpenCrop(L"small.png");
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(crop->GetCropDescription(), L"small.png");
    Press(w_, {220, 115});
    MoveTo(w_, {100, 20}, true);
    Release(w_, {100, 20});
    EXPECT_EQ(crop->GetCropRect().left, 0);
    EXPECT_EQ(crop->GetCropRect().top, 0);
    EXPECT_EQ(crop->GetCropRect().right, 40);
    EXPECT_EQ(crop->GetCropRect().bottom, 30);
    Repaint(w_);
    EXPECT_EQ(PixelAt(w_, 220, 115), kGreen);
}

TEST_F(HandImgSelectButtonTest, APictureSetBeforeLayoutIsShownWholeAndStaysSo) {
    SkinWindow* w = Open(R"(<Window size="300,200"><HorizontalLayout bkcolor="#FFFFFFFF">
      <HandImgSelectButton name="crop" float="true" pos="200,100,240,130" handimage="pic.png"/>
      </HorizontalLayout></Window>)",
                         300, 200);
    auto* crop = w->Find<CHandImgSelectButtonUI>(L"crop");
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(crop->GetCropDescription(), L"file='pic.png' source='0,0,0,0'");
    // The whole picture, squeezed into 40 x 30.
    EXPECT_EQ(PixelAt(w, 202, 102), kRed);
    EXPECT_EQ(PixelAt(w, 238, 102), kBlue);
    EXPECT_EQ(PixelAt(w, 238, 128), kYellow);
    Press(w, {220, 115});
    MoveTo(w, {150, 60}, true);
    Release(w, {150, 60});
    Repaint(w);
    EXPECT_EQ(crop->GetCropDescription(), L"file='pic.png' source='0,0,0,0'");
    EXPECT_EQ(PixelAt(w, 238, 128), kYellow);
}

TEST_F(HandImgSelectButtonTest, AMissingPictureKeepsTheCrop) {
    CHandImgSelectButtonUI* crop = OpenCrop(L"pic.png");
    ASSERT_NE(crop, nullptr);
    Press(w_, {220, 115});
    MoveTo(w_, {210, 115}, true);
    Release(w_, {210, 115});
    crop->SetAttribute(L"handimage", L"missing.png");
    EXPECT_EQ(crop->GetCropRect().left, 10);
    EXPECT_EQ(crop->GetCropRect().right, 50);
}

struct CursorName {
    const wchar_t* value;
    int id;
    BackendCursor shown;
};

TEST_F(HandImgSelectButtonTest, CursorNamesInAnyCaseGiveTheirCursor) {
    const CursorName cases[] = {
        {L"arrow", 32512, BackendCursor::Arrow},
        {L"ibeam", 32513, BackendCursor::IBeam},
        {L"wait", 32514, BackendCursor::Wait},
        {L"cross", 32515, BackendCursor::Cross},
        {L"uparrow", 32516, BackendCursor::UpArrow},
        {L"size", 32640, BackendCursor::Size},
        {L"icon", 32641, BackendCursor::Icon},
        {L"sizenwse", 32642, BackendCursor::SizeNWSE},
        {L"sizenesw", 32643, BackendCursor::SizeNESW},
        {L"sizewe", 32644, BackendCursor::SizeWE},
        {L"sizens", 32645, BackendCursor::SizeNS},
        {L"sizeall", 32646, BackendCursor::SizeAll},
        {L"no", 32648, BackendCursor::No},
        {L"hand", 32649, BackendCursor::Hand},
        {L"HAND", 32649, BackendCursor::Hand},
        {L"UpArrow", 32516, BackendCursor::UpArrow},
    };
    SkinWindow* w = Open(kCropSkin, 300, 200);
    auto* crop = w->Find<CHandImgSelectButtonUI>(L"crop");
    ASSERT_NE(crop, nullptr);
    for (const CursorName& c : cases) {
        SCOPED_TRACE(win::ToUtf8(c.value));
        crop->SetAttribute(L"cursor", c.value);
        EXPECT_EQ(crop->GetCursor(), c.id);
        MoveTo(w, {10, 10}, false);
        MoveTo(w, {220, 115}, false);
        EXPECT_EQ(Surface(w)->Cursor(), c.shown);
    }
    // Names outside the table, the base's own spellings included, change nothing.
    crop->SetAttribute(L"cursor", L"hand");
    for (const wchar_t* other : {L"pointer", L"size_we", L""}) {
        crop->SetAttribute(L"cursor", other);
        EXPECT_EQ(crop->GetCursor(), 32649);
    }
}

}  // namespace
}  // namespace customtest
