#include "devices/magic_control_ui.h"

#include <string>

#include "platform/ui/button.h"

using namespace DuiLib;

CControlUI* CMagicControlUI::CreateInstance() { return new CMagicControlUI(); }

void CMagicControlUI::EnableMagicOptions(bool on) {
    if (auto* layout = m_children.Find<CControlUI>(L"magic_option_layout", L"Control")) layout->SetEnabled(on);
}

void CMagicControlUI::SetMagicEnabled(bool on) {
    if (auto* option = m_children.Find<COptionUI>(L"magic_enable_option", L"Option")) option->Selected(on, false);
    EnableMagicOptions(on);
}

int CMagicControlUI::IsMagicEnabled() {
    auto* option = m_children.Find<COptionUI>(L"magic_enable_option", L"Option");
    return option && option->IsSelected() ? 1 : 0;
}

void CMagicControlUI::SelectMagicOption(int n) {
    for (int i = 1; i <= kVoices; ++i)
        if (auto* option = m_children.Find<COptionUI>(L"magic_option_" + std::to_wstring(i), L"Option"))
            option->Selected(false, false);
    m_nMagicOption = 0;
    if (n < 1 || n > kVoices) return;
    if (auto* option = m_children.Find<COptionUI>(L"magic_option_" + std::to_wstring(n), L"Option"))
        option->Selected(true, false);
    m_nMagicOption = n;
}
