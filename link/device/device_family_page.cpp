#include "link/device/device_family_page.h"

#include "pages/key_set_control_ui.h"
#include "pages/light_control_ui.h"
#include "pages/macro_control_ui.h"
#include "platform/ui/paint_manager.h"

using namespace DuiLib;

void CDeviceFamilyPage::InitPage() {
    if (CPaintManagerUI* manager = GetManager()) manager->AddNotifier(this);
    BuildDevicePage();
}

// --- Profile document ----------------------------------------------------------

void CDeviceFamilyPage::UpdateProfilePaths() {
    const CDuiString folder = GetUserDataFolder();
    // The defaults file is named by the device, known only once the page is set up.
    if (!m_sDeviceName.IsEmpty()) Document().SetDefaultProfilePath(GetDefaultProfilePath());
    Document().SetProfilePath(folder + m_sProfileId + L".Json");
    Document().SetLightListPath(folder + m_sLightListName + L".config");
}

CDuiString CDeviceFamilyPage::GetProfilePath() { return Document().GetProfilePath(); }

void CDeviceFamilyPage::SaveProfile() { Document().SaveProfile(); }

void CDeviceFamilyPage::SetDeviceIndex(int index) {
    CCorvaneUSBDevice::SetDeviceIndex(index);
    PointProfileDocument(Document());
}

void CDeviceFamilyPage::SetLightSetting(LightSetting setting) {
    CCorvaneUSBDevice::SetLightSetting(setting);
    Document().SetLightInfo(CurrentLightSetting());
}

// --- Shared panels ---------------------------------------------------------------

bool CDeviceFamilyPage::ClearWithoutLayout() {
    if (!m_sPageXml.IsEmpty()) return false;
    SetKeyCount(0);
    SetLedCount(0);
    return true;
}

void CDeviceFamilyPage::BindLightControl(int kind, int levelMax) {
    if (CControlUI* c = FindSubControl(L"LightControlItem")) m_pLightControl = dynamic_cast<CLightControlUI*>(c);
    if (!m_pLightControl) return;
    m_pLightControl->SetDeviceKind(kind);
    LoadNameLists();
    m_pLightControl->InitModeList(m_defaultLightNames, m_defaultLightVisible, levelMax, levelMax);
}

CMacroControlUI* CDeviceFamilyPage::BindMacroControl() {
    auto* macros = FindAs<CMacroControlUI>(L"MacroControlItem", CMacroControlUI::kClassName);
    if (!macros) return nullptr;
    macros->SetMacroFolder(GetUserDataFolder());
    macros->LoadMacroList();
    return macros;
}

CKeySetControlUI* CDeviceFamilyPage::BindKeySetControl(int kind, const CMacroControlUI* macros) {
    auto* keys = FindAs<CKeySetControlUI>(L"KeySetControlItem", CKeySetControlUI::kClassName);
    if (!keys) return nullptr;
    keys->InitControls();
    keys->SetDeviceKind(kind);
    keys->ShowKeySetLayout(false);
    keys->SetOwnerWindow(GetMainWindow());
    if (macros) keys->SetMacroNames(macros->GetMacroNames());
    return keys;
}
