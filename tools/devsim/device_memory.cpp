#include "tools/devsim/device_memory.h"

namespace tavrik::devsim {

DeviceMemory DefaultMemory(ProductKind kind) {
    DeviceMemory m;
    const ProductInfo& p = Product(kind);
    switch (kind) {
    case ProductKind::KeyboardCable:
    case ProductKind::KeyboardReceiver:
        m.info[5] = 170;  // keys (and LEDs): key tables of 510 bytes
        m.info[6] = 32;   // macro capacity: 32 × 128 bytes
        m.info[31] = 160;  // screen width
        m.info[32] = 128;  // screen height
        m.info[34] = 0;
        m.info[35] = 100;  // frames per animation
        m.info[36] = 0;
        for (int i = 0; i < 170; ++i) m.ledMap[i] = static_cast<std::uint8_t>(i);
        break;
    case ProductKind::MouseCable:
    case ProductKind::MouseReceiver:
        m.info[5] = 11;
        m.info[6] = 16;
        m.info[9] = 0x25;  // sensor 0x3325, little-endian
        m.info[10] = 0x33;
        m.info[11] = 50;   // DPI per slider unit
        m.info[12] = 0x1F;  // highest slider value 0x013F
        m.info[13] = 0x01;
        m.info[14] = 50;   // DPI at slider 0
        m.info[15] = 0;
        break;
    case ProductKind::MousePad:
        break;
    }
    m.status[0] = 100;  // battery
    m.status[1] = 0;    // charge state
    m.status[3] = p.receiver ? 1 : 0;
    return m;
}

}  // namespace tavrik::devsim
