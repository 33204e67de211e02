// The main window's share of the music lighting: the music styles in
// "AudioFile.json" and their window, the audio capture's start and end, and
// the spectra it sends, reduced to band levels for the keyboards and mice.
#include <algorithm>
#include <string>

#include "keyboard/audio/audio_recor_impl.h"
#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/music_wnd.h"
#include "link/device/corvane_usb_device.h"
#include "link/data_folders.h"
#include "link/text_encoding.h"
#include "shell/main/audio_file.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;

namespace {

constexpr const char* kDeviceKey = "Device";
constexpr const char* kStylesKey = "AudioLightInfo";
constexpr const wchar_t* kAudioFile = L"AudioFile.json";

// A number of the record: its low 8 bits; anything but a number reads as 0.
uint8_t ByteOf(const Json::Value& record, const std::string& key) {
    const Json::Value& v = record.isObject() ? record[key] : Json::Value::nullSingleton();
    if (v.isInt64()) return uint8_t(v.asInt64());
    if (v.isUInt64()) return uint8_t(v.asUInt64());
    return 0;
}

std::wstring NameOf(const Json::Value& record, const std::string& key) {
    const Json::Value& v = record.isObject() ? record[key] : Json::Value::nullSingleton();
    return v.isString() ? std::wstring(Utf8ToDuiString(v.asString()).GetData()) : std::wstring();
}

std::string ColorKey(const char* channel, int style) { return std::string("nStyle") + channel + std::to_string(style); }

}  // namespace

// --- Music styles --------------------------------------------------------------------------

void CMainWnd::LoadAudioFile() {
    const CDuiString user = GetUserDataPath() + kAudioFile;
    m_audioDocument = LoadAudioFileDevice(user, GetDefaultDataPath() + kAudioFile);
    SetAudioFilePath(user.GetData());
    LoadAudioLightInfo();
}

void CMainWnd::RestoreAudioDefaults() {
    const auto device = RestoreAudioFileDefaults(GetUserDataPath() + kAudioFile, GetDefaultDataPath() + kAudioFile);
    if (!device) return;
    m_audioDocument = *device;
    LoadAudioLightInfo();
}

void CMainWnd::SetAudioFilePath(const std::wstring& path) {
    if (!path.empty()) m_audioFilePath = path;
}

AudioLightInfo CMainWnd::LoadAudioLightInfo() {
    AudioLightInfo info;
    const Json::Value& record = m_audioDocument.isObject() ? m_audioDocument[kStylesKey] : Json::Value::nullSingleton();
    if (record.isObject()) {
        info.styleIndex = ByteOf(record, "nAudioStyle");
        for (int i = 0; i < AudioLightInfo::kStyles; ++i) {
            info.styleName[size_t(i)] = NameOf(record, "nStyleName" + std::to_string(i + 1));
            info.styleColor[size_t(i)] = {ByteOf(record, ColorKey("R", i)), ByteOf(record, ColorKey("G", i)),
                                          ByteOf(record, ColorKey("B", i))};
        }
    }
    m_audioLightInfo = info;
    return info;
}

void CMainWnd::SaveAudioLightInfo(AudioLightInfo info) {
    m_audioLightInfo = info;
    Json::Value record(Json::objectValue);
    record["nAudioStyle"] = info.styleIndex;
    for (int i = 0; i < AudioLightInfo::kStyles; ++i) {
        record["nStyleName" + std::to_string(i + 1)] = WideToUtf8(info.styleName[size_t(i)]);
        const AudioStyleColor& c = info.styleColor[size_t(i)];
        record[ColorKey("R", i)] = c.r;
        record[ColorKey("G", i)] = c.g;
        record[ColorKey("B", i)] = c.b;
    }
    if (!m_audioDocument.isObject()) m_audioDocument = Json::Value(Json::objectValue);
    m_audioDocument[kStylesKey] = record;
}

void CMainWnd::SaveAudioFile() { WriteAudioFileDevice(m_audioDocument, m_audioFilePath); }

// The rest of the file stays as it is: only its "Device" object is replaced.
void CMainWnd::WriteAudioFileDevice(Json::Value device, std::wstring path) {
    if (path.empty()) return;
    const CDuiString file = path.c_str();
    Json::Value document = CJsonFileUtil::LoadJson(file);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kDeviceKey] = device;
    CJsonFileUtil::SaveJson(file, document);
}

void CMainWnd::ShowMusicWindow() {
    if (m_hMusicWnd != nullptr) return;
    MusicWnd window;
    if (!window.Create(GetHWND(), L"  ", UI_WS_POPUP | UI_WS_VISIBLE, UI_WS_EX_TOOLWINDOW, 0, 0, MusicWnd::kWidth,
                       MusicWnd::kHeight))
        return;
    window.SetDPI(m_nDpi);
    const AudioLightInfo info = LoadAudioLightInfo();
    m_hMusicWnd = window.GetHWND();
    UpdateAudioCapture();
    window.SetStyleInfo(info);
    window.CenterWindow();
    if (window.ShowModal() == 1) {
        SaveAudioLightInfo(window.GetStyleInfo());
        SaveAudioFile();
    }
    m_hMusicWnd = nullptr;
    UpdateAudioCapture();
}

// --- Audio capture -------------------------------------------------------------------------

void CMainWnd::StartAudioCapture() {
    CAudioRecorImpl* audio = CSingleton::GetInstance();
    audio->Command(CAudioRecorImpl::kMagic, CAudioRecorImpl::kSetTarget, reinterpret_cast<std::intptr_t>(GetHWND()));
    audio->Command(CAudioRecorImpl::kMagic, CAudioRecorImpl::kStart, 0);
    m_audioCaptureStarted = true;
}

void CMainWnd::UpdateAudioCapture() {
    constexpr uint8_t kMusicMode = 21;
    bool wanted = m_hMusicWnd != nullptr;
    for (CCorvaneUSBDevice* page : m_keyboards) {
        auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(page);
        if (keyboard && keyboard->GetRunningMode() == kMusicMode) wanted = true;
    }
    if (wanted && !m_audioCaptureStarted) StartAudioCapture();
    if (!wanted && m_audioCaptureStarted) StopAudioCapture();
}

// The window is going: the capture's last notices go nowhere and its worker
// has ended before the window's state is freed.
void CMainWnd::StopAudioCapture() {
    if (!m_audioCaptureStarted) return;
    m_audioCaptureStarted = false;
    CAudioRecorImpl* audio = CSingleton::GetInstance();
    audio->Command(CAudioRecorImpl::kMagic, CAudioRecorImpl::kSetTarget, 0);
    audio->Command(CAudioRecorImpl::kMagic, CAudioRecorImpl::kStop, 0);
}

// --- Spectrum routing ----------------------------------------------------------------------

// Every connected keyboard and mouse hears the music, whichever entry is
// selected: the levels of each kind are smoothed once per frame (a keyboard
// bound by cable and receiver is still one keyboard) and every third frame
// go to each page of that kind whose channel is open. The mouse takes levels
// 1 to 9.
void CMainWnd::OnSpectrumFrame() {
    ++m_keyboardFrameCounter;
    ++m_mouseFrameCounter;
    const SpectrumValues differences = TakeSpectrumDifferences(m_spectrumFrame, m_previousSpectrumFrame);
    bool keyboard = false, mouse = false;
    for (const HidDeviceSlot& slot : m_slots) {
        if (slot.connected != 1) continue;
        keyboard = keyboard || slot.deviceType == HidDeviceSlot::kTypeKeyboardCable ||
                   slot.deviceType == HidDeviceSlot::kTypeKeyboardReceiver;
        mouse = mouse || slot.deviceType == HidDeviceSlot::kTypeMouseCable ||
                slot.deviceType == HidDeviceSlot::kTypeMouseReceiver;
    }
    if (keyboard) {
        SmoothBandLevels(m_keyboardBandLevels.data(), m_keyboardBandLevels.size(), differences);
        if (m_keyboardFrameCounter > 2) {
            m_keyboardFrameCounter = 0;
            SpectrumValues bands{};
            std::copy(m_keyboardBandLevels.begin(), m_keyboardBandLevels.end(), bands.begin());
            SendBands(m_keyboards, bands);
        }
    }
    if (mouse) {
        SmoothBandLevels(m_mouseBandLevels.data(), m_mouseBandLevels.size(), differences);
        if (m_mouseFrameCounter > 2) {
            m_mouseFrameCounter = 0;
            SpectrumValues bands{};
            std::copy(m_mouseBandLevels.begin() + 1, m_mouseBandLevels.end(), bands.begin());
            SendBands(m_mice, bands);
        }
    }
}

void CMainWnd::SendBands(const std::vector<CCorvaneUSBDevice*>& pages, const SpectrumValues& bands) {
    for (CCorvaneUSBDevice* page : pages)
        if (page != nullptr && page->CommandChannel().IsOpen()) page->SetAudioSpectrum(bands.data(), int(bands.size()));
}

void CMainWnd::OnExternalFeed() {
    if (!m_keyboards.empty() && m_keyboards.front() != nullptr)
        m_keyboards.front()->SetAudioLevels(m_externalFeed.data(), int(m_externalFeed.size()));
}
