// The keyboard page's frame strip: adding and deleting frames, the frame
// counter, the screen mode, the frames and uploading pages, the interval.

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <utility>

#include <json/json.h>

#include "keyboard/corvane_keyboard_device.h"
#include "link/json_file_util.h"
#include "platform/ui/controls.h"

using namespace DuiLib;

namespace {

constexpr const wchar_t* kFrameStrip = L"screen_view_tab";
constexpr const wchar_t* kFramePrefix = L"frame_option_";
constexpr int kFrameMargin = 3;
// The frame strip's height above its scroll bar: a thumbnail taller than
// that is drawn smaller, keeping the screen's proportions.
constexpr int kThumbnailHeight = 64;

template <class T>
T* As(CControlUI* control, const wchar_t* interfaceName) {
    return control ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

CDuiString FrameName(int index) {
    CDuiString name;
    name.Format(L"%s%d", kFramePrefix, index);
    return name;
}

// The integer at the start of a text, as a C library read gives it: leading
// blanks and a sign, digits up to the first other character, 0 without any;
// held to the range of int.
int LeadingInteger(const wchar_t* text) {
    const long value = std::wcstol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

void CCorvaneKeyboardDevice::InitScreenControls() {
    const std::pair<const wchar_t*, int> choices[] = {
        {L"Screen_tool_combo_Select", 0}, {L"Pixel_size_combo_Select", 0}, {L"screen_mode_combo_Select", m_screenMode}};
    for (auto [name, index] : choices) {
        if (auto* combo = As<CComboUI>(FindSystemControl(name), L"Combo")) combo->SelectItem(index, false, false);
    }
}

void CCorvaneKeyboardDevice::SetScreenGeometry(int width, int height, int rotate) {
    m_screenWidth = width;
    m_screenHeight = height;
    m_rotate = rotate;
}

int CCorvaneKeyboardDevice::ScreenColumns() const {
    return std::clamp(m_screenWidth, 0, CScreenViewControlUI::kGridColumns);
}

int CCorvaneKeyboardDevice::ScreenRows() const {
    return std::clamp(m_screenHeight, 0, CScreenViewControlUI::kGridRows);
}

CContainerUI* CCorvaneKeyboardDevice::GetFrameStrip() {
    return As<CContainerUI>(FindSystemControl(kFrameStrip), L"Container");
}

CScreenViewControlUI* CCorvaneKeyboardDevice::GetFrame(int index) {
    CContainerUI* strip = GetFrameStrip();
    if (!strip || index < 0 || index >= strip->GetCount()) return nullptr;
    return As<CScreenViewControlUI>(strip->GetItemAt(index), CScreenViewControlUI::kClassName);
}

CScreenViewControlUI* CCorvaneKeyboardDevice::AppendFrame(int index, DWORD pen, DWORD background) {
    CContainerUI* strip = GetFrameStrip();
    if (!strip) return nullptr;
    auto* frame = new CScreenViewControlUI();
    frame->SetName(FrameName(index));
    frame->SetColumns(ScreenColumns());
    frame->SetRows(ScreenRows());
    frame->SetPenColor(pen);
    frame->SetBackgroundColor(background);
    // One screen cell per thumbnail pixel, or fewer pixels where the screen
    // is taller than the strip.
    const int rows = frame->GetRows();
    const int height = std::min(rows, kThumbnailHeight);
    frame->SetFixedHeight(height);
    frame->SetFixedWidth(rows > 0 ? frame->GetColumns() * height / rows : frame->GetColumns());
    frame->SetPadding(RECT{0, 0, kFrameMargin, 0});
    if (!strip->Add(frame)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

int CCorvaneKeyboardDevice::AddFrame() {
    if (m_frameCount >= m_maxFrames) return -1;
    if (!GetFrameStrip()) return -2;
    if (!AppendFrame(m_frameCount, 0xFFFFFF, 0x000000)) return -2;
    ++m_frameCount;
    SetFrameCountLabel(m_frameCount);
    return 0;
}

int CCorvaneKeyboardDevice::DeleteFrame() {
    CContainerUI* strip = GetFrameStrip();
    if (!strip) return 0;
    if (m_frameCount <= 1 || m_currentFrame < 0 || m_currentFrame >= m_frameCount ||
        m_currentFrame >= strip->GetCount())
        return -1;

    const CDuiString documentPath = ScreenFrameDocumentPath();
    Json::Value document = CJsonFileUtil::LoadJson(documentPath);
    if (document.isObject() && document["Frame"].isArray() &&
        m_currentFrame < static_cast<int>(document["Frame"].size())) {
        Json::Value removed;
        document["Frame"].removeIndex(static_cast<Json::ArrayIndex>(m_currentFrame), &removed);
        CJsonFileUtil::SaveJson(documentPath, document);
    }

    strip->RemoveAt(m_currentFrame);
    for (int i = m_currentFrame; i < strip->GetCount(); ++i) strip->GetItemAt(i)->SetName(FrameName(i));
    --m_frameCount;
    SelectFrame(0);
    SetFrameCountLabel(m_frameCount);
    return 0;
}

void CCorvaneKeyboardDevice::ClearAllFrames() {
    if (!m_screenEditor) return;
    ScreenCanvas& canvas = m_screenEditor->Canvas();
    for (ScreenCell& cell : canvas.cells)
        cell = ScreenCell{canvas.background.red, canvas.background.green, canvas.background.blue, 0};
    m_screenEditor->RedrawCanvas();

    if (CContainerUI* strip = GetFrameStrip()) {
        for (int i = 0; i < strip->GetCount(); ++i) {
            CScreenViewControlUI* frame = GetFrame(i);
            if (!frame) continue;
            const ScreenColor ground = frame->GetBackgroundColor();
            for (ScreenCell& cell : frame->Cells()) cell = ScreenCell{ground.red, ground.green, ground.blue, 0};
            frame->NeedUpdate();
        }
    }

    ClearScreenFrameDocument(ScreenFrameDocumentPath());
    CloseScreenEditor();
}

void CCorvaneKeyboardDevice::SetFrameCountLabel(int n) {
    CControlUI* label = FindSystemControl(L"frame_count_label");
    if (!label) return;
    CDuiString text;
    text.Format(L"%d", n);
    label->SetText(text);
}

void CCorvaneKeyboardDevice::ShowFramesPage() { SelectScreenPage(0); }

void CCorvaneKeyboardDevice::SelectScreenPage(int page) {
    if (page != 0 && page != 1) return;
    auto* frames = As<COptionUI>(FindSystemControl(L"frame_option"), L"Option");
    auto* uploading = As<COptionUI>(FindSystemControl(L"uploading_option"), L"Option");
    auto* pages = As<CTabLayoutUI>(FindSystemControl(L"screen_function_switch"), L"TabLayout");
    if (!frames || !uploading || !pages) return;
    frames->Selected(page == 0, false);
    uploading->Selected(page == 1, false);
    pages->SelectItem(page);
}

void CCorvaneKeyboardDevice::OnScreenModeSelected() {
    auto* combo = As<CComboUI>(FindSystemControl(L"screen_mode_combo_Select"), L"Combo");
    // A combo without a choice leaves the mode as it is.
    if (!combo || combo->GetCurSel() < 0) return;
    m_screenMode = combo->GetCurSel();
    // The frames already in the strip stay, also above the new maximum.
    m_maxFrames = m_screenMode == 0 ? kScreenModeSmallMaxFrames : kDefaultMaxFrames;
}

int CCorvaneKeyboardDevice::GetFrameInterval() {
    CControlUI* edit = FindSystemControl(L"frame_interval_time_edit");
    if (!edit) return kDefaultFrameIntervalMs;
    const CDuiString text = edit->GetText();
    if (text.IsEmpty()) return kDefaultFrameIntervalMs;
    return std::max(LeadingInteger(text.GetData()), kMinFrameIntervalMs);
}

void CCorvaneKeyboardDevice::SetFrameInterval(int value, int /*show*/) {
    m_frameInterval = value;
    StoreFrameInterval();
    // The edit always shows what is stored, so that a later loss of focus
    // does not store another value than the one the keyboard has.
    if (CControlUI* edit = FindSystemControl(L"frame_interval_time_edit")) {
        CDuiString text;
        text.Format(L"%d", value);
        edit->SetText(text);
    }
}

void CCorvaneKeyboardDevice::StoreFrameInterval() {
    m_profile.SetFrameIntervalTime(m_frameInterval);
    SaveProfile();
}
