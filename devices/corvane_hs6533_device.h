#pragma once
// CCorvaneHS6533Device: the page of the USB headset and its connection. Its
// lighting runs on the PC and goes to the headset as LED output reports on
// every frame; its equaliser, microphone and voice changer go through the
// audio-chip library (headset_audio.cpp).

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devices/audio_chip_library.h"
#include "devices/corvane_lit_device.h"
#include "link/hs6533_profiledata.h"

class CVoice6533ControlUI;
class CMagicControlUI;
namespace DuiLib {
class COptionUI;
}

class CCorvaneHS6533Device : public CCorvaneLitDevice {
public:
    static constexpr const wchar_t* kClassName = L"CorvaneHS6533Device";
    static constexpr int kHeadsetLeds = 13;
    static constexpr size_t kLedReportBytes = 17;
    static constexpr int kLedReportsPerFrame = 12;
    // Output values above this are sent as this.
    static constexpr uint8_t kLedValueCap = 247;

    CCorvaneHS6533Device();
    ~CCorvaneHS6533Device() override;

    static DuiLib::CControlUI* CreateControl();
    DuiLib::LPCTSTR GetClass() const override;
    DuiLib::LPVOID GetInterface(DuiLib::LPCTSTR pstrName) override;

    void InitPage() override;
    // Recolours the light buttons, then sends the LEDs as twelve LED reports.
    int SendLedFrame() override;
    bool SendsLiveFrames() const override { return true; }
    void OnConnected() override;

    // The twelve LED reports of the present LED vector, in sending order.
    std::array<std::array<uint8_t, kLedReportBytes>, kLedReportsPerFrame> BuildLedReports() const;

    // --- Audio (headset_audio.cpp) -------------------------------------------
    static constexpr int kCustomEqPreset = CHs6533Profiledata::kCustomEqPreset;
    static constexpr int kMaxCustomEqs = CHs6533Profiledata::kMaxCustomEqs;
    static constexpr int kBands = CHs6533Profiledata::kBandCount;
    // The voice changer's voices, numbered 1 to this.
    static constexpr int kMagicVoices = 4;
    static constexpr size_t kPropertyBufferBytes = 1024;
    // The built-in equaliser presets 1..12 (row 0 is preset 1).
    static const std::array<std::array<int32_t, kBands>, 12> kEqPresets;

    // Loads the library, finds the devices and reads the chip's controls once.
    void InitAudio();
    // The microphone's and the monitor's volume and mute, and the voice changer, from the chip.
    void ReadVolumeState();
    void SelectEqPreset(int n);
    // 1 when the band reached the chip.
    int SetCustomEqBand(int band);
    void ApplyCustomEq();
    // 1 saved, 0 the name exists, -1 refused.
    int SaveCustomEq();
    void DeleteCustomEq();
    void SetMicInVolume();
    void ToggleMicInMute();
    void SetMicMonitorVolume();
    void ToggleMicMonitorMute();
    void ToggleMagicVoice();
    void SelectMagicVoice(int n);
    // The virtual 7.1 switch to the chip; a refused write puts the switch back.
    void ToggleVirtualSurround();
    // The virtual 7.1 surround as the chip last took it (1 on).
    int SurroundOn() const { return m_surround; }

    // Where InitAudio loads the library from (default AudioChipLibrary::DefaultPath).
    void SetAudioLibraryPath(const std::wstring& path) { m_audioPath = path; }
    bool IsAudioLoaded() const { return m_audio.Loaded(); }
    // Shows a plain message with an OK button (default: the program's message box).
    void SetMessageSink(std::function<void(const wchar_t*)> sink) { m_showMessage = std::move(sink); }
    const HeadsetSystemSetStages& Settings() const { return m_settings; }
    const std::vector<int32_t>& Bands() const { return m_bands; }
    const std::vector<DuiLib::CDuiString>& CustomEqNames() const { return m_customNames; }

    CHs6533Profiledata& Profile() { return m_profile; }
    CVoice6533ControlUI* VoicePanel() const { return m_pVoicePanel; }
    CMagicControlUI* MagicPanel() const { return m_pMagicPanel; }
    DuiLib::COptionUI* SurroundOption() const { return m_pSurroundOption; }

protected:
    CBasicProfiledata& Document() override { return m_profile; }
    void BindPanels() override;
    void LoadOwnSettings() override;
    void RefreshOwnPanels() override;

private:
    enum class Flow { Render, Capture };
    // The ints at the start of a property's channel buffer; none: no channel buffer.
    using Channels = std::span<const int32_t>;
    // A property read: its value (decimal text parsed), or nothing when the read failed.
    std::optional<double> ReadProperty(Flow flow, const char16_t* name, std::optional<int32_t> channel = std::nullopt);
    std::optional<double> ReadRecord(Flow flow, const char16_t* name, Channels channels);
    bool WriteInt(Flow flow, const char16_t* name, int32_t value, std::optional<int32_t> channel = std::nullopt);
    bool WriteRecord(Flow flow, const char16_t* name, int32_t value, Channels channels);
    bool WriteScalar(Flow flow, const char16_t* name, float value, int32_t channel);
    // Read; when the read fails, write 0 (the start-up defaults).
    void ReadElseZero(Flow flow, const char16_t* name, std::optional<int32_t> channel = std::nullopt);
    void FindAudioDevices();
    void ReadFeatures(AudioDeviceRecord& record);
    void ReadControlsOnce();
    // Enable_EQ_GFX 1 and the ten bands: true when every write succeeded.
    bool WriteEqualiser(const std::vector<int32_t>& bands);
    // The selected custom equaliser to the chip and the profile; false when the chip refused it
    // (nothing selected is no failure).
    bool ApplySelectedCustomEq();
    void ShowBands(const std::vector<int32_t>& bands);
    // Stores the settings in the profile and saves it.
    void Commit();
    void ShowMessage(const wchar_t* text);

    CHs6533Profiledata m_profile;
    CVoice6533ControlUI* m_pVoicePanel = nullptr;
    CMagicControlUI* m_pMagicPanel = nullptr;
    DuiLib::COptionUI* m_pSurroundOption = nullptr;

    AudioChipLibrary m_audio;
    std::wstring m_audioPath;
    std::function<void(const wchar_t*)> m_showMessage;
    HeadsetSystemSetStages m_settings;
    int m_captureMute = 0;
    int m_monitorMute = 0;
    int m_surround = 0;
    std::vector<int32_t> m_bands;
    std::vector<DuiLib::CDuiString> m_customNames;
    // Write value, write channel, read value, read channel.
    std::array<std::vector<uint8_t>, 4> m_buffers;
};
