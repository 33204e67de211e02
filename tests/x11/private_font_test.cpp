#include "platform/ui/x11/private_font.h"

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <filesystem>

#include "tests/support/temp_home.h"

namespace tavrik::x11 {
namespace {

namespace fs = std::filesystem;

const char* kSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

// Families Pango uses, run by run, for `text` in the program's face.
std::vector<std::string> PangoFamilies(const char* text) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 50);
    cairo_t* cr = cairo_create(s);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* desc = pango_font_description_from_string("Arial Unicode MS 14");
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_text(layout, text, -1);
    std::vector<std::string> families;
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoLayoutRun* run = pango_layout_iter_get_run_readonly(it);
        if (!run) continue;
        PangoFontDescription* used = pango_font_describe(run->item->analysis.font);
        families.emplace_back(pango_font_description_get_family(used));
        pango_font_description_free(used);
    } while (pango_layout_iter_next_run(it));
    pango_layout_iter_free(it);
    pango_font_description_free(desc);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return families;
}

class PrivateFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& family : ProgramFontSubstitutes())
            if (ResolveFontFamily(family) != family && ResolveFontFamily(family, U'\u4e2d') != family)
                GTEST_SKIP() << "font " << family << " is not installed (tools/setup installs it)";
        if (!fs::exists(kSerif)) GTEST_SKIP() << kSerif << " is not installed";
    }
};

TEST_F(PrivateFontTest, ShippedFileAnswersToTheProgramFamilyWithFallbackForCjk) {
    test::TempDir program;
    fs::create_directories(program.Path() / "Font");
    const fs::path file = program.Path() / "Font" / "ARIALUNI.TTF";
    fs::copy_file(kSerif, file);
    std::string error;
    ASSERT_TRUE(LoadPrivateFont(file.string(), &error)) << error;
    EXPECT_EQ(ResolveFontFamily(kProgramFontFamily, U'A'), "DejaVu Serif");
    EXPECT_EQ(ResolveFontFamily(kProgramFontFamily, U'\u4e2d'), "Droid Sans Fallback");
    // Pango draws with the same faces.
    EXPECT_EQ(PangoFamilies("Ab\xe4\xb8\xad"), (std::vector<std::string>{"DejaVu Serif", "Droid Sans Fallback"}));
}

TEST_F(PrivateFontTest, MissingFileStillGivesTheWideCoverageSubstitutes) {
    std::string error;
    ASSERT_TRUE(LoadPrivateFont("/nonexistent/Font/ARIALUNI.TTF", &error)) << error;
    EXPECT_EQ(ResolveFontFamily(kProgramFontFamily, U'A'), "DejaVu Sans");
    EXPECT_EQ(ResolveFontFamily(kProgramFontFamily, U'\u0416'), "DejaVu Sans");          // Cyrillic
    EXPECT_EQ(ResolveFontFamily(kProgramFontFamily, U'\u3042'), "Droid Sans Fallback");  // Hiragana
    EXPECT_EQ(PangoFamilies("A"), std::vector<std::string>{"DejaVu Sans"});
}

}  // namespace
}  // namespace tavrik::x11
