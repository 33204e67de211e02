#include "platform/audio/pulse_loopback_source.h"

#include <cstring>

namespace tavrik::audio {
namespace {

// Holds the main loop's lock for a scope.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};

PulseLoopbackSource* Self(void* self) { return static_cast<PulseLoopbackSource*>(self); }

}  // namespace

std::unique_ptr<LoopbackSource> PulseBackend::CreateSource() { return std::make_unique<PulseLoopbackSource>(); }

std::shared_ptr<LoopbackBackend> MakePulseBackend() { return std::make_shared<PulseBackend>(); }

PulseLoopbackSource::~PulseLoopbackSource() { Close(); }

void PulseLoopbackSource::Close() {
    if (loop_ == nullptr) {
        return;
    }
    {
        LoopLock lock(loop_);
        if (stream_ != nullptr) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_read_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
            stream_ = nullptr;
        }
        if (context_ != nullptr) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_set_subscribe_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
}

bool PulseLoopbackSource::ContextGood() const {
    return context_ != nullptr && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

template <typename Check>
bool PulseLoopbackSource::WaitFor(Check check) {
    Deadline deadline(timeoutMs_);
    for (;;) {
        wake_.Drain();
        Progress progress;
        {
            LoopLock lock(loop_);
            progress = check();
        }
        if (progress != Progress::Pending) {
            return progress == Progress::Done;
        }
        if (WaitReadyOrCancel(cancel_, wake_.Fd(), deadline) != WaitResult::Ready) {
            return false;
        }
    }
}

bool PulseLoopbackSource::Complete(pa_operation* op) {
    if (op == nullptr) {
        return false;
    }
    bool done = WaitFor([&] {
        switch (pa_operation_get_state(op)) {
            case PA_OPERATION_DONE:
                return Progress::Done;
            case PA_OPERATION_CANCELLED:
                return Progress::Failed;
            default:
                return ContextGood() ? Progress::Pending : Progress::Failed;
        }
    });
    LoopLock lock(loop_);
    // Given up: its callback must not run after this source is gone.
    if (pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
        pa_operation_cancel(op);
    }
    pa_operation_unref(op);
    return done;
}

bool PulseLoopbackSource::Connect(win::HANDLE cancel, win::DWORD timeoutMs) {
    if (loop_ != nullptr || !wake_.Valid()) {
        return false;
    }
    cancel_ = cancel;
    timeoutMs_ = timeoutMs;
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr) {
        return false;
    }
    {
        LoopLock lock(loop_);
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tavrik");
        if (context_ == nullptr) {
            return false;
        }
        pa_context_set_state_callback(context_, &OnContextState, this);
        pa_context_set_subscribe_callback(context_, &OnSubscription, this);
        // The program captures from the user's own server and never starts one.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
    }
    if (pa_threaded_mainloop_start(loop_) < 0) {
        return false;
    }
    bool ready = WaitFor([&] {
        pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_READY) {
            return Progress::Done;
        }
        return PA_CONTEXT_IS_GOOD(state) ? Progress::Pending : Progress::Failed;
    });
    if (!ready) {
        return false;
    }
    // Subscribe before the name is read, so that no change of default sink
    // can fall between the two.
    pa_operation* subscribe;
    {
        LoopLock lock(loop_);
        subscribe = pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SERVER, &OnOperationDone, this);
    }
    if (!Complete(subscribe)) {
        return false;
    }
    auto defaultSink = QueryDefaultDevice();
    if (!defaultSink || defaultSink->empty()) {
        return false;
    }
    pa_operation* sinkInfo;
    {
        LoopLock lock(loop_);
        sinkFound_ = false;
        sinkInfo = pa_context_get_sink_info_by_name(context_, defaultSink->c_str(), &OnSinkInfo, this);
    }
    if (!Complete(sinkInfo)) {
        return false;
    }
    LoopLock lock(loop_);
    if (!sinkFound_ || monitorName_.empty()) {
        return false;
    }
    sinkName_ = *defaultSink;
    mixFormat_ = MakeWaveFormat(kWaveFormatIeeeFloat, sinkSpec_.rate, sinkSpec_.channels, 32);
    return true;
}

bool PulseLoopbackSource::StartRecording(const WaveFormat& format, unsigned periodMs) {
    if (loop_ == nullptr || stream_ != nullptr || !IsPcm16(format)) {
        return false;
    }
    pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, format.samplesPerSec, static_cast<std::uint8_t>(format.channels)};
    if (!pa_sample_spec_valid(&sampleFormat)) {
        return false;
    }
    {
        LoopLock lock(loop_);
        const pa_channel_map* map = sampleFormat.channels == sinkSpec_.channels ? &sinkMap_ : nullptr;
        stream_ = pa_stream_new(context_, "Tavrik lighting", &sampleFormat, map);
        if (stream_ == nullptr) {
            return false;
        }
        pa_stream_set_state_callback(stream_, &OnStreamEvent, this);
        pa_stream_set_read_callback(stream_, &OnStreamRead, this);
        pa_buffer_attr attr;
        std::memset(&attr, 0xFF, sizeof attr);  // every field "server's choice" ...
        attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(pa_usec_t{periodMs} * 1000, &sampleFormat));
        // ... but the fragment, short so the lights lag the music little. The
        // stream stays on this sink's monitor: a new default sink is noticed
        // through the subscription and captured afresh.
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(stream_, monitorName_.c_str(), &attr, flags) < 0) {
            return false;
        }
    }
    return WaitFor([&] {
        pa_stream_state_t state = pa_stream_get_state(stream_);
        if (state == PA_STREAM_READY) {
            return Progress::Done;
        }
        return PA_STREAM_IS_GOOD(state) && ContextGood() ? Progress::Pending : Progress::Failed;
    });
}

ReadStatus PulseLoopbackSource::Read(std::vector<std::uint8_t>& packet) {
    if (loop_ == nullptr || stream_ == nullptr) {
        return ReadStatus::Failed;
    }
    wake_.Drain();
    LoopLock lock(loop_);
    if (!ContextGood() || pa_stream_get_state(stream_) != PA_STREAM_READY) {
        return ReadStatus::Failed;
    }
    if (serverChanged_) {
        serverChanged_ = false;
        return ReadStatus::ServerChanged;
    }
    for (;;) {
        size_t readable = pa_stream_readable_size(stream_);
        if (readable == static_cast<size_t>(-1)) {
            return ReadStatus::Failed;
        }
        if (readable == 0) {
            return ReadStatus::Empty;
        }
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream_, &data, &bytes) < 0) {
            return ReadStatus::Failed;
        }
        if (bytes == 0) {
            return ReadStatus::Empty;
        }
        if (data == nullptr) {
            // A hole in the recording: nothing to hand on.
            pa_stream_drop(stream_);
            continue;
        }
        const auto* begin = static_cast<const std::uint8_t*>(data);
        packet.assign(begin, begin + bytes);
        pa_stream_drop(stream_);
        return ReadStatus::Packet;
    }
}

std::optional<std::string> PulseLoopbackSource::QueryDefaultDevice() {
    if (loop_ == nullptr) {
        return std::nullopt;
    }
    pa_operation* op;
    {
        LoopLock lock(loop_);
        defaultSink_.reset();
        op = pa_context_get_server_info(context_, &OnServerInfo, this);
    }
    if (!Complete(op)) {
        return std::nullopt;
    }
    LoopLock lock(loop_);
    return defaultSink_;
}

// ---------------------------------------------------------- main loop side

void PulseLoopbackSource::OnContextState(pa_context*, void* self) { Self(self)->wake_.Signal(); }

void PulseLoopbackSource::OnStreamEvent(pa_stream*, void* self) { Self(self)->wake_.Signal(); }

void PulseLoopbackSource::OnStreamRead(pa_stream*, size_t, void* self) { Self(self)->wake_.Signal(); }

void PulseLoopbackSource::OnSubscription(pa_context*, pa_subscription_event_type_t type, unsigned, void* self) {
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER) {
        Self(self)->serverChanged_ = true;
        Self(self)->wake_.Signal();
    }
}

void PulseLoopbackSource::OnOperationDone(pa_context*, int, void* self) { Self(self)->wake_.Signal(); }

void PulseLoopbackSource::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
    auto* source = Self(self);
    if (info != nullptr && info->default_sink_name != nullptr) {
        source->defaultSink_ = info->default_sink_name;
    }
    source->wake_.Signal();
}

void PulseLoopbackSource::OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
    auto* source = Self(self);
    if (eol == 0 && info != nullptr) {
        source->sinkFound_ = true;
        source->sinkSpec_ = info->sample_spec;
        source->sinkMap_ = info->channel_map;
        source->monitorName_ = info->monitor_source_name != nullptr ? info->monitor_source_name : "";
    }
    source->wake_.Signal();
}

}  // namespace tavrik::audio
