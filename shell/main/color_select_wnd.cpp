#include "shell/main/color_select_wnd.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "link/data_folders.h"
#include "link/json_file_util.h"
#include "link/profile_file.h"
#include "link/string_util.h"
#include "link/text_encoding.h"
#include "platform/os/messages.h"
#include "platform/files/utf8.h"
#include "platform/ui/win_window_api.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

DUI_BEGIN_MESSAGE_MAP(CColorSelectWnd, WindowImplBase)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, CColorSelectWnd::OnClick)
DUI_ON_MSGTYPE(DUI_MSGTYPE_ITEMSELECT, CColorSelectWnd::OnItemSelect)
DUI_ON_MSGTYPE(DUI_MSGTYPE_SELECTCHANGED, CColorSelectWnd::OnSelectChanged)
DUI_ON_MSGTYPE(DUI_MSGTYPE_WINDOWINIT, CColorSelectWnd::OnWindowInit)
DUI_ON_MSGTYPE(DUI_MSGTYPE_KILLFOCUS, CColorSelectWnd::OnKillFocus)
DUI_ON_MSGTYPE(DUI_MSGTYPE_CHECKCLICK, CColorSelectWnd::OnCheckClick)
DUI_END_MESSAGE_MAP()

namespace {

constexpr const wchar_t* kPresetPrefix = L"color_option_";
constexpr const wchar_t* kCollectedPrefix = L"collect_color_option_";
constexpr const char* kInfoKey = "coloroptioninfo";
constexpr const char* kPresetArray = "palletDialogcoloroption";
constexpr const char* kPresetSelect = "palletDialogcoloroption_selectitem";
constexpr const char* kCollectedArray = "palletDialogcollectcoloroption";
constexpr const char* kCollectedSelect = "palletDialogcollectcoloroption_selectitem";
constexpr const wchar_t* kSevenColorImage = L"common/base1.png";
constexpr DWORD kWhite = 0xFFFFFFFF;

int Red(DWORD c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(DWORD c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(DWORD c) { return static_cast<int>(c & 0xFF); }

CDuiString Decimal(int value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%d", value);
    return text;
}

// A member that must hold an object or an array: anything else found there
// is replaced, since the picker owns these members.
Json::Value& Member(Json::Value& parent, const char* key, Json::ValueType type) {
    Json::Value& member = parent[key];
    if (member.type() != type) member = Json::Value(type);
    return member;
}

// The user's document for an update: an object, or a new one when the file
// is missing or holds something else.
Json::Value LoadForUpdate(const CDuiString& path) {
    Json::Value document = CJsonFileUtil::LoadJson(path);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    return document;
}

}  // namespace

CDuiString CColorSelectWnd::UserFilePath() { return GetUserDataPath() + L"color_option_info" + L".config"; }
CDuiString CColorSelectWnd::DefaultFilePath() const { return GetDefaultDataPath() + L"color_option_info" + L".config"; }

void CColorSelectWnd::InitWindow() {
    CMessageWindowBase::InitWindow();
    m_pMenuButton = m_pm.FindControl(L"menubtn");
    m_pLaterButton = m_pm.FindControl(L"laterbtn");
    m_pPalette = static_cast<CColorPaletteUI*>(m_pm.FindControl(L"Pallet"));
    if (m_pPalette != nullptr && m_pPalette->GetInterface(L"ColorPalette") == nullptr) m_pPalette = nullptr;
}

COptionUI* CColorSelectWnd::OptionAt(const wchar_t* prefix, int index) {
    CControlUI* c = m_pm.FindControl(CDuiString(prefix) + Decimal(index));
    if (c == nullptr || c->GetInterface(L"Option") == nullptr) return nullptr;
    return static_cast<COptionUI*>(c);
}

void CColorSelectWnd::ShowComponents(DWORD color) {
    const wchar_t* edits[] = {L"color_edit_r", L"color_edit_g", L"color_edit_b"};
    const int values[] = {Red(color), Green(color), Blue(color)};
    for (int i = 0; i < 3; ++i)
        if (CControlUI* edit = m_pm.FindControl(edits[i])) edit->SetText(Decimal(values[i]));
}

void CColorSelectWnd::SetPreviewColor(DWORD color) {
    if (CControlUI* preview = m_pm.FindControl(L"color_show_btn")) preview->SetBkColor(color);
}

void CColorSelectWnd::SelectPaletteColor(DWORD color) {
    if (m_pPalette != nullptr) m_pPalette->SetSelectColor(color);
}

void CColorSelectWnd::SetColor(DWORD color) {
    if (CControlUI* preview = m_pm.FindControl(L"color_show_btn")) {
        preview->SetBkImage(L"");
        preview->SetBkColor(color);
        preview->NeedUpdate();
    }
    SelectPaletteColor(color);
    m_dwColor = color;
    ShowComponents(color);
}

void CColorSelectWnd::SetSevenColorEnabled(int flag) {
    CControlUI* seven = m_pm.FindControl(L"7color");
    if (seven != nullptr) seven->SetEnabled(flag != 0);
    if (CControlUI* layout = m_pm.FindControl(L"7color_layout")) layout->SetVisible(flag != 0);
    if (flag == 0 && seven != nullptr && seven->GetInterface(L"Option") != nullptr)
        static_cast<COptionUI*>(seven)->Selected(false, false);
}

void CColorSelectWnd::SetSevenColorMode(int flag) {
    m_nSevenColor = flag;
    CControlUI* seven = m_pm.FindControl(L"7color");
    if (seven != nullptr && seven->GetInterface(L"Option") != nullptr)
        static_cast<COptionUI*>(seven)->Selected(flag != 0, false);
    if (CControlUI* preview = m_pm.FindControl(L"color_show_btn"))
        preview->SetBkImage(flag != 0 ? kSevenColorImage : L"");
}

void CColorSelectWnd::OnWindowInit(TNotifyUI&) {
    const CDuiString path = UserFilePath();
    Json::Value document = CJsonFileUtil::LoadJson(path);
    if (document.isNull()) {
        // A file that exists but does not parse is kept aside rather than
        // overwritten; a default that cannot be read writes nothing at all.
        if (!CJsonFileUtil::ReadFileText(path).empty()) SetProfileFileAside(path);
        const Json::Value defaults = CJsonFileUtil::LoadJson(DefaultFilePath());
        if (!defaults.isNull()) CJsonFileUtil::SaveJson(path, defaults);
        document = CJsonFileUtil::LoadJson(path);
    }
    SetColor(m_dwColor);
    SetSevenColorMode(m_nSevenColor);
    if (!document.isObject()) return;
    const Json::Value& info = document[kInfoKey];
    if (!info.isObject()) return;
    const Json::Value& preset = info[kPresetSelect];
    if (preset.isInt()) m_nPresetIndex = preset.asInt();
    LoadCollectedOptions(info);
}

void CColorSelectWnd::LoadCollectedOptions(const Json::Value& info) {
    const Json::Value& slots = info[kCollectedArray];
    if (slots.isArray()) {
        for (Json::ArrayIndex i = 0; i < static_cast<Json::ArrayIndex>(kColorOptionCount) && i < slots.size(); ++i) {
            const Json::Value& slot = slots[i];
            if (!slot.isObject() || !slot["color"].isString()) continue;
            const DWORD color = static_cast<DWORD>(std::strtoul(slot["color"].asCString(), nullptr, 16));
            const Json::Value& data = slot["UserData"];
            const CDuiString userData = data.isString() ? Utf8ToDuiString(data.asString()) : CDuiString();
            COptionUI* option = OptionAt(kCollectedPrefix, static_cast<int>(i));
            if (option == nullptr) continue;
            option->SetBkColor(kWhite);
            option->SetSelectedBkColor(kWhite);
            option->SetUserData(userData);
            if (userData.CompareNoCase(L"1") == 0) {
                option->SetBkColor(color);
                option->SetSelectedBkColor(color);
                option->SetBorderSize(0);
            }
        }
    }
    if (info.isMember(kCollectedSelect)) m_nCollectedIndex = -1;
}

void CColorSelectWnd::SaveOptions(const wchar_t* prefix, const char* arrayKey, const char* selectKey, int selection,
                                  bool withUserData) {
    const CDuiString path = UserFilePath();
    Json::Value document = LoadForUpdate(path);
    Json::Value& info = Member(document, kInfoKey, Json::objectValue);
    Json::Value& entries = Member(info, arrayKey, Json::arrayValue);
    for (int i = 0; i < kColorOptionCount; ++i) {
        COptionUI* option = OptionAt(prefix, i);
        if (option == nullptr) continue;
        Json::Value& entry = entries[static_cast<Json::ArrayIndex>(i)];
        if (!entry.isObject()) entry = Json::Value(Json::objectValue);
        entry["color"] = FormatHex8(option->GetBkColor());
        if (withUserData) entry["UserData"] = win::ToUtf8(option->GetUserData().GetData());
    }
    info[selectKey] = selection;
    CJsonFileUtil::SaveJson(path, document);
}

void CColorSelectWnd::SavePresetOptions() {
    SaveOptions(kPresetPrefix, kPresetArray, kPresetSelect, m_nPresetIndex, false);
}

void CColorSelectWnd::SaveCollectedOptions() {
    SaveOptions(kCollectedPrefix, kCollectedArray, kCollectedSelect, m_nCollectedIndex, true);
}

void CColorSelectWnd::CommitToCollectedOption() {
    COptionUI* slot = m_nCollectedIndex >= 0 ? OptionAt(kCollectedPrefix, m_nCollectedIndex) : nullptr;
    if (slot != nullptr && slot->IsSelected()) {
        slot->SetBkColor(m_dwColor);
        slot->SetSelectedBkColor(m_dwColor);
        slot->Selected(true, true);
        slot->SetUserData(L"1");
        slot->SetBorderSize(0);
        SaveCollectedOptions();
    }
    SetPreviewColor(m_dwColor);
    SetSevenColorMode(0);
}

void CColorSelectWnd::OnSelectChanged(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    CDuiString name = msg.pSender->GetName();
    name.MakeLower();
    CDuiString prefix;
    int number = 0;
    if (!SplitControlName(name, prefix, number)) return;
    if (prefix == kPresetPrefix) {
        m_nPresetIndex = number;
        SavePresetOptions();
        m_dwColor = msg.pSender->GetBkColor();
        SelectPaletteColor(m_dwColor);
        CommitToCollectedOption();
        ShowComponents(m_dwColor);
    } else if (prefix == kCollectedPrefix) {
        m_nCollectedIndex = number;
        if (msg.pSender->GetUserData() == L"1") {
            SaveCollectedOptions();
            const DWORD color = msg.pSender->GetBkColor();
            SetPreviewColor(color);
            SetSevenColorMode(0);
            SelectPaletteColor(color);
            ShowComponents(color);
        }
    }
}

void CColorSelectWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_COLORCHANGED && msg.pSender != nullptr && m_pPalette != nullptr &&
        msg.pSender->GetName() == L"Pallet") {
        m_dwColor = m_pPalette->GetSelectColor();
        CommitToCollectedOption();
        ShowComponents(m_dwColor);
    }
    WindowImplBase::Notify(msg);
}

void CColorSelectWnd::OnKillFocus(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    const CDuiString name = msg.pSender->GetName();
    if (name.CompareNoCase(L"color_edit_r") != 0 && name.CompareNoCase(L"color_edit_g") != 0 &&
        name.CompareNoCase(L"color_edit_b") != 0)
        return;
    const wchar_t* edits[] = {L"color_edit_r", L"color_edit_g", L"color_edit_b"};
    int values[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        CControlUI* edit = m_pm.FindControl(edits[i]);
        if (edit == nullptr) continue;
        const CDuiString text = edit->GetText();
        int value = TextToInt(text.GetData());
        // A component is one byte: the edit shows the value that is used.
        if (text.IsEmpty() || value < 0) {
            value = 0;
            edit->SetText(L"0");
        } else if (value > 255) {
            value = 255;
            edit->SetText(L"255");
        }
        values[i] = value;
    }
    m_dwColor = 0xFF000000u | static_cast<DWORD>(values[0]) << 16 | static_cast<DWORD>(values[1]) << 8 |
                static_cast<DWORD>(values[2]);
    SelectPaletteColor(m_dwColor);
    CommitToCollectedOption();
}

void CColorSelectWnd::OnCheckClick(TNotifyUI& msg) {
    if (msg.pSender == nullptr || msg.pSender->GetName() != L"7color") return;
    if (msg.pSender->GetInterface(L"Option") == nullptr) return;
    m_nSevenColor = static_cast<COptionUI*>(msg.pSender)->IsSelected() ? 1 : 0;
    if (CControlUI* preview = m_pm.FindControl(L"color_show_btn"))
        preview->SetBkImage(m_nSevenColor != 0 ? kSevenColorImage : L"");
}

DWORD CColorSelectWnd::TakeChosenColor() {
    CControlUI* preview = m_pm.FindControl(L"color_show_btn");
    return preview != nullptr ? preview->GetBkColor() : 0;
}

void CColorSelectWnd::OnClick(TNotifyUI& msg) {
    if (msg.pSender == nullptr) return;
    if (msg.pSender == m_pCloseButton || msg.pSender == m_pLaterButton) {
        Close(0);
        return;
    }
    if (msg.pSender == m_pMenuButton) return;
    const CDuiString name = msg.pSender->GetName();
    if (name == L"minbtn") {
        SendMessage(win::WM_SYSCOMMAND, win::SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessage(win::WM_SYSCOMMAND, win::SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessage(win::WM_SYSCOMMAND, win::SC_RESTORE, 0);
    } else if (name == L"okbtn") {
        if (m_pPalette != nullptr) {
            m_dwColor = TakeChosenColor();
            Close(1);
        } else {
            Close(2);
        }
    }
}

LRESULT CColorSelectWnd::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    // A close from the window manager ends only the picker, like its close
    // button, never the whole program.
    if ((wParam & 0xFFF0) == win::SC_CLOSE) {
        bHandled = TRUE;
        Close(0);
        return 0;
    }
    return WindowImplBase::OnSysCommand(uMsg, wParam, lParam, bHandled);
}

LRESULT CColorSelectWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (uMsg == win::WM_DPICHANGED) {
        FollowDpiChange(wParam, lParam, 0);
    } else if (uMsg == WM_LANGUAGE_CHANGED) {
        if (CControlUI* root = m_pm.GetRoot()) root->NeedUpdate();
        m_pm.NeedUpdate();
        win::InvalidateRect(GetHWND(), nullptr, TRUE);
        m_pm.NeedUpdate();
    }
    bHandled = FALSE;
    return 0;
}

bool RunColorPicker(HWND owner, int dpi, HWND& openPicker, DWORD& color) {
    if (openPicker != nullptr) return false;
    CColorSelectWnd picker;
    if (picker.Create(owner, L"PalletDialog", UI_WS_POPUP | UI_WS_VISIBLE, UI_WS_EX_TOOLWINDOW, 0, 0, 800, 572) ==
        nullptr)
        return false;
    picker.SetDPI(dpi);
    openPicker = picker.GetHWND();
    picker.SetColor(color);
    picker.SetSevenColorEnabled(0);
    picker.CenterWindow();
    const UINT result = picker.ShowModal();
    openPicker = nullptr;
    if (result != 1) return false;
    color = picker.GetColor();
    return true;
}
