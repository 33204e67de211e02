#pragma once

// The simulated HID backend: emulated devices plugged into a bus in this
// process. Each interface of a device becomes one node; its report
// descriptor decides its collections and paths exactly as on hardware.

#include "platform/hid/hid_backend.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavrik::hid {

struct SimInterfaceDescription {
    int number = 0;
    std::vector<std::uint8_t> descriptor;
};

struct SimDeviceDescription {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0x0100;
    bool bluetooth = false;
    // The USB device has further interfaces that are not HID (a headset's
    // audio): its paths name the interface even when only one is HID.
    bool composite = false;
    std::vector<SimInterfaceDescription> interfaces;
};

// Output and feature reports the program sends to an emulated device; byte 0
// is the report id (0 for an interface without ids). Called on the writing
// thread; a device that answers later schedules its answer itself.
using SimOutputHandler = std::function<void(int interfaceNumber, win::HIDP_REPORT_TYPE kind, const std::uint8_t* report,
                                            std::size_t length)>;

// Where emulated devices are plugged: the in-process bus, or the emulator's
// socket server that mirrors them into another process.
class SimHost {
public:
    virtual ~SimHost() = default;
    // Returns the device's id (never 0).
    virtual std::uint32_t Plug(const SimDeviceDescription& description, SimOutputHandler handler) = 0;
    virtual void Unplug(std::uint32_t device) = 0;
    // An input report from the device (byte 0 the report id, 0 without ids);
    // false when the device or interface is not plugged.
    virtual bool SendInput(std::uint32_t device, int interfaceNumber, const std::uint8_t* report,
                           std::size_t length) = 0;
};

// The node info of each interface of a description, as both sim backends present it.
std::vector<NodeInfo> SimNodeInfos(const SimDeviceDescription& description, std::uint32_t device);

class SimBus : public Backend, public SimHost {
public:
    SimBus();
    ~SimBus() override;

    bool ListNodes(std::vector<std::shared_ptr<Node>>* nodes) override;
    std::uint32_t Plug(const SimDeviceDescription& description, SimOutputHandler handler) override;
    void Unplug(std::uint32_t device) override;
    bool SendInput(std::uint32_t device, int interfaceNumber, const std::uint8_t* report, std::size_t length) override;

    // Makes ListNodes fail (an unreachable backend) while set.
    void SetListFailure(bool fail);

private:
    struct Device;
    std::mutex mutex_;
    std::uint32_t nextId_ = 1;
    bool listFailure_ = false;
    std::map<std::uint32_t, std::shared_ptr<Device>> devices_;
};

}  // namespace tavrik::hid
