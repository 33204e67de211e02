#pragma once

// The process-wide command object of the audio capture, reached through
// CSingleton::GetInstance: Command(9963, type, value) sets the window that
// receives the spectra (type 0), starts (1) or stops (2) the capture.

#include <cstdint>

#include "platform/files/win_types.h"

class CAudioManager;

class CAudioRecorImpl {
public:
    static constexpr std::int32_t kMagic = 9963;
    static constexpr std::uint16_t kSetTarget = 0;
    static constexpr std::uint16_t kStart = 1;
    static constexpr std::uint16_t kStop = 2;

    explicit CAudioRecorImpl(CAudioManager& manager) : manager_(manager) {}

    // Does nothing unless magic is 9963; the low 16 bits of type decide.
    void Command(std::int32_t magic, std::uint32_t type, std::intptr_t value);
    // Tells the target window (COPYDATA_CAPTURE_STARTED), then starts.
    void StartAudioCapture();
    // Tells the target window (COPYDATA_CAPTURE_STOPPED), then stops and
    // waits for the worker.
    void StopAudioCapture();

private:
    void Tell(std::uintptr_t code);

    CAudioManager& manager_;
};

class CSingleton {
public:
    // The command object of TheAudioManager(), made on first use.
    static CAudioRecorImpl* GetInstance();
    // Deletes it (at exit).
    static void DestroyInstance();
};
