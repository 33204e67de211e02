#pragma once

// A list row that draws a one-pixel frame around itself while the pointer is
// over it (and it is not selected), when its list has a hot picture.

#include "platform/ui/list.h"

class CCloudShareListItemUI : public DuiLib::CListContainerElementUI {
public:
    static constexpr const wchar_t* kClassName = L"CloudShareListItemUI";

    static DuiLib::CControlUI* CreateInstance();

    DuiLib::LPCTSTR GetClass() const override;
    void DrawItemBk(DuiLib::HDC hDC, const DuiLib::RECT& rcItem) override;
};
