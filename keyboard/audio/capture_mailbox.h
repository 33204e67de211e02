#pragma once

// The notices of one capture worker on their way to the UI thread, in the
// order the worker gave them. The worker never waits for the UI thread: it
// adds a notice and, when the mailbox was empty, posts one wake-up to the
// hidden window, which takes everything at once. Packets are copies; when
// more than the limit wait, the oldest packet gives way.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/audio/wave_format.h"

struct CaptureNotice {
    enum class Kind {
        Started,  // value: the packet period in ms
        Stopped,  // the recording that ran has ended
        Format,   // format
        Data,     // data
        Ended,    // the worker ended by itself: restart after a delay
    };
    CaptureNotice(Kind k = Kind::Started, unsigned v = 0) : kind(k), value(v) {}

    Kind kind;
    unsigned value;
    tavrik::audio::WaveFormat format;
    std::vector<std::uint8_t> data;
};

class CaptureMailbox {
public:
    explicit CaptureMailbox(std::size_t packetLimit) : packetLimit_(packetLimit) {}

    // True when the mailbox was empty: the reader needs a wake-up.
    bool Add(CaptureNotice notice);
    std::deque<CaptureNotice> TakeAll();
    // Packets that gave way so far.
    std::size_t DroppedPackets() const;

private:
    mutable std::mutex mutex_;
    std::size_t packetLimit_;
    std::deque<CaptureNotice> notices_;
    std::size_t packets_ = 0;
    std::size_t dropped_ = 0;
};
