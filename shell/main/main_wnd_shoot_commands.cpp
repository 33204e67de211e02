// The main window's commands of the mouse's recoil tab: each forwards to the
// recoil page of the current device when that is a mouse, and does nothing
// otherwise.
#include <string>

#include "link/device/corvane_usb_device.h"
#include "pages/shoot_control_ui.h"
#include "pages/shoot_file.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

namespace {

const std::wstring kShootFilter(L"Shoot Files(*.shoot)\0*.shoot;\0", 30);

CShootControlUI* ShootPageOf(CCorvaneUSBDevice* page) {
    if (page == nullptr || page->GetDeviceType() != CCorvaneUSBDevice::kTypeMouse) return nullptr;
    CControlUI* found = page->FindSubControl(L"ShootControlItem");
    return found ? static_cast<CShootControlUI*>(found->GetInterface(CShootControlUI::kClassName)) : nullptr;
}

}  // namespace

// A gun or bullet control beyond the page's counts names none of them: the
// page would take it for the last one.
void CMainWnd::OnGunSelected(int gun) {
    if (gun < 0 || gun >= kShootGunCount) return;
    if (CShootControlUI* shoot = ShootPageOf(GetCurrentDevice())) {
        shoot->SelectGun(gun);
        shoot->LoadBullet();
    }
}

void CMainWnd::OnBulletSelected(int bullet) {
    if (bullet < 0 || bullet >= kShootBulletCount) return;
    if (CShootControlUI* shoot = ShootPageOf(GetCurrentDevice())) shoot->SelectBullet(bullet);
}

void CMainWnd::OnBulletStep(int next) {
    CShootControlUI* shoot = ShootPageOf(GetCurrentDevice());
    if (shoot == nullptr) return;
    if (next != 0)
        shoot->SelectNextBullet();
    else
        shoot->SelectPreviousBullet();
}

void CMainWnd::SaveBullet() {
    if (CShootControlUI* shoot = ShootPageOf(GetCurrentDevice())) shoot->SaveBullet();
}

void CMainWnd::OnResetShootData() {
    if (CShootControlUI* shoot = ShootPageOf(GetCurrentDevice())) shoot->ResetGun();
}

void CMainWnd::OnImportShootData() {
    CShootControlUI* shoot = ShootPageOf(GetCurrentDevice());
    if (shoot == nullptr) return;
    CDuiString path;
    if (!ShowOpenFileDialog(CDuiString(kShootFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    // A file that is not a gun changes nothing; say so.
    if (!shoot->ImportGunFile(path)) ShowMainMessage(L"import_erro_text", 1, 0);
}

void CMainWnd::OnExportShootData() {
    CShootControlUI* shoot = ShootPageOf(GetCurrentDevice());
    if (shoot == nullptr) return;
    CDuiString path;
    if (!ShowSaveFileDialog(CDuiString(kShootFilter), GetHWND(), path, 0) || path.IsEmpty()) return;
    shoot->ExportGunFile(path);
}

void CMainWnd::OnBulletXCheck() {
    if (CShootControlUI* shoot = ShootPageOf(GetCurrentDevice())) shoot->UpdateXDirectionText();
}

void CMainWnd::OnBulletYCheck() {
    if (CShootControlUI* shoot = ShootPageOf(GetCurrentDevice())) shoot->UpdateYDirectionText();
}
