#pragma once

// A button that draws one extra picture ("handimage", an image description)
// over its normal images and tells the window's listener when the pointer
// enters and leaves it ("msenter", "msleave").

#include "platform/ui/button.h"

class CHandImgButtonUI : public DuiLib::CButtonUI {
public:
    static constexpr const wchar_t* kClassName = L"HandImgButton";

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void DoEvent(DuiLib::TEventUI& event) override;
    // "handimage"; "deletenormalimage" and "deletehotimage" are accepted for
    // the skins that carry them (this button shows no delete icon); names
    // are compared without regard to case.
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;
    void PaintStatusImage(DuiLib::HDC hDC) override;

    const DuiLib::CDuiString& GetHandImage() const { return m_sHandImage; }

private:
    DuiLib::CDuiString m_sHandImage;
};

// Sends "msenter" or "msleave" for an enabled button when the event is the
// pointer entering or leaving it; shared by the hand-image buttons.
void NotifyPointerCrossing(DuiLib::CButtonUI* button, const DuiLib::TEventUI& event);
