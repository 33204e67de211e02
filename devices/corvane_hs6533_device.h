#pragma once
// CCorvaneHS6533Device: the page of the USB headset and its connection. Its
// lighting runs on the PC and goes to the headset as LED output reports on
// every frame; its equaliser, microphone and voice changer go through the
// audio-chip library (headset_audio.cpp).

#include <array>
#include <vector>

#include "devices/corvane_lit_device.h"
#include "link/hs6533_profiledata.h"

class CVoice6533ControlUI;
class CMagicControlUI;

class CCorvaneHS6533Device : public CCorvaneLitDevice {
public:
    static constexpr const wchar_t* kClassName = L"CorvaneHS6533Device";
    static constexpr int kHeadsetLeds = 13;
    static constexpr size_t kLedReportBytes = 17;
    static constexpr int kLedReportsPerFrame = 12;
    // Output values above this are sent as this.
    static constexpr uint8_t kLedValueCap = 247;

    CCorvaneHS6533Device();
    ~CCorvaneHS6533Device() override;

    static DuiLib::CControlUI* CreateControl();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    void InitPage() override;
    // Recolours the light buttons, then sends the LEDs as twelve LED reports.
    int SendLedFrame() override;
    void OnConnected() override;

    // The twelve LED reports of the present LED vector, in sending order.
    std::array<std::array<uint8_t, kLedReportBytes>, kLedReportsPerFrame> BuildLedReports() const;

    CHs6533Profiledata& Profile() { return m_profile; }
    CVoice6533ControlUI* VoicePanel() const { return m_pVoicePanel; }
    CMagicControlUI* MagicPanel() const { return m_pMagicPanel; }

protected:
    CBasicProfiledata& Document() override { return m_profile; }
    void BindPanels() override;

private:
    CHs6533Profiledata m_profile;
    CVoice6533ControlUI* m_pVoicePanel = nullptr;
    CMagicControlUI* m_pMagicPanel = nullptr;
};
