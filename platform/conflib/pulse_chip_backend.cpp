// The library's backend on a real PC: the default PulseAudio sink is the
// render device and the default source the capture device. The microphone's
// volume and mute are the source's; the side-tone ("AA...") controls are the
// card's ALSA "Mic Playback Volume" and "Mic Playback Switch". Linux has no
// counterpart of the chip's sound processing (equaliser, surround, room,
// noise cancelling, voice changer): those properties are kept in a simulated
// chip, read back and without effect, and the capture features offer no
// voice changer.
#include <alsa/asoundlib.h>
#include <pulse/pulseaudio.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "platform/conflib/chip_backend.h"

namespace tavrik::conflib {
namespace {

constexpr int32_t kSinkId = 1;
constexpr int32_t kSourceId = 2;
// The simple mixer element of the card's "Mic Playback Volume" and "Mic Playback Switch".
constexpr char kMicElement[] = "Mic";

std::string EnvOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

// One PulseAudio connection on a threaded main loop; every call waits for its answer.
class Pulse {
public:
    Pulse() {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) return;
        pa_threaded_mainloop_lock(loop_);
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tavrik audio chip");
        if (context_) {
            pa_context_set_state_callback(context_, &Pulse::OnState, this);
            if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
                while (true) {
                    const pa_context_state_t s = pa_context_get_state(context_);
                    if (s == PA_CONTEXT_READY) {
                        ready_ = true;
                        break;
                    }
                    if (!PA_CONTEXT_IS_GOOD(s)) break;
                    pa_threaded_mainloop_wait(loop_);
                }
            }
        }
        pa_threaded_mainloop_unlock(loop_);
    }
    ~Pulse() {
        if (loop_) pa_threaded_mainloop_stop(loop_);
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        if (loop_) pa_threaded_mainloop_free(loop_);
    }
    bool Ready() const { return ready_; }

    struct Source {
        double scalar = 0;
        bool mute = false;
        int card = -1;
        pa_channel_map map{};
        uint8_t channels = 0;
    };

    bool SinkExists(const std::string& name) {
        bool found = false;
        Run([&](pa_context* c) {
            return pa_context_get_sink_info_by_name(c, name.c_str(), &Pulse::OnSink, Bind(&found));
        });
        return found;
    }
    std::optional<Source> GetSource(const std::string& name) {
        std::optional<Source> out;
        Run([&](pa_context* c) {
            return pa_context_get_source_info_by_name(c, name.c_str(), &Pulse::OnSource, Bind(&out));
        });
        return out;
    }
    bool SetSourceVolume(const std::string& name, const Source& s, double scalar) {
        pa_cvolume v;
        pa_cvolume_set(&v, s.channels, pa_volume_t(std::lround(scalar * PA_VOLUME_NORM)));
        bool ok = false;
        Run([&](pa_context* c) {
            return pa_context_set_source_volume_by_name(c, name.c_str(), &v, &Pulse::OnSuccess, Bind(&ok));
        });
        return ok;
    }
    bool SetSourceMute(const std::string& name, bool mute) {
        bool ok = false;
        Run([&](pa_context* c) {
            return pa_context_set_source_mute_by_name(c, name.c_str(), mute, &Pulse::OnSuccess, Bind(&ok));
        });
        return ok;
    }

private:
    struct Call {
        Pulse* self;
        void* result;
    };
    void* Bind(void* result) {
        call_ = {this, result};
        return &call_;
    }
    void Run(const std::function<pa_operation*(pa_context*)>& start) {
        if (!ready_) return;
        pa_threaded_mainloop_lock(loop_);
        if (pa_operation* op = start(context_)) {
            while (pa_operation_get_state(op) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(loop_);
            pa_operation_unref(op);
        }
        pa_threaded_mainloop_unlock(loop_);
    }
    static void OnState(pa_context*, void* self) { pa_threaded_mainloop_signal(static_cast<Pulse*>(self)->loop_, 0); }
    static void OnSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto* call = static_cast<Call*>(data);
        if (!eol && info) *static_cast<bool*>(call->result) = true;
        if (eol) pa_threaded_mainloop_signal(call->self->loop_, 0);
    }
    static void OnSource(pa_context*, const pa_source_info* info, int eol, void* data) {
        auto* call = static_cast<Call*>(data);
        if (!eol && info) {
            Source s;
            s.scalar = double(pa_cvolume_avg(&info->volume)) / PA_VOLUME_NORM;
            s.mute = info->mute != 0;
            s.map = info->channel_map;
            s.channels = info->volume.channels;
            if (const char* card = pa_proplist_gets(info->proplist, "alsa.card")) s.card = std::atoi(card);
            *static_cast<std::optional<Source>*>(call->result) = s;
        }
        if (eol) pa_threaded_mainloop_signal(call->self->loop_, 0);
    }
    static void OnSuccess(pa_context*, int success, void* data) {
        auto* call = static_cast<Call*>(data);
        *static_cast<bool*>(call->result) = success != 0;
        pa_threaded_mainloop_signal(call->self->loop_, 0);
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    bool ready_ = false;
    Call call_{};
};

// The side-tone controls of one ALSA card.
class SideTone {
public:
    explicit SideTone(int card) {
        if (card < 0 || snd_mixer_open(&mixer_, 0) < 0) return;
        const std::string name = "hw:" + std::to_string(card);
        if (snd_mixer_attach(mixer_, name.c_str()) < 0 || snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 ||
            snd_mixer_load(mixer_) < 0)
            return;
        snd_mixer_selem_id_t* id = nullptr;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_name(id, kMicElement);
        element_ = snd_mixer_find_selem(mixer_, id);
        if (element_ && !snd_mixer_selem_has_playback_volume(element_)) element_ = nullptr;
    }
    ~SideTone() {
        if (mixer_) snd_mixer_close(mixer_);
    }
    bool Exists() const { return element_ != nullptr; }
    std::optional<double> Scalar() const {
        long min = 0, max = 0, v = 0;
        if (!element_ || snd_mixer_selem_get_playback_volume_range(element_, &min, &max) < 0 || max <= min ||
            snd_mixer_selem_get_playback_volume(element_, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
            return std::nullopt;
        return double(v - min) / double(max - min);
    }
    bool SetScalar(double scalar) {
        long min = 0, max = 0;
        if (!element_ || snd_mixer_selem_get_playback_volume_range(element_, &min, &max) < 0) return false;
        return snd_mixer_selem_set_playback_volume_all(element_, min + std::lround(scalar * double(max - min))) >= 0;
    }
    std::optional<bool> Mute() const {
        int on = 1;
        if (!element_ || !snd_mixer_selem_has_playback_switch(element_) ||
            snd_mixer_selem_get_playback_switch(element_, SND_MIXER_SCHN_FRONT_LEFT, &on) < 0)
            return std::nullopt;
        return on == 0;
    }
    bool SetMute(bool mute) {
        return element_ && snd_mixer_selem_has_playback_switch(element_) &&
               snd_mixer_selem_set_playback_switch_all(element_, mute ? 0 : 1) >= 0;
    }
    std::optional<std::pair<long, long>> DecibelRange() const {
        long min = 0, max = 0;
        if (!element_ || snd_mixer_selem_get_playback_dB_range(element_, &min, &max) < 0) return std::nullopt;
        return std::make_pair(min, max);
    }

private:
    snd_mixer_t* mixer_ = nullptr;
    snd_mixer_elem_t* element_ = nullptr;
};

std::string Text(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

class PulseChipBackend final : public ChipBackend {
public:
    PulseChipBackend()
        : sink_(EnvOr("TAVRIK_CONFLIB_SINK", "@DEFAULT_SINK@")),
          source_(EnvOr("TAVRIK_CONFLIB_SOURCE", "@DEFAULT_SOURCE@")) {
        // No voice changer: the capture device's first feature lacks its bit.
        dsp_.SetFeatures("1,0,0,0,2,0,3", "1,0,0,0,4,0,5");
    }

    int Init() override { return 0; }
    int DeviceCount(int flow) override {
        if (!pulse_.Ready()) return 0;
        if (flow == 0) return pulse_.SinkExists(sink_) ? 1 : 0;
        return pulse_.GetSource(source_) ? 1 : 0;
    }
    std::optional<ChipDevice> Device(int flow, unsigned index) override {
        if (index != 0 || DeviceCount(flow) == 0) return std::nullopt;
        return flow == 0 ? ChipDevice{kSinkId, 1, kSinkId, 1} : ChipDevice{kSourceId, 2, kSourceId, 1};
    }
    std::optional<std::string> Read(int32_t id, const std::string& name, int32_t channel) override {
        if (id == kSinkId) return dsp_.Read(kRenderDeviceId, name, channel);
        if (id != kSourceId) return std::nullopt;
        if (name == "VolumeScalarControl" || name == "MuteControl" || name == "VolumeControl") {
            const auto s = pulse_.GetSource(source_);
            if (!s) return std::nullopt;
            if (name == "MuteControl") return std::string(s->mute ? "1" : "0");
            if (name == "VolumeScalarControl") return Text(s->scalar);
            return Text(std::lround(s->scalar * 100));
        }
        if (name == "GetMaxVol") return std::string("100");
        if (name == "GetMinVol") return std::string("0");
        if (name == "GetVolStep") return std::string("1");
        if (name.rfind("AA", 0) == 0 || name.rfind("GetAA", 0) == 0) return ReadSideTone(name);
        return dsp_.Read(kCaptureDeviceId, name, channel);
    }
    bool Write(int32_t id, const std::string& name, int32_t channel, double value) override {
        if (id == kSinkId) return dsp_.Write(kRenderDeviceId, name, channel, value);
        if (id != kSourceId) return false;
        if (name == "VolumeScalarControl") {
            const auto s = pulse_.GetSource(source_);
            return s && value >= 0 && value <= 1.5 && pulse_.SetSourceVolume(source_, *s, value);
        }
        if (name == "MuteControl") return pulse_.SetSourceMute(source_, value != 0);
        if (name == "VolumeControl") return false;
        if (name == "AAVolumeScalarControl") return value >= 0 && value <= 1 && SideToneOfSource().SetScalar(value);
        if (name == "AAMuteControl") return SideToneOfSource().SetMute(value != 0);
        if (name == "AAVolumeControl") return false;
        return dsp_.Write(kCaptureDeviceId, name, channel, value);
    }

private:
    SideTone SideToneOfSource() {
        const auto s = pulse_.GetSource(source_);
        return SideTone(s ? s->card : -1);
    }
    std::optional<std::string> ReadSideTone(const std::string& name) {
        SideTone tone = SideToneOfSource();
        if (!tone.Exists()) return std::nullopt;
        if (name == "AAVolumeScalarControl") {
            const auto v = tone.Scalar();
            return v ? std::optional(Text(*v)) : std::nullopt;
        }
        if (name == "AAVolumeControl") {
            const auto v = tone.Scalar();
            return v ? std::optional(Text(std::lround(*v * 100))) : std::nullopt;
        }
        if (name == "AAMuteControl") {
            const auto m = tone.Mute();
            return m ? std::optional(std::string(*m ? "1" : "0")) : std::nullopt;
        }
        const auto range = tone.DecibelRange();
        if (name == "GetAAMaxVol") return range ? std::optional(Text(range->second / 100.0)) : std::nullopt;
        if (name == "GetAAMinVol") return range ? std::optional(Text(range->first / 100.0)) : std::nullopt;
        if (name == "GetAAVolStep") return std::string("1");
        return std::nullopt;
    }

    Pulse pulse_;
    std::string sink_;
    std::string source_;
    SimulatedChip dsp_;
};

}  // namespace

std::unique_ptr<ChipBackend> MakePulseChipBackend() { return std::make_unique<PulseChipBackend>(); }

}  // namespace tavrik::conflib
