#include "link/sync_light_state.h"

SyncLightState::Values SyncLightState::Snapshot() const {
    Values values;
    values.effect = effect.load(std::memory_order_relaxed);
    values.brightness = brightness.load(std::memory_order_relaxed);
    values.speed = speed.load(std::memory_order_relaxed);
    values.direction = direction.load(std::memory_order_relaxed);
    values.colorful = colorful.load(std::memory_order_relaxed);
    values.red = red.load(std::memory_order_relaxed);
    values.green = green.load(std::memory_order_relaxed);
    values.blue = blue.load(std::memory_order_relaxed);
    return values;
}

void SyncLightState::Store(const Values& values) {
    effect.store(values.effect, std::memory_order_relaxed);
    brightness.store(values.brightness, std::memory_order_relaxed);
    speed.store(values.speed, std::memory_order_relaxed);
    direction.store(values.direction, std::memory_order_relaxed);
    colorful.store(values.colorful, std::memory_order_relaxed);
    red.store(values.red, std::memory_order_relaxed);
    green.store(values.green, std::memory_order_relaxed);
    blue.store(values.blue, std::memory_order_relaxed);
}

SyncLightState& GetSyncLightState() {
    static SyncLightState setting;
    return setting;
}
