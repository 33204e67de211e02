// The mouse page's button-assignment list: the key list and its accessors,
// the selection of a button for editing, the check of macro assignments, and
// the captions shown as the buttons' tooltips and the rows of
// "device_setkeyinfo_list".
#include "devices/corvane_mouse_device.h"
#include "devices/mouse_button_captions.h"
#include "pages/key_set_control_ui.h"
#include "link/base/key_tables.h"
#include "platform/ui/controls.h"
#include "platform/ui/resource_manager.h"
#include "shell/controls/device_key_button_ui.h"

using namespace DuiLib;

namespace {

constexpr wchar_t kTextProbe[] = L"text_test";
constexpr wchar_t kInfoList[] = L"device_setkeyinfo_list";
constexpr int kRowHeight = 25;
constexpr int kNameWidth = 200;
constexpr int kCaptionWidth = 180;
constexpr DWORD kNameColor = 0xFFFFFFFF;
constexpr DWORD kCaptionColor = 0xFF0099FF;
constexpr UINT kCaptionStyleFlag = 0x8000;
constexpr uint8_t kFirstCustomMode = 10;

// A row of the list: the button's name and its function's caption.
CListContainerElementUI* MakeRow() {
    auto* row = new CListContainerElementUI();
    row->SetFixedHeight(kRowHeight);
    auto* name = new CLabelUI();
    name->SetFixedWidth(kNameWidth);
    name->SetTextColor(kNameColor);
    auto* caption = new CLabelUI();
    caption->SetFixedWidth(kCaptionWidth);
    caption->SetTextColor(kCaptionColor);
    caption->SetTextStyle(caption->GetTextStyle() | kCaptionStyleFlag);
    row->Add(name);
    row->Add(caption);
    row->SetVisible(false);
    row->SetEnabled(false);
    return row;
}

CListUI* FindInfoList(CContainerUI& page) {
    CControlUI* c = page.FindSubControl(kInfoList);
    return c ? static_cast<CListUI*>(c->GetInterface(L"List")) : nullptr;
}

}  // namespace

// --- The key list -----------------------------------------------------------------------

void CCorvaneMouseDevice::SetKeyList(const std::vector<KeyListEntry>& keys) {
    m_keyList = keys;
    m_profile.SetKeyList(keys);
}

void CCorvaneMouseDevice::SetSelectedKeyRecord(const KeyListEntry& entry) {
    if (m_nSelectedKey < 0 || size_t(m_nSelectedKey) >= m_keyList.size()) return;
    m_keyList[size_t(m_nSelectedKey)] = entry;
    m_profile.SetKeyList(m_keyList);
}

void CCorvaneMouseDevice::SetSecondaryKeyList(const std::vector<KeyListEntry>& keys) {
    m_secondaryKeyList = keys;
    m_profile.SetOtherKeyList(keys);
}

void CCorvaneMouseDevice::SelectKey(int position) {
    CCorvaneUSBDevice::SelectKey(position);
    if (!m_pKeySetControl) return;
    m_pKeySetControl->ShowKeySetLayout(true);
    if (position >= 0 && size_t(position) < m_keyList.size())
        m_pKeySetControl->SetKeyAssignment(m_keyList[size_t(position)]);
}

void CCorvaneMouseDevice::CheckMacroAssignments() {
    LoadNameLists();
    const size_t macros = m_macroNames.size();
    std::vector<KeyListEntry> keys = m_keyList;
    bool changed = false;
    for (KeyListEntry& e : keys) {
        // A macro the list no longer holds falls back to the button's default.
        if (!IsMacroFunction(e.current.function.code) || e.current.function.param1 < macros) continue;
        e.current.function = e.defaults.function;
        e.current.keyIndex = e.defaults.keyIndex;
        changed = true;
    }
    if (!changed) return;
    SetKeyList(keys);
    RefreshKeyInfoList();
}

// --- Captions ------------------------------------------------------------------------------

CDuiString CCorvaneMouseDevice::Translate(const wchar_t* key) {
    if (!key) return CDuiString();
    CControlUI* label = FindSubControl(kTextProbe);
    if (!label) return CResourceManager::GetInstance()->GetText(key);
    label->SetResourceText(true);
    label->SetText(key);
    return label->GetText();
}

bool CCorvaneMouseDevice::KeyCaption(const KeyFunction& function, CDuiString* caption) {
    const MouseCaptionTexts texts{[this](const wchar_t* key) { return Translate(key); }, &m_macroNames};
    return MouseButtonCaption(function, texts, caption);
}

void CCorvaneMouseDevice::RefreshKeyInfoList() {
    CListUI* list = FindInfoList(*this);
    if (list) list->RemoveAll();
    const std::vector<KeyListEntry> keys = m_keyList;
    for (size_t i = 0; i < keys.size(); ++i) {
        CDuiString caption;
        if (KeyCaption(keys[i].current.function, &caption)) SetKeyButtonInfo(int(i), caption);
    }
    UpdateLogoTooltip();
    if (list) {
        list->SetVisible(true);
        list->Invalidate();
    }
}

void CCorvaneMouseDevice::SetKeyButtonInfo(int position, const CDuiString& caption) {
    if (position < 0 || size_t(position) >= m_keyButtons.size() || !m_keyButtons[size_t(position)]) return;
    CDeviceKeyButtonUI* button = m_keyButtons[size_t(position)];
    const CDuiString title = position < kMouseButtonCount ? Translate(MouseButtonNameTable[position]) : CDuiString();
    button->SetUserToolTitle(title);
    button->SetUserToolText(caption);

    CListUI* list = FindInfoList(*this);
    if (!list) return;
    while (list->GetCount() < position + 1) list->Add(MakeRow());
    auto* row = static_cast<CContainerUI*>(list->GetItemAt(position)->GetInterface(L"Container"));
    if (!row) return;
    if (CControlUI* name = row->GetItemAt(0)) name->SetText(title);
    if (CControlUI* text = row->GetItemAt(1)) text->SetText(caption);
    // The button's own flag: the list is filled while the page may still be hidden.
    row->SetVisible(button->IsVisibleFlag());
}

void CCorvaneMouseDevice::UpdateLogoTooltip() {
    if (!m_pLogoButton) return;
    CDuiString text = Translate(L"Light_Set") + L"\n" + Translate(L"Overall_Light_Set");
    // The name of the mode the light thread runs.
    const uint8_t mode = m_copyMode.load();
    if (mode >= kFirstCustomMode) {
        if (size_t(mode - kFirstCustomMode) < m_userLightNames.size())
            text += m_userLightNames[mode - kFirstCustomMode];
    } else if (mode < m_defaultLightNames.size()) {
        text += Translate(m_defaultLightNames[mode].GetData());
    }
    m_pLogoButton->SetUserToolTitle(L"Logo");
    m_pLogoButton->SetUserToolText(text);
}
