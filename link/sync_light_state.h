#pragma once

#include <atomic>
#include <cstdint>

// The lighting that every device in the lighting sync shows. The same-mode
// command writes it on the UI thread; the sync thread and the devices' light
// threads read it. Each field is a byte of its own, written and read whole,
// so a reader never sees a torn value; a reader that needs the fields to agree
// takes one Snapshot() per pass.
struct SyncLightState {
    // The sync effects, in the record's numbering.
    enum Effect : uint8_t { Breathing = 0, Static = 1, Flash = 2, ColorCycle = 3, Off = 4 };

    struct Values {
        uint8_t effect = Breathing;
        uint8_t brightness = 0;  // brightness index
        uint8_t speed = 0;       // speed index
        uint8_t direction = 0;
        uint8_t colorful = 0;
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;

        friend bool operator==(const Values&, const Values&) = default;
    };

    std::atomic<uint8_t> effect{Breathing};
    std::atomic<uint8_t> brightness{0};
    std::atomic<uint8_t> speed{0};
    std::atomic<uint8_t> direction{0};
    std::atomic<uint8_t> colorful{0};
    std::atomic<uint8_t> red{0};
    std::atomic<uint8_t> green{0};
    std::atomic<uint8_t> blue{0};

    Values Snapshot() const;
    void Store(const Values& values);
};

// The one record of the process; zero (breathing, all fields 0) at start.
SyncLightState& GetSyncLightState();
