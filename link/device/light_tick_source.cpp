#include "link/device/light_tick_source.h"

#include "platform/os/clock.h"
#include "platform/os/event.h"

namespace {

class SystemTicks final : public LightTickSource {
public:
    bool WaitPass(win::HANDLE stopEvent, uint32_t ms) override { return Pause(stopEvent, ms); }
    bool Pause(win::HANDLE stopEvent, uint32_t ms) override {
        if (!stopEvent) {
            win::Sleep(ms);
            return true;
        }
        return win::WaitForSingleObject(stopEvent, ms) == win::WAIT_TIMEOUT;
    }
    uint32_t Now() override { return win::GetTickCount(); }
};

}  // namespace

bool LightTickSource::Sleep(win::HANDLE stopEvent, win::HANDLE wakeEvent) {
    // The stop event comes first: a stop wins over a wake.
    const win::HANDLE objects[2] = {stopEvent, wakeEvent};
    const win::DWORD count = wakeEvent ? 2 : 1;
    return win::WaitForMultipleObjects(count, objects, win::FALSE, win::INFINITE) == win::WAIT_OBJECT_0 + 1;
}

bool LightTickSource::WaitFrame(win::HANDLE stopEvent, win::HANDLE wakeEvent, uint32_t ms) {
    if (!stopEvent || !wakeEvent) return Pause(stopEvent, ms);
    // The stop event comes first: a stop wins over a wake.
    const win::HANDLE objects[2] = {stopEvent, wakeEvent};
    const win::DWORD result = win::WaitForMultipleObjects(2, objects, win::FALSE, ms);
    return result == win::WAIT_TIMEOUT || result == win::WAIT_OBJECT_0 + 1;
}

LightTickSource& SystemTickSource() {
    // Never destroyed: a page's light thread may still be waiting on it while
    // the process runs its exit handlers, and a destroyed clock would be
    // called through a dead vtable. It holds no resources.
    static SystemTicks* const ticks = new SystemTicks;
    return *ticks;
}
