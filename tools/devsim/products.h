#pragma once

// The emulated products: their USB identity (shared with the program's
// supported-device table) and the report descriptors of their interfaces.

#include "platform/hid/sim_bus.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace tavrik::devsim {

enum class ProductKind { KeyboardCable, KeyboardReceiver, MouseCable, MouseReceiver, MousePad, Headset };

// Interface 1 holds the command collection (04) and the consumer event
// collection (03) after a keyboard or mouse collection (01) and a system
// control collection (02); interface 0 is a boot keyboard or mouse. The
// headset has one interface (3) with one consumer collection that carries
// the command reports, the events and its LED reports.
inline constexpr int kCommandInterface = 1;
inline constexpr int kHeadsetInterface = 3;
// The emulated headset's USB ids (the program learns them from
// TAVRIK_HEADSET_IDS; its own table has none for the headset).
inline constexpr std::uint16_t kEmulatedHeadsetVendorId = 0x3151;
inline constexpr std::uint16_t kEmulatedHeadsetProductId = 0x7010;

struct ProductInfo {
    ProductKind kind;
    const char* name;  // command-line name of tavrik-devsim
    std::uint16_t vendorId;
    std::uint16_t productId;
    bool receiver;                             // reached through the 2.4 GHz receiver
    int commandInterface = kCommandInterface;  // the interface of the command reports and events
};

const std::vector<ProductInfo>& Products();
inline bool IsKeyboard(ProductKind kind) {
    return kind == ProductKind::KeyboardCable || kind == ProductKind::KeyboardReceiver;
}
inline bool IsMouse(ProductKind kind) { return kind == ProductKind::MouseCable || kind == ProductKind::MouseReceiver; }
const ProductInfo& Product(ProductKind kind);
// By command-line name; null when unknown.
const ProductInfo* FindProduct(const std::string& name);
// The command-line name (tests print a kind this way).
void PrintTo(ProductKind kind, std::ostream* out);

inline constexpr int kConsumerCollection = 3;
inline constexpr int kCommandCollection = 4;
inline constexpr std::uint8_t kEventReportId = 0x03;
inline constexpr std::uint8_t kCommandReportId = 0x04;
inline constexpr std::size_t kCommandReportLength = 64;
// The headset's LED output report: id 0xFF, 17 bytes with the id.
inline constexpr std::uint8_t kLedReportId = 0xFF;
inline constexpr std::size_t kLedReportLength = 17;

// The headset and the mouse pad keep a 21-byte light block per profile and
// answer the same block commands.
inline bool IsLitAccessory(ProductKind kind) { return kind == ProductKind::Headset || kind == ProductKind::MousePad; }

hid::SimDeviceDescription MakeDeviceDescription(ProductKind kind);

}  // namespace tavrik::devsim
