#include "platform/hid/hid_backend.h"

#include <cstdio>
#include <string>

namespace tavrik::hid {

std::wstring FormatInterfacePath(const NodeInfo& info, int collectionNumber, bool multipleCollections) {
    char head[96];
    if (info.bluetooth) {
        std::snprintf(head, sizeof head, "{00001124-0000-1000-8000-00805f9b34fb}_vid&0002%04x_pid&%04x", info.vendorId,
                      info.productId);
    } else {
        std::snprintf(head, sizeof head, "vid_%04x&pid_%04x", info.vendorId, info.productId);
    }
    std::string s = std::string("\\\\?\\hid#") + head;
    char part[32];
    if (info.interfaceNumber >= 0 && !info.bluetooth) {
        std::snprintf(part, sizeof part, "&mi_%02x", info.interfaceNumber & 0xFF);
        s += part;
    }
    if (multipleCollections) {
        std::snprintf(part, sizeof part, "&col%02x", collectionNumber & 0xFF);
        s += part;
    }
    s += "#";
    for (char c : info.instance) {
        if (c == '#' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            c = '_';
        s += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    s += "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    return std::wstring(s.begin(), s.end());
}

}  // namespace tavrik::hid
