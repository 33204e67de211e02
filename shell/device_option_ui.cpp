#include "shell/device_option_ui.h"

using namespace DuiLib;

CDeviceOptionUI::CDeviceOptionUI() = default;

CControlUI* CDeviceOptionUI::CreateControl() { return new CDeviceOptionUI(); }

LPCTSTR CDeviceOptionUI::GetClass() const { return kClassName; }

LPVOID CDeviceOptionUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}
