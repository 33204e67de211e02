#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "keyboard/audio/audio_manager.h"
#include "platform/audio/simulated_audio_server.h"
#include "platform/files/win_types.h"

namespace audio_test {

// Serves the calling thread's messages until done() holds or timeoutMs
// passes; waits for messages in between, never sleeps blindly.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
// Serves every message already waiting.
void PumpPending();

// Timing for tests: restarts after 20 ms, 40 ms, ... and short connects.
CaptureTiming FastTiming();

// A window that keeps every WM_COPYDATA block sent to it.
class CopyDataWindow {
public:
    CopyDataWindow();
    ~CopyDataWindow();
    CopyDataWindow(const CopyDataWindow&) = delete;
    CopyDataWindow& operator=(const CopyDataWindow&) = delete;

    win::HWND Handle() const { return hwnd_; }
    struct Block {
        std::uintptr_t code;
        win::WPARAM wParam;
        std::vector<std::int32_t> values;
    };
    std::vector<Block> blocks;
    std::size_t Spectra() const;
    const Block* LastSpectrum() const;

private:
    static win::LRESULT Proc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam);
    win::HWND hwnd_ = nullptr;
};

// An analyser on a simulated server, sending its spectra to a window.
class SimCapture {
public:
    SimCapture();
    ~SimCapture();

    std::shared_ptr<tavrik::audio::SimulatedAudioServer> server;
    CopyDataWindow target;
    CAudioManager manager;

    // Waits until `more` further spectra have arrived.
    bool AwaitSpectra(std::size_t more);
};

}  // namespace audio_test
