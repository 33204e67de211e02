#pragma once

// CScreenCanvasUI: the screen editor's drawing surface in its skin (class
// name "ScreenCanvas"). It paints nothing of its own: its owner paints the
// canvas into the control's rectangle.

#include <functional>

#include "platform/ui/UIlib.h"

class CScreenCanvasUI : public DuiLib::CControlUI {
public:
    static constexpr const wchar_t* kClassName = L"ScreenCanvas";
    using Painter = std::function<void(DuiLib::HDC dc, const DuiLib::RECT& item, const DuiLib::RECT& paint)>;

    explicit CScreenCanvasUI(Painter painter) : m_painter(std::move(painter)) {}

    DuiLib::LPCTSTR GetClass() const override { return L"ScreenCanvasUI"; }
    bool DoPaint(DuiLib::HDC hDC, const DuiLib::RECT& rcPaint, DuiLib::CControlUI* pStopControl = nullptr) override;

private:
    Painter m_painter;
};
