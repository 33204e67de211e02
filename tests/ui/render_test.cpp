#include "tests/ui/ui_fixture.h"

#include "platform/files/folders.h"

#include <cstdio>
#include <jpeglib.h>

namespace uitest {
namespace {

class RenderTest : public UiTest {
protected:
    // A PNG of one colour with a transparent left half when `halfClear`.
    void Png(const std::string& name, int w, int h, uint32_t argb, bool halfClear = false) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
                              (argb >> 24) / 255.0);
        cairo_rectangle(cr, halfClear ? w / 2 : 0, 0, halfClear ? w - w / 2 : w, h);
        cairo_fill(cr);
        cairo_destroy(cr);
        std::string path = (dir_.Path() / name).string();
        ASSERT_EQ(cairo_surface_write_to_png(s, path.c_str()), CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(s);
    }
    // A JPEG of one colour.
    void Jpeg(const std::string& name, int w, int h, unsigned char r, unsigned char g, unsigned char b) {
        std::string path = (dir_.Path() / name).string();
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        jpeg_compress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        jpeg_stdio_dest(&c, f);
        c.image_width = static_cast<JDIMENSION>(w);
        c.image_height = static_cast<JDIMENSION>(h);
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 100, TRUE);
        jpeg_start_compress(&c, TRUE);
        std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
        for (int x = 0; x < w; ++x) {
            row[x * 3] = r;
            row[x * 3 + 1] = g;
            row[x * 3 + 2] = b;
        }
        while (c.next_scanline < c.image_height) {
            JSAMPROW p = row.data();
            jpeg_write_scanlines(&c, &p, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
    }
};

bool Near(uint32_t a, uint32_t b, int tolerance = 3) {
    for (int shift = 0; shift < 32; shift += 8) {
        int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
        if (std::abs(x - y) > tolerance) return false;
    }
    return true;
}

TEST_F(RenderTest, ScreenshotMatchesAReferenceDrawnByTheTest) {
    Png("red.png", 20, 20, 0xFFFF0000);
    Png("half.png", 20, 20, 0xFF00FF00, true);
    Jpeg("blue.jpg", 16, 16, 0, 0, 255);
    TestWindow* w = Open(
        LR"(<Window size='160,100'><VerticalLayout name='root' bkcolor='#FFFFFFFF'>
        <HorizontalLayout height='40' childpadding='10'>
          <Button name='img' width='20' height='20' normalimage='red.png'/>
          <Control name='half' width='20' height='20' bkimage='half.png'/>
          <Control name='jpg' width='20' height='20' bkimage='file=&apos;blue.jpg&apos; dest=&apos;2,2,18,18&apos;'/>
          <Control name='framed' width='30' height='30' bkcolor='#FFFFFF00' bordercolor='#FF000000' bordersize='2'/>
        </HorizontalLayout>
        <Label name='text' height='30' text='Tavrik' textcolor='#FF000000' font='0'/>
        <Control name='grad' height='30' bkcolor='#FF000000' bkcolor2='#FFFFFFFF'/>
        </VerticalLayout></Window>)");
    HeadlessWindow* s = Surface(w);
    ASSERT_NE(s->Picture(), nullptr);

    // The reference: the same rectangles drawn directly.
    cairo_surface_t* ref = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 160, 100);
    cairo_t* cr = cairo_create(ref);
    auto fill = [cr](double x, double y, double wd, double ht, double r, double g, double b) {
        cairo_set_source_rgb(cr, r, g, b);
        cairo_rectangle(cr, x, y, wd, ht);
        cairo_fill(cr);
    };
    fill(0, 0, 160, 100, 1, 1, 1);
    fill(0, 0, 20, 20, 1, 0, 0);   // button image
    fill(40, 0, 10, 20, 0, 1, 0);  // right half of the half-clear image
    fill(62, 2, 16, 16, 0, 0, 1);  // the JPEG inside its dest
    fill(90, 0, 30, 30, 0, 0, 0);  // border
    fill(92, 2, 26, 26, 1, 1, 0);  // inside the border
    cairo_destroy(cr);
    cairo_surface_flush(ref);
    const unsigned char* rd = cairo_image_surface_get_data(ref);
    int stride = cairo_image_surface_get_stride(ref);
    int bad = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 160; ++x) {
            uint32_t want = *reinterpret_cast<const uint32_t*>(rd + y * stride + x * 4);
            if (!Near(s->PixelAt(x, y), want, 8) && ++bad < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << s->PixelAt(x, y) << " want "
                              << want;
        }
    EXPECT_EQ(bad, 0);
    cairo_surface_destroy(ref);

    // Text: dark pixels inside the label, none to its right.
    int dark = 0, darkOutside = 0;
    for (int y = 40; y < 70; ++y)
        for (int x = 0; x < 160; ++x) {
            uint32_t p = s->PixelAt(x, y);
            bool isDark = (p & 0xFF) < 0x80;
            if (isDark && x < 80) ++dark;
            if (isDark && x >= 80) ++darkOutside;
        }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(darkOutside, 0);
    // Gradient: dark at the top, light at the bottom.
    EXPECT_LT(s->PixelAt(80, 71) & 0xFF, 0x20u);
    EXPECT_GT(s->PixelAt(80, 99) & 0xFF, 0xE0u);

    // The screenshot file holds the same picture.
    std::string png = (dir_.Path() / "shot.png").string();
    ASSERT_TRUE(s->WritePng(png));
    cairo_surface_t* back = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(back), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(back), 160);
    cairo_surface_flush(back);
    uint32_t px = *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(back) +
                                                     10 * cairo_image_surface_get_stride(back) + 10 * 4);
    EXPECT_EQ(px, 0xFFFF0000u);
    cairo_surface_destroy(back);
}

TEST_F(RenderTest, TintedImageDecodesTheKeyColourWord) {
    Png("white.png", 10, 10, 0xFFFFFFFF, true);  // left half transparent
    CPaintManagerUI pm;
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    // red 0x10, green 0x20, blue 0x30 packed as byte 0, byte 2 << 8, byte 1 << 16
    DWORD word = 0x10 | (0x30 << 8) | (0x20 << 16);
    RECT rc{0, 0, 10, 10};
    EXPECT_TRUE(CRenderEngine::DrawImageString(cr, &pm, rc, rc, L"white.png", nullptr, word, 255, true));
    cairo_surface_flush(target);
    auto pixel = [target](int x, int y) {
        return *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(target) +
                                                  y * cairo_image_surface_get_stride(target) + x * 4);
    };
    EXPECT_EQ(pixel(8, 5), 0xFF102030u);
    EXPECT_EQ(pixel(1, 5), 0xFF000000u);  // the transparent half stays untouched
    // Half the level gives half the colour over black.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    word = 0xFF;  // pure red
    CRenderEngine::DrawImageString(cr, &pm, rc, rc, L"white.png", nullptr, word, 128, true);
    cairo_surface_flush(target);
    EXPECT_TRUE(Near(pixel(8, 5), 0xFF800000u, 2)) << std::hex << pixel(8, 5);
    // Without tint the image is drawn as it is.
    CRenderEngine::DrawImageString(cr, &pm, rc, rc, L"white.png", nullptr, word, 128, false);
    cairo_surface_flush(target);
    EXPECT_EQ(pixel(8, 5), 0xFFFFFFFFu);
    EXPECT_FALSE(CRenderEngine::DrawImageString(cr, &pm, rc, rc, L"missing.png", nullptr, word, 255, true));
    cairo_destroy(cr);
    cairo_surface_destroy(target);
}

// Draws one image description over black into a 10 x 10 picture and reads
// its middle pixel.
uint32_t DrawnOverBlack(CPaintManagerUI& pm, const wchar_t* description) {
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    RECT rc{0, 0, 10, 10};
    uint32_t pixel = 0;
    if (CRenderEngine::DrawImageString(cr, &pm, rc, rc, description)) {
        cairo_surface_flush(target);
        pixel = *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(target) +
                                                   5 * cairo_image_surface_get_stride(target) + 5 * 4);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(target);
    return pixel;
}

TEST_F(RenderTest, HslImagesTakeThePaintManagersAdjustment) {
    Png("red.png", 10, 10, 0xFFFF0000);
    Png("faint.png", 10, 10, 0x80FF0000);  // half-transparent red
    Png("olive.png", 10, 10, 0xFF808000);
    CPaintManagerUI pm;
    struct Case {
        const char* what;
        bool use;
        short h, s, l;
        const wchar_t* description;
        uint32_t want;
    } cases[] = {
        {"hue turned by +120", true, 300, 100, 100, L"file='red.png' hsl='true'", 0xFF00FF00},
        {"hue turned by -120", true, 60, 100, 100, L"file='red.png' hsl='true'", 0xFF0000FF},
        {"no saturation", true, 180, 0, 100, L"file='red.png' hsl='true'", 0xFF808080},
        {"double lightness", true, 180, 100, 200, L"file='red.png' hsl='true'", 0xFFFFFFFF},
        {"half lightness", true, 180, 100, 50, L"file='red.png' hsl='true'", 0xFF800000},
        {"olive turned to teal", true, 300, 100, 100, L"file='olive.png' hsl='true'", 0xFF008080},
        {"alpha kept", true, 300, 100, 100, L"file='faint.png' hsl='true'", 0xFF008000},
        {"neutral", true, 180, 100, 100, L"file='red.png' hsl='true'", 0xFFFF0000},
        {"image without hsl", true, 300, 100, 100, L"file='red.png'", 0xFFFF0000},
        {"hsl='false'", true, 300, 100, 100, L"file='red.png' hsl='false'", 0xFFFF0000},
        {"adjustment off", false, 300, 100, 100, L"file='red.png' hsl='true'", 0xFFFF0000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPaintManagerUI::SetHSL(c.use, c.h, c.s, c.l);
        EXPECT_TRUE(Near(DrawnOverBlack(pm, c.description), c.want, 2))
            << std::hex << DrawnOverBlack(pm, c.description);
    }
    // The plain picture in the cache is never changed by an adjusted draw.
    CPaintManagerUI::SetHSL(true, 300, 100, 100);
    EXPECT_TRUE(Near(DrawnOverBlack(pm, L"file='red.png' hsl='true'"), 0xFF00FF00, 2));
    EXPECT_EQ(DrawnOverBlack(pm, L"red.png"), 0xFFFF0000u);

    // Values are kept within their ranges.
    CPaintManagerUI::SetHSL(true, 500, -3, 999);
    short h = 0, s = 0, l = 0;
    CPaintManagerUI::GetHSL(&h, &s, &l);
    EXPECT_TRUE(CPaintManagerUI::IsUseHSL());
    EXPECT_EQ(h, 360);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 200);
    CPaintManagerUI::SetHSL(false);
    EXPECT_FALSE(CPaintManagerUI::IsUseHSL());
}

TEST_F(RenderTest, ChangedHslRepaintsTheWindowsHslImagesOnly) {
    Png("red.png", 20, 20, 0xFFFF0000);
    TestWindow* w = Open(
        LR"(<Window size='60,20'><HorizontalLayout bkcolor='#FF000000'>
        <Control width='20' bkimage='file=&apos;red.png&apos; hsl=&apos;true&apos;'/>
        <Control width='20' bkimage='red.png'/>
        </HorizontalLayout></Window>)");
    HeadlessWindow* s = Surface(w);
    EXPECT_EQ(s->PixelAt(10, 10), 0xFFFF0000u);
    CPaintManagerUI::SetHSL(true, 300, 100, 100);
    Pump();
    EXPECT_TRUE(Near(s->PixelAt(10, 10), 0xFF00FF00, 2)) << std::hex << s->PixelAt(10, 10);
    EXPECT_EQ(s->PixelAt(30, 10), 0xFFFF0000u);
    // A new adjustment replaces the cached one.
    CPaintManagerUI::SetHSL(true, 60, 100, 100);
    Pump();
    EXPECT_TRUE(Near(s->PixelAt(10, 10), 0xFF0000FF, 2)) << std::hex << s->PixelAt(10, 10);
    CPaintManagerUI::SetHSL(false);
    Pump();
    EXPECT_EQ(s->PixelAt(10, 10), 0xFFFF0000u);
}

TEST_F(RenderTest, ImageDescriptionsParse) {
    TDrawInfo info;
    ASSERT_TRUE(
        info.Parse(L"file='a/b.png' source='1,2,3,4' corner='5,5,5,5' dest='0,0,8,8' mask='#FFFF00FF' "
                   L"fade='128' hole='true' xtiled='true' restype='png'"));
    EXPECT_EQ(info.sName, L"a/b.png");
    EXPECT_EQ(info.rcSource.right, 3);
    EXPECT_EQ(info.rcCorner.left, 5);
    EXPECT_EQ(info.rcDest.bottom, 8);
    EXPECT_EQ(info.dwMask, 0xFFFF00FFu);
    EXPECT_EQ(info.uFade, 128);
    EXPECT_TRUE(info.bHole);
    EXPECT_TRUE(info.bTiledX);
    EXPECT_FALSE(info.bTiledY);
    EXPECT_EQ(info.sResType, L"png");
    ASSERT_TRUE(info.Parse(L"plain.png"));
    EXPECT_EQ(info.sName, L"plain.png");
    EXPECT_FALSE(info.Parse(L"file='unterminated"));
    EXPECT_FALSE(info.Parse(L""));
}

TEST_F(RenderTest, HtmlTextTagsDrawColouredRuns) {
    CPaintManagerUI pm;
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 30);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    RECT rc{0, 0, 200, 30};
    int links = 0;
    CRenderEngine::DrawHtmlText(cr, &pm, rc, L"<c #FF0000><b>RRRR</b></c> & <u>x</u><n>", 0xFF000000, nullptr, nullptr,
                                links, -1, DT_SINGLELINE | DT_VCENTER);
    cairo_surface_flush(target);
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x) {
            uint32_t p = *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(target) +
                                                            y * cairo_image_surface_get_stride(target) + x * 4);
            if (((p >> 16) & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x40) ++red;
        }
    EXPECT_GT(red, 10);
    cairo_destroy(cr);
    cairo_surface_destroy(target);
}

// Bars paint their fore colour or image only over the part that stands for the
// value, horizontal and vertical, progress and slider alike: the painted fill
// read back from the surface ends where the value says.
TEST_F(RenderTest, BarsPaintTheirFillInProportionToTheirValue) {
    Png("fill.png", 100, 100, 0xFF00FF00);
    TestWindow* w = Open(
        LR"(<Window size='200,160'><VerticalLayout bkcolor='#FF000000'>
        <Progress name='p80' height='20' min='0' max='100' value='80' bkcolor='#FF404040' forecolor='#FFFF0000'/>
        <Progress name='pimg' height='20' min='0' max='100' value='25' foreimage='fill.png'/>
        <Slider name='s' height='20' min='10' max='30' value='20' bkcolor='#FF404040' forecolor='#FF0000FF' thumbsize='0,0'/>
        <HorizontalLayout height='100'>
          <Slider name='v' width='20' hor='false' min='-20' max='20' value='-10' forecolor='#FF0000FF' thumbsize='0,0'/>
        </HorizontalLayout>
        </VerticalLayout></Window>)");
    HeadlessWindow* s = Surface(w);
    struct Row {
        int y;
        uint32_t fill;
        int endX;  // the first pixel past the fill
    } rows[] = {{10, 0xFFFF0000, 160}, {30, 0xFF00FF00, 50}, {50, 0xFF0000FF, 100}};
    for (const Row& r : rows) {
        EXPECT_TRUE(Near(s->PixelAt(2, r.y), r.fill)) << "row " << r.y << std::hex << " " << s->PixelAt(2, r.y);
        EXPECT_TRUE(Near(s->PixelAt(r.endX - 2, r.y), r.fill)) << "row " << r.y;
        EXPECT_FALSE(Near(s->PixelAt(r.endX + 2, r.y), r.fill, 40)) << "row " << r.y << " painted past its value";
        EXPECT_FALSE(Near(s->PixelAt(198, r.y), r.fill, 40)) << "row " << r.y << " painted full";
    }
    // The vertical slider fills from the bottom: a quarter of its 100 px.
    EXPECT_TRUE(Near(s->PixelAt(10, 158), 0xFF0000FF));
    EXPECT_TRUE(Near(s->PixelAt(10, 137), 0xFF0000FF));
    EXPECT_FALSE(Near(s->PixelAt(10, 133), 0xFF0000FF, 40));
    EXPECT_FALSE(Near(s->PixelAt(10, 62), 0xFF0000FF, 40));
}

// A slider without colours or images of its own takes the window's default
// slider look, so it is never invisible.
TEST_F(RenderTest, SliderWithoutColoursTakesTheDefaultLook) {
    TestWindow* w = Open(
        LR"(<Window size='100,20'>
        <Default name='Slider' value='bkcolor=&quot;#FF404040&quot; forecolor=&quot;#FF0000FF&quot; thumbsize=&quot;0,0&quot;'/>
        <VerticalLayout bkcolor='#FF000000'><Slider name='s' height='20' min='0' max='10' value='5'/></VerticalLayout></Window>)");
    HeadlessWindow* s = Surface(w);
    EXPECT_TRUE(Near(s->PixelAt(20, 10), 0xFF0000FF)) << std::hex << s->PixelAt(20, 10);
    EXPECT_TRUE(Near(s->PixelAt(80, 10), 0xFF404040)) << std::hex << s->PixelAt(80, 10);
}

}  // namespace
}  // namespace uitest
