#include "platform/ui/x11/private_font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <mutex>

#include "platform/ui/xml_document.h"

namespace tavrik::x11 {
namespace {

std::mutex& FontMutex() {
    static std::mutex m;
    return m;
}

// The family names inside a font file.
std::vector<std::string> FamiliesOf(const std::string& file) {
    std::vector<std::string> families;
    int count = 0;
    FcPattern* p = FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.c_str()), 0, nullptr, &count);
    if (!p) return families;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        families.emplace_back(reinterpret_cast<const char*>(name));
    FcPatternDestroy(p);
    return families;
}

// A fresh default font map on the configuration: the old one goes with
// everything it cached about the previous configuration.
void UsePangoConfig(FcConfig* config) {
    PangoFontMap* map = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    if (!map) return;
    if (PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), config);
    pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(map));
    g_object_unref(map);
}

}  // namespace

std::vector<std::string> ProgramFontSubstitutes() { return {"DejaVu Sans", "Droid Sans Fallback"}; }

bool LoadPrivateFont(const std::string& font_file, std::string* error) {
    std::lock_guard lock(FontMutex());
    FcInit();
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        if (error) *error = "fontconfig could not load its configuration";
        return false;
    }
    std::vector<std::string> prefer;
    if (!font_file.empty() &&
        FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(font_file.c_str())) == FcTrue) {
        for (const std::string& f : FamiliesOf(font_file))
            if (f != kProgramFontFamily) prefer.push_back(f);
    }
    for (const std::string& f : ProgramFontSubstitutes()) prefer.push_back(f);

    // A strong binding in front of the family asked for: the substitute
    // is taken even though fontconfig would otherwise prefer its defaults.
    std::string rules =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        "<match target=\"pattern\">\n<test qual=\"any\" name=\"family\"><string>";
    rules += DuiLib::EscapeXmlText(kProgramFontFamily);
    rules += "</string></test>\n<edit name=\"family\" mode=\"prepend\" binding=\"strong\">";
    for (const std::string& f : prefer) rules += "<string>" + DuiLib::EscapeXmlText(f) + "</string>";
    rules += "</edit>\n</match>\n</fontconfig>\n";
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.c_str()), FcTrue)) {
        FcConfigDestroy(config);
        if (error) *error = "fontconfig rejected the font alias";
        return false;
    }
    FcConfigBuildFonts(config);
    if (!FcConfigSetCurrent(config)) {
        FcConfigDestroy(config);
        if (error) *error = "fontconfig could not switch to the program's configuration";
        return false;
    }
    FcConfigDestroy(config);  // the current configuration keeps its own reference
    UsePangoConfig(FcConfigGetCurrent());
    return true;
}

std::string ResolveFontFamily(const std::string& family, char32_t c) {
    std::lock_guard lock(FontMutex());
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcCharSet* chars = FcCharSetCreate();
    FcCharSetAddChar(chars, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, chars);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    // Sorted as Pango does, the first font that has the character wins.
    FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    std::string found;
    for (int i = 0; set && i < set->nfont && found.empty(); ++i) {
        FcCharSet* has = nullptr;
        if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, c))
            continue;
        FcChar8* name = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch)
            found = reinterpret_cast<const char*>(name);
    }
    if (set) FcFontSetDestroy(set);
    FcCharSetDestroy(chars);
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace tavrik::x11
