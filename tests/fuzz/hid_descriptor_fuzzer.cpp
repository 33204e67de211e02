// Feeds arbitrary bytes to the report descriptor parser, then decodes a
// report built from the same bytes with every collection's capabilities:
// nothing may read out of bounds, loop without end or crash.

#include "platform/hid/hid_api.h"
#include "platform/hid/hidp.h"
#include "platform/hid/preparsed_data.h"
#include "platform/hid/report_descriptor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik::hid;
    const ReportDescriptor d = ParseReportDescriptor(data, size);
    for (const auto& col : d.collections) {
        win::PHIDP_PREPARSED_DATA p = MakePreparsedData(std::make_shared<const TopCollection>(col));
        win::HIDP_CAPS caps;
        win::HidP_GetCaps(p, &caps);
        for (int k = 0; k < 3; ++k) {
            const auto type = static_cast<win::HIDP_REPORT_TYPE>(k);
            const std::uint16_t length = col.reportLength[k];
            if (length == 0) continue;
            std::vector<std::uint8_t> report(length);
            for (std::size_t i = 0; i < length; ++i) report[i] = size ? data[i % size] : 0;
            for (std::uint8_t id : col.reportIds[k]) {
                report[0] = id;
                for (const auto& b : col.buttonCaps[k]) {
                    std::uint32_t n = win::HidP_MaxUsageListLength(type, b.UsagePage, p);
                    std::vector<win::USAGE> usages(n + 1);
                    win::HidP_GetUsages(type, b.UsagePage, 0, usages.data(), &n, p, report.data(), length);
                }
                for (const auto& v : col.valueCaps[k]) {
                    const win::USAGE usage = v.IsRange ? v.Range.UsageMax : v.NotRange.Usage;
                    std::uint32_t raw = 0;
                    std::int32_t scaled = 0;
                    win::HidP_GetUsageValue(type, v.UsagePage, 0, usage, &raw, p, report.data(), length);
                    win::HidP_GetScaledUsageValue(type, v.UsagePage, 0, usage, &scaled, p, report.data(), length);
                }
            }
            std::uint16_t room = 4;
            win::HIDP_BUTTON_CAPS buttons[4];
            win::HIDP_VALUE_CAPS values[4];
            win::HidP_GetSpecificButtonCaps(type, 0, 0, 0, buttons, &room, p);
            room = 4;
            win::HidP_GetSpecificValueCaps(type, 0, 0, 0, values, &room, p);
        }
        win::HidD_FreePreparsedData(p);
    }
    return 0;
}
