#include "tools/devsim/device_memory.h"

#include "tools/devsim/keyboard_model.h"
#include "tools/devsim/lit_accessory_model.h"
#include "tools/devsim/mouse_model.h"

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
            SeedMouseMemory(m);
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
