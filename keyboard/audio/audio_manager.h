#pragma once

// The music analysis: owns the loopback capture, keeps the last 1024
// captured values and, for every packet, sends the 500 spectrum magnitudes
// of those values to the target window (COPYDATA_SPECTRUM). Everything runs
// on the UI thread.

#include <array>

#include "keyboard/audio/loopback_capture.h"
#include "keyboard/audio/playback_capture_event.h"
#include "keyboard/audio/sample_ring.h"
#include "keyboard/audio/spectrum_frame.h"

class CAudioManager : public IPlaybackCaptureEvent {
public:
    CAudioManager();
    ~CAudioManager() override;
    CAudioManager(const CAudioManager&) = delete;
    CAudioManager& operator=(const CAudioManager&) = delete;

    // Starts capturing unless a capture runs; also the restart. False when
    // the capture cannot be set up. Returns at once.
    bool Start();
    // Ends the capture and waits for its worker; no restart follows.
    void Stop();
    bool IsRunning() const { return capture_.IsRunning(); }

    // The window that receives the spectra; null sends nothing.
    void SetTargetWindow(win::HWND window) { target_ = window; }
    win::HWND TargetWindow() const { return target_; }
    void SetTiming(const CaptureTiming& timing) { capture_.SetTiming(timing); }
    const tavrik::audio::WaveFormat& CaptureFormat() const { return format_; }
    const CLoopbackCapture& Capture() const { return capture_; }

    void OnCaptureStarted(unsigned periodMs) override;
    void OnCaptureStopped() override;
    void OnCaptureFormat(const tavrik::audio::WaveFormat& format) override;
    void OnCaptureData(const std::uint8_t* data, std::size_t bytes) override;
    void OnCaptureRestart() override;

private:
    std::array<FftComplex, kFftSize> input_{};
    std::array<FftComplex, kFftSize> output_{};
    SpectrumFrame spectrum_{};
    tavrik::audio::WaveFormat format_;
    SampleRing ring_;
    win::HWND target_ = nullptr;
    // Whether the running recording has delivered its first packet.
    bool heard_ = false;
    CLoopbackCapture capture_;
};

// The program's analyser, made on first use and ended at exit.
CAudioManager& TheAudioManager();
