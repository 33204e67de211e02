#include "tools/devsim/emulator.h"

#include "tools/devsim/keyboard_model.h"
#include "tools/devsim/lit_accessory_model.h"
#include "tools/devsim/mouse_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tavrik::devsim {
namespace {

constexpr std::size_t kMaxData = 56;
constexpr std::size_t kReceiverChunk = 24;
constexpr std::size_t kMaxScreen = 1u << 24;

const char* VerdictName(Verdict v) {
    switch (v) {
        case Verdict::Ok:
            return "ok";
        case Verdict::NotCommand:
            return "not a command";
        case Verdict::BadLength:
            return "bad length";
        case Verdict::BadReportId:
            return "bad report id";
        case Verdict::BadChecksum:
            return "bad checksum";
        case Verdict::TooLong:
            return "too long";
        case Verdict::RejectedLong:
            return "refused long packet";
        case Verdict::OutOfRange:
            return "out of range";
        case Verdict::UnknownCommand:
            return "unknown command";
        case Verdict::NotLinked:
            return "not linked";
        case Verdict::Refused:
            return "refused";
        case Verdict::LedReport:
            return "LED report";
        case Verdict::BadLedReport:
            return "refused LED report";
    }
    return "?";
}

}  // namespace

// The handler a host keeps; it outlives the emulator safely.
struct Emulator::HandlerGuard {
    std::mutex mutex;
    Emulator* emulator = nullptr;
};

std::uint32_t RecordEntry::Offset() const {
    if (bytes.size() < 8) return 0;
    std::uint32_t off = bytes[5] | (bytes[6] << 8);
    if (Command() == 0x21) off |= static_cast<std::uint32_t>(bytes[7]) << 16;
    return off;
}

std::uint16_t CommandChecksum(const std::uint8_t* report) {
    std::uint32_t sum = 0;
    for (int i = 3; i < 64; ++i) sum += report[i];
    return static_cast<std::uint16_t>(sum);
}

std::vector<std::uint8_t> BuildCommandReport(std::uint8_t command, std::uint8_t count, std::uint32_t offset,
                                             const std::uint8_t* data) {
    std::vector<std::uint8_t> r(kCommandReportLength, 0);
    r[0] = kCommandReportId;
    r[3] = command;
    r[4] = count;
    r[5] = offset & 0xFF;
    r[6] = (offset >> 8) & 0xFF;
    if (command == 0x21) r[7] = (offset >> 16) & 0xFF;
    if (data) std::memcpy(r.data() + 8, data, std::min<std::size_t>(count, kMaxData));
    const std::uint16_t sum = CommandChecksum(r.data());
    r[1] = sum & 0xFF;
    r[2] = sum >> 8;
    return r;
}

Emulator::Emulator(ProductKind kind, std::shared_ptr<DeviceMemory> memory)
    : product_(devsim::Product(kind)),
      description_(MakeDeviceDescription(kind)),
      memory_(memory ? std::move(memory) : std::make_shared<DeviceMemory>(DefaultMemory(kind))) {
    scheduler_ = std::thread([this] { SchedulerLoop(); });
}

Emulator::~Emulator() {
    Unplug();
    std::shared_ptr<HandlerGuard> guard;
    {
        std::lock_guard lock(mutex_);
        guard = guard_;
    }
    if (guard) {
        std::lock_guard lock(guard->mutex);  // waits for a report being handled
        guard->emulator = nullptr;
    }
    {
        std::lock_guard lock(schedulerMutex_);
        stopping_ = true;
    }
    schedulerCv_.notify_all();
    scheduler_.join();
}

bool Emulator::Plug(hid::SimHost& host) {
    Unplug();
    auto guard = std::make_shared<HandlerGuard>();
    guard->emulator = this;
    auto handler = [guard](int itf, win::HIDP_REPORT_TYPE kind, const std::uint8_t* report, std::size_t length) {
        std::lock_guard lock(guard->mutex);
        if (guard->emulator) guard->emulator->OnOutput(itf, kind, report, length);
    };
    std::lock_guard lock(mutex_);
    guard_ = guard;
    host_ = &host;
    ++generation_;
    deviceId_ = host.Plug(description_, handler);
    return deviceId_ != 0;
}

void Emulator::Unplug() {
    hid::SimHost* host = nullptr;
    std::uint32_t id = 0;
    {
        std::lock_guard lock(mutex_);
        if (!deviceId_) return;
        host = host_;
        id = deviceId_;
        deviceId_ = 0;
        ++generation_;
    }
    host->Unplug(id);
}

bool Emulator::Replug() {
    hid::SimHost* host;
    {
        std::lock_guard lock(mutex_);
        host = host_;
    }
    return host && Plug(*host);
}

bool Emulator::Plugged() const {
    std::lock_guard lock(mutex_);
    return deviceId_ != 0;
}

std::uint32_t Emulator::DeviceId() const {
    std::lock_guard lock(mutex_);
    return deviceId_;
}

std::wstring Emulator::InterfacePath(int collection) const {
    const std::uint32_t id = DeviceId();
    auto infos = hid::SimNodeInfos(description_, id);
    for (std::size_t i = 0; i < infos.size(); ++i) {
        if (description_.interfaces[i].number != product_.commandInterface) continue;
        auto desc = hid::ParseReportDescriptor(infos[i].descriptor);
        return hid::FormatInterfacePath(infos[i], collection, desc.collections.size() > 1);
    }
    return {};
}

bool Emulator::SendEvent(std::uint16_t code) {
    return SendInput(product_.commandInterface,
                     {kEventReportId, static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8)});
}

bool Emulator::SendInput(int interfaceNumber, const std::vector<std::uint8_t>& report) {
    hid::SimHost* host;
    std::uint32_t id;
    {
        std::lock_guard lock(mutex_);
        host = host_;
        id = deviceId_;
    }
    return host && id && host->SendInput(id, interfaceNumber, report.data(), report.size());
}

void Emulator::SetLinked(bool linked) {
    std::lock_guard lock(mutex_);
    linked_ = linked;
}

void Emulator::SetRejectLongReceiverPackets(bool reject) {
    std::lock_guard lock(mutex_);
    rejectLong_ = reject;
}

void Emulator::Inject(const Fault& fault) {
    std::lock_guard lock(mutex_);
    faults_.push_back(fault);
}

void Emulator::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<RecordEntry> Emulator::Record() const {
    std::lock_guard lock(mutex_);
    return {record_.begin(), record_.end()};
}

void Emulator::SetRecordLimit(std::size_t limit) {
    std::lock_guard lock(mutex_);
    recordLimit_ = limit > 0 ? limit : 1;
    while (record_.size() > recordLimit_) record_.pop_front();
}

std::vector<RecordEntry> Emulator::Requests(std::uint8_t command) const {
    std::lock_guard lock(mutex_);
    std::vector<RecordEntry> out;
    for (const auto& e : record_)
        if (e.verdict == Verdict::Ok && e.interfaceNumber == product_.commandInterface && e.Command() == command)
            out.push_back(e);
    return out;
}

void Emulator::ClearRecord() {
    std::lock_guard lock(mutex_);
    record_.clear();
}

std::vector<RecordEntry> Emulator::TakeRecord() {
    std::lock_guard lock(mutex_);
    std::vector<RecordEntry> taken(record_.begin(), record_.end());
    record_.clear();
    return taken;
}

bool Emulator::WaitForRecord(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return recordChanged_.wait_for(lock, limit, [&] { return record_.size() >= count; });
}

void Emulator::SetCommandHook(CommandHook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

void Emulator::SetLogger(std::function<void(const std::string&)> logger) {
    std::lock_guard lock(mutex_);
    logger_ = std::move(logger);
}

Verdict Emulator::Handle(const std::uint8_t* r, std::uint8_t* reply) {
    DeviceMemory& m = *memory_;
    const std::uint8_t cmd = r[3];
    const std::size_t n = r[4];
    std::uint32_t off = r[5] | (r[6] << 8);
    if (cmd == 0x21) off |= static_cast<std::uint32_t>(r[7]) << 16;

    reply[0] = kCommandReportId;
    reply[3] = cmd;
    reply[4] = r[4];
    reply[5] = r[5];
    reply[6] = r[6];
    reply[7] = 0;
    auto fail = [&](Verdict v) {
        reply[7] = 0xFF;
        return v;
    };

    if (CommandChecksum(r) != (r[1] | (r[2] << 8))) return fail(Verdict::BadChecksum);
    if (cmd == 0xAA) {
        reply[8] = (!product_.receiver || linked_) ? 0xFF : 0x01;
        return Verdict::Ok;
    }
    if (product_.receiver && !linked_) {
        reply[3] = 0xAA;
        return Verdict::NotLinked;
    }
    if (n > kMaxData) return fail(Verdict::TooLong);
    if (product_.receiver && rejectLong_ && n > kReceiverChunk) return fail(Verdict::RejectedLong);
    if (hook_ && hook_(*this, r, reply)) return Verdict::Ok;
    if (IsKeyboard(product_.kind) && KeyboardCommand(m, r, reply)) return reply[7] ? Verdict::Refused : Verdict::Ok;
    if (IsMouse(product_.kind) && MouseCommand(m, r, reply)) return reply[7] ? Verdict::Refused : Verdict::Ok;

    auto read = [&](const std::uint8_t* space, std::size_t size) {
        if (off + n > size) return fail(Verdict::OutOfRange);
        std::memcpy(reply + 8, space + off, n);
        return Verdict::Ok;
    };
    auto write = [&](std::vector<std::uint8_t>& space) {
        if (off + n > space.size()) return fail(Verdict::OutOfRange);
        std::memcpy(space.data() + off, r + 8, n);
        return Verdict::Ok;
    };
    switch (cmd) {
        case 0x01:
            ++m.sessionsBegun;
            m.inSession = true;
            return Verdict::Ok;
        case 0x02:
            ++m.sessionsEnded;
            m.inSession = false;
            return Verdict::Ok;
        case 0x03: {
            // The block is 37 bytes; bytes past it read as 0.
            if (off + n > 256) return fail(Verdict::OutOfRange);
            for (std::size_t i = 0; i < n; ++i) reply[8 + i] = off + i < m.info.size() ? m.info[off + i] : 0;
            return Verdict::Ok;
        }
        case 0x05:
            return read(m.params.data(), m.params.size());
        case 0x06:
            return write(m.params);
        case 0x07:
            return read(m.layout.data(), m.layout.size());
        case 0x09:
            return write(m.keyMap);
        case 0x0A:
            return read(m.colors.data(), m.colors.size());
        case 0x0B:
            return write(m.colors);
        case 0x12:
            ++m.livePackets;
            return write(m.liveColors);
        case 0x15:
            return write(m.macros);
        case 0x17:
            return write(m.shoot);
        case 0x1A:
            return read(m.status.data(), m.status.size());
        case 0x1B:
            return read(m.ledMap.data(), m.ledMap.size());
        case 0x1C:
            ++m.lightOnCount;
            return Verdict::Ok;
        case 0x21:
            if (off + n > kMaxScreen) return fail(Verdict::OutOfRange);
            if (m.screen.size() < off + n) m.screen.resize(off + n);
            std::memcpy(m.screen.data() + off, r + 8, n);
            return Verdict::Ok;
        case 0x23:
            ++m.screenBegins;
            return Verdict::Ok;
        case 0x29:
            return write(m.clock);
        default:
            return fail(Verdict::UnknownCommand);
    }
}

void Emulator::OnOutput(int interfaceNumber, win::HIDP_REPORT_TYPE kind, const std::uint8_t* report,
                        std::size_t length) {
    RecordEntry entry;
    entry.time = std::chrono::steady_clock::now();
    entry.interfaceNumber = interfaceNumber;
    entry.kind = kind;
    entry.bytes.assign(report, report + length);

    std::vector<Outgoing> out;
    bool unplug = false;
    bool replug = false;
    std::uint64_t generation;
    {
        std::lock_guard lock(mutex_);
        generation = generation_;
        if (interfaceNumber != product_.commandInterface || kind != win::HidP_Output) {
            entry.verdict = Verdict::NotCommand;
        } else if (product_.kind == ProductKind::Headset && length > 0 && report[0] == kLedReportId) {
            entry.verdict = TakeLedReport(*memory_, report, length) ? Verdict::LedReport : Verdict::BadLedReport;
        } else if (length != kCommandReportLength) {
            entry.verdict = Verdict::BadLength;
        } else if (report[0] != kCommandReportId) {
            entry.verdict = Verdict::BadReportId;
        } else {
            std::vector<std::uint8_t> reply(kCommandReportLength, 0);
            entry.verdict = Handle(report, reply.data());
            const std::uint8_t cmd = report[3];
            Outgoing o;
            bool send = true;
            bool corrupt = false;
            for (auto& f : faults_) {
                if (f.count <= 0 || (f.command && f.command != cmd)) continue;
                if (f.skip > 0) {
                    --f.skip;
                    continue;
                }
                --f.count;
                switch (f.kind) {
                    case FaultKind::NoReply:
                        send = false;
                        break;
                    case FaultKind::Delay:
                        o.delayMs = f.delayMs;
                        break;
                    case FaultKind::OtherCommand:
                        reply[3] = f.value ? f.value : static_cast<std::uint8_t>(cmd + 1);
                        break;
                    case FaultKind::Duplicate:
                        o.copies = 2;
                        break;
                    case FaultKind::Status:
                        reply[7] = f.value ? f.value : 0xFF;
                        break;
                    case FaultKind::BadChecksum:
                        corrupt = true;
                        break;
                    case FaultKind::Unplug:
                        send = false;
                        unplug = true;
                        break;
                    case FaultKind::Replug:
                        send = false;
                        unplug = replug = true;
                        break;
                }
            }
            faults_.erase(std::remove_if(faults_.begin(), faults_.end(), [](const Fault& f) { return f.count <= 0; }),
                          faults_.end());
            const std::uint16_t sum = CommandChecksum(reply.data());
            reply[1] = sum & 0xFF;
            reply[2] = sum >> 8;
            if (corrupt) reply[1] ^= 0x5A;
            if (send) {
                o.report = std::move(reply);
                out.push_back(std::move(o));
            }
            if (logger_) {
                char line[160];
                std::snprintf(line, sizeof line, "%s: command 0x%02X count %u offset %u: %s%s", product_.name, cmd,
                              report[4], entry.Offset(), VerdictName(entry.verdict),
                              send ? "" : (unplug ? " (unplugged)" : " (no reply)"));
                logger_(line);
            }
        }
        record_.push_back(std::move(entry));
        while (record_.size() > recordLimit_) record_.pop_front();
    }
    recordChanged_.notify_all();
    for (const auto& o : out) Send(o, generation);
    if (replug) {
        Replug();
    } else if (unplug) {
        Unplug();
    }
}

void Emulator::Send(const Outgoing& out, std::uint64_t generation) {
    if (out.delayMs > 0) {
        {
            std::lock_guard lock(schedulerMutex_);
            for (int i = 0; i < out.copies; ++i)
                pending_.push_back({std::chrono::steady_clock::now() + std::chrono::milliseconds(out.delayMs),
                                    out.report, generation});
        }
        schedulerCv_.notify_all();
        return;
    }
    for (int i = 0; i < out.copies; ++i) SendInput(product_.commandInterface, out.report);
}

void Emulator::SchedulerLoop() {
    std::unique_lock lock(schedulerMutex_);
    while (!stopping_) {
        if (pending_.empty()) {
            schedulerCv_.wait(lock);
            continue;
        }
        auto next = std::min_element(pending_.begin(), pending_.end(),
                                     [](const Pending& a, const Pending& b) { return a.due < b.due; });
        if (std::chrono::steady_clock::now() < next->due) {
            schedulerCv_.wait_until(lock, next->due);
            continue;
        }
        Pending p = std::move(*next);
        pending_.erase(next);
        lock.unlock();
        bool current;
        {
            std::lock_guard state(mutex_);
            current = p.generation == generation_;
        }
        if (current) SendInput(product_.commandInterface, p.report);  // a reply from before a replug is lost
        lock.lock();
    }
}

}  // namespace tavrik::devsim
