#pragma once

// The seam between the HID interface calls and the backends that carry the
// reports (hidraw nodes, the in-process emulator bus, the emulator socket).
// A backend lists device nodes; every top-level collection of a node's
// report descriptor is one HID interface with its own path.

#include "platform/hid/hid_api.h"
#include "platform/hid/report_descriptor.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tavrik::hid {

struct NodeInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    int interfaceNumber = -1;  // USB interface of a composite device; -1: not composite
    bool bluetooth = false;
    std::string instance;  // unique per node and plug-in, lower case, no '#'
    std::vector<std::uint8_t> descriptor;
};

class OpenState;

// One device node: a HID interface with its report descriptor. Backends
// derive from it to carry output reports and feed input reports in.
class Node : public std::enable_shared_from_this<Node> {
public:
    explicit Node(NodeInfo info);
    virtual ~Node();
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    const NodeInfo& Info() const { return info_; }
    const ReportDescriptor& Descriptor() const { return descriptor_; }
    std::size_t CollectionCount() const { return collections_.size(); }
    std::shared_ptr<const TopCollection> Collection(std::size_t i) const { return collections_.at(i); }
    // The Windows-form path of collection i (1-based numbering in the path).
    std::wstring Path(std::size_t i) const;
    bool Present() const;

    // An input report as it arrived; byte 0 is the report id (0 for a node
    // without report ids). Routed to the collection that owns the id and
    // queued on each of its handles open for reading.
    void DeliverInput(const std::uint8_t* report, std::size_t length);
    // The node went away: every handle fails at once from now on.
    void MarkGone();

    // Sends an output (or feature) report; byte 0 is the report id (0 without
    // ids), the length that of the report.
    virtual win::HidIoResult SendOutput(win::HIDP_REPORT_TYPE kind, const std::uint8_t* report, std::size_t length,
                                        win::DWORD timeoutMs, win::HANDLE cancelEvent) = 0;

    // Whether an open asking for this access (GENERIC_READ / GENERIC_WRITE)
    // can work: false when the device file refuses it.
    virtual bool Accessible(win::DWORD access) {
        (void)access;
        return true;
    }

    // Core side: the handles opened on this node.
    bool AddOpen(const std::shared_ptr<OpenState>& state, win::DWORD* error);
    void RemoveOpen(const OpenState* state);

protected:
    // Number of open handles with read access changed (hidraw starts and
    // stops its reader with it).
    virtual void OnReadersChanged(std::size_t readers) { (void)readers; }

private:
    NodeInfo info_;
    ReportDescriptor descriptor_;
    std::vector<std::shared_ptr<const TopCollection>> collections_;
    mutable std::mutex mutex_;
    bool present_ = true;
    std::vector<std::weak_ptr<OpenState>> opens_;
};

class Backend {
public:
    virtual ~Backend() = default;
    // The present nodes in a stable order; false when they cannot be listed.
    virtual bool ListNodes(std::vector<std::shared_ptr<Node>>* nodes) = 0;
};

// The backend all calls use. By default it is chosen once from the
// environment (TAVRIK_HID_BACKEND=hidraw|sim, TAVRIK_DEVSIM_SOCKET); tests
// install their own. Passing null returns to the environment's choice.
void SetBackend(std::shared_ptr<Backend> backend);
std::shared_ptr<Backend> CurrentBackend();

// Builds the Windows-form interface path.
std::wstring FormatInterfacePath(const NodeInfo& info, int collectionNumber, bool multipleCollections);

}  // namespace tavrik::hid
