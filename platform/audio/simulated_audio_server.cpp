#include "platform/audio/simulated_audio_server.h"

#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#include "platform/audio/bounded_wait.h"
#include "platform/audio/wake_descriptor.h"

namespace tavrik::audio {

// What the server shares with one connected source: the note that the
// settings changed and the descriptor that wakes the source's worker.
class SimulatedAudioServer::Link {
public:
    std::atomic<bool> serverChanged{false};
    WakeDescriptor wake;

    void Announce() {
        serverChanged = true;
        wake.Signal();
    }
};

namespace {

// Packets that a stalled reader may still catch up on; older ones are lost,
// as a real server's buffer would overrun.
constexpr std::uint64_t kMaxPendingPackets = 200;

class SimulatedLoopbackSource final : public LoopbackSource {
public:
    explicit SimulatedLoopbackSource(std::shared_ptr<SimulatedAudioServer> server)
        : server_(std::move(server)), link_(std::make_shared<SimulatedAudioServer::Link>()) {}

    ~SimulatedLoopbackSource() override {
        server_->RemoveLink(link_);
        if (epoll_ >= 0) {
            close(epoll_);
        }
        if (timer_ >= 0) {
            close(timer_);
        }
    }

    SimulatedLoopbackSource(const SimulatedLoopbackSource&) = delete;
    SimulatedLoopbackSource& operator=(const SimulatedLoopbackSource&) = delete;

    bool Connect(win::HANDLE cancel, win::DWORD timeoutMs) override {
        server_->NoteConnectAttempt();
        if (server_->HangOnConnect()) {
            WaitReadyOrCancel(cancel, -1, Deadline(timeoutMs));
            return false;
        }
        if (connected_ || server_->TakeFailure(SimCaptureStep::Connect)) {
            return false;
        }
        // Listening first: a rename right after the name was read still arrives.
        server_->AddLink(link_);
        device_ = server_->DefaultDevice();
        format_ = server_->CurrentDeviceFormat();
        auto rate = static_cast<std::uint32_t>(format_.rate);
        auto channels = static_cast<std::uint16_t>(format_.channels);
        mixFormat_ = server_->TakeFailure(SimCaptureStep::MixFormat)
                         ? MakeWaveFormat(kWaveFormatPcm, rate, channels, 24)
                         : MakeWaveFormat(kWaveFormatIeeeFloat, rate, channels, 32);
        connected_ = true;
        server_->NoteConnected(device_);
        return true;
    }

    std::string DeviceName() const override { return device_; }
    WaveFormat MixFormat() const override { return mixFormat_; }

    bool StartRecording(const WaveFormat& format, unsigned) override {
        if (!connected_ || timer_ >= 0 || server_->TakeFailure(SimCaptureStep::StartRecording)) {
            return false;
        }
        if (!IsPcm16(format) || format.samplesPerSec != format_.rate || format.channels != format_.channels) {
            return false;
        }
        unsigned period = std::max(1u, server_->PeriodMs());
        framesPerPacket_ = std::max<std::uint64_t>(1, std::uint64_t{format_.rate} * period / 1000);
        timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        epoll_ = epoll_create1(EPOLL_CLOEXEC);
        if (timer_ < 0 || epoll_ < 0) {
            return false;
        }
        itimerspec pace{};
        pace.it_interval.tv_sec = period / 1000;
        pace.it_interval.tv_nsec = static_cast<long>(period % 1000) * 1000000L;
        pace.it_value = pace.it_interval;
        epoll_event timerEvent{};
        timerEvent.events = EPOLLIN;
        epoll_event wakeEvent{};
        wakeEvent.events = EPOLLIN;
        if (timerfd_settime(timer_, 0, &pace, nullptr) < 0 ||
            epoll_ctl(epoll_, EPOLL_CTL_ADD, timer_, &timerEvent) < 0 ||
            epoll_ctl(epoll_, EPOLL_CTL_ADD, link_->wake.Fd(), &wakeEvent) < 0) {
            return false;
        }
        server_->NoteRecording(format);
        return true;
    }

    int Descriptor() const override { return epoll_; }

    ReadStatus Read(std::vector<std::uint8_t>& packet) override {
        if (failed_ || timer_ < 0) {
            return ReadStatus::Failed;
        }
        link_->wake.Drain();
        if (link_->serverChanged.exchange(false)) {
            return ReadStatus::ServerChanged;
        }
        std::uint64_t expirations = 0;
        if (read(timer_, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations)) {
            pending_ = std::min(kMaxPendingPackets, pending_ + expirations);
        }
        if (pending_ == 0) {
            return ReadStatus::Empty;
        }
        if (server_->TakeFailure(SimCaptureStep::Read)) {
            failed_ = true;
            return ReadStatus::Failed;
        }
        --pending_;
        MakePacket(packet);
        return ReadStatus::Packet;
    }

    std::optional<std::string> QueryDefaultDevice() override {
        server_->NoteDeviceCheck();
        if (server_->TakeFailure(SimCaptureStep::DeviceCheck)) {
            return std::nullopt;
        }
        return server_->DefaultDevice();
    }

private:
    void MakePacket(std::vector<std::uint8_t>& packet) {
        SimulatedAudioServer::Signal signal = server_->CurrentSignal();
        std::size_t values = framesPerPacket_ * format_.channels;
        packet.resize(values * 2);
        for (std::size_t i = 0; i < values; ++i) {
            std::int16_t value = 0;
            if (signal.kind == SimulatedAudioServer::Signal::Kind::Sine) {
                double phase = 2 * std::numbers::pi * signal.frequency * static_cast<double>(frame_) / format_.rate;
                double v = std::round(signal.amplitude * std::sin(phase));
                value = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
            } else if (signal.kind == SimulatedAudioServer::Signal::Kind::Samples && !signal.samples->empty()) {
                value = (*signal.samples)[sampleIndex_ % signal.samples->size()];
                ++sampleIndex_;
            }
            auto bits = static_cast<std::uint16_t>(value);
            packet[2 * i] = static_cast<std::uint8_t>(bits & 0xFF);
            packet[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
            if ((i + 1) % format_.channels == 0) {
                ++frame_;
            }
        }
    }

    std::shared_ptr<SimulatedAudioServer> server_;
    std::shared_ptr<SimulatedAudioServer::Link> link_;
    bool connected_ = false;
    bool failed_ = false;
    std::string device_;
    SimulatedAudioServer::DeviceFormat format_;
    WaveFormat mixFormat_;
    int timer_ = -1;
    int epoll_ = -1;
    std::uint64_t framesPerPacket_ = 0;
    std::uint64_t pending_ = 0;
    std::uint64_t frame_ = 0;
    std::size_t sampleIndex_ = 0;
};

}  // namespace

SimulatedAudioServer::SimulatedAudioServer() = default;
SimulatedAudioServer::~SimulatedAudioServer() = default;

std::unique_ptr<LoopbackSource> SimulatedAudioServer::CreateSource() {
    return std::make_unique<SimulatedLoopbackSource>(shared_from_this());
}

void SimulatedAudioServer::SetDefaultDevice(const std::string& name) {
    {
        std::lock_guard lock(mutex_);
        if (name == defaultDevice_) {
            return;
        }
        defaultDevice_ = name;
    }
    AnnounceServerChange();
}

std::string SimulatedAudioServer::DefaultDevice() const {
    std::lock_guard lock(mutex_);
    return defaultDevice_;
}

void SimulatedAudioServer::AnnounceServerChange() {
    std::vector<std::shared_ptr<Link>> live;
    {
        std::lock_guard lock(mutex_);
        for (auto& weak : links_) {
            if (auto link = weak.lock()) {
                live.push_back(std::move(link));
            }
        }
    }
    for (auto& link : live) {
        link->Announce();
    }
}

void SimulatedAudioServer::SetDeviceFormat(unsigned rate, unsigned channels) {
    std::lock_guard lock(mutex_);
    format_ = {rate, channels};
}

void SimulatedAudioServer::SetPeriodMs(unsigned periodMs) {
    std::lock_guard lock(mutex_);
    periodMs_ = std::max(1u, periodMs);
}

void SimulatedAudioServer::PlaySilence() {
    std::lock_guard lock(mutex_);
    signal_ = Signal{};
}

void SimulatedAudioServer::PlaySine(double frequencyHz, double amplitude) {
    std::lock_guard lock(mutex_);
    signal_ = Signal{Signal::Kind::Sine, frequencyHz, amplitude, nullptr};
}

void SimulatedAudioServer::PlaySamples(std::vector<std::int16_t> values) {
    std::lock_guard lock(mutex_);
    signal_ = Signal{Signal::Kind::Samples, 0, 0, std::make_shared<const std::vector<std::int16_t>>(std::move(values))};
}

void SimulatedAudioServer::FailNext(SimCaptureStep step, int times) {
    std::lock_guard lock(mutex_);
    failures_[step] += times;
}

void SimulatedAudioServer::SetHangOnConnect(bool hang) {
    std::lock_guard lock(mutex_);
    hangOnConnect_ = hang;
}

int SimulatedAudioServer::ConnectAttempts() const {
    std::lock_guard lock(mutex_);
    return connectAttempts_;
}

int SimulatedAudioServer::Connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

int SimulatedAudioServer::RecordingsStarted() const {
    std::lock_guard lock(mutex_);
    return recordings_;
}

int SimulatedAudioServer::LiveSources() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(links_.begin(), links_.end(), [](auto& w) { return !w.expired(); }));
}

int SimulatedAudioServer::DeviceChecks() const {
    std::lock_guard lock(mutex_);
    return deviceChecks_;
}

void SimulatedAudioServer::NoteDeviceCheck() {
    std::lock_guard lock(mutex_);
    ++deviceChecks_;
}

std::optional<WaveFormat> SimulatedAudioServer::LastRecordingFormat() const {
    std::lock_guard lock(mutex_);
    return lastRecordingFormat_;
}

std::string SimulatedAudioServer::LastConnectedDevice() const {
    std::lock_guard lock(mutex_);
    return lastConnectedDevice_;
}

bool SimulatedAudioServer::TakeFailure(SimCaptureStep step) {
    std::lock_guard lock(mutex_);
    auto it = failures_.find(step);
    if (it == failures_.end() || it->second <= 0) {
        return false;
    }
    --it->second;
    return true;
}

bool SimulatedAudioServer::HangOnConnect() const {
    std::lock_guard lock(mutex_);
    return hangOnConnect_;
}

SimulatedAudioServer::Signal SimulatedAudioServer::CurrentSignal() const {
    std::lock_guard lock(mutex_);
    return signal_;
}

SimulatedAudioServer::DeviceFormat SimulatedAudioServer::CurrentDeviceFormat() const {
    std::lock_guard lock(mutex_);
    return format_;
}

unsigned SimulatedAudioServer::PeriodMs() const {
    std::lock_guard lock(mutex_);
    return periodMs_;
}

void SimulatedAudioServer::NoteConnectAttempt() {
    std::lock_guard lock(mutex_);
    ++connectAttempts_;
}

void SimulatedAudioServer::NoteConnected(const std::string& device) {
    std::lock_guard lock(mutex_);
    ++connections_;
    lastConnectedDevice_ = device;
}

void SimulatedAudioServer::NoteRecording(const WaveFormat& format) {
    std::lock_guard lock(mutex_);
    ++recordings_;
    lastRecordingFormat_ = format;
}

void SimulatedAudioServer::AddLink(const std::shared_ptr<Link>& link) {
    std::lock_guard lock(mutex_);
    std::erase_if(links_, [](auto& w) { return w.expired(); });
    links_.push_back(link);
}

void SimulatedAudioServer::RemoveLink(const std::shared_ptr<Link>& link) {
    std::lock_guard lock(mutex_);
    std::erase_if(links_, [&](auto& w) {
        auto live = w.lock();
        return !live || live == link;
    });
}

}  // namespace tavrik::audio
