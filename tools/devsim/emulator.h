#pragma once

// Firmware model of one emulated product: it answers the 64-byte command
// protocol on its command collection, sends event reports on its consumer
// collection, keeps its state as memory, records every report it receives
// and misbehaves on demand.

#include "platform/hid/sim_bus.h"
#include "tools/devsim/device_memory.h"
#include "tools/devsim/products.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavrik::devsim {

// What the emulator concluded about a received report.
enum class Verdict {
    Ok,
    NotCommand,      // not an output report of the command collection
    BadLength,       // not 64 bytes: ignored
    BadReportId,     // byte 0 is not 0x04: ignored
    BadChecksum,     // answered with status 0xFF
    TooLong,         // more than 56 data bytes: status 0xFF
    RejectedLong,    // more than 24 data bytes through the receiver while that fault is on: status 0xFF
    OutOfRange,      // offset + count beyond the addressed space: status 0xFF
    UnknownCommand,  // status 0xFF
    NotLinked,       // receiver without a linked device: answered 0xAA
    Refused,         // the device model refused the data (a bad macro table or clock): status 0xFF
    LedReport,       // a headset LED report, taken into the frame being assembled
    BadLedReport,    // a headset LED report out of order or with a bad value (DeviceMemory::ledError)
};

struct RecordEntry {
    std::chrono::steady_clock::time_point time;
    int interfaceNumber = 0;
    win::HIDP_REPORT_TYPE kind = win::HidP_Output;
    std::vector<std::uint8_t> bytes;
    Verdict verdict = Verdict::Ok;

    std::uint8_t Command() const { return bytes.size() > 3 ? bytes[3] : 0; }
    std::uint8_t Count() const { return bytes.size() > 4 ? bytes[4] : 0; }
    std::uint32_t Offset() const;  // 24-bit for 0x21, else 16-bit
};

enum class FaultKind {
    NoReply,       // the request is taken but never answered
    Delay,         // the reply comes delayMs later
    OtherCommand,  // the reply echoes `value` (default: command + 1) instead of the command
    Duplicate,     // the reply is sent twice
    Status,        // the reply carries status `value` (0xFF or 0xFE)
    BadChecksum,   // the reply's checksum is wrong
    Unplug,        // the device is unplugged when the request arrives (mid-transfer)
    Replug,        // unplugged when the request arrives and plugged in again at once (under a new path)
};

struct Fault {
    FaultKind kind = FaultKind::NoReply;
    int count = 1;             // matching requests it applies to
    std::uint8_t command = 0;  // only requests with this command; 0: any
    int skip = 0;              // matching requests let through first
    std::uint32_t delayMs = 0;
    std::uint8_t value = 0;
};

// Builds a checksummed 64-byte command report.
std::vector<std::uint8_t> BuildCommandReport(std::uint8_t command, std::uint8_t count, std::uint32_t offset,
                                             const std::uint8_t* data = nullptr);
std::uint16_t CommandChecksum(const std::uint8_t* report);  // bytes 3..63

class Emulator {
public:
    explicit Emulator(ProductKind kind, std::shared_ptr<DeviceMemory> memory = nullptr);
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    const ProductInfo& Product() const { return product_; }
    const hid::SimDeviceDescription& Description() const { return description_; }
    // The HID version number (bcdDevice) the next Plug shows.
    void SetVersion(std::uint16_t version) { description_.version = version; }

    // Plugging into a host (the in-process bus or the socket server). The
    // host must outlive the plugged emulator, or the emulator be unplugged first.
    bool Plug(hid::SimHost& host);
    void Unplug();
    bool Replug();  // on the host of the last Plug
    bool Plugged() const;
    std::uint32_t DeviceId() const;
    // Path of a collection of the command interface as the program enumerates it.
    std::wstring InterfacePath(int collection = kCommandCollection) const;

    // Event reports on the consumer collection (profile switch, key events ...).
    bool SendEvent(std::uint16_t code);
    bool SendInput(int interfaceNumber, const std::vector<std::uint8_t>& report);

    // The receiver's link to its device (receiver products only).
    void SetLinked(bool linked);
    void SetRejectLongReceiverPackets(bool reject);
    void Inject(const Fault& fault);
    void ClearFaults();

    // Record of every report received.
    std::vector<RecordEntry> Record() const;
    std::vector<RecordEntry> Requests(std::uint8_t command) const;  // accepted command reports of one command
    void ClearRecord();
    // The record, emptied in the same step: no report falls between a read
    // and a clear.
    std::vector<RecordEntry> TakeRecord();
    // The record keeps the newest `limit` entries (default 100000), so a long
    // session of streamed colours does not grow without bound.
    void SetRecordLimit(std::size_t limit);
    // Waits until the record holds at least `count` entries.
    bool WaitForRecord(std::size_t count, std::chrono::milliseconds limit) const;

    // Memory: take the lock while touching it when the device is in use.
    DeviceMemory& Memory() { return *memory_; }
    std::shared_ptr<DeviceMemory> SharedMemory() { return memory_; }
    std::unique_lock<std::recursive_mutex> Lock() const { return std::unique_lock(mutex_); }

    // Device-specific commands: called (under the lock) before the common
    // handling with the request and a prepared reply (echo header, status 0);
    // true when it handled the request.
    using CommandHook = std::function<bool(Emulator&, const std::uint8_t* request, std::uint8_t* reply)>;
    void SetCommandHook(CommandHook hook);
    void SetLogger(std::function<void(const std::string&)> logger);

private:
    struct Outgoing {
        std::vector<std::uint8_t> report;
        std::uint32_t delayMs = 0;
        int copies = 1;
    };

    void OnOutput(int interfaceNumber, win::HIDP_REPORT_TYPE kind, const std::uint8_t* report, std::size_t length);
    Verdict Handle(const std::uint8_t* request, std::uint8_t* reply);
    void Send(const Outgoing& out, std::uint64_t generation);
    void SchedulerLoop();

    struct HandlerGuard;

    ProductInfo product_;
    hid::SimDeviceDescription description_;
    std::shared_ptr<HandlerGuard> guard_;
    std::shared_ptr<DeviceMemory> memory_;

    mutable std::recursive_mutex mutex_;
    mutable std::condition_variable_any recordChanged_;
    hid::SimHost* host_ = nullptr;
    std::uint32_t deviceId_ = 0;
    std::uint64_t generation_ = 0;  // changes at every plug and unplug
    bool linked_ = true;
    bool rejectLong_ = false;
    std::vector<Fault> faults_;
    std::deque<RecordEntry> record_;
    std::size_t recordLimit_ = 100000;
    CommandHook hook_;
    std::function<void(const std::string&)> logger_;

    // Delayed replies.
    struct Pending {
        std::chrono::steady_clock::time_point due;
        std::vector<std::uint8_t> report;
        std::uint64_t generation;
    };
    std::mutex schedulerMutex_;
    std::condition_variable schedulerCv_;
    std::vector<Pending> pending_;
    bool stopping_ = false;
    std::thread scheduler_;
};

}  // namespace tavrik::devsim
