// The headset page's audio: the equaliser with its presets and custom
// settings, the microphone and its monitor, and the voice changer, through
// the audio-chip library. A change the chip refused leaves the settings and
// the profile as they were, and the panels show them again.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include "devices/corvane_hs6533_device.h"
#include "devices/magic_control_ui.h"
#include "devices/voice6533_control_ui.h"
#include "platform/ui/button.h"
#include "shell/controls/message_boxes.h"

using namespace DuiLib;

const std::array<std::array<int32_t, CCorvaneHS6533Device::kBands>, 12> CCorvaneHS6533Device::kEqPresets = {{
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
    {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
    {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
    {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
    {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
    {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
}};

namespace {

enum Buffer { kWriteValue, kWriteChannel, kReadValue, kReadChannel };
constexpr int kRenderTypes[] = {1, 12, 7, 4};
constexpr int32_t kCaptureType = 2;
constexpr int32_t kActive = 1;
constexpr size_t kFeatureParts = 7;
constexpr size_t kFeatureBytes = 2048;
// Feature value 0 of the capture device: the voice changer is available.
constexpr int32_t kVoiceChangerBit = 0x20000;
constexpr int32_t kAllChannels = -1;
constexpr int32_t kMonitorReadChannel = 0;
constexpr int32_t kMonitorChangedChannel = 1;
constexpr int32_t kSurroundChannels[3] = {4, -1, 0};

const char16_t* const kEqBandNames[CCorvaneHS6533Device::kBands] = {
    u"EQ_Slider1", u"EQ_Slider2", u"EQ_Slider3", u"EQ_Slider4", u"EQ_Slider5",
    u"EQ_Slider6", u"EQ_Slider7", u"EQ_Slider8", u"EQ_Slider9", u"EQ_Slider10"};

// A cleared channel buffer with the record's ints at its start.
void FillChannels(std::vector<uint8_t>& buffer, std::span<const int32_t> channels) {
    std::fill(buffer.begin(), buffer.end(), 0);
    std::copy_n(channels.begin(), std::min(channels.size(), buffer.size() / sizeof(int32_t)),
                reinterpret_cast<int32_t*>(buffer.data()));
}

// The text of a value buffer, ended at the buffer's end whatever the library wrote.
std::string BufferText(const std::vector<uint8_t>& buffer, size_t bytes) {
    std::string text;
    const auto* chars = reinterpret_cast<const char16_t*>(buffer.data());
    const size_t n = std::min(bytes, buffer.size()) / sizeof(char16_t);
    for (size_t i = 0; i < n && chars[i]; ++i) text.push_back(chars[i] < 0x80 ? char(chars[i]) : '?');
    return text;
}

std::vector<std::string> SplitFeatures(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(',', start), text.size());
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace

void CCorvaneHS6533Device::ShowMessage(const wchar_t* text) {
    if (m_showMessage) {
        m_showMessage(text);
        return;
    }
    ShowMessageBox(m_hMainWnd, nullptr, text, 0, 0, 0);
}

// --- Property access ------------------------------------------------------------------

std::optional<double> CCorvaneHS6533Device::ReadProperty(Flow flow, const char16_t* name,
                                                         std::optional<int32_t> channel) {
    return ReadRecord(flow, name, channel ? Channels(&*channel, 1) : Channels());
}

std::optional<double> CCorvaneHS6533Device::ReadRecord(Flow flow, const char16_t* name, Channels channels) {
    if (!m_audio.Loaded()) return std::nullopt;
    const AudioDeviceRecord& device = flow == Flow::Render ? AudioChipLibrary::Render() : AudioChipLibrary::Capture();
    std::vector<uint8_t>& value = m_buffers[kReadValue];
    std::vector<uint8_t>& ch = m_buffers[kReadChannel];
    std::fill(value.begin(), value.end(), 0);
    FillChannels(ch, channels);
    if (m_audio.Property(device.desc, name, value.data(), channels.empty() ? nullptr : ch.data(), 0) != 0)
        return std::nullopt;
    const std::string text = BufferText(value, value.size());
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return std::nullopt;
    return v;
}

bool CCorvaneHS6533Device::WriteInt(Flow flow, const char16_t* name, int32_t v, std::optional<int32_t> channel) {
    return WriteRecord(flow, name, v, channel ? Channels(&*channel, 1) : Channels());
}

bool CCorvaneHS6533Device::WriteRecord(Flow flow, const char16_t* name, int32_t v, Channels channels) {
    if (!m_audio.Loaded()) return false;
    const AudioDeviceRecord& device = flow == Flow::Render ? AudioChipLibrary::Render() : AudioChipLibrary::Capture();
    std::vector<uint8_t>& value = m_buffers[kWriteValue];
    std::vector<uint8_t>& ch = m_buffers[kWriteChannel];
    std::fill(value.begin(), value.end(), 0);
    FillChannels(ch, channels);
    std::memcpy(value.data(), &v, sizeof v);
    return m_audio.Property(device.desc, name, value.data(), channels.empty() ? nullptr : ch.data(), 1) == 0;
}

bool CCorvaneHS6533Device::WriteScalar(Flow flow, const char16_t* name, float v, int32_t channel) {
    if (!m_audio.Loaded()) return false;
    const AudioDeviceRecord& device = flow == Flow::Render ? AudioChipLibrary::Render() : AudioChipLibrary::Capture();
    std::vector<uint8_t>& value = m_buffers[kWriteValue];
    std::vector<uint8_t>& ch = m_buffers[kWriteChannel];
    std::fill(value.begin(), value.end(), 0);
    std::fill(ch.begin(), ch.end(), 0);
    std::memcpy(value.data(), &v, sizeof v);
    std::memcpy(ch.data(), &channel, sizeof channel);
    return m_audio.Property(device.desc, name, value.data(), ch.data(), 1) == 0;
}

void CCorvaneHS6533Device::ReadElseZero(Flow flow, const char16_t* name, std::optional<int32_t> channel) {
    if (!ReadProperty(flow, name, channel)) WriteInt(flow, name, 0, channel);
}

// --- Start-up ---------------------------------------------------------------------------

void CCorvaneHS6533Device::InitAudio() {
    if (!m_audio.Load(m_audioPath)) return;
    if (m_audio.Init() != 0) ShowMessage(L"ConfLibInit called failed!");
    m_audio.CreateDeviceList();
    if (m_audio.DeviceCount(kConfLibRender) == 0) return;
    FindAudioDevices();
    ReadControlsOnce();
    ReadVolumeState();
}

void CCorvaneHS6533Device::FindAudioDevices() {
    AudioDeviceRecord& render = AudioChipLibrary::Render();
    AudioDeviceRecord& capture = AudioChipLibrary::Capture();
    render = {};
    capture = {};
    const unsigned renders = m_audio.DeviceCount(kConfLibRender);
    bool found = false;
    for (int type : kRenderTypes) {
        for (unsigned i = 0; i < renders && !found; ++i) {
            AudioDeviceDesc d{};
            if (m_audio.DeviceById(kConfLibRender, i, &d) && d.type == type && d.state == kActive) {
                render.desc = d;
                found = true;
            }
        }
        if (found) break;
    }
    const unsigned captures = m_audio.DeviceCount(kConfLibCapture);
    for (unsigned i = 0; i < captures; ++i) {
        AudioDeviceDesc d{};
        if (m_audio.DeviceById(kConfLibCapture, i, &d) && d.type == kCaptureType) {
            capture.desc = d;
            break;
        }
    }
    ReadFeatures(capture);
    ReadFeatures(render);
}

void CCorvaneHS6533Device::ReadFeatures(AudioDeviceRecord& record) {
    if (record.desc.type < 1) return;
    std::vector<uint8_t> buffer(kFeatureBytes, 0);
    if (m_audio.Property(record.desc, u"GetSupportFeature", buffer.data(), nullptr, 0) != 0) return;
    // Only the first 1024 bytes count, whatever the library wrote beyond them.
    const std::vector<std::string> parts = SplitFeatures(BufferText(buffer, kPropertyBufferBytes));
    if (parts.size() < kFeatureParts) {
        ShowMessage(L"UpdateAPOAvailable failed!");
        return;
    }
    record.features = {std::atoi(parts[0].c_str()), std::atoi(parts[4].c_str()), std::atoi(parts[6].c_str())};
}

void CCorvaneHS6533Device::ReadControlsOnce() {
    // The surround takes its three-int channel record for the read and the write.
    if (const auto surround = ReadRecord(Flow::Render, u"VirtualSurroundEffectControl", kSurroundChannels))
        m_surround = *surround != 0 ? 1 : 0;
    else if (WriteRecord(Flow::Render, u"VirtualSurroundEffectControl", 0, kSurroundChannels))
        m_surround = 0;
    if (!ReadProperty(Flow::Capture, u"Enable_ENC_LFX", 0)) WriteInt(Flow::Capture, u"Enable_ENC_LFX", 0);
    ReadElseZero(Flow::Capture, u"VolumeControl", kAllChannels);
    ReadElseZero(Flow::Render, u"Enable_EQ_GFX");
    for (const char16_t* band : kEqBandNames) ReadElseZero(Flow::Render, band);
    for (const char16_t* room : {u"Enable_RFX_GFX", u"RFX_ENVIRONMENT", u"RFX_ROOMSIZE"})
        ReadElseZero(Flow::Render, room);
    ReadElseZero(Flow::Capture, u"MuteControl");
    ReadElseZero(Flow::Capture, u"VolumeScalarControl", kAllChannels);
    ReadElseZero(Flow::Capture, u"AAVolumeControl", kMonitorReadChannel);
    ReadElseZero(Flow::Capture, u"AAMuteControl");
    ReadElseZero(Flow::Capture, u"AAVolumeScalarControl", kMonitorReadChannel);
    ReadElseZero(Flow::Capture, u"Enable_MAGICVOICE");
    ReadElseZero(Flow::Capture, u"MagicVoice_Selection");
}

void CCorvaneHS6533Device::ReadVolumeState() {
    if (!m_audio.Loaded()) return;
    for (const char16_t* name : {u"GetMaxVol", u"GetMinVol", u"GetVolStep"}) ReadProperty(Flow::Capture, name);
    ReadProperty(Flow::Capture, u"VolumeControl", kAllChannels);
    if (const auto mute = ReadProperty(Flow::Capture, u"MuteControl")) {
        m_captureMute = int(*mute);
        m_settings.micInSelect = m_captureMute == 0 ? 1 : 0;
    }
    // Rounded: a stored 29 is the chip's 0.29, which truncation would read as 28.
    if (const auto v = ReadProperty(Flow::Capture, u"VolumeScalarControl", kAllChannels))
        m_settings.micInValue = int(std::lround(*v * 100));
    if (ReadProperty(Flow::Capture, u"GetAAMaxVol")) {
        ReadProperty(Flow::Capture, u"GetAAMinVol");
        ReadProperty(Flow::Capture, u"GetAAVolStep");
        ReadProperty(Flow::Capture, u"AAVolumeControl", kMonitorReadChannel);
        if (const auto mute = ReadProperty(Flow::Capture, u"AAMuteControl")) {
            m_monitorMute = int(*mute);
            m_settings.micMonitorSelect = m_monitorMute == 0 ? 1 : 0;
        }
        if (const auto v = ReadProperty(Flow::Capture, u"AAVolumeScalarControl", kMonitorReadChannel))
            m_settings.micMonitorValue = int(std::lround(*v * 100));
        for (const char16_t* band : kEqBandNames) ReadProperty(Flow::Render, band);
    }
    const auto magic = ReadProperty(Flow::Capture, u"Enable_MAGICVOICE");
    if (magic && (AudioChipLibrary::Capture().features[0] & kVoiceChangerBit)) m_settings.magicEnable = int(*magic);
    if (const auto voice = ReadProperty(Flow::Capture, u"MagicVoice_Selection")) {
        const int v = int(*voice);
        if (v >= 0 && v < kMagicVoices) m_settings.magicType = v + 1;
    }
}

// --- Profile and panels -----------------------------------------------------------------

void CCorvaneHS6533Device::LoadOwnSettings() {
    m_settings = m_profile.GetSystemSetStages();
    // A stored preset that names none of the list plays preset 1's bands:
    // preset 1 is the one shown as chosen.
    if (m_settings.eqType < 1 || m_settings.eqType > kCustomEqPreset) m_settings.eqType = 1;
    m_bands = m_settings.eqType == kCustomEqPreset ? m_profile.GetCustomEq(m_settings.customEqSelectIndex)
                                                   : m_profile.GetEqPreset(m_settings.eqType);
    m_customNames = m_profile.GetCustomEqNames();
}

void CCorvaneHS6533Device::RefreshOwnPanels() {
    if (m_pSurroundOption) m_pSurroundOption->Selected(m_surround != 0, false);
    if (m_pMagicPanel) {
        m_pMagicPanel->SetMagicEnabled(m_settings.magicEnable != 0);
        m_pMagicPanel->SelectMagicOption(m_settings.magicType);
    }
    if (!m_pVoicePanel) return;
    m_pVoicePanel->SetMicInOption(m_settings.micInSelect != 0);
    m_pVoicePanel->SetMicInValue(m_settings.micInValue);
    m_pVoicePanel->SetMicMonitorOption(m_settings.micMonitorSelect != 0);
    m_pVoicePanel->SetMicMonitorValue(m_settings.micMonitorValue);
    m_pVoicePanel->SelectEqOption(m_settings.eqType);
    m_pVoicePanel->RemoveAllCustomEqItems();
    for (const CDuiString& name : m_customNames) m_pVoicePanel->AddCustomEqItem(name);
    m_pVoicePanel->SelectCustomEqItem(m_settings.customEqSelectIndex);
    m_pVoicePanel->EnableCustomEqLayout(m_settings.eqType == kCustomEqPreset);
    ShowBands(m_bands);
}

void CCorvaneHS6533Device::ShowBands(const std::vector<int32_t>& bands) {
    if (!m_pVoicePanel) return;
    for (size_t k = 0; k < bands.size(); ++k) m_pVoicePanel->SetEqBandValue(int(k), bands[k]);
}

void CCorvaneHS6533Device::Commit() {
    m_profile.SetSystemSetStages(m_settings);
    SaveProfile();
}

// --- Equaliser ----------------------------------------------------------------------------

bool CCorvaneHS6533Device::WriteEqualiser(const std::vector<int32_t>& bands) {
    bool ok = WriteInt(Flow::Render, u"Enable_EQ_GFX", 1);
    for (size_t k = 0; k < bands.size() && k < size_t(kBands); ++k)
        ok = WriteInt(Flow::Render, kEqBandNames[k], bands[k]) && ok;
    return ok;
}

void CCorvaneHS6533Device::SelectEqPreset(int n) {
    if (n <= 0 || n > kCustomEqPreset) return;
    if (n == kCustomEqPreset) {
        const HeadsetSystemSetStages before = m_settings;
        m_settings.eqType = kCustomEqPreset;
        if (m_pVoicePanel) {
            m_pVoicePanel->SelectEqOption(kCustomEqPreset);
            m_pVoicePanel->EnableCustomEqLayout(true);
        }
        if (!ApplySelectedCustomEq()) {
            m_settings = before;
            RefreshOwnPanels();
            return;
        }
        SaveProfile();
        return;
    }
    const auto& preset = kEqPresets[size_t(n - 1)];
    const std::vector<int32_t> bands(preset.begin(), preset.end());
    ShowBands(bands);
    if (!WriteEqualiser(bands)) {
        RefreshOwnPanels();
        return;
    }
    m_bands = bands;
    m_settings.eqType = n;
    if (m_pVoicePanel) {
        m_pVoicePanel->SelectEqOption(n);
        m_pVoicePanel->EnableCustomEqLayout(false);
    }
    m_profile.SetSystemSetStages(m_settings);
    m_profile.SetEqPreset(n, m_bands);
    SaveProfile();
}

int CCorvaneHS6533Device::SetCustomEqBand(int band) {
    if (band < 0 || band >= kBands || !m_pVoicePanel) return 0;
    if (m_settings.eqType != kCustomEqPreset) {
        m_settings.eqType = kCustomEqPreset;
        m_pVoicePanel->SelectEqOption(kCustomEqPreset);
        m_pVoicePanel->SelectCustomEqItem(-1);
        m_pVoicePanel->EnableCustomEqLayout(true);
    }
    return WriteInt(Flow::Render, kEqBandNames[band], m_pVoicePanel->GetEqBandValue(band)) ? 1 : 0;
}

void CCorvaneHS6533Device::ApplyCustomEq() {
    if (!ApplySelectedCustomEq()) RefreshOwnPanels();
}

bool CCorvaneHS6533Device::ApplySelectedCustomEq() {
    if (!m_pVoicePanel) return true;
    const int s = m_pVoicePanel->GetCustomEqSelection();
    if (s < 0) return true;
    std::vector<int32_t> bands = m_profile.GetCustomEq(s);
    if (bands.size() > size_t(kBands)) bands.resize(size_t(kBands));
    ShowBands(bands);
    if (!WriteEqualiser(bands)) return false;
    m_bands = bands;
    m_settings.customEqSelectIndex = s;
    Commit();
    return true;
}

int CCorvaneHS6533Device::SaveCustomEq() {
    if (!m_pVoicePanel) return -1;
    const CDuiString name = m_pVoicePanel->GetCustomEqName();
    std::vector<int32_t> bands;
    for (int k = 0; k < kBands; ++k) bands.push_back(m_pVoicePanel->GetEqBandValue(k));
    if (name.IsEmpty()) {
        const int s = m_pVoicePanel->GetCustomEqSelection();
        if (s < 0) return -1;
        m_bands = bands;
        m_settings.customEqSelectIndex = s;
        m_profile.SetSystemSetStages(m_settings);
        m_profile.SetCustomEq(s, bands);
        SaveProfile();
        return 1;
    }
    const int count = m_pVoicePanel->GetCustomEqCount();
    if (count >= kMaxCustomEqs) return -1;
    for (int i = 0; i < count; ++i)
        if (DuiCompareNoCase(m_pVoicePanel->GetCustomEqItemText(i), name) == 0) return 0;
    m_pVoicePanel->AddCustomEqItem(name);
    m_customNames.push_back(name);
    m_bands = bands;
    const int s = m_pVoicePanel->GetCustomEqCount() - 1;
    m_settings.customEqSelectIndex = s;
    m_pVoicePanel->SelectCustomEqItem(s);
    m_profile.SetSystemSetStages(m_settings);
    m_profile.SetCustomEq(s, bands);
    m_profile.SetCustomEqNames(m_customNames);
    SaveProfile();
    return 1;
}

void CCorvaneHS6533Device::DeleteCustomEq() {
    if (!m_pVoicePanel) return;
    const int s = m_pVoicePanel->GetCustomEqSelection();
    if (s < 0) return;
    m_pVoicePanel->RemoveCustomEqItem(s);
    const int remaining = m_pVoicePanel->GetCustomEqCount();
    // Every later entry moves down with its own bands.
    for (int i = s; i < remaining; ++i) m_profile.SetCustomEq(i, m_profile.GetCustomEq(i + 1));
    m_customNames.clear();
    if (remaining > 0) {
        for (int i = 0; i < remaining; ++i) m_customNames.push_back(m_pVoicePanel->GetCustomEqItemText(i));
        m_settings.customEqSelectIndex = 0;
        m_pVoicePanel->SelectCustomEqItem(0);
        m_profile.SetSystemSetStages(m_settings);
        m_bands = m_profile.GetCustomEq(0);
    } else {
        m_pVoicePanel->SelectEqOption(1);
        m_settings.eqType = 1;
        m_profile.SetSystemSetStages(m_settings);
        m_bands = m_profile.GetEqPreset(1);
        m_pVoicePanel->EnableCustomEqLayout(false);
    }
    ShowBands(m_bands);
    m_profile.SetCustomEqNames(m_customNames);
    SaveProfile();
    // The chip plays what the sliders now show.
    WriteEqualiser(m_bands);
}

// --- Microphone and monitor ---------------------------------------------------------------

void CCorvaneHS6533Device::SetMicInVolume() {
    if (!m_pVoicePanel) return;
    const int v = m_pVoicePanel->GetMicInValue();
    if (!WriteScalar(Flow::Capture, u"VolumeScalarControl", float(v / 100.0), kAllChannels)) {
        m_pVoicePanel->SetMicInValue(m_settings.micInValue);
        return;
    }
    ReadProperty(Flow::Capture, u"VolumeControl", kAllChannels);
    m_settings.micInValue = v;
    Commit();
}

void CCorvaneHS6533Device::SetMicMonitorVolume() {
    if (!m_pVoicePanel) return;
    const int v = m_pVoicePanel->GetMicMonitorValue();
    if (!WriteScalar(Flow::Capture, u"AAVolumeScalarControl", float(v / 100.0), kMonitorReadChannel)) {
        m_pVoicePanel->SetMicMonitorValue(m_settings.micMonitorValue);
        return;
    }
    ReadProperty(Flow::Capture, u"AAVolumeControl", kMonitorChangedChannel);
    m_settings.micMonitorValue = v;
    Commit();
}

void CCorvaneHS6533Device::ToggleMicInMute() {
    const int mute = m_captureMute ? 0 : 1;
    if (!WriteInt(Flow::Capture, u"MuteControl", mute)) {
        if (m_pVoicePanel) m_pVoicePanel->SetMicInOption(m_captureMute == 0);
        return;
    }
    m_captureMute = mute;
    if (m_pVoicePanel) m_pVoicePanel->SetMicInOption(mute == 0);
    m_settings.micInSelect = mute == 0 ? 1 : 0;
    Commit();
}

void CCorvaneHS6533Device::ToggleMicMonitorMute() {
    const int mute = m_monitorMute ? 0 : 1;
    if (!WriteInt(Flow::Capture, u"AAMuteControl", mute)) {
        if (m_pVoicePanel) m_pVoicePanel->SetMicMonitorOption(m_monitorMute == 0);
        return;
    }
    m_monitorMute = mute;
    if (m_pVoicePanel) m_pVoicePanel->SetMicMonitorOption(mute == 0);
    m_settings.micMonitorSelect = mute == 0 ? 1 : 0;
    Commit();
}

// --- Voice changer --------------------------------------------------------------------------

void CCorvaneHS6533Device::ToggleMagicVoice() {
    if (!m_pMagicPanel) return;
    const int on = m_pMagicPanel->IsMagicEnabled();
    m_pMagicPanel->EnableMagicOptions(on != 0);
    bool ok = WriteInt(Flow::Capture, u"Enable_MAGICVOICE", on);
    if (on) ok = WriteInt(Flow::Capture, u"Enable_MICECHO", 0) && ok;
    if (!ok) {
        m_pMagicPanel->SetMagicEnabled(m_settings.magicEnable != 0);
        return;
    }
    m_settings.magicEnable = on;
    Commit();
}

void CCorvaneHS6533Device::SelectMagicVoice(int n) {
    if (n <= 0 || n > kMagicVoices) return;
    if (!WriteInt(Flow::Capture, u"MagicVoice_Selection", n - 1)) {
        if (m_pMagicPanel) m_pMagicPanel->SelectMagicOption(m_settings.magicType);
        return;
    }
    m_settings.magicType = n;
    if (m_pMagicPanel) m_pMagicPanel->SelectMagicOption(n);
    Commit();
}

// --- Virtual 7.1 ----------------------------------------------------------------------------

// The chip keeps the surround: the switch shows what the chip took.
void CCorvaneHS6533Device::ToggleVirtualSurround() {
    if (!m_pSurroundOption) return;
    const int on = m_pSurroundOption->IsSelected() ? 1 : 0;
    if (WriteRecord(Flow::Render, u"VirtualSurroundEffectControl", on, kSurroundChannels)) m_surround = on;
    m_pSurroundOption->Selected(m_surround != 0, false);
}
