#pragma once

// The state behind one open HID handle: its collection, access and sharing,
// and its own queue of input reports.

#include "platform/hid/hid_backend.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace tavrik::hid {

class OpenState {
public:
    static constexpr std::size_t kQueueLimit = 32;

    OpenState(std::shared_ptr<Node> node, std::size_t collection, win::DWORD access, win::DWORD share);
    ~OpenState();
    OpenState(const OpenState&) = delete;
    OpenState& operator=(const OpenState&) = delete;

    Node& GetNode() const { return *node_; }
    std::size_t CollectionIndex() const { return collectionIndex_; }
    const TopCollection& Collection() const { return *collection_; }
    std::shared_ptr<const TopCollection> SharedCollection() const { return collection_; }
    win::DWORD Access() const { return access_; }
    win::DWORD Share() const { return share_; }

    void Push(const std::vector<std::uint8_t>& report);
    void Flush();
    // The handle was closed, or the node went away: waits end with Failed.
    void Close();
    void Gone();
    void CancelWaits();

    win::HidIoResult Read(void* buffer, win::DWORD length, win::DWORD* transferred, win::DWORD timeoutMs,
                          win::HANDLE cancelEvent);
    win::HidIoResult Write(win::HIDP_REPORT_TYPE kind, const void* buffer, win::DWORD length, win::DWORD timeoutMs,
                           win::HANDLE cancelEvent);

private:
    bool Usable(win::DWORD* error) const;  // mutex_ held

    std::shared_ptr<Node> node_;
    std::size_t collectionIndex_;
    std::shared_ptr<const TopCollection> collection_;
    win::DWORD access_;
    win::DWORD share_;
    win::HANDLE dataEvent_;  // auto-reset: a report arrived or the state changed
    mutable std::mutex mutex_;
    std::deque<std::vector<std::uint8_t>> queue_;
    bool closed_ = false;
    bool gone_ = false;
    std::uint64_t cancelCount_ = 0;
};

}  // namespace tavrik::hid
