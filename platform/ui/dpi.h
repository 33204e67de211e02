#pragma once

#include "platform/ui/ui_types.h"

namespace DuiLib {

// Scale of one window: GetScale gives the percentage (100 at 96 DPI, 150 at
// 144). Sizes in skins are written for 96 DPI and scaled through Scale().
class CDPI {
public:
    int GetDPI() const { return m_nDPI; }
    void SetScale(int uDPI) { m_nDPI = uDPI > 0 ? uDPI : 96; }
    int GetScale() const { return m_nDPI * 100 / 96; }
    int Scale(int value) const { return value * m_nDPI / 96; }
    int ScaleBack(int value) const { return value * 96 / m_nDPI; }
    RECT Scale(RECT r) const { return {Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)}; }
    SIZE Scale(SIZE s) const { return {Scale(s.cx), Scale(s.cy)}; }
    POINT Scale(POINT p) const { return {Scale(p.x), Scale(p.y)}; }

private:
    int m_nDPI = 96;
};

}  // namespace DuiLib
