#include "devices/corvane_hs6533_device.h"

#include <algorithm>

#include "devices/magic_control_ui.h"
#include "devices/voice6533_control_ui.h"
#include "platform/hid/hid_api.h"
#include "platform/ui/button.h"

using namespace DuiLib;

namespace {

constexpr wchar_t kPicture[] = L"hs6533_device_key_light";
constexpr size_t kFirstValue = 4;
constexpr int kLowPartLeds = 7;  // parts 0xAA..0xAC carry LEDs 0..6, 0xAD..0xAF LEDs 7..12

struct ReportPart {
    uint8_t variant;  // byte 1
    uint8_t part;     // byte 2
};
// Red, then green, then blue; each colour's low and high part once with each variant.
constexpr ReportPart kReportOrder[CCorvaneHS6533Device::kLedReportsPerFrame] = {
    {0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD}, {0x22, 0xAB}, {0x22, 0xAE},
    {0x44, 0xAB}, {0x44, 0xAE}, {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
constexpr uint8_t kReportId = 0xFF;

uint8_t OutputValue(uint8_t component, uint8_t level) {
    return std::min<uint8_t>(uint8_t((unsigned(component) * level) >> 8), CCorvaneHS6533Device::kLedValueCap);
}

}  // namespace

CCorvaneHS6533Device::CCorvaneHS6533Device()
    : CCorvaneLitDevice(kTypeHeadset, kHeadsetEffectShape, kPicture), m_audioPath(AudioChipLibrary::DefaultPath()) {
    PointProfileDocument(m_profile);
    for (auto& buffer : m_buffers) buffer.assign(kPropertyBufferBytes, 0);
}

CCorvaneHS6533Device::~CCorvaneHS6533Device() {
    StopLightThread();
    CloseEventChannel();
}

CControlUI* CCorvaneHS6533Device::CreateControl() { return CreatePage<CCorvaneHS6533Device>(); }

LPCTSTR CCorvaneHS6533Device::GetClass() const { return kClassName; }

LPVOID CCorvaneHS6533Device::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CCorvaneLitDevice::GetInterface(pstrName);
}

void CCorvaneHS6533Device::InitPage() {
    CCorvaneLitDevice::InitPage();
    InitAudio();
}

void CCorvaneHS6533Device::BindPanels() {
    if (CControlUI* c = FindSubControl(L"MagicControlItem")) m_pMagicPanel = dynamic_cast<CMagicControlUI*>(c);
    if (m_pMagicPanel) m_pMagicPanel->SetDeviceKind(m_nDeviceType);
    if (CControlUI* c = FindSubControl(L"Voice6533ControlItem")) m_pVoicePanel = dynamic_cast<CVoice6533ControlUI*>(c);
    if (m_pVoicePanel) m_pVoicePanel->SetDeviceKind(m_nDeviceType);
    if (CControlUI* c = FindSubControl(L"virtual_surround_option"))
        m_pSurroundOption = static_cast<COptionUI*>(c->GetInterface(L"Option"));
}

void CCorvaneHS6533Device::OnConnected() {
    LoadProfile(1);
    ReadVolumeState();
    RefreshPage(1);
    StartLightThread();
}

std::array<std::array<uint8_t, CCorvaneHS6533Device::kLedReportBytes>, CCorvaneHS6533Device::kLedReportsPerFrame>
CCorvaneHS6533Device::BuildLedReports() const {
    // The output values of every LED the reports carry, by colour.
    uint8_t values[3][kHeadsetLeds] = {};
    const int count = std::min(m_leds.GetLedCount(), kHeadsetLeds);
    for (int i = 0; i < count; ++i) {
        const LedColor led = m_leds.GetLed(i);
        values[0][i] = OutputValue(led.r, led.brightness);
        values[1][i] = OutputValue(led.g, led.brightness);
        values[2][i] = OutputValue(led.b, led.brightness);
    }
    std::array<std::array<uint8_t, kLedReportBytes>, kLedReportsPerFrame> reports{};
    for (int r = 0; r < kLedReportsPerFrame; ++r) {
        auto& report = reports[size_t(r)];
        const ReportPart& p = kReportOrder[r];
        report[0] = kReportId;
        report[1] = p.variant;
        report[2] = p.part;
        const int colour = (p.part - 0xAA) % 3;
        const bool low = p.part <= 0xAC;
        const int first = low ? 0 : kLowPartLeds;
        const int n = low ? kLowPartLeds : kHeadsetLeds - kLowPartLeds;
        for (int i = 0; i < n; ++i) report[kFirstValue + size_t(i)] = values[colour][first + i];
    }
    return reports;
}

int CCorvaneHS6533Device::SendLedFrame() {
    const int shown = CCorvaneLitDevice::SendLedFrame();
    if (!IsLightingEnabled()) return shown;
    auto reports = BuildLedReports();
    win::CriticalSectionGuard io(m_commandChannel.m_ioLock);
    win::HANDLE handle = m_commandChannel.m_wired.m_handle;
    // Every report goes whatever became of the one before; a closed handle fails quietly.
    for (auto& report : reports) win::HidD_SetOutputReport(handle, report.data(), win::ULONG(report.size()));
    return shown;
}
