#include "keyboard/audio/capture_mailbox.h"

#include <algorithm>

bool CaptureMailbox::Add(CaptureNotice notice) {
    std::lock_guard lock(mutex_);
    bool wasEmpty = notices_.empty();
    if (notice.kind == CaptureNotice::Kind::Data) {
        if (packets_ >= std::max<std::size_t>(1, packetLimit_)) {
            auto oldest = std::find_if(notices_.begin(), notices_.end(),
                                       [](const CaptureNotice& n) { return n.kind == CaptureNotice::Kind::Data; });
            notices_.erase(oldest);
            --packets_;
            ++dropped_;
        }
        ++packets_;
    }
    notices_.push_back(std::move(notice));
    return wasEmpty;
}

std::deque<CaptureNotice> CaptureMailbox::TakeAll() {
    std::lock_guard lock(mutex_);
    std::deque<CaptureNotice> taken;
    taken.swap(notices_);
    packets_ = 0;
    return taken;
}

std::size_t CaptureMailbox::DroppedPackets() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}
