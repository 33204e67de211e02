#pragma once
// CDeviceFamilyPage: what the page of every device family does the same way,
// so that a family gives only what differs. The page hears its controls'
// notifications and builds itself from its layout (BuildDevicePage, the
// family's); the shared panels of a layout (lighting, macros, key
// assignment) are bound one way; the profile document follows the page's
// folders, index and lighting.

#include <exception>

#include "link/basic_profiledata.h"
#include "link/device/corvane_usb_device.h"

class CKeySetControlUI;
class CMacroControlUI;

class CDeviceFamilyPage : public CCorvaneUSBDevice {
public:
    // The page hears its controls' notifications, then builds.
    void InitPage() override;
    // Binds the controls of the page's layout (a page without a layout has
    // no keys and no LEDs).
    virtual void BuildDevicePage() = 0;

    // The profile document follows the page: its paths from the device's
    // folder, the page's index and the page's lighting.
    void UpdateProfilePaths() override;
    DuiLib::CDuiString GetProfilePath() override;
    void SaveProfile() override;
    void SetDeviceIndex(int index) override;
    void SetLightSetting(LightSetting setting) override;

protected:
    // The family's profile document.
    virtual CBasicProfiledata& Document() = 0;

    // The control-factory entry of a family's page; null when construction fails.
    template <class Page>
    static DuiLib::CControlUI* CreatePage() {
        try {
            return new Page();
        } catch (const std::exception&) {
            return nullptr;
        }
    }
    // Without a layout the page has no keys and no LEDs: both counts are
    // cleared and the result is true.
    bool ClearWithoutLayout();
    // The control of that name inside the page as the interface asked for;
    // null when there is none.
    template <class T>
    T* FindAs(const wchar_t* name, const wchar_t* interfaceName) {
        DuiLib::CControlUI* c = FindSubControl(name);
        return c ? static_cast<T*>(c->GetInterface(interfaceName)) : nullptr;
    }
    // The lighting page ("LightControlItem"), when the layout has one: told
    // the device kind and given the name lists, its sliders reaching levelMax.
    void BindLightControl(int kind, int levelMax);
    // The macro page ("MacroControlItem") on the device's folder with its
    // list loaded; null when the layout has none.
    CMacroControlUI* BindMacroControl();
    // The key-assignment page ("KeySetControlItem") set up for the device
    // kind, with the macro page's names when there is one; null when the
    // layout has none.
    CKeySetControlUI* BindKeySetControl(int kind, const CMacroControlUI* macros);
};
