#pragma once

// Loopback capture: recording what the PC plays on its default playback
// device.
//
// A LoopbackSource is one connection to the sound server, driven by one
// capture worker from start to end: connect, learn the device's format,
// start recording in the format the worker asks for (the server converts),
// then wait on Descriptor() beside the worker's stop event and Read() until
// it says Empty. Every wait inside a source gives up once the cancel event
// given to Connect is signalled or the connect time-out has passed, so a
// worker always ends soon after it is told to stop.
//
// The real backend is PulseAudio (the monitor of the default sink); tests
// install a simulated server (simulated_audio_server.h).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/wave_format.h"
#include "platform/files/win_types.h"

namespace tavrik::audio {

enum class ReadStatus {
    Packet,         // `packet` holds the next captured bytes
    Empty,          // nothing more until Descriptor() is readable again
    ServerChanged,  // the server's settings changed: check the default device
    Failed,         // the connection or the recording broke; the source is done
};

class LoopbackSource {
public:
    virtual ~LoopbackSource() = default;

    // Connects to the sound server and finds its default playback device.
    // False on failure, on time-out and once `cancel` is signalled. The same
    // event and bound apply to every later wait of this source.
    virtual bool Connect(win::HANDLE cancel, win::DWORD timeoutMs) = 0;
    // The default playback device found by Connect (its name on the server).
    virtual std::string DeviceName() const = 0;
    // The format the device's sound can be had in without loss: 32-bit
    // float at the device's rate and channels.
    virtual WaveFormat MixFormat() const = 0;
    // Starts recording what the device plays, converted to `format`, in
    // packets of about periodMs. False when the recording cannot start.
    virtual bool StartRecording(const WaveFormat& format, unsigned periodMs) = 0;
    // Readable whenever Read may have something other than Empty to return.
    // Owned by the source: only wait on it.
    virtual int Descriptor() const = 0;
    virtual ReadStatus Read(std::vector<std::uint8_t>& packet) = 0;
    // Asks the server for its default playback device now; nothing when it
    // cannot tell.
    virtual std::optional<std::string> QueryDefaultDevice() = 0;
};

// Makes sources; one backend serves the whole process.
class LoopbackBackend {
public:
    virtual ~LoopbackBackend() = default;
    // A new, unconnected source. Cheap: connecting is the worker's job.
    virtual std::unique_ptr<LoopbackSource> CreateSource() = 0;
};

// The PulseAudio backend (the server named by PULSE_SERVER or the user's
// own; never started by the program).
std::shared_ptr<LoopbackBackend> MakePulseBackend();

// The process's backend: PulseAudio until another is installed. Safe from
// any thread.
std::shared_ptr<LoopbackBackend> CurrentLoopbackBackend();
// Installs the backend that CurrentLoopbackBackend() returns; null goes back
// to PulseAudio.
void SetLoopbackBackend(std::shared_ptr<LoopbackBackend> backend);

}  // namespace tavrik::audio
