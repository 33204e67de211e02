#include "tools/devsim/device_memory.h"

#include "tools/devsim/keyboard_model.h"
#include "tools/devsim/lit_accessory_model.h"

namespace tavrik::devsim {

DeviceMemory DefaultMemory(ProductKind kind) {
    DeviceMemory m;
    const ProductInfo& p = Product(kind);
    switch (kind) {
    case ProductKind::KeyboardCable:
    case ProductKind::KeyboardReceiver:
        SeedKeyboardMemory(m);
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
    case ProductKind::Headset:
        SeedLitAccessoryMemory(m, kind);
        break;
    }
    if (m.status[0] == 0) m.status[0] = 100;  // battery
    m.status[1] = 0;                          // charge state
    m.status[3] = p.receiver ? 1 : 0;
    return m;
}

}  // namespace tavrik::devsim
