// Decoding of one report into the usage items of an interface.
#include <algorithm>

#include "link/hid_device.h"
#include "platform/hid/hidp.h"

bool UnpackReport(const uint8_t* report, uint16_t length, win::HIDP_REPORT_TYPE kind, HidDataItem* items,
                  uint32_t itemCount, win::PHIDP_PREPARSED_DATA preparsed) {
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
            item.status =
                win::HidP_GetUsages(kind, item.usagePage, 0, item.usages.data(), &count, preparsed, report, length);
            count = std::min(count, item.maxUsageCount);
            uint32_t kept = 0;
            for (uint32_t u = 0; u < count; ++u) {
                const uint32_t usage = item.usages[u];
                if (usage >= item.usageMin && usage <= item.usageMax) item.usages[kept++] = item.usages[u];
            }
            std::fill(item.usages.begin() + kept, item.usages.end(), win::USAGE{0});
        } else {
            item.status =
                win::HidP_GetUsageValue(kind, item.usagePage, 0, item.usage, &item.rawValue, preparsed, report, length);
            if (item.status != win::HIDP_STATUS_SUCCESS) return false;
            item.status = win::HidP_GetScaledUsageValue(kind, item.usagePage, 0, item.usage, &item.scaledValue,
                                                        preparsed, report, length);
        }
        item.dataSet = 1;
    }
    return true;
}

std::vector<HidDataItem> MakeInputItems(const std::vector<win::HIDP_BUTTON_CAPS>& buttonCaps,
                                        const std::vector<win::HIDP_VALUE_CAPS>& valueCaps,
                                        win::PHIDP_PREPARSED_DATA preparsed) {
    // Counted in 32 bits: a value range of thousands of usages must not wrap
    // the count and leave items unallocated. A range that runs backwards
    // describes no usage at all and gives no item.
    uint32_t itemCount = 0;
    for (const auto& cap : buttonCaps) {
        if (!cap.IsRange || cap.Range.UsageMax >= cap.Range.UsageMin) ++itemCount;
    }
    for (const auto& cap : valueCaps) {
        if (!cap.IsRange)
            itemCount += 1;
        else if (cap.Range.UsageMax >= cap.Range.UsageMin)
            itemCount += static_cast<uint32_t>(cap.Range.UsageMax) - cap.Range.UsageMin + 1;
    }
    std::vector<HidDataItem> items;
    items.reserve(itemCount);

    for (const auto& cap : buttonCaps) {
        if (cap.IsRange && cap.Range.UsageMax < cap.Range.UsageMin) continue;
        HidDataItem item;
        item.isButton = 1;
        item.usagePage = cap.UsagePage;
        item.status = win::HIDP_STATUS_SUCCESS;
        item.reportId = cap.ReportID;
        item.usageMin = cap.IsRange ? cap.Range.UsageMin : cap.NotRange.Usage;
        item.usageMax = cap.IsRange ? cap.Range.UsageMax : cap.NotRange.Usage;
        item.maxUsageCount = win::HidP_MaxUsageListLength(win::HidP_Input, cap.UsagePage, preparsed);
        item.usages.assign(item.maxUsageCount, 0);
        items.push_back(std::move(item));
    }
    for (const auto& cap : valueCaps) {
        const uint32_t first = cap.IsRange ? cap.Range.UsageMin : cap.NotRange.Usage;
        const uint32_t last = cap.IsRange ? cap.Range.UsageMax : cap.NotRange.Usage;
        for (uint32_t usage = first; usage <= last && last >= first; ++usage) {
            HidDataItem item;
            item.isButton = 0;
            item.usagePage = cap.UsagePage;
            item.status = win::HIDP_STATUS_SUCCESS;
            item.reportId = cap.ReportID;
            item.usage = static_cast<win::USAGE>(usage);
            items.push_back(std::move(item));
        }
    }
    return items;
}
