#include "shell/controls/chart_view_ui.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"
#include "shell/controls/chart_color_table.h"

using namespace DuiLib;

namespace {

constexpr int kLegendWidth = 100;
constexpr int kLegendSquare = 18;
constexpr int kMargin = 5;
constexpr int kLabelHeight = 25;

RECT Grown(const RECT& r, int by) { return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

}  // namespace

CControlUI* CChartViewUI::CreateInstance() { return new CChartViewUI(); }

LPCTSTR CChartViewUI::GetClass() const { return kClassName; }

void CChartViewUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    const CDuiString name(pstrName ? pstrName : L"");
    const CDuiString value(pstrValue ? pstrValue : L"");
    if (name == L"view") {
        if (value == L"pie")
            m_view = kPie;
        else if (value == L"histpgram")
            m_view = kHistogram;
    } else if (name == L"shadowimage")
        m_sShadowImage = value;
    else if (name == L"shadowimageheight")
        m_nShadowImageHeight = ParseIntUI(value);
    else if (name == L"pillarimage")
        m_sPillarImage = value;
    else if (name == L"pillarimagewidth")
        m_nPillarImageWidth = ParseIntUI(value);
    else if (name == L"showhtml")
        m_bShowHtml = value == L"true";
    else if (name == L"showtext")
        m_bShowText = value == L"true";
    else if (name == L"font")
        m_iFont = ParseIntUI(value);
    else {
        CControlUI::SetAttribute(pstrName, pstrValue);
        return;
    }
    Invalidate();
}

void CChartViewUI::AddItem(const std::wstring& name, double value) {
    m_items.push_back({name, value});
    Invalidate();
}

void CChartViewUI::RemoveAllItems() {
    m_items.clear();
    Invalidate();
}

bool CChartViewUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
    RECT visible;
    if (!IntersectRectUI(visible, rcPaint, m_rcItem)) return true;
    if (!CControlUI::DoPaint(hDC, rcPaint, pStopControl)) return false;
    cairo_save(hDC);
    cairo_rectangle(hDC, m_rcItem.left, m_rcItem.top, GetWidth(), GetHeight());
    cairo_clip(hDC);
    if (m_view == kPie)
        PaintPie(hDC);
    else if (m_view == kHistogram)
        PaintHistogram(hDC);
    cairo_restore(hDC);
    return true;
}

RECT CChartViewUI::PieBox() const {
    const int legend = m_bShowText ? kLegendWidth : 0;
    const int availableWidth = GetWidth() - legend - 2 * kMargin;
    const int availableHeight = GetHeight() - 2 * kMargin;
    const int diameter = std::min(availableWidth, availableHeight);
    const int left = m_rcItem.left + kMargin + (availableWidth - diameter) / 2;
    const int top = m_rcItem.top + kMargin + (availableHeight - diameter) / 2;
    return RECT{left, top, left + diameter, top + diameter};
}

void CChartViewUI::DrawItemText(HDC hDC, RECT rc, const std::wstring& text, UINT style) {
    if (m_bShowHtml) {
        int links = 0;
        CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.c_str(), m_dwTextColor, nullptr, nullptr, links, m_iFont,
                                    style);
    } else {
        CRenderEngine::DrawText(hDC, m_pManager, rc, text.c_str(), m_dwTextColor, m_iFont, style);
    }
}

void CChartViewUI::PaintPie(HDC hDC) {
    if (m_items.empty()) return;
    double total = 0;
    for (const ChartItem& item : m_items) total += item.value;
    // Slices are shares of the total: without one there is nothing to share.
    if (total == 0 || !std::isfinite(total)) return;

    const int n = static_cast<int>(m_items.size());
    const int legend = m_bShowText ? kLegendWidth : 0;
    const RECT box = PieBox();
    const int diameter = box.right - box.left;
    const int availableHeight = GetHeight() - 2 * kMargin;
    int rowTop = m_rcItem.top + (availableHeight - n * kLegendSquare - n * 4) / 2;
    rowTop = std::max(rowTop, static_cast<int>(m_rcItem.top) + kMargin);

    CRenderEngine::FillEllipse(hDC, Grown(box, 4), 0x1E1E1E1E);
    CRenderEngine::FillEllipse(hDC, Grown(box, 1), 0x64646464);

    float start = 0;
    for (int j = 0; j < n; ++j) {
        const float sweep = static_cast<float>(m_items[j].value / total * 360.0);
        const DWORD color = ChartSliceColor(static_cast<std::size_t>(j));
        CRenderEngine::FillPie(hDC, box, start, sweep, color);
        start += sweep;
        if (!m_bShowText) continue;
        const int rowLeft = box.left + diameter + 10;
        const RECT row{rowLeft, rowTop, rowLeft + legend + kLegendSquare, rowTop + kLegendSquare};
        RECT shown;
        if (IntersectRectUI(shown, row, m_rcItem)) {
            CRenderEngine::DrawColor(hDC, RECT{row.left, row.top, row.left + kLegendSquare, row.top + kLegendSquare},
                                     color);
            DrawItemText(hDC, RECT{row.left + kLegendSquare + 5, row.top, row.right, row.bottom}, m_items[j].name,
                         DT_SINGLELINE | DT_VCENTER);
        }
        rowTop += kLegendSquare + 4;
    }
}

void CChartViewUI::PaintHistogram(HDC hDC) {
    const int label = m_bShowText ? kLabelHeight : 0;
    if (!m_sShadowImage.IsEmpty()) {
        const RECT shadow{m_rcItem.left, m_rcItem.bottom - m_nShadowImageHeight - label, m_rcItem.right,
                          m_rcItem.bottom - label};
        if (!CRenderEngine::DrawImageString(hDC, m_pManager, shadow, m_rcPaint, m_sShadowImage)) m_sShadowImage.Empty();
    }
    if (m_items.empty()) return;
    // Pillars are spaced by how many fit across: without a width they have no place.
    if (m_nPillarImageWidth <= 0) return;

    double largest = 0;
    for (const ChartItem& item : m_items)
        if (item.value > largest) largest = item.value;
    const int plotHeight = GetHeight() - label;
    const int gap = 2 * (GetWidth() / m_nPillarImageWidth);

    int x = gap;
    for (const ChartItem& item : m_items) {
        // Without a positive largest value no pillar has a height.
        if (!m_sPillarImage.IsEmpty() && largest > 0 && std::isfinite(largest) && item.value > 0) {
            const double height = std::min(plotHeight * item.value / largest, static_cast<double>(plotHeight));
            const RECT pillar{m_rcItem.left + x, m_rcItem.bottom - label - static_cast<int>(height),
                              m_rcItem.left + x + m_nPillarImageWidth, m_rcItem.bottom - label};
            if (!CRenderEngine::DrawImageString(hDC, m_pManager, pillar, m_rcPaint, m_sPillarImage))
                m_sPillarImage.Empty();
        }
        if (m_bShowText)
            DrawItemText(hDC,
                         RECT{m_rcItem.left + x - gap, m_rcItem.bottom - label,
                              m_rcItem.left + x + m_nPillarImageWidth + gap, m_rcItem.bottom},
                         item.name, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        x += gap + m_nPillarImageWidth;
    }
}
