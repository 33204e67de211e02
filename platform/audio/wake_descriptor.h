#pragma once

// A descriptor that a thread can make readable to wake another thread's
// poll, and that the woken side drains before it looks at what changed, so
// that a wake-up given after the drain is never lost.

namespace tavrik::audio {

class WakeDescriptor {
public:
    WakeDescriptor();
    ~WakeDescriptor();
    WakeDescriptor(const WakeDescriptor&) = delete;
    WakeDescriptor& operator=(const WakeDescriptor&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // Makes the descriptor readable. Safe from any thread.
    void Signal();
    // Makes it unreadable until the next Signal.
    void Drain();

private:
    int fd_ = -1;
};

}  // namespace tavrik::audio
