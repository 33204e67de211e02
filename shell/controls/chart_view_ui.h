#pragma once

// A chart of named values: a pie with a legend of coloured squares, or a
// histogram of pillar pictures over a shadow picture with the names below.

#include <string>
#include <vector>

#include "platform/ui/control.h"

struct ChartItem {
    std::wstring name;
    double value = 0;
};

class CChartViewUI : public DuiLib::CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"ChartView";
    enum View { kPie = 0, kHistogram = 1 };

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    // "view" ("pie", or "histpgram" as the skins spell it), "shadowimage",
    // "shadowimageheight", "pillarimage", "pillarimagewidth", "showhtml",
    // "showtext", "font"; names and "true" compared exactly.
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;
    bool DoPaint(DuiLib::HDC hDC, const DuiLib::RECT& rcPaint, DuiLib::CControlUI* pStopControl = nullptr) override;

    void AddItem(const std::wstring& name, double value);
    void RemoveAllItems();
    const std::vector<ChartItem>& GetItems() const { return m_items; }
    int GetView() const { return m_view; }
    bool IsTextShown() const { return m_bShowText; }
    const DuiLib::CDuiString& GetShadowImage() const { return m_sShadowImage; }
    const DuiLib::CDuiString& GetPillarImage() const { return m_sPillarImage; }

    // The square the pie is drawn in (without its shadow).
    DuiLib::RECT PieBox() const;

protected:
    virtual void PaintPie(DuiLib::HDC hDC);
    virtual void PaintHistogram(DuiLib::HDC hDC);

private:
    void DrawItemText(DuiLib::HDC hDC, DuiLib::RECT rc, const std::wstring& text, DuiLib::UINT style);

    std::vector<ChartItem> m_items;
    int m_view = kPie;
    DuiLib::CDuiString m_sShadowImage;
    int m_nShadowImageHeight = 0;
    DuiLib::CDuiString m_sPillarImage;
    int m_nPillarImageWidth = 0;
    DuiLib::DWORD m_dwTextColor = 0;
    bool m_bShowHtml = false;
    bool m_bShowText = true;
    int m_iFont = -1;
};
