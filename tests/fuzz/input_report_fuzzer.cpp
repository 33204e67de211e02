// Decodes arbitrary input reports with the items of an arbitrary report
// descriptor, the way an open interface decodes what its device sends.
// Input: a 16-bit little-endian descriptor length, the descriptor, then the
// report. Nothing may read or write out of bounds.

#include "link/hid_device.h"
#include "platform/hid/hid_api.h"
#include "platform/hid/hidp.h"
#include "platform/hid/preparsed_data.h"
#include "platform/hid/report_descriptor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::hid;
    if (size < 2) return 0;
    const std::size_t descriptorLength = std::min<std::size_t>(data[0] | (data[1] << 8), size - 2);
    const std::uint8_t* descriptor = data + 2;
    const std::uint8_t* report = descriptor + descriptorLength;
    const std::size_t reportLength = std::min<std::size_t>(size - 2 - descriptorLength, 0xFFFF);

    const ReportDescriptor d = ParseReportDescriptor(descriptor, descriptorLength);
    for (const auto& col : d.collections) {
        win::PHIDP_PREPARSED_DATA p = MakePreparsedData(std::make_shared<const TopCollection>(col));
        win::HIDP_CAPS caps{};
        if (win::HidP_GetCaps(p, &caps) == win::HIDP_STATUS_SUCCESS) {
            std::uint16_t buttonCount = caps.NumberInputButtonCaps;
            std::vector<win::HIDP_BUTTON_CAPS> buttons(buttonCount);
            if (buttonCount > 0 && win::HidP_GetSpecificButtonCaps(win::HidP_Input, 0, 0, 0, buttons.data(),
                                                                   &buttonCount, p) != win::HIDP_STATUS_SUCCESS)
                buttonCount = 0;
            buttons.resize(std::min<std::size_t>(buttonCount, buttons.size()));
            std::uint16_t valueCount = caps.NumberInputValueCaps;
            std::vector<win::HIDP_VALUE_CAPS> values(valueCount);
            if (valueCount > 0 && win::HidP_GetSpecificValueCaps(win::HidP_Input, 0, 0, 0, values.data(), &valueCount,
                                                                 p) != win::HIDP_STATUS_SUCCESS)
                valueCount = 0;
            values.resize(std::min<std::size_t>(valueCount, values.size()));
            // A range of many thousand usages makes as many items; keep the
            // runs fast without missing the small descriptors' cases.
            std::size_t usages = 0;
            for (const auto& v : values) usages += v.IsRange ? v.Range.UsageMax - v.Range.UsageMin + 1u : 1u;
            if (usages <= 4096) {
                std::vector<HidDataItem> items = MakeInputItems(buttons, values, p);
                UnpackReport(report, static_cast<std::uint16_t>(reportLength), win::HidP_Input, items.data(),
                             static_cast<std::uint32_t>(items.size()), p);
                // The same items again with the report cut to the interface's length, as a read delivers it.
                std::vector<std::uint8_t> sized(caps.InputReportByteLength);
                std::copy_n(report, std::min<std::size_t>(sized.size(), reportLength), sized.begin());
                UnpackReport(sized.data(), static_cast<std::uint16_t>(sized.size()), win::HidP_Input, items.data(),
                             static_cast<std::uint32_t>(items.size()), p);
            }
        }
        win::HidD_FreePreparsedData(p);
    }
    return 0;
}
