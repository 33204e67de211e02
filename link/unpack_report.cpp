// Decoding of one report into the usage items of an interface.
#include <algorithm>

#include "link/hid_device.h"
#include "platform/hid/hidp.h"

bool UnpackReport(const uint8_t* report, uint16_t length, win::HIDP_REPORT_TYPE kind,
                  HidDataItem* items, uint32_t itemCount, win::PHIDP_PREPARSED_DATA preparsed) {
    if (items == nullptr) itemCount = 0;
    // Nothing of an earlier report may be taken for part of this one.
    for (uint32_t i = 0; i < itemCount; ++i) {
        items[i].dataSet = 0;
        std::fill(items[i].usages.begin(), items[i].usages.end(), win::USAGE{0});
    }
    if (report == nullptr || length == 0) return true;
    const uint32_t reportId = report[0];
    for (uint32_t i = 0; i < itemCount; ++i) {
        HidDataItem& item = items[i];
        if (item.reportId != reportId) continue;
        if (item.isButton) {
            // The list holds exactly maxUsageCount entries.
            item.usages.resize(item.maxUsageCount);
            uint32_t count = item.maxUsageCount;
            item.status = win::HidP_GetUsages(kind, item.usagePage, 0, item.usages.data(), &count,
                                              preparsed, report, length);
            count = std::min(count, item.maxUsageCount);
            uint32_t kept = 0;
            for (uint32_t u = 0; u < count; ++u) {
                const uint32_t usage = item.usages[u];
                if (usage >= item.usageMin && usage <= item.usageMax) item.usages[kept++] = item.usages[u];
            }
            std::fill(item.usages.begin() + kept, item.usages.end(), win::USAGE{0});
        } else {
            item.status = win::HidP_GetUsageValue(kind, item.usagePage, 0, item.usage,
                                                  &item.rawValue, preparsed, report, length);
            if (item.status != win::HIDP_STATUS_SUCCESS) return false;
            item.status = win::HidP_GetScaledUsageValue(kind, item.usagePage, 0, item.usage,
                                                        &item.scaledValue, preparsed, report,
                                                        length);
        }
        item.dataSet = 1;
    }
    return true;
}
