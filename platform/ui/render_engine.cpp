#include "platform/ui/render_engine.h"

#include "platform/files/folders.h"
#include "platform/ui/image_loader.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/xml_document.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace DuiLib {

namespace {

void AddRect(cairo_t* cr, const RECT& r) { cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top); }

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double rx, double ry) {
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    cairo_new_sub_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    double W = w / rx, H = h / ry;
    cairo_arc(cr, W - 1, 1, 1, -G_PI / 2, 0);
    cairo_arc(cr, W - 1, H - 1, 1, 0, G_PI / 2);
    cairo_arc(cr, 1, H - 1, 1, G_PI / 2, G_PI);
    cairo_arc(cr, 1, 1, 1, G_PI, 3 * G_PI / 2);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void SetDash(cairo_t* cr, int style, int size) {
    // 1 = dashes, 2 = dots (pen styles); 0 = solid.
    if (style == 1) {
        double d[] = {3.0 * size, 1.0 * size};
        cairo_set_dash(cr, d, 2, 0);
    } else if (style == 2) {
        double d[] = {1.0 * size, 1.0 * size};
        cairo_set_dash(cr, d, 2, 0);
    } else
        cairo_set_dash(cr, nullptr, 0, 0);
}

PangoLayout* MakeLayout(cairo_t* cr, CPaintManagerUI* pm, int iFont, const RECT& rc, UINT uStyle) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    TFontInfo* font = nullptr;
    if (pm) font = pm->GetFontInfo(iFont);
    if (font && font->desc) pango_layout_set_font_description(layout, font->desc);
    int w = rc.right - rc.left;
    if (!(uStyle & DT_CALCRECT) || (uStyle & DT_WORDBREAK)) {
        if (w > 0) pango_layout_set_width(layout, w * PANGO_SCALE);
    }
    if (uStyle & DT_SINGLELINE) {
        pango_layout_set_single_paragraph_mode(layout, TRUE);
    }
    if (uStyle & DT_WORDBREAK && !(uStyle & DT_SINGLELINE))
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    else if (!(uStyle & DT_CALCRECT))
        pango_layout_set_width(layout, (uStyle & DT_END_ELLIPSIS) && w > 0 ? w * PANGO_SCALE : -1);
    if ((uStyle & DT_END_ELLIPSIS) && !(uStyle & DT_CALCRECT)) pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    if (uStyle & DT_CENTER)
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    else if (uStyle & DT_RIGHT)
        pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
    return layout;
}

void ShowLayout(cairo_t* cr, PangoLayout* layout, RECT& rc, UINT uStyle, DWORD color) {
    int lw = 0, lh = 0;
    pango_layout_get_pixel_size(layout, &lw, &lh);
    if (uStyle & DT_CALCRECT) {
        rc.right = rc.left + lw;
        rc.bottom = rc.top + lh;
        return;
    }
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    double x = rc.left, y = rc.top;
    if (pango_layout_get_width(layout) < 0) {
        // Without a set width, alignment is ours to do.
        if (uStyle & DT_CENTER)
            x += (w - lw) / 2;
        else if (uStyle & DT_RIGHT)
            x += w - lw;
    }
    if (uStyle & DT_VCENTER)
        y += (h - lh) / 2;
    else if (uStyle & DT_BOTTOM)
        y += h - lh;
    cairo_save(cr);
    AddRect(cr, rc);
    cairo_clip(cr);
    SetSourceColorUI(cr, color, true);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
}

}  // namespace

void SetSourceColorUI(cairo_t* cr, DWORD c, bool opaqueIfZero) {
    double a = ((c >> 24) & 0xFF) / 255.0;
    if (opaqueIfZero && (c >> 24) == 0) a = 1.0;
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, a);
}

bool TDrawInfo::Parse(LPCTSTR pStrImage, LPCTSTR pStrModify) {
    *this = TDrawInfo();
    for (LPCTSTR src : {pStrImage, pStrModify}) {
        if (!src) continue;
        CDuiString s(src);
        if (s.Find(L'=') < 0) {
            // A bare name.
            s.Trim();
            if (!s.IsEmpty()) sName = s;
            continue;
        }
        const wchar_t* p = s.GetData();
        while (*p) {
            while (*p && std::iswspace(static_cast<wint_t>(*p))) ++p;
            CDuiString key;
            while (*p && *p != L'=' && !std::iswspace(static_cast<wint_t>(*p))) key += *p++;
            while (*p && std::iswspace(static_cast<wint_t>(*p))) ++p;
            if (*p != L'=') break;
            ++p;
            while (*p && std::iswspace(static_cast<wint_t>(*p))) ++p;
            if (*p != L'\'' && *p != L'"') break;
            wchar_t q = *p++;
            CDuiString value;
            while (*p && *p != q) value += *p++;
            if (*p != q) break;
            ++p;
            if (key == L"file" || key == L"res")
                sName = value;
            else if (key == L"restype")
                sResType = value;
            else if (key == L"dest")
                rcDest = ParseRectUI(value);
            else if (key == L"source")
                rcSource = ParseRectUI(value);
            else if (key == L"corner")
                rcCorner = ParseRectUI(value);
            else if (key == L"mask")
                dwMask = ParseColorUI(value);
            else if (key == L"fade")
                uFade = static_cast<BYTE>(std::clamp(ParseIntUI(value), 0, 255));
            else if (key == L"hole")
                bHole = ParseBoolUI(value);
            else if (key == L"xtiled")
                bTiledX = ParseBoolUI(value);
            else if (key == L"ytiled")
                bTiledY = ParseBoolUI(value);
            else if (key == L"hsl")
                bHSL = ParseBoolUI(value);
        }
    }
    return !sName.IsEmpty();
}

TImageInfo* CRenderEngine::LoadImage(LPCTSTR bitmap, LPCTSTR type, DWORD mask) {
    if (!bitmap || !*bitmap) return nullptr;
    LPCTSTR mapped = CResourceManager::GetInstance()->GetImagePath(bitmap);
    CDuiString path = ResolveSkinPathUI(mapped ? mapped : bitmap);
    std::string bytes;
    if (!ReadFileBytesUI(path.str(), bytes)) return nullptr;
    cairo_surface_t* s = LoadImageSurfaceUI(bytes);
    if (!s) return nullptr;
    auto* info = new TImageInfo;
    info->surface = s;
    info->nX = cairo_image_surface_get_width(s);
    info->nY = cairo_image_surface_get_height(s);
    info->sResType = type;
    info->dwMask = mask;
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < info->nY; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < info->nX; ++x) {
            if (mask && (row[x] & 0x00FFFFFF) == (mask & 0x00FFFFFF) && (row[x] >> 24) == 0xFF) row[x] = 0;
            if ((row[x] >> 24) != 0xFF) info->bAlpha = true;
        }
    }
    cairo_surface_mark_dirty(s);
    return info;
}

DWORD CRenderEngine::AdjustColor(DWORD dwColor, short H, short S, short L) {
    if (H == 180 && S == 100 && L == 100) return dwColor;
    const double r = ((dwColor >> 16) & 0xFF) / 255.0, g = ((dwColor >> 8) & 0xFF) / 255.0,
                 b = (dwColor & 0xFF) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    double hue = 0, sat = 0, light = (hi + lo) / 2;
    if (hi > lo) {
        const double d = hi - lo;
        sat = light > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
        if (hi == r)
            hue = (g - b) / d + (g < b ? 6 : 0);
        else if (hi == g)
            hue = (b - r) / d + 2;
        else
            hue = (r - g) / d + 4;
        hue *= 60;
    }
    hue = std::fmod(hue + (H - 180) + 360.0, 360.0);
    sat = std::min(1.0, sat * S / 100.0);
    light = std::min(1.0, light * L / 100.0);
    const double q = light < 0.5 ? light * (1 + sat) : light + sat - light * sat;
    const double p = 2 * light - q;
    auto channel = [p, q](double t) {
        t = std::fmod(t + 360.0, 360.0);
        double v = p;
        if (t < 60)
            v = p + (q - p) * t / 60;
        else if (t < 180)
            v = q;
        else if (t < 240)
            v = p + (q - p) * (240 - t) / 60;
        return static_cast<DWORD>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return (dwColor & 0xFF000000) | channel(hue + 120) << 16 | channel(hue) << 8 | channel(hue - 120);
}

void CRenderEngine::AdjustImage(bool bUseHSL, TImageInfo* imageInfo, short H, short S, short L) {
    if (!bUseHSL || !imageInfo || !imageInfo->surface) return;
    if (H == 180 && S == 100 && L == 100) return;
    cairo_surface_t* s = imageInfo->surface;
    if (cairo_surface_get_type(s) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32)
        return;
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            // Pixels are premultiplied: adjust the straight colour.
            const uint32_t a = row[x] >> 24;
            if (a == 0) continue;
            auto straight = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            DWORD c = a << 24 | straight((row[x] >> 16) & 0xFF) << 16 | straight((row[x] >> 8) & 0xFF) << 8 |
                      straight(row[x] & 0xFF);
            c = AdjustColor(c, H, S, L);
            auto premultiplied = [a](uint32_t v) { return (v * a + 127) / 255; };
            row[x] = a << 24 | premultiplied((c >> 16) & 0xFF) << 16 | premultiplied((c >> 8) & 0xFF) << 8 |
                     premultiplied(c & 0xFF);
        }
    }
    cairo_surface_mark_dirty(s);
}

void CRenderEngine::FreeImage(TImageInfo* bitmap, bool bDelete) {
    if (!bitmap) return;
    if (bitmap->surface) cairo_surface_destroy(bitmap->surface);
    bitmap->surface = nullptr;
    if (bDelete) delete bitmap;
}

void CRenderEngine::DrawColor(HDC cr, const RECT& rc, DWORD color) {
    if (!cr || (color >> 24) == 0) return;
    cairo_save(cr);
    SetSourceColorUI(cr, color);
    AddRect(cr, rc);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CRenderEngine::DrawGradient(HDC cr, const RECT& rc, DWORD c1, DWORD c2, bool bVertical, int) {
    if (!cr) return;
    cairo_pattern_t* pat = bVertical ? cairo_pattern_create_linear(0, rc.top, 0, rc.bottom)
                                     : cairo_pattern_create_linear(rc.left, 0, rc.right, 0);
    auto stop = [pat](double at, DWORD c) {
        double a = (c >> 24) == 0 ? 1.0 : ((c >> 24) & 0xFF) / 255.0;
        cairo_pattern_add_color_stop_rgba(pat, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                          (c & 0xFF) / 255.0, a);
    };
    stop(0, c1);
    stop(1, c2);
    cairo_save(cr);
    cairo_set_source(cr, pat);
    AddRect(cr, rc);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pat);
}

void CRenderEngine::DrawLine(HDC cr, const RECT& rc, int nSize, DWORD color, int nStyle) {
    if (!cr) return;
    cairo_save(cr);
    SetSourceColorUI(cr, color, true);
    cairo_set_line_width(cr, nSize);
    SetDash(cr, nStyle, nSize);
    cairo_move_to(cr, rc.left + 0.5, rc.top + 0.5);
    cairo_line_to(cr, rc.right + 0.5, rc.bottom + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void CRenderEngine::DrawRect(HDC cr, const RECT& rc, int nSize, DWORD color, int nStyle) {
    if (!cr || nSize <= 0) return;
    cairo_save(cr);
    SetSourceColorUI(cr, color, true);
    cairo_set_line_width(cr, nSize);
    SetDash(cr, nStyle, nSize);
    double h = nSize / 2.0;
    cairo_rectangle(cr, rc.left + h, rc.top + h, rc.right - rc.left - nSize, rc.bottom - rc.top - nSize);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void CRenderEngine::DrawRoundRect(HDC cr, const RECT& rc, int width, int height, int nSize, DWORD color, int nStyle) {
    if (!cr || nSize <= 0) return;
    cairo_save(cr);
    SetSourceColorUI(cr, color, true);
    cairo_set_line_width(cr, nSize);
    SetDash(cr, nStyle, nSize);
    double h = nSize / 2.0;
    RoundRectPath(cr, rc.left + h, rc.top + h, rc.right - rc.left - nSize, rc.bottom - rc.top - nSize, width / 2.0,
                  height / 2.0);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void CRenderEngine::FillRoundRect(HDC cr, const RECT& rc, int width, int height, DWORD color) {
    if (!cr) return;
    cairo_save(cr);
    SetSourceColorUI(cr, color, true);
    RoundRectPath(cr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, width / 2.0, height / 2.0);
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace {
// The parameter of the ellipse point that a ray at `degrees` from the centre
// meets (a circle in disguise: the ray's angle is stretched by the axes).
double EllipseParameter(double degrees, double rx, double ry) {
    const double a = degrees * G_PI / 180.0;
    return std::atan2(rx * std::sin(a), ry * std::cos(a));
}
}  // namespace

void CRenderEngine::FillEllipse(HDC cr, const RECT& rc, DWORD color) { FillPie(cr, rc, 0.0f, 360.0f, color); }

void CRenderEngine::FillPie(HDC cr, const RECT& rc, float startAngle, float sweepAngle, DWORD color) {
    const double rx = (rc.right - rc.left) / 2.0, ry = (rc.bottom - rc.top) / 2.0;
    if (!cr || (color >> 24) == 0 || rx <= 0 || ry <= 0 || sweepAngle == 0.0f || !std::isfinite(sweepAngle) ||
        !std::isfinite(startAngle))
        return;
    cairo_save(cr);
    cairo_new_path(cr);
    // The path is made on the unit circle and stretched to the ellipse.
    cairo_translate(cr, rc.left + rx, rc.top + ry);
    cairo_scale(cr, rx, ry);
    if (std::fabs(sweepAngle) >= 360.0f) {
        cairo_arc(cr, 0, 0, 1, 0, 2 * G_PI);
    } else {
        const double from = EllipseParameter(startAngle, rx, ry);
        double turn = EllipseParameter(static_cast<double>(startAngle) + sweepAngle, rx, ry) - from;
        // The arc runs the way of the sweep, less than one whole turn.
        turn = std::fmod(turn, 2 * G_PI);
        if (sweepAngle > 0 && turn < 0) turn += 2 * G_PI;
        if (sweepAngle < 0 && turn > 0) turn -= 2 * G_PI;
        cairo_move_to(cr, 0, 0);
        if (turn > 0)
            cairo_arc(cr, 0, 0, 1, from, from + turn);
        else
            cairo_arc_negative(cr, 0, 0, 1, from, from + turn);
        cairo_close_path(cr);
    }
    cairo_restore(cr);  // back to the caller's transformation; the path stays where it was drawn
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    SetSourceColorUI(cr, color);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CRenderEngine::DrawImage(HDC cr, cairo_surface_t* bmp, const RECT& rc, const RECT& rcPaint, const RECT& src,
                              const RECT& corners, bool, BYTE uFade, bool hole, bool xtiled, bool ytiled) {
    if (!cr || !bmp) return;
    RECT clip;
    if (!IntersectRectUI(clip, rc, rcPaint)) return;
    cairo_save(cr);
    AddRect(cr, clip);
    cairo_clip(cr);
    // Draws the source part s into the target part d, stretched or tiled.
    auto part = [&](RECT d, RECT s, bool tx, bool ty) {
        int dw = d.right - d.left, dh = d.bottom - d.top, sw = s.right - s.left, sh = s.bottom - s.top;
        if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
        cairo_save(cr);
        AddRect(cr, d);
        cairo_clip(cr);
        cairo_pattern_t* pat = cairo_pattern_create_for_surface(bmp);
        cairo_matrix_t m;
        double scx = tx ? 1.0 : double(sw) / dw, scy = ty ? 1.0 : double(sh) / dh;
        cairo_matrix_init_translate(&m, s.left, s.top);
        cairo_matrix_scale(&m, scx, scy);
        cairo_matrix_translate(&m, -d.left, -d.top);
        cairo_pattern_set_matrix(pat, &m);
        if (tx || ty) {
            // Tile only the source part: copy it to its own surface.
            cairo_pattern_destroy(pat);
            cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
            cairo_t* tc = cairo_create(tile);
            cairo_set_source_surface(tc, bmp, -s.left, -s.top);
            cairo_paint(tc);
            cairo_destroy(tc);
            pat = cairo_pattern_create_for_surface(tile);
            cairo_surface_destroy(tile);
            cairo_matrix_init_scale(&m, tx ? 1.0 : double(sw) / dw, ty ? 1.0 : double(sh) / dh);
            cairo_matrix_translate(&m, -d.left, -d.top);
            cairo_pattern_set_matrix(pat, &m);
            cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
        } else {
            cairo_pattern_set_extend(pat, CAIRO_EXTEND_PAD);
        }
        cairo_pattern_set_filter(pat, (dw == sw && dh == sh) ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
        cairo_set_source(cr, pat);
        cairo_paint_with_alpha(cr, uFade / 255.0);
        cairo_pattern_destroy(pat);
        cairo_restore(cr);
    };
    const RECT& c = corners;
    if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
        if (!hole) part(rc, src, xtiled, ytiled);
    } else {
        // Nine parts: corners kept at their size, edges and middle stretched.
        int dx[4] = {rc.left, rc.left + c.left, rc.right - c.right, rc.right};
        int dy[4] = {rc.top, rc.top + c.top, rc.bottom - c.bottom, rc.bottom};
        int sx[4] = {src.left, src.left + c.left, src.right - c.right, src.right};
        int sy[4] = {src.top, src.top + c.top, src.bottom - c.bottom, src.bottom};
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                if (i == 1 && j == 1 && hole) continue;
                part({dx[i], dy[j], dx[i + 1], dy[j + 1]}, {sx[i], sy[j], sx[i + 1], sy[j + 1]},
                     i == 1 && j == 1 && xtiled, i == 1 && j == 1 && ytiled);
            }
    }
    cairo_restore(cr);
}

bool CRenderEngine::DrawImage(HDC cr, CPaintManagerUI* pm, const RECT& rcItem, const RECT& rcPaint,
                              const TDrawInfo& info) {
    if (!pm || info.sName.IsEmpty()) return false;
    const TImageInfo* img =
        pm->GetImageEx(info.sName, info.sResType.IsEmpty() ? nullptr : info.sResType.GetData(), info.dwMask, info.bHSL);
    if (!img || !img->surface) return false;
    RECT dest = rcItem;
    const RECT& d = info.rcDest;
    if (d.left || d.top || d.right || d.bottom) {
        CDPI* dpi = pm->GetDPIObj();
        dest.left = rcItem.left + dpi->Scale(d.left);
        dest.top = rcItem.top + dpi->Scale(d.top);
        dest.right = std::min<long>(rcItem.left + dpi->Scale(d.right), rcItem.right);
        dest.bottom = std::min<long>(rcItem.top + dpi->Scale(d.bottom), rcItem.bottom);
    }
    RECT src = info.rcSource;
    if (src.left == 0 && src.top == 0 && src.right == 0 && src.bottom == 0) src = {0, 0, img->nX, img->nY};
    src.right = std::min<long>(src.right, img->nX);
    src.bottom = std::min<long>(src.bottom, img->nY);
    RECT tmp;
    if (!IntersectRectUI(tmp, dest, rcPaint)) return true;
    DrawImage(cr, img->surface, dest, rcPaint, src, info.rcCorner, img->bAlpha, info.uFade, info.bHole, info.bTiledX,
              info.bTiledY);
    return true;
}

bool CRenderEngine::DrawImageString(HDC cr, CPaintManagerUI* pm, const RECT& rcItem, const RECT& rcPaint,
                                    LPCTSTR pStrImage, LPCTSTR pStrModify) {
    TDrawInfo info;
    if (!info.Parse(pStrImage, pStrModify)) return false;
    return DrawImage(cr, pm, rcItem, rcPaint, info);
}

bool CRenderEngine::DrawImageString(HDC cr, CPaintManagerUI* pm, const RECT& rcItem, const RECT& rcPaint,
                                    LPCTSTR pStrImage, LPCTSTR pStrModify, DWORD tint, int level, bool bTint) {
    if (!bTint) return DrawImageString(cr, pm, rcItem, rcPaint, pStrImage, pStrModify);
    if (!cr) return false;
    // Draw the image into a mask and fill its shape with the tint colour.
    // The mask is as big as the clip: clipped to the item, it costs the
    // item's pixels, not the whole window's, for every tinted control.
    RECT area;
    if (!IntersectRectUI(area, rcItem, rcPaint)) return true;
    cairo_save(cr);
    AddRect(cr, area);
    cairo_clip(cr);
    cairo_push_group(cr);
    bool ok = DrawImageString(cr, pm, rcItem, rcPaint, pStrImage, pStrModify);
    cairo_pattern_t* mask = cairo_pop_group(cr);
    if (ok) {
        double r = (tint & 0xFF) / 255.0, b = ((tint >> 8) & 0xFF) / 255.0, g = ((tint >> 16) & 0xFF) / 255.0;
        double a = std::clamp(level, 0, 255) / 255.0;
        cairo_set_source_rgba(cr, r, g, b, a);
        cairo_mask(cr, mask);
    }
    cairo_pattern_destroy(mask);
    cairo_restore(cr);
    return ok;
}

void CRenderEngine::DrawText(HDC cr, CPaintManagerUI* pm, RECT& rc, LPCTSTR text, DWORD color, int iFont, UINT uStyle) {
    if (!cr || !text) return;
    PangoLayout* layout = MakeLayout(cr, pm, iFont, rc, uStyle);
    std::string utf8 = win::ToUtf8(text);
    if (uStyle & DT_SINGLELINE) std::replace(utf8.begin(), utf8.end(), '\n', ' ');
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    TFontInfo* font = pm ? pm->GetFontInfo(iFont) : nullptr;
    if (font && font->bUnderline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    ShowLayout(cr, layout, rc, uStyle, color);
    g_object_unref(layout);
}

void CRenderEngine::DrawHtmlText(HDC cr, CPaintManagerUI* pm, RECT& rc, LPCTSTR text, DWORD color, RECT*, CDuiString*,
                                 int& nLinkRects, int iFont, UINT uStyle) {
    nLinkRects = 0;
    if (!cr || !text) return;
    // Translate the inline tags into Pango markup; everything else is text.
    std::string markup;
    std::vector<std::string> open;
    const wchar_t* p = text;
    std::wstring run;
    auto flush = [&]() {
        markup += EscapeXmlText(win::ToUtf8(run));
        run.clear();
    };
    while (*p) {
        if (*p == L'<' || *p == L'{') {
            wchar_t close = *p == L'<' ? L'>' : L'}';
            const wchar_t* e = p + 1;
            while (*e && *e != close) ++e;
            if (!*e) {
                run += *p++;
                continue;
            }
            std::wstring tag(p + 1, e);
            p = e + 1;
            flush();
            bool end = !tag.empty() && tag[0] == L'/';
            std::wstring name = end ? tag.substr(1) : tag;
            wchar_t t = name.empty() ? 0 : static_cast<wchar_t>(std::towlower(name[0]));
            if (t == L'n' && !end) {
                markup += "\n";
                continue;
            }
            if (end) {
                if (!open.empty()) {
                    markup += open.back();
                    open.pop_back();
                }
                continue;
            }
            std::string arg = win::ToUtf8(name.size() > 1 ? name.substr(1) : L"");
            while (!arg.empty() && arg[0] == ' ') arg.erase(0, 1);
            if (t == L'b') {
                markup += "<b>";
                open.push_back("</b>");
            } else if (t == L'i' && name.size() == 1) {
                markup += "<i>";
                open.push_back("</i>");
            } else if (t == L'u') {
                markup += "<u>";
                open.push_back("</u>");
            } else if (t == L'a') {
                markup += "<u>";
                open.push_back("</u>");
            } else if (t == L'c') {
                DWORD c = ParseColorUI(win::FromUtf8(arg).c_str());
                char buf[16];
                std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c & 0xFFFFFF));
                markup += std::string("<span foreground=\"") + buf + "\">";
                open.push_back("</span>");
            } else if (t == L'f') {
                TFontInfo* f = pm ? pm->GetFontInfo(std::atoi(arg.c_str())) : nullptr;
                if (f && f->desc) {
                    char* d = pango_font_description_to_string(f->desc);
                    markup += std::string("<span font_desc=\"") + EscapeXmlText(d) + "\">";
                    g_free(d);
                } else {
                    markup += "<span>";
                }
                open.push_back("</span>");
            }
            // Unknown tags are dropped.
            continue;
        }
        run += *p++;
    }
    flush();
    while (!open.empty()) {
        markup += open.back();
        open.pop_back();
    }
    PangoLayout* layout = MakeLayout(cr, pm, iFont, rc, uStyle);
    pango_layout_set_markup(layout, markup.c_str(), -1);
    ShowLayout(cr, layout, rc, uStyle, color);
    g_object_unref(layout);
}

SIZE CRenderEngine::GetTextSize(HDC cr, CPaintManagerUI* pm, LPCTSTR text, int iFont, UINT uStyle, int width) {
    RECT rc{0, 0, width, 9999};
    cairo_surface_t* scratch = nullptr;
    if (!cr) {
        scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cr = cairo_create(scratch);
    }
    DrawText(cr, pm, rc, text, 0, iFont, uStyle | DT_CALCRECT);
    if (scratch) {
        cairo_destroy(cr);
        cairo_surface_destroy(scratch);
    }
    return {rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace DuiLib
