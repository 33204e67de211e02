#pragma once

// PulseAudio loopback: a record stream on the monitor of the server's
// default sink, through the asynchronous API on a threaded main loop.
//
// The main loop's callbacks only note what happened and wake the source's
// descriptor; the worker looks under the main loop's lock after its wait.
// The sink's name stands for the device's name. A subscription to the
// server's settings reports a change of default sink as ServerChanged.

#include <pulse/pulseaudio.h>

#include <optional>
#include <string>

#include "platform/audio/bounded_wait.h"
#include "platform/audio/loopback_source.h"
#include "platform/audio/wake_descriptor.h"

namespace tavrik::audio {

class PulseLoopbackSource final : public LoopbackSource {
public:
    PulseLoopbackSource() = default;
    ~PulseLoopbackSource() override;
    PulseLoopbackSource(const PulseLoopbackSource&) = delete;
    PulseLoopbackSource& operator=(const PulseLoopbackSource&) = delete;

    bool Connect(win::HANDLE cancel, win::DWORD timeoutMs) override;
    std::string DeviceName() const override { return sinkName_; }
    WaveFormat MixFormat() const override { return mixFormat_; }
    bool StartRecording(const WaveFormat& format, unsigned periodMs) override;
    int Descriptor() const override { return wake_.Fd(); }
    ReadStatus Read(std::vector<std::uint8_t>& packet) override;
    std::optional<std::string> QueryDefaultDevice() override;

private:
    enum class Progress { Pending, Done, Failed };

    // Waits, with the main loop unlocked, until `check` (run under the lock)
    // is no longer Pending.
    template <typename Check>
    bool WaitFor(Check check);
    // Takes ownership of `op` and waits for it to finish.
    bool Complete(pa_operation* op);
    bool ContextGood() const;
    void Close();

    static void OnContextState(pa_context* context, void* self);
    static void OnStreamEvent(pa_stream* stream, void* self);
    static void OnStreamRead(pa_stream* stream, size_t bytes, void* self);
    static void OnSubscription(pa_context* context, pa_subscription_event_type_t type, unsigned index, void* self);
    static void OnOperationDone(pa_context* context, int success, void* self);
    static void OnServerInfo(pa_context* context, const pa_server_info* info, void* self);
    static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);

    WakeDescriptor wake_;
    win::HANDLE cancel_ = nullptr;
    win::DWORD timeoutMs_ = 0;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;

    // Written by the main loop's callbacks, read under its lock.
    bool serverChanged_ = false;
    std::optional<std::string> defaultSink_;
    bool sinkFound_ = false;
    pa_sample_spec sinkSpec_{};
    pa_channel_map sinkMap_{};
    std::string monitorName_;

    std::string sinkName_;
    WaveFormat mixFormat_;
};

class PulseBackend final : public LoopbackBackend {
public:
    std::unique_ptr<LoopbackSource> CreateSource() override;
};

}  // namespace tavrik::audio
