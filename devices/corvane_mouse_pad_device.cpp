#include "devices/corvane_mouse_pad_device.h"

using namespace DuiLib;

namespace {
constexpr wchar_t kPicture[] = L"mousepad_device_key_light";
}  // namespace

CCorvaneMousePadDevice::CCorvaneMousePadDevice() : CCorvaneLitDevice(kTypeMousePad, kMousePadEffectShape, kPicture) {
    PointProfileDocument(m_profile);
}

CCorvaneMousePadDevice::~CCorvaneMousePadDevice() {
    StopLightThread();
    CloseEventChannel();
}

CControlUI* CCorvaneMousePadDevice::CreateControl() { return CreatePage<CCorvaneMousePadDevice>(); }

LPCTSTR CCorvaneMousePadDevice::GetClass() const { return kClassName; }

LPVOID CCorvaneMousePadDevice::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CCorvaneLitDevice::GetInterface(pstrName);
}

void CCorvaneMousePadDevice::OnConnected() {
    ReadDeviceInfo();
    LoadProfile(1);
    RefreshPage(1);
    StartLightThread();
}

void CCorvaneMousePadDevice::ReadDeviceInfo() {
    if (!m_commandChannel.IsOpen()) return;
    m_commandChannel.BeginSession();
    m_commandChannel.ReadDeviceInfo(&m_deviceInfo);
    m_commandChannel.EndSession();
}
