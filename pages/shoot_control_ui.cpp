#include "pages/shoot_control_ui.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "link/json_file_util.h"
#include "link/string_util.h"
#include "pages/shoot_file.h"
#include "platform/files/folders.h"
#include "platform/ui/button.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kGunOption = L"shoot_gun_op_";
constexpr const wchar_t* kBulletOption = L"bullet_op_";
constexpr const wchar_t* kGunPictures = L"shoot_image_display_switch";
constexpr const wchar_t* kBulletNumber = L"bullet_select_index";
constexpr const wchar_t* kXCheck = L"bullet_x_check";
constexpr const wchar_t* kYCheck = L"bullet_y_check";
constexpr const wchar_t* kXEdit = L"bullet_x_eidt";
constexpr const wchar_t* kYEdit = L"bullet_y_eidt";
constexpr const wchar_t* kDelayEdit = L"bullet_delay_eidt";

COptionUI* AsOption(CControlUI* control) {
    return control ? static_cast<COptionUI*>(control->GetInterface(L"Option")) : nullptr;
}

CDuiString Number(int value) { return CDuiString(std::to_wstring(value)); }

}  // namespace

CShootControlUI::CShootControlUI() { SetOptionScope(); }
CShootControlUI::~CShootControlUI() = default;

CControlUI* CShootControlUI::CreateInstance() { return new CShootControlUI(); }

LPCTSTR CShootControlUI::GetClass() const { return L"ShootControlUI"; }

LPVOID CShootControlUI::GetInterface(LPCTSTR pstrName) {
    if (DuiCompareNoCase(pstrName, L"ShootControl") == 0 || DuiCompareNoCase(pstrName, kClassName) == 0) return this;
    return CHorizontalLayoutUI::GetInterface(pstrName);
}

CControlUI* CShootControlUI::Child(const CDuiString& name) { return FindSubControl(name); }

CDuiString CShootControlUI::WorkingFilePath(int gun) const { return m_sDataFolder + ShootFileName(gun); }
CDuiString CShootControlUI::DefaultFilePath(int gun) const { return m_sDefaultFolder + ShootFileName(gun); }

void CShootControlUI::Init() {
    CHorizontalLayoutUI::Init();
    if (m_sDataFolder.IsEmpty()) return;
    for (int gun = 0; gun < kShootGunCount; ++gun) {
        if (CJsonFileUtil::LoadJson(WorkingFilePath(gun)).isNull()) RestoreGunFile(gun);
    }
}

// --- Selection -------------------------------------------------------------------

void CShootControlUI::SelectOnly(const wchar_t* prefix, int count, int selected) {
    for (int i = 0; i < count; ++i) {
        if (COptionUI* option = AsOption(Child(CDuiString(prefix) + Number(i)))) option->Selected(i == selected, false);
    }
}

void CShootControlUI::SelectGun(int gun) {
    m_nSelectedGun = std::clamp(gun, 0, kShootGunCount - 1);
    SelectOnly(kGunOption, kShootGunCount, m_nSelectedGun);
    if (CControlUI* c = Child(kGunPictures)) {
        if (auto* pictures = static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout")))
            pictures->SelectItem(m_nSelectedGun, false);
    }
}

void CShootControlUI::SelectBullet(int bullet) {
    m_nSelectedBullet = std::clamp(bullet, 0, kShootBulletCount - 1);
    SelectOnly(kBulletOption, kShootBulletCount, m_nSelectedBullet);
    if (CControlUI* label = Child(kBulletNumber)) label->SetText(Number(m_nSelectedBullet + 1));
    LoadBullet();
}

void CShootControlUI::SelectPreviousBullet() { SelectBullet(std::max(m_nSelectedBullet, 0) - 1); }
void CShootControlUI::SelectNextBullet() { SelectBullet(m_nSelectedBullet + 1); }

// --- Bullets ---------------------------------------------------------------------

void CShootControlUI::LoadBullet() {
    if (m_nSelectedBullet >= 0) ReadBullet(m_nSelectedGun, m_nSelectedBullet);
}

void CShootControlUI::SaveBullet() {
    if (m_nSelectedBullet >= 0) WriteBullet(m_nSelectedGun, m_nSelectedBullet);
}

void CShootControlUI::ShowBullet(const ShootBullet& bullet) {
    if (COptionUI* x = AsOption(Child(kXCheck))) x->Selected(bullet.left, false);
    if (COptionUI* y = AsOption(Child(kYCheck))) y->Selected(bullet.up, false);
    UpdateXDirectionText();
    UpdateYDirectionText();
    if (CControlUI* c = Child(kXEdit)) c->SetText(Number(bullet.x));
    if (CControlUI* c = Child(kYEdit)) c->SetText(Number(bullet.y));
    if (CControlUI* c = Child(kDelayEdit)) c->SetText(Number(bullet.delay));
}

void CShootControlUI::ReadBullet(int gun, int bullet) {
    gun = std::clamp(gun, 0, kShootGunCount - 1);
    bullet = std::clamp(bullet, 0, kShootBulletCount - 1);
    ShowBullet(ReadShootBullet(CJsonFileUtil::LoadJson(WorkingFilePath(gun)), bullet));
}

int CShootControlUI::EditNumber(const wchar_t* name) {
    CControlUI* edit = Child(name);
    return edit ? TextToInt(edit->GetText().GetData()) : 0;
}

bool CShootControlUI::IsChecked(const wchar_t* name) {
    COptionUI* option = AsOption(Child(name));
    return option && option->IsSelected();
}

bool CShootControlUI::WriteBullet(int gun, int bullet) {
    gun = std::clamp(gun, 0, kShootGunCount - 1);
    bullet = std::clamp(bullet, 0, kShootBulletCount - 1);
    Json::Value document = CJsonFileUtil::LoadJson(WorkingFilePath(gun));
    // A working file that cannot hold bullets starts again from the default,
    // so the other bullets keep real steps instead of empty ones.
    if (!HasShootEvents(document)) document = CJsonFileUtil::LoadJson(DefaultFilePath(gun));
    if (!HasShootEvents(document)) document = Json::Value(Json::objectValue);
    ShootBullet value;
    value.left = IsChecked(kXCheck);
    value.x = EditNumber(kXEdit);
    value.up = IsChecked(kYCheck);
    value.y = EditNumber(kYEdit);
    value.delay = EditNumber(kDelayEdit);
    value = ClampShootBullet(value);
    WriteShootBullet(document, bullet, value);
    ShowBullet(value);
    return CJsonFileUtil::SaveJson(WorkingFilePath(gun), document);
}

// --- Files -----------------------------------------------------------------------

bool CShootControlUI::ImportGunFile(const CDuiString& path) {
    if (path.IsEmpty()) return false;
    const Json::Value document = CJsonFileUtil::LoadJson(path);
    if (!IsShootDocument(document)) return false;
    if (!CJsonFileUtil::SaveJson(WorkingFilePath(m_nSelectedGun), document)) return false;
    LoadBullet();
    return true;
}

bool CShootControlUI::ExportGunFile(const CDuiString& path) {
    if (path.IsEmpty()) return false;
    std::error_code error;
    std::filesystem::copy_file(win::ToFsPath(WorkingFilePath(m_nSelectedGun).str()), win::ToFsPath(path.str()),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

void CShootControlUI::ResetGun() { RestoreGunFile(m_nSelectedGun); }

bool CShootControlUI::RestoreGunFile(int gun) {
    gun = std::clamp(gun, 0, kShootGunCount - 1);
    const Json::Value document = CJsonFileUtil::LoadJson(DefaultFilePath(gun));
    if (!IsShootDocument(document)) return false;
    if (!CJsonFileUtil::SaveJson(WorkingFilePath(gun), document)) return false;
    if (gun == m_nSelectedGun) LoadBullet();
    return true;
}

void CShootControlUI::UpdateXDirectionText() {
    if (COptionUI* x = AsOption(Child(kXCheck))) {
        x->SetResourceText(true);
        x->SetText(x->IsSelected() ? L"mouse_move_to_left_text" : L"mouse_move_to_right_text");
    }
}

void CShootControlUI::UpdateYDirectionText() {
    if (COptionUI* y = AsOption(Child(kYCheck))) {
        y->SetResourceText(true);
        y->SetText(y->IsSelected() ? L"mouse_move_to_up_text" : L"mouse_move_to_down_text");
    }
}
