#pragma once

// What a PHIDP_PREPARSED_DATA points at: the parsed top-level collection of
// one interface, shared with the interface that produced it.

#include "platform/hid/hid_types.h"
#include "platform/hid/report_descriptor.h"

#include <cstdint>
#include <memory>

namespace win {

struct HIDP_PREPARSED_DATA {
    static constexpr std::uint32_t kMagic = 0x48494450;  // "HIDP"
    std::uint32_t magic = kMagic;
    std::shared_ptr<const tavrik::hid::TopCollection> collection;
};

}  // namespace win

namespace tavrik::hid {

// A new preparsed-data block for a collection, freed with HidD_FreePreparsedData.
win::PHIDP_PREPARSED_DATA MakePreparsedData(std::shared_ptr<const TopCollection> collection);

}  // namespace tavrik::hid
