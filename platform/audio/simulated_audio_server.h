#pragma once

// A sound server for tests: one default playback device whose name can be
// switched, playing silence, a sine or given samples at a chosen rate,
// channel count and packet period, with a failure injectable at each step of
// a capture and a connect that hangs.
//
// Install it with SetLoopbackBackend(server). Every source it makes
// generates its own packets in real time from its own start, one packet per
// period, each value the same on every channel (samples: taken in order
// across packets and channels, over and over).

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio/loopback_source.h"

namespace tavrik::audio {

enum class SimCaptureStep {
    Connect,         // Connect fails
    MixFormat,       // the device offers 24-bit integers, a layout the capture refuses
    StartRecording,  // StartRecording fails
    Read,            // a Read that would give a packet fails instead
    DeviceCheck,     // QueryDefaultDevice cannot tell
};

class SimulatedAudioServer final : public LoopbackBackend, public std::enable_shared_from_this<SimulatedAudioServer> {
public:
    SimulatedAudioServer();
    ~SimulatedAudioServer() override;

    std::unique_ptr<LoopbackSource> CreateSource() override;

    // The device. A new name (any change, case included) is announced to
    // every connected source as a change of the server's settings.
    void SetDefaultDevice(const std::string& name);
    std::string DefaultDevice() const;
    // Announces a change of settings without changing anything.
    void AnnounceServerChange();
    // Rate and channels of the device, for the sources connected after.
    void SetDeviceFormat(unsigned rate, unsigned channels);
    // Packet period in ms (at least 1), for recordings started after.
    void SetPeriodMs(unsigned periodMs);

    // The signal, for packets made from now on.
    void PlaySilence();
    void PlaySine(double frequencyHz, double amplitude);
    void PlaySamples(std::vector<std::int16_t> values);

    // The next `times` passes through `step` fail.
    void FailNext(SimCaptureStep step, int times = 1);
    // While set, Connect neither succeeds nor fails: it waits for its
    // cancel event or its time-out.
    void SetHangOnConnect(bool hang);

    // What happened so far.
    int ConnectAttempts() const;
    int Connections() const;        // successful Connect calls
    int RecordingsStarted() const;  // successful StartRecording calls
    int LiveSources() const;
    int DeviceChecks() const;  // QueryDefaultDevice calls
    std::optional<WaveFormat> LastRecordingFormat() const;
    std::string LastConnectedDevice() const;

    // For the sources.
    struct Signal {
        enum class Kind { Silence, Sine, Samples } kind = Kind::Silence;
        double frequency = 0;
        double amplitude = 0;
        std::shared_ptr<const std::vector<std::int16_t>> samples;
    };
    struct DeviceFormat {
        unsigned rate = 48000;
        unsigned channels = 2;
    };
    class Link;
    bool TakeFailure(SimCaptureStep step);
    bool HangOnConnect() const;
    Signal CurrentSignal() const;
    DeviceFormat CurrentDeviceFormat() const;
    unsigned PeriodMs() const;
    void NoteConnectAttempt();
    void NoteConnected(const std::string& device);
    void NoteRecording(const WaveFormat& format);
    void NoteDeviceCheck();
    void AddLink(const std::shared_ptr<Link>& link);
    void RemoveLink(const std::shared_ptr<Link>& link);

private:
    mutable std::mutex mutex_;
    std::string defaultDevice_ = "Simulated Output";
    DeviceFormat format_;
    unsigned periodMs_ = 5;
    Signal signal_;
    std::map<SimCaptureStep, int> failures_;
    bool hangOnConnect_ = false;
    int connectAttempts_ = 0;
    int connections_ = 0;
    int recordings_ = 0;
    int deviceChecks_ = 0;
    std::optional<WaveFormat> lastRecordingFormat_;
    std::string lastConnectedDevice_;
    std::vector<std::weak_ptr<Link>> links_;
};

}  // namespace tavrik::audio
