#pragma once
// CCorvaneMousePadDevice: the page of the lit mouse pad and its connection.
// Its lighting is chosen on the PC and written to the pad as the light block;
// the effects run on the page only for the on-screen preview.

#include "devices/corvane_lit_device.h"
#include "link/basic_profiledata.h"

class CCorvaneMousePadDevice : public CCorvaneLitDevice {
public:
    static constexpr const wchar_t* kClassName = L"CorvaneMousePadDevice";

    CCorvaneMousePadDevice();
    ~CCorvaneMousePadDevice() override;

    static DuiLib::CControlUI* CreateControl();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    void OnConnected() override;
    // The device information block; nothing while the channel is closed.
    void ReadDeviceInfo();

    CBasicProfiledata& Profile() { return m_profile; }

protected:
    CBasicProfiledata& Document() override { return m_profile; }

private:
    CBasicProfiledata m_profile;
};
