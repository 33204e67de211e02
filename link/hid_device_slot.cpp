#include "link/hid_device_slot.h"

#include "link/base/product_ids.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

using S = HidDeviceSlot;

constexpr std::uint16_t kControlPage = 0xFF1C;
constexpr std::uint16_t kControlUsage = 0x92;
constexpr std::uint16_t kConsumerPage = 0x0C;
constexpr std::uint16_t kConsumerUsage = 0x01;

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Position right after the first case-insensitive occurrence of key (given in
// lower case), or null.
const wchar_t* FindAfterKey(const wchar_t* path, const wchar_t* key) {
    if (path == nullptr) {
        return nullptr;
    }
    for (const wchar_t* start = path; *start != 0; ++start) {
        const wchar_t* p = start;
        const wchar_t* k = key;
        while (*k != 0 && *p != 0 && Lower(*p) == *k) {
            ++p;
            ++k;
        }
        if (*k == 0) {
            return p;
        }
    }
    return nullptr;
}

std::uint16_t ParseAfterKey(const wchar_t* path, const wchar_t* key) {
    const wchar_t* p = FindAfterKey(path, key);
    if (p == nullptr) {
        return 0;
    }
    // Only the low 16 bits are kept, so the running value needs no more.
    std::uint32_t value = 0;
    for (int digit; (digit = HexDigit(*p)) >= 0; ++p) {
        value = ((value << 4) | static_cast<std::uint32_t>(digit)) & 0xFFFFu;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

bool HidDeviceSlot::IsSameDevice(const HidDeviceSlot& other) const {
    return vendorId == other.vendorId && productId == other.productId && interfaceNumber == other.interfaceNumber &&
           collection == other.collection && deviceType == other.deviceType && auxiliary == other.auxiliary &&
           usagePage == other.usagePage && usage == other.usage;
}

std::uint16_t ParseVidFromPath(const wchar_t* path) { return ParseAfterKey(path, L"vid_"); }
std::uint16_t ParsePidFromPath(const wchar_t* path) { return ParseAfterKey(path, L"pid_"); }
std::uint16_t ParseInterfaceFromPath(const wchar_t* path) { return ParseAfterKey(path, L"&mi_"); }
std::uint16_t ParseCollectionFromPath(const wchar_t* path) { return ParseAfterKey(path, L"&col"); }

// GCC initialises the table at compile time; with clang and libstdc++ the empty
// path strings are built at start-up, so no static initialiser reads the table.
const HidDeviceSlot SupportedDeviceTable[kSupportedDeviceCount] = {
    // vendor, product, interface, collection, type, auxiliary, usage page, usage, has partner, partner row
    {kSupportedVendorId, kPidKeyboardCable, 1, 4, S::kTypeKeyboardCable, S::kControlCollection, kControlPage,
     kControlUsage, 1, 2},
    {kSupportedVendorId, kPidKeyboardCable, 1, 3, S::kTypeKeyboardCable, S::kConsumerCollection, kConsumerPage,
     kConsumerUsage, 1, 3},
    {kSupportedVendorId, kPidKeyboardReceiver, 1, 4, S::kTypeKeyboardReceiver, S::kControlCollection, kControlPage,
     kControlUsage, 1, 0},
    {kSupportedVendorId, kPidKeyboardReceiver, 1, 3, S::kTypeKeyboardReceiver, S::kConsumerCollection, kConsumerPage,
     kConsumerUsage, 1, 1},
    {kSupportedVendorId, kPidMouseCable, 1, 4, S::kTypeMouseCable, S::kControlCollection, kControlPage, kControlUsage,
     1, 6},
    {kSupportedVendorId, kPidMouseCable, 1, 3, S::kTypeMouseCable, S::kConsumerCollection, kConsumerPage,
     kConsumerUsage, 1, 7},
    {kSupportedVendorId, kPidMouseReceiver, 1, 4, S::kTypeMouseReceiver, S::kControlCollection, kControlPage,
     kControlUsage, 1, 4},
    {kSupportedVendorId, kPidMouseReceiver, 1, 3, S::kTypeMouseReceiver, S::kConsumerCollection, kConsumerPage,
     kConsumerUsage, 1, 5},
    {kSupportedVendorId, kPidMousePad, 1, 4, S::kTypeMousePad, S::kControlCollection, kControlPage, kControlUsage, 0,
     0},
    {kSupportedVendorId, kPidMousePad, 1, 3, S::kTypeMousePad, S::kConsumerCollection, kConsumerPage, kConsumerUsage, 0,
     0},
    {0, 0, 3, 0, S::kTypeHeadset, S::kControlCollection, kConsumerPage, kConsumerUsage, 0, 0},
};

bool ParseHeadsetIds(const char* text, std::uint16_t* vendorId, std::uint16_t* productId) {
    if (!text) return false;
    unsigned long ids[2] = {};
    const char* p = text;
    for (int i = 0; i < 2; ++i) {
        char* end = nullptr;
        if (!std::isxdigit(static_cast<unsigned char>(*p))) return false;
        ids[i] = std::strtoul(p, &end, 16);
        if (end == p || end - p > 4 || ids[i] == 0) return false;
        p = end;
        if (i == 0 && *p++ != ':') return false;
    }
    if (*p != '\0') return false;
    *vendorId = static_cast<std::uint16_t>(ids[0]);
    *productId = static_cast<std::uint16_t>(ids[1]);
    return true;
}

const HidDeviceSlot* DiscoveryDeviceTable() {
    static const std::vector<HidDeviceSlot> table = [] {
        std::vector<HidDeviceSlot> rows(std::begin(SupportedDeviceTable), std::end(SupportedDeviceTable));
        const char* backend = std::getenv("TAVRIK_HID_BACKEND");
        std::uint16_t vid = 0, pid = 0;
        if (backend && std::strcmp(backend, "sim") == 0 &&
            ParseHeadsetIds(std::getenv("TAVRIK_HEADSET_IDS"), &vid, &pid)) {
            rows[kHeadsetSlotRow].vendorId = vid;
            rows[kHeadsetSlotRow].productId = pid;
        }
        return rows;
    }();
    return table.data();
}
