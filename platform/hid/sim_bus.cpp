#include "platform/hid/sim_bus.h"

#include <cstdio>

namespace tavrik::hid {
namespace {

class SimNode : public Node {
public:
    SimNode(NodeInfo info, int interfaceNumber, std::shared_ptr<SimOutputHandler> handler)
        : Node(std::move(info)), interface_(interfaceNumber), handler_(std::move(handler)) {}

    win::HidIoResult SendOutput(win::HIDP_REPORT_TYPE kind, const std::uint8_t* report, std::size_t length, win::DWORD,
                                win::HANDLE) override {
        if (!Present()) {
            win::SetLastError(win::ERROR_DEVICE_NOT_CONNECTED);
            return win::HidIoResult::Failed;
        }
        if (*handler_) (*handler_)(interface_, kind, report, length);
        return win::HidIoResult::Ok;
    }

private:
    int interface_;
    std::shared_ptr<SimOutputHandler> handler_;
};

}  // namespace

std::vector<NodeInfo> SimNodeInfos(const SimDeviceDescription& description, std::uint32_t device) {
    std::vector<NodeInfo> out;
    for (const auto& itf : description.interfaces) {
        NodeInfo info;
        info.vendorId = description.vendorId;
        info.productId = description.productId;
        info.version = description.version;
        info.bluetooth = description.bluetooth;
        info.interfaceNumber = description.interfaces.size() > 1 || description.composite ? itf.number : -1;
        char instance[48];
        std::snprintf(instance, sizeof instance, "7&%x&0&%04x", device, itf.number & 0xFFFF);
        info.instance = instance;
        info.descriptor = itf.descriptor;
        out.push_back(std::move(info));
    }
    return out;
}

struct SimBus::Device {
    std::vector<std::pair<int, std::shared_ptr<Node>>> nodes;  // by interface number
};

SimBus::SimBus() = default;

SimBus::~SimBus() {
    std::map<std::uint32_t, std::shared_ptr<Device>> devices;
    {
        std::lock_guard lock(mutex_);
        devices.swap(devices_);
    }
    for (auto& [id, d] : devices)
        for (auto& [n, node] : d->nodes) node->MarkGone();
}

bool SimBus::ListNodes(std::vector<std::shared_ptr<Node>>* nodes) {
    std::lock_guard lock(mutex_);
    if (listFailure_) return false;
    nodes->clear();
    for (const auto& [id, d] : devices_)
        for (const auto& [n, node] : d->nodes) nodes->push_back(node);
    return true;
}

std::uint32_t SimBus::Plug(const SimDeviceDescription& description, SimOutputHandler handler) {
    auto shared = std::make_shared<SimOutputHandler>(std::move(handler));
    auto device = std::make_shared<Device>();
    std::lock_guard lock(mutex_);
    const std::uint32_t id = nextId_++;
    auto infos = SimNodeInfos(description, id);
    for (std::size_t i = 0; i < infos.size(); ++i)
        device->nodes.emplace_back(
            description.interfaces[i].number,
            std::make_shared<SimNode>(std::move(infos[i]), description.interfaces[i].number, shared));
    devices_[id] = device;
    return id;
}

void SimBus::Unplug(std::uint32_t device) {
    std::shared_ptr<Device> d;
    {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(device);
        if (it == devices_.end()) return;
        d = it->second;
        devices_.erase(it);
    }
    for (auto& [n, node] : d->nodes) node->MarkGone();
}

bool SimBus::SendInput(std::uint32_t device, int interfaceNumber, const std::uint8_t* report, std::size_t length) {
    std::shared_ptr<Node> node;
    {
        std::lock_guard lock(mutex_);
        auto it = devices_.find(device);
        if (it == devices_.end()) return false;
        for (auto& [n, candidate] : it->second->nodes)
            if (n == interfaceNumber) node = candidate;
    }
    if (!node) return false;
    node->DeliverInput(report, length);
    return true;
}

void SimBus::SetListFailure(bool fail) {
    std::lock_guard lock(mutex_);
    listFailure_ = fail;
}

}  // namespace tavrik::hid
