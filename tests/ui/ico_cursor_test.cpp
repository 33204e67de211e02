// Cursors read from ICO files: PNG and 32-bit entries, the hot spot from the
// directory, the largest readable entry, damaged and foreign files refused;
// and a window class's cursor shown where no control asks for another.
#include "platform/ui/ico_cursor.h"

#include "tests/ui/ui_fixture.h"

#include <cairo.h>

#include <fstream>

#include "platform/files/utf8.h"

namespace uitest {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, unsigned v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct EntrySpec {
    int width, height;
    uint16_t field1, field2;  // planes and bit count, or the cursor's hot spot
    Bytes data;
};

Bytes IcoFile(uint16_t type, const std::vector<EntrySpec>& entries, uint16_t reserved = 0) {
    Bytes out;
    Put16(out, reserved);
    Put16(out, type);
    Put16(out, unsigned(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (const EntrySpec& e : entries) {
        out.push_back(uint8_t(e.width & 0xFF));
        out.push_back(uint8_t(e.height & 0xFF));
        out.push_back(0);
        out.push_back(0);
        Put16(out, e.field1);
        Put16(out, e.field2);
        Put32(out, uint32_t(e.data.size()));
        Put32(out, offset);
        offset += uint32_t(e.data.size());
    }
    for (const EntrySpec& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
    return out;
}

// Non-premultiplied ARGB of pixel (x, y) for the test pictures: a colour
// that depends on the position, half transparent in the top-left pixel and
// fully transparent in the top-right one.
uint32_t Straight(int x, int y, int w) {
    uint32_t a = 0xFF;
    if (x == 0 && y == 0) a = 0x80;
    if (x == w - 1 && y == 0) a = 0;
    return (a << 24) | (uint32_t(x * 20 + 10) << 16) | (uint32_t(y * 30 + 5) << 8) | 0x40;
}

uint32_t Premultiply(uint32_t argb) {
    const uint32_t a = argb >> 24;
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul((argb >> 16) & 0xFF) << 16) | (mul((argb >> 8) & 0xFF) << 8) | mul(argb & 0xFF);
}

Bytes Png(int w, int h) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) reinterpret_cast<uint32_t*>(data + y * stride)[x] = Premultiply(Straight(x, y, w));
    cairo_surface_mark_dirty(s);
    Bytes png;
    cairo_surface_write_to_png_stream(
        s,
        [](void* closure, const unsigned char* bytes, unsigned int length) {
            auto* out = static_cast<Bytes*>(closure);
            out->insert(out->end(), bytes, bytes + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    cairo_surface_destroy(s);
    return png;
}

// A bitmap entry: header, colour rows bottom first, AND mask. With
// `alpha` false every alpha byte is 0 and the mask marks the pixels that the
// picture above makes fully transparent.
Bytes Bitmap(int w, int h, bool alpha, int bitCount = 32) {
    Bytes out;
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(2 * h));
    Put16(out, 1);
    Put16(out, unsigned(bitCount));
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = Straight(x, y, w);
            out.push_back(uint8_t(p & 0xFF));
            out.push_back(uint8_t((p >> 8) & 0xFF));
            out.push_back(uint8_t((p >> 16) & 0xFF));
            out.push_back(alpha ? uint8_t(p >> 24) : 0);
        }
    const int maskStride = (w + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(size_t(maskStride), 0);
        for (int x = 0; x < w; ++x)
            if ((Straight(x, y, w) >> 24) == 0) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// What a correct decoder gives for the test picture; with `maskOnly` the
// half-transparent pixel is opaque (a mask has no halves).
std::vector<uint32_t> Expected(int w, int h, bool maskOnly = false) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = Straight(x, y, w);
            if (maskOnly && (p >> 24) != 0) p |= 0xFF000000u;
            pixels.push_back(Premultiply(p));
        }
    return pixels;
}

TEST(IcoCursor, ReadsPngAndBitmapEntriesWithTheirHotSpot) {
    struct Case {
        const char* name;
        Bytes file;
        int width, height, hotX, hotY;
        std::vector<uint32_t> pixels;
    };
    const Case cases[] = {
        {"cursor, PNG entry", IcoFile(2, {{16, 16, 3, 5, Png(16, 16)}}), 16, 16, 3, 5, Expected(16, 16)},
        {"icon, PNG entry: the centre points", IcoFile(1, {{12, 8, 1, 32, Png(12, 8)}}), 12, 8, 6, 4, Expected(12, 8)},
        {"cursor, 32-bit entry", IcoFile(2, {{8, 6, 7, 0, Bitmap(8, 6, true)}}), 8, 6, 7, 0, Expected(8, 6)},
        {"icon, 32-bit entry without alpha: the mask decides", IcoFile(1, {{10, 4, 1, 32, Bitmap(10, 4, false)}}), 10,
         4, 5, 2, Expected(10, 4, true)},
        {"a hot spot past the picture is kept on its edge", IcoFile(2, {{8, 8, 40, 9, Png(8, 8)}}), 8, 8, 7, 7,
         Expected(8, 8)},
        {"the largest entry is taken",
         IcoFile(2, {{8, 8, 1, 1, Bitmap(8, 8, true)}, {24, 24, 2, 20, Png(24, 24)}, {16, 16, 3, 3, Png(16, 16)}}), 24,
         24, 2, 20, Expected(24, 24)},
        {"an unreadable larger entry gives way to a readable one",
         IcoFile(2, {{32, 32, 1, 1, Bitmap(32, 32, true, 8)}, {16, 16, 4, 4, Png(16, 16)}}), 16, 16, 4, 4,
         Expected(16, 16)},
    };
    for (const Case& c : cases) {
        BackendCursorImage image;
        ASSERT_TRUE(DecodeIcoCursor(c.file, image)) << c.name;
        EXPECT_EQ(image.width, c.width) << c.name;
        EXPECT_EQ(image.height, c.height) << c.name;
        EXPECT_EQ(image.hotX, c.hotX) << c.name;
        EXPECT_EQ(image.hotY, c.hotY) << c.name;
        EXPECT_EQ(image.pixels, c.pixels) << c.name;
    }
}

TEST(IcoCursor, RefusesDamagedAndForeignFiles) {
    const Bytes good = IcoFile(2, {{16, 16, 3, 5, Png(16, 16)}});
    const Bytes goodBitmap = IcoFile(2, {{8, 8, 0, 0, Bitmap(8, 8, true)}});
    Bytes wrongOffset = good;
    wrongOffset[6 + 12] = 0xF0;  // the entry's data far past the end
    const Bytes png = Png(16, 16);
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"empty", {}},
        {"header only", Bytes(good.begin(), good.begin() + 6)},
        {"directory cut short", Bytes(good.begin(), good.begin() + 14)},
        {"PNG entry cut short", Bytes(good.begin(), good.end() - 40)},
        {"bitmap cut inside its colours", Bytes(goodBitmap.begin(), goodBitmap.begin() + 6 + 16 + 40 + 100)},
        {"entry past the end", wrongOffset},
        {"reserved field set", IcoFile(2, {{16, 16, 3, 5, Png(16, 16)}}, 1)},
        {"unknown type", IcoFile(3, {{16, 16, 3, 5, Png(16, 16)}})},
        {"no entries", IcoFile(2, {})},
        {"a PNG file", png},
        {"8-bit bitmap entry", IcoFile(1, {{8, 8, 1, 8, Bitmap(8, 8, true, 8)}})},
        {"zero alpha and no mask", IcoFile(1, {{8, 8, 1, 32,
                                                [] {
                                                    Bytes b = Bitmap(8, 8, false);
                                                    b.resize(40 + 8 * 8 * 4);
                                                    return b;
                                                }()}})},
    };
    for (const Case& c : cases) {
        BackendCursorImage image;
        image.width = 77;
        EXPECT_FALSE(DecodeIcoCursor(c.file, image)) << c.name;
        EXPECT_EQ(image.width, 77) << c.name << ": untouched";
    }
}

TEST(IcoCursor, LoadsAFileByItsProgramPath) {
    tavrik::test::TempDir dir("tavrik-ico");
    const Bytes file = IcoFile(2, {{16, 16, 2, 14, Png(16, 16)}});
    std::filesystem::create_directories(dir.Path() / "Skin" / "Cursor");
    std::ofstream(dir.Path() / "Skin" / "Cursor" / "pen.ico", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    const std::wstring base = win::FromUtf8(dir.Path().string()) + L"/";
    auto cursor = LoadIcoCursor(base + L"Skin\\Cursor\\pen.ico");
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->hotY, 14);
    EXPECT_EQ(cursor->pixels, Expected(16, 16));
    EXPECT_EQ(LoadIcoCursor(base + L"Skin\\Cursor\\missing.ico"), nullptr);
    EXPECT_EQ(LoadIcoCursor(base + L"Skin\\Cursor"), nullptr) << "a folder";
}

class ClassCursor : public UiTest {};

TEST_F(ClassCursor, ShowsWhereNoControlAsksForAnotherCursor) {
    TestWindow* w = Open(
        L"<Window size='200,100'><HorizontalLayout>"
        L"<Control name='plain' width='100'/><Control name='text' cursor='ibeam'/>"
        L"</HorizontalLayout></Window>");
    HeadlessWindow* surface = Surface(w);
    BackendCursorImage image;
    ASSERT_TRUE(DecodeIcoCursor(IcoFile(2, {{16, 16, 3, 5, Png(16, 16)}}), image));
    auto shared = std::make_shared<const BackendCursorImage>(image);
    auto move = [&](int x) {
        BackendEvent e;
        e.type = BackendEventType::MouseMove;
        e.x = x;
        e.y = 50;
        display_->Inject(surface, e);
        Pump();
    };

    w->SetClassCursor(shared);
    EXPECT_EQ(surface->CursorImage().pixels, image.pixels) << "shown at once";
    move(150);
    EXPECT_EQ(surface->CursorImage().width, 0) << "the control's own cursor wins";
    EXPECT_EQ(surface->Cursor(), BackendCursor::IBeam);
    move(50);
    EXPECT_EQ(surface->CursorImage().hotX, 3);
    EXPECT_EQ(surface->CursorImage().pixels, image.pixels);

    // Another window of the same class shows it too.
    TestWindow* same = Open(L"<Window size='100,100'><Control/></Window>");
    same->SetCursorShape(0);
    EXPECT_EQ(Surface(same)->CursorImage().pixels, image.pixels);

    w->SetClassCursor(nullptr);
    EXPECT_EQ(surface->CursorImage().width, 0);
    EXPECT_EQ(surface->Cursor(), BackendCursor::Arrow);
    move(60);
    EXPECT_EQ(surface->CursorImage().width, 0) << "the arrow again";
}

}  // namespace
}  // namespace uitest
