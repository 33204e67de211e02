#include "keyboard/audio/audio_manager.h"

#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"

CAudioManager::CAudioManager() = default;

CAudioManager::~CAudioManager() { Stop(); }

bool CAudioManager::Start() {
    if (capture_.IsRunning()) {
        return true;
    }
    return capture_.Init(this) && capture_.Start();
}

void CAudioManager::Stop() { capture_.Release(); }

void CAudioManager::OnCaptureStarted(unsigned) { heard_ = false; }

void CAudioManager::OnCaptureStopped() {
    heard_ = false;
    win::OutputDebugStringW(L"audio capture: stopped\n");
}

void CAudioManager::OnCaptureFormat(const tavrik::audio::WaveFormat& format) {
    format_ = format;
    // Values of another layout do not belong in the same analysis.
    ring_.Clear();
}

void CAudioManager::OnCaptureData(const std::uint8_t* data, std::size_t bytes) {
    // From here on what the PC plays reaches the analysis.
    if (!heard_) win::OutputDebugStringW(L"audio capture: packets arrive\n");
    heard_ = true;
    ring_.Append(data, bytes);
    ring_.CopyOldestFirst(input_);
    RunFFT(input_.data(), output_.data(), kFftSize, kFftAngle);
    ComputeSpectrum(output_, spectrum_);
    if (target_ != nullptr) {
        win::COPYDATASTRUCT block;
        block.dwData = COPYDATA_SPECTRUM;
        block.cbData = sizeof spectrum_;
        block.lpData = spectrum_.data();
        win::SendMessageW(target_, win::WM_COPYDATA, reinterpret_cast<win::WPARAM>(target_),
                          reinterpret_cast<win::LPARAM>(&block));
        spectrum_.fill(0);
    }
}

void CAudioManager::OnCaptureRestart() {
    win::OutputDebugStringW(L"audio capture: restart\n");
    Start();
}

CAudioManager& TheAudioManager() {
    static CAudioManager manager;
    return manager;
}
