#include "platform/ui/paint_manager.h"

#include <pango/pangocairo.h>

#include <algorithm>

#include "platform/files/folders.h"
#include "platform/ui/paint_manager_shared.h"
#include "platform/ui/render_engine.h"

// The fonts and pictures a paint manager holds, and those all of them share.

using namespace win;

namespace DuiLib {

using namespace paint_shared;

// ---- fonts ----------------------------------------------------------------

PangoFontDescription* CPaintManagerUI::MakeFontDescription(LPCTSTR name, int size, bool bold, bool italic) const {
    PangoFontDescription* d = pango_font_description_new();
    std::string family = win::ToUtf8(name && *name ? name : L"Sans");
    pango_font_description_set_family(d, family.c_str());
    int px = m_dpi.Scale(size > 0 ? size : 12);
    pango_font_description_set_absolute_size(d, px * PANGO_SCALE);
    pango_font_description_set_weight(d, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR name, int nSize, bool bBold, bool bUnderline, bool bItalic, bool bShared) {
    TFontInfo f;
    f.sFontName = name;
    f.iSize = nSize;
    f.bBold = bBold;
    f.bUnderline = bUnderline;
    f.bItalic = bItalic;
    f.desc = MakeFontDescription(name, nSize, bBold, bItalic);
    f.tmHeight = m_dpi.Scale(nSize) + 2;
    TFontInfo& slot = bShared ? Shared().sharedDefaultFont : m_DefaultFont;
    FreeFont(slot);
    slot = f;
    (bShared ? Shared().sharedDefaultSet : m_bDefaultFontSet) = true;
    NeedUpdate();
}

HFONT CPaintManagerUI::AddFont(int id, LPCTSTR name, int nSize, bool bBold, bool bUnderline, bool bItalic,
                               bool bShared) {
    auto& fonts = bShared ? Shared().sharedFonts : m_mFonts;
    auto it = fonts.find(id);
    if (it != fonts.end()) FreeFont(it->second);
    TFontInfo& f = fonts[id];
    f.sFontName = name;
    f.iSize = nSize;
    f.bBold = bBold;
    f.bUnderline = bUnderline;
    f.bItalic = bItalic;
    f.desc = MakeFontDescription(name, nSize, bBold, bItalic);
    f.tmHeight = m_dpi.Scale(nSize) + 2;
    return &f;
}

HFONT CPaintManagerUI::GetFont(int id) { return GetFontInfo(id); }

void CPaintManagerUI::RemoveFont(int id, bool bShared) {
    auto& fonts = bShared ? Shared().sharedFonts : m_mFonts;
    auto it = fonts.find(id);
    if (it == fonts.end()) return;
    FreeFont(it->second);
    fonts.erase(it);
}

void CPaintManagerUI::RemoveAllFonts(bool bShared) {
    auto& fonts = bShared ? Shared().sharedFonts : m_mFonts;
    for (auto& f : fonts) FreeFont(f.second);
    fonts.clear();
}

TFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
    if (m_bDefaultFontSet) return &m_DefaultFont;
    if (Shared().sharedDefaultSet) return &Shared().sharedDefaultFont;
    if (!m_DefaultFont.desc) {
        m_DefaultFont.sFontName = L"Sans";
        m_DefaultFont.iSize = 12;
        m_DefaultFont.desc = MakeFontDescription(L"Sans", 12, false, false);
        m_DefaultFont.tmHeight = m_dpi.Scale(12) + 2;
    }
    return &m_DefaultFont;
}

TFontInfo* CPaintManagerUI::GetFontInfo(int id) {
    if (id >= 0) {
        auto it = m_mFonts.find(id);
        if (it != m_mFonts.end()) return &it->second;
        auto sh = Shared().sharedFonts.find(id);
        if (sh != Shared().sharedFonts.end()) return &sh->second;
    }
    return GetDefaultFontInfo();
}

void CPaintManagerUI::RebuildFonts() {
    auto rebuild = [this](TFontInfo& f) {
        if (!f.desc) return;
        FreeFont(f);
        f.desc = MakeFontDescription(f.sFontName, f.iSize, f.bBold, f.bItalic);
        f.tmHeight = m_dpi.Scale(f.iSize) + 2;
    };
    for (auto& f : m_mFonts) rebuild(f.second);
    rebuild(m_DefaultFont);
    // Shared fonts follow the DPI too (all windows share one DPI).
    for (auto& f : Shared().sharedFonts) rebuild(f.second);
    rebuild(Shared().sharedDefaultFont);
}

// ---- images ---------------------------------------------------------------

const TImageInfo* CPaintManagerUI::GetImage(LPCTSTR bitmap) { return GetImageEx(bitmap); }

const TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR bitmap, LPCTSTR type, DWORD mask, bool bUseHSL) {
    if (!bitmap || !*bitmap) return nullptr;
    CDuiString key = CDuiString(bitmap) + L"|" + (type ? type : L"");
    const TImageInfo* plain = nullptr;
    auto it = m_mImages.find(key);
    if (it != m_mImages.end())
        plain = it->second.surface ? &it->second : nullptr;
    else
        plain = AddImage(bitmap, type, mask);
    if (!plain || !bUseHSL || !Shared().useHSL) return plain;
    // The adjusted copy is kept beside the picture until the adjustment
    // changes (SetHSL drops the copies) or the picture is removed.
    TImageInfo& adjusted = m_mImages[key + kHslKeySuffix];
    if (!adjusted.surface) {
        adjusted = *plain;
        adjusted.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, plain->nX, plain->nY);
        cairo_t* cr = cairo_create(adjusted.surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, plain->surface, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
        CRenderEngine::AdjustImage(true, &adjusted, Shared().hue, Shared().saturation, Shared().lightness);
    }
    return &adjusted;
}

void CPaintManagerUI::SetHSL(bool bUseHSL, short H, short S, short L) {
    SharedState& shared = Shared();
    shared.useHSL = bUseHSL;
    shared.hue = std::clamp<short>(H, 0, 360);
    shared.saturation = std::clamp<short>(S, 0, 200);
    shared.lightness = std::clamp<short>(L, 0, 200);
    const CDuiString suffix(kHslKeySuffix);
    for (CPaintManagerUI* pm : shared.managers) {
        for (auto it = pm->m_mImages.begin(); it != pm->m_mImages.end();) {
            if (it->first.Right(suffix.GetLength()) == suffix) {
                if (it->second.surface) cairo_surface_destroy(it->second.surface);
                it = pm->m_mImages.erase(it);
            } else {
                ++it;
            }
        }
        pm->Invalidate();
    }
}

bool CPaintManagerUI::IsUseHSL() { return Shared().useHSL; }

void CPaintManagerUI::GetHSL(short* H, short* S, short* L) {
    if (H) *H = Shared().hue;
    if (S) *S = Shared().saturation;
    if (L) *L = Shared().lightness;
}

const TImageInfo* CPaintManagerUI::AddImage(LPCTSTR bitmap, LPCTSTR type, DWORD mask, bool, bool) {
    if (!bitmap || !*bitmap) return nullptr;
    CDuiString key = CDuiString(bitmap) + L"|" + (type ? type : L"");
    // A reloaded picture gets its adjusted copy made afresh.
    auto stale = m_mImages.find(key + kHslKeySuffix);
    if (stale != m_mImages.end()) {
        if (stale->second.surface) cairo_surface_destroy(stale->second.surface);
        m_mImages.erase(stale);
    }
    TImageInfo* loaded = CRenderEngine::LoadImage(bitmap, type, mask);
    TImageInfo& slot = m_mImages[key];
    if (slot.surface) cairo_surface_destroy(slot.surface);
    slot = TImageInfo();
    if (!loaded) return nullptr;  // remembered as missing until RemoveAllImages
    slot = *loaded;
    delete loaded;
    return &slot;
}

void CPaintManagerUI::RemoveImage(LPCTSTR bitmap, bool) {
    CDuiString prefix = CDuiString(bitmap) + L"|";
    for (auto it = m_mImages.begin(); it != m_mImages.end();) {
        if (it->first.Left(prefix.GetLength()) == prefix) {
            if (it->second.surface) cairo_surface_destroy(it->second.surface);
            it = m_mImages.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::RemoveAllImages(bool) {
    for (auto& i : m_mImages)
        if (i.second.surface) cairo_surface_destroy(i.second.surface);
    m_mImages.clear();
}

void CPaintManagerUI::ReloadSharedImages() {
    for (CPaintManagerUI* pm : Shared().managers) {
        pm->RemoveAllImages();
        pm->Invalidate();
    }
}

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR name, LPCTSTR list, bool bShared) {
    CDuiString key(name);
    key.MakeLower();
    (bShared ? Shared().sharedDefaultAttrs : m_mDefaultAttrs)[key] = list;
}

LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR name) const {
    CDuiString key(name);
    key.MakeLower();
    auto it = m_mDefaultAttrs.find(key);
    if (it != m_mDefaultAttrs.end()) return it->second.GetData();
    auto sh = Shared().sharedDefaultAttrs.find(key);
    if (sh != Shared().sharedDefaultAttrs.end()) return sh->second.GetData();
    return nullptr;
}

void CPaintManagerUI::AddStyle(LPCTSTR name, LPCTSTR style, bool bShared) {
    (bShared ? Shared().sharedStyles : m_mStyles)[name] = style;
}

LPCTSTR CPaintManagerUI::GetStyle(LPCTSTR name) const {
    auto it = m_mStyles.find(name ? name : L"");
    if (it != m_mStyles.end()) return it->second.GetData();
    auto sh = Shared().sharedStyles.find(name ? name : L"");
    if (sh != Shared().sharedStyles.end()) return sh->second.GetData();
    return nullptr;
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool bShared) {
    (bShared ? Shared().sharedDefaultAttrs : m_mDefaultAttrs).clear();
}

}  // namespace DuiLib
