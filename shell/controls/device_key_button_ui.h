#pragma once

#include <utility>

// One key or light zone of a device picture: a button that can draw a tinted
// light overlay, the key's legend over that light and a key-assignment marker
// over its normal images, knows whether it belongs to the current rubber-band
// selection, frames itself while it is the key being edited and reports
// double clicks ("dbclick").

#include "platform/ui/button.h"

class CDeviceKeyButtonUI : public DuiLib::CButtonUI {
public:
    static constexpr const wchar_t* kClassName = L"DeviceKeyButton";

    CDeviceKeyButtonUI();
    static DuiLib::CControlUI* CreateControl();

    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    // "lightimage", "legendimage", "keysetimage" and the accepted but unused
    // "gmnametextcolor"; everything else is the button's.
    void SetAttribute(DuiLib::LPCTSTR pstrName, DuiLib::LPCTSTR pstrValue) override;

    // The overlay of one LED: colour word R | B << 8 | G << 16, level 0..255,
    // and whether the overlay is drawn. The owner repaints (see
    // InvalidateChangedLights); a change is noted until then.
    void SetLightColor(DuiLib::DWORD colorWord, int level, bool shown);
    // True once after the overlay changed.
    bool TakeLightChange() { return std::exchange(m_bLightChanged, false); }
    DuiLib::DWORD GetLightColor() const { return m_dwLightColor; }
    int GetLightLevel() const { return m_nLightLevel; }
    bool IsLightShown() const { return m_bLightShown; }
    const DuiLib::CDuiString& GetLightImage() const { return m_sLightImage; }
    const DuiLib::CDuiString& GetKeySetImage() const { return m_sKeySetImage; }
    const DuiLib::CDuiString& GetLegendImage() const { return m_sLegendImage; }

    // The key whose function is being edited: framed in the accent colour.
    void SetMarked(bool marked);
    bool IsMarked() const { return m_bMarked; }

    // The marker is drawn only while hidden is 0.
    void SetKeySetMarkHidden(int hidden);
    int IsKeySetMarkHidden() const { return m_nKeySetMarkHidden; }

    // Part of the current rubber-band selection.
    void SetSelected(int selected);
    int IsSelected() const { return m_nSelected; }

    void PaintStatusImage(DuiLib::HDC hDC) override;
    void PaintBkColor(DuiLib::HDC hDC) override;
    void PaintBorder(DuiLib::HDC hDC) override;
    void DoEvent(DuiLib::TEventUI& event) override;

private:
    DuiLib::CDuiString m_sLightImage;
    DuiLib::CDuiString m_sKeySetImage;
    DuiLib::CDuiString m_sLegendImage;
    bool m_bMarked = false;
    int m_nKeySetMarkHidden = 1;
    bool m_bLightShown = false;
    bool m_bLightChanged = false;
    DuiLib::DWORD m_dwLightColor = 255;
    int m_nLightLevel = 200;
    int m_nSelected = 0;
};

// Repaints the key buttons under `root` whose overlay changed since the last
// call, and nothing else: a preview whose lights hold still costs no painting.
void InvalidateChangedLights(DuiLib::CControlUI* root);
