#include "keyboard/music_wnd.h"

#include <cwchar>

#include "platform/os/messages.h"
#include "platform/ui/controls.h"

using namespace DuiLib;

DUI_BEGIN_MESSAGE_MAP(MusicWnd, WindowImplBase)
DUI_ON_MSGTYPE(DUI_MSGTYPE_SELECTCHANGED, MusicWnd::OnSelectChanged)
DUI_ON_MSGTYPE(DUI_MSGTYPE_WINDOWINIT, MusicWnd::OnWindowInit)
DUI_ON_MSGTYPE(DUI_MSGTYPE_VALUECHANGED, MusicWnd::OnValueChanged)
DUI_END_MESSAGE_MAP()

namespace {

constexpr const wchar_t* kOptionPrefix = L"audio_select_tab";
constexpr const wchar_t* kNamePrefix = L"audio_edit_name";
constexpr const wchar_t* kSliderNames[3] = {L"audio_r_slider", L"audio_g_slider", L"audio_b_slider"};
// The names an emptied name edit takes.
constexpr const wchar_t* kDefaultNames[AudioLightInfo::kStyles] = {L"第一组", L"第二组", L"第三组", L"第四组"};

CDuiString Numbered(const wchar_t* prefix, int style) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%ls%d", prefix, style + 1);
    return name;
}

uint8_t& Channel(AudioStyleColor& color, int channel) {
    return channel == 0 ? color.r : channel == 1 ? color.g : color.b;
}

}  // namespace

int MusicWnd::StyleOfName(const CDuiString& name, const wchar_t* prefix) {
    for (int style = 0; style < AudioLightInfo::kStyles; ++style)
        if (name.CompareNoCase(Numbered(prefix, style)) == 0) return style;
    return -1;
}

COptionUI* MusicWnd::StyleOption(int style) {
    COptionUI*& kept = m_options[size_t(style)];
    if (!kept) {
        CControlUI* c = m_pm.FindControl(Numbered(kOptionPrefix, style));
        kept = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
    }
    return kept;
}

CSliderUI* MusicWnd::Slider(int channel) {
    CSliderUI*& kept = m_sliders[size_t(channel)];
    if (!kept) {
        CControlUI* c = m_pm.FindControl(kSliderNames[channel]);
        kept = c ? static_cast<CSliderUI*>(c->GetInterface(L"Slider")) : nullptr;
    }
    return kept;
}

int MusicWnd::GetSelectedStyle() {
    for (int style = 0; style < AudioLightInfo::kStyles; ++style)
        if (!StyleOption(style)) return 0;
    for (int style = 0; style < AudioLightInfo::kStyles; ++style)
        if (StyleOption(style)->IsSelected()) return style;
    return 0;
}

void MusicWnd::SetColorSliders(uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t values[3] = {r, g, b};
    for (int channel = 0; channel < 3; ++channel)
        if (CSliderUI* slider = Slider(channel)) slider->SetValue(values[channel]);
}

void MusicWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_KILLFOCUS) OnEditKillFocus(msg);
    CMessageWindowBase::Notify(msg);
}

void MusicWnd::OnWindowInit(TNotifyUI&) {
    for (int channel = 0; channel < 3; ++channel) {
        if (CSliderUI* slider = Slider(channel)) {
            slider->SetMinValue(0);
            slider->SetMaxValue(kColorMax);
        }
    }
    const int style = m_info.styleIndex;
    if (style < AudioLightInfo::kStyles) {
        if (COptionUI* option = StyleOption(style)) option->Selected(true, false);
        const AudioStyleColor& c = m_info.styleColor[size_t(style)];
        SetColorSliders(c.r, c.g, c.b);
    }
    for (int i = 0; i < AudioLightInfo::kStyles; ++i)
        if (CControlUI* edit = m_pm.FindControl(Numbered(kNamePrefix, i)))
            edit->SetText(m_info.styleName[size_t(i)].c_str());
}

void MusicWnd::OnSelectChanged(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const int style = StyleOfName(msg.pSender->GetName(), kOptionPrefix);
    if (style < 0) return;
    m_info.styleIndex = uint8_t(style);
    const AudioStyleColor& c = m_info.styleColor[size_t(style)];
    SetColorSliders(c.r, c.g, c.b);
}

void MusicWnd::OnValueChanged(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const CDuiString name = msg.pSender->GetName();
    for (int channel = 0; channel < 3; ++channel) {
        if (name.CompareNoCase(kSliderNames[channel]) != 0) continue;
        auto* slider = static_cast<CSliderUI*>(msg.pSender->GetInterface(L"Slider"));
        if (!slider) return;
        const int style = GetSelectedStyle();
        Channel(m_info.styleColor[size_t(style)], channel) = uint8_t(slider->GetValue());
        return;
    }
}

void MusicWnd::OnEditKillFocus(TNotifyUI& msg) {
    if (!msg.pSender) return;
    const int style = StyleOfName(msg.pSender->GetName(), kNamePrefix);
    if (style < 0) return;
    CDuiString text = msg.pSender->GetText();
    if (text.IsEmpty()) {
        msg.pSender->SetText(kDefaultNames[style]);
        text = kDefaultNames[style];
    }
    m_info.styleName[size_t(style)] = text.GetData();
}

void MusicWnd::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pCloseButton) {
        Close(0);
        return;
    }
    if (msg.pSender->GetName() == L"okbtn") Close(1);
}

LRESULT MusicWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if ((wParam & 0xFFF0) == win::SC_CLOSE) {
        bHandled = TRUE;
        Close(0);
        return 0;
    }
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

LRESULT MusicWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (uMsg == win::WM_DPICHANGED) FollowDpiChange(wParam, lParam, 0);
    bHandled = FALSE;
    return 0;
}
