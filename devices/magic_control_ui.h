#pragma once
// CMagicControlUI: the headset's voice-changer panel, a passive view of the
// changer's switch and its four voices.

#include "devices/panel_children.h"
#include "platform/ui/container.h"

class CMagicControlUI : public DuiLib::CHorizontalLayoutUI {
public:
    static constexpr int kVoices = 4;

    CMagicControlUI() : m_children(*this) { SetOptionScope(); }
    static DuiLib::CControlUI* CreateInstance();

    void SetDeviceKind(int kind) { m_nDeviceKind = kind; }
    int GetDeviceKind() const { return m_nDeviceKind; }
    void EnableMagicOptions(bool on);
    void SetMagicEnabled(bool on);
    int IsMagicEnabled();
    // Deselects voices 1..4, then selects voice n (1..4) and remembers it; else remembers 0.
    void SelectMagicOption(int n);
    int GetSelectedMagicOption() const { return m_nMagicOption; }

private:
    PanelChildren m_children;
    int m_nDeviceKind = 0;
    int m_nMagicOption = 0;
};
