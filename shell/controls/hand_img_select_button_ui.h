#pragma once

// A button that shows a crop of a picture ("handimage") at the picture's own
// pixel size; dragging over it pans the crop inside the picture, the way a
// picture is framed before it is used. No click is sent. Like the hand-image
// button it reports the pointer entering and leaving ("msenter", "msleave").

#include "platform/ui/button.h"

class CHandImgSelectButtonUI : public DuiLib::CButtonUI {
public:
    static constexpr const wchar_t* kClassName = L"HandImgSelectButton";

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void DoEvent(DuiLib::TEventUI& event) override;
    // "handimage" loads the picture and starts the crop at the control's
    // present size; "cursor" takes the standard cursor names ("arrow",
    // "ibeam", "wait", "cross", "uparrow", "size", "icon", "sizenwse",
    // "sizenesw", "sizewe", "sizens", "sizeall", "no", "hand"), any case.
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;
    void PaintStatusImage(DuiLib::HDC hDC) override;

    const DuiLib::CDuiString& GetHandImage() const { return m_sHandImage; }
    // What is drawn: the picture itself, or it with the crop as "source".
    const DuiLib::CDuiString& GetCropDescription() const { return m_sCrop; }
    // The crop in picture pixels.
    const DuiLib::RECT& GetCropRect() const { return m_rcCrop; }

    // The cursor id of a "cursor" value, 0 when the value is not one.
    static int CursorIdOf(DuiLib::LPCTSTR value);

private:
    void LoadPicture();
    void Pan(DuiLib::POINT pt);
    void DescribeCrop();

    DuiLib::CDuiString m_sHandImage;
    DuiLib::CDuiString m_sCrop;
    DuiLib::RECT m_rcCrop{};
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    bool m_bDragging = false;
    DuiLib::POINT m_ptLast{};
};
