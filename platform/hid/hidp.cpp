#include "platform/hid/hidp.h"

#include "platform/hid/preparsed_data.h"

#include <algorithm>
#include <vector>

namespace tavrik::hid {

win::PHIDP_PREPARSED_DATA MakePreparsedData(std::shared_ptr<const TopCollection> collection) {
    auto* p = new win::HIDP_PREPARSED_DATA;
    p->collection = std::move(collection);
    return p;
}

}  // namespace tavrik::hid

namespace win {
namespace {

using tavrik::hid::ReportField;
using tavrik::hid::TopCollection;

const TopCollection* Collection(PHIDP_PREPARSED_DATA p) {
    if (!p || p->magic != HIDP_PREPARSED_DATA::kMagic || !p->collection) return nullptr;
    return p->collection.get();
}

bool ValidType(HIDP_REPORT_TYPE t) { return t == HidP_Input || t == HidP_Output || t == HidP_Feature; }

template <typename Caps>
bool CapsMatch(const Caps& c, USAGE page, USAGE usage) {
    if (page && c.UsagePage != page) return false;
    if (!usage) return true;
    if (c.IsRange) return usage >= c.Range.UsageMin && usage <= c.Range.UsageMax;
    return c.NotRange.Usage == usage;
}

template <typename Caps>
NTSTATUS CopyCaps(const std::vector<Caps>& all, USAGE page, USAGE usage, Caps* out, std::uint16_t* length) {
    if (!length) return HIDP_STATUS_NULL;
    std::uint16_t room = out ? *length : 0;
    std::uint16_t n = 0;
    std::uint32_t matched = 0;
    for (const Caps& c : all) {
        if (!CapsMatch(c, page, usage)) continue;
        ++matched;
        if (n < room) out[n++] = c;
    }
    *length = n;
    if (matched == 0) return HIDP_STATUS_USAGE_NOT_FOUND;
    return matched > n ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

bool FieldHasPage(const ReportField& f, USAGE page) {
    if (!page) return true;
    return std::any_of(f.usages.begin(), f.usages.end(), [&](const auto& s) { return s.page == page; });
}

// Checks shared by the report decoders: valid data, type and length.
NTSTATUS CheckReport(const TopCollection* col, HIDP_REPORT_TYPE type, const void* report, std::uint32_t length) {
    if (!col) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (!ValidType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
    if (!report || length == 0 || length != col->reportLength[type]) return HIDP_STATUS_INVALID_REPORT_LENGTH;
    return HIDP_STATUS_SUCCESS;
}

// Finds the value field and element of a usage in the report's id.
NTSTATUS FindValue(const TopCollection* col, HIDP_REPORT_TYPE type, USAGE page, USAGE usage, std::uint8_t id,
                   const ReportField** field, std::uint32_t* element) {
    bool seen = false;
    for (const ReportField& f : col->fields) {
        if (f.kind != type || f.isButton) continue;
        std::uint32_t base = 0;
        for (std::size_t si = 0; si < f.usages.size(); ++si) {
            const auto& s = f.usages[si];
            const bool last = si + 1 == f.usages.size();
            if (base >= f.count) break;
            if (s.page == page && usage >= s.min && usage <= s.max && base + (usage - s.min) < f.count) {
                seen = true;
                if (f.reportId == id) {
                    // A single usage that stands for several elements is a value array.
                    if (!s.isRange && last && f.count - base > 1) return HIDP_STATUS_IS_VALUE_ARRAY;
                    *field = &f;
                    *element = base + (usage - s.min);
                    return HIDP_STATUS_SUCCESS;
                }
            }
            base += s.Size();
        }
    }
    return seen ? HIDP_STATUS_INCOMPATIBLE_REPORT_ID : HIDP_STATUS_USAGE_NOT_FOUND;
}

// The checks and lookup both value readers start with: the field and element
// of a usage in a valid report.
NTSTATUS LocateValue(PHIDP_PREPARSED_DATA preparsed, HIDP_REPORT_TYPE type, USAGE page, USAGE usage, const void* report,
                     std::uint32_t reportLength, const void* out, const ReportField** field, std::uint32_t* element) {
    const TopCollection* col = Collection(preparsed);
    NTSTATUS st = CheckReport(col, type, report, reportLength);
    if (st != HIDP_STATUS_SUCCESS) return st;
    if (!out) return HIDP_STATUS_NULL;
    return FindValue(col, type, page, usage, static_cast<const std::uint8_t*>(report)[0], field, element);
}

}  // namespace

NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA preparsed, HIDP_CAPS* caps) {
    const TopCollection* col = Collection(preparsed);
    if (!col) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (caps) *caps = col->Caps();
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t, USAGE usage,
                                    HIDP_BUTTON_CAPS* caps, std::uint16_t* length, PHIDP_PREPARSED_DATA preparsed) {
    const TopCollection* col = Collection(preparsed);
    if (!col) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (!ValidType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
    return CopyCaps(col->buttonCaps[type], usagePage, usage, caps, length);
}

NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t, USAGE usage,
                                   HIDP_VALUE_CAPS* caps, std::uint16_t* length, PHIDP_PREPARSED_DATA preparsed) {
    const TopCollection* col = Collection(preparsed);
    if (!col) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (!ValidType(type)) return HIDP_STATUS_INVALID_REPORT_TYPE;
    return CopyCaps(col->valueCaps[type], usagePage, usage, caps, length);
}

NTSTATUS HidP_GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, std::uint16_t* length,
                            PHIDP_PREPARSED_DATA preparsed) {
    return HidP_GetSpecificButtonCaps(type, 0, 0, 0, caps, length, preparsed);
}

NTSTATUS HidP_GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, std::uint16_t* length,
                           PHIDP_PREPARSED_DATA preparsed) {
    return HidP_GetSpecificValueCaps(type, 0, 0, 0, caps, length, preparsed);
}

std::uint32_t HidP_MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE usagePage, PHIDP_PREPARSED_DATA preparsed) {
    const TopCollection* col = Collection(preparsed);
    if (!col || !ValidType(type)) return 0;
    std::uint32_t n = 0;
    for (const ReportField& f : col->fields) {
        if (f.kind != type || !f.isButton || !FieldHasPage(f, usagePage)) continue;
        if (f.isArray) {
            n += f.count;
        } else {
            for (std::uint32_t i = 0; i < f.count; ++i) {
                std::uint16_t page = 0, usage = 0;
                if (f.VariableUsage(i, &page, &usage) && (!usagePage || page == usagePage)) ++n;
            }
        }
    }
    return n;
}

NTSTATUS HidP_GetUsages(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t, USAGE* usageList,
                        std::uint32_t* usageLength, PHIDP_PREPARSED_DATA preparsed, const void* report,
                        std::uint32_t reportLength) {
    const TopCollection* col = Collection(preparsed);
    NTSTATUS st = CheckReport(col, type, report, reportLength);
    if (st != HIDP_STATUS_SUCCESS) return st;
    if (!usageLength) return HIDP_STATUS_NULL;
    const auto* bytes = static_cast<const std::uint8_t*>(report);
    const std::uint8_t id = bytes[0];
    const std::uint32_t room = usageList ? *usageLength : 0;
    bool seen = false, matchedId = false;
    std::uint32_t found = 0;
    auto emit = [&](std::uint16_t page, std::uint16_t usage) {
        if (usagePage && page != usagePage) return;
        if (found < room) usageList[found] = usage;
        ++found;
    };
    for (const ReportField& f : col->fields) {
        if (f.kind != type || !f.isButton || !FieldHasPage(f, usagePage)) continue;
        seen = true;
        if (f.reportId != id) continue;
        matchedId = true;
        for (std::uint32_t i = 0; i < f.count; ++i) {
            std::uint32_t raw = f.Extract(bytes, reportLength, i);
            std::uint16_t page = 0, usage = 0;
            if (f.isArray) {
                std::int64_t v = raw;
                if (f.logicalMin < 0 && f.bitSize < 32 && (raw & (1u << (f.bitSize - 1))))
                    v = static_cast<std::int64_t>(raw) - (std::int64_t{1} << f.bitSize);
                if (f.ArrayUsage(v, &page, &usage)) emit(page, usage);
            } else if (raw && f.VariableUsage(i, &page, &usage)) {
                emit(page, usage);
            }
        }
    }
    if (!seen) return HIDP_STATUS_USAGE_NOT_FOUND;
    if (!matchedId) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
    *usageLength = found;
    return found > room ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t, USAGE usage,
                            std::uint32_t* usageValue, PHIDP_PREPARSED_DATA preparsed, const void* report,
                            std::uint32_t reportLength) {
    const ReportField* f = nullptr;
    std::uint32_t element = 0;
    NTSTATUS st = LocateValue(preparsed, type, usagePage, usage, report, reportLength, usageValue, &f, &element);
    if (st != HIDP_STATUS_SUCCESS) return st;
    const auto* bytes = static_cast<const std::uint8_t*>(report);
    *usageValue = f->Extract(bytes, reportLength, element);
    return HIDP_STATUS_SUCCESS;
}

NTSTATUS HidP_GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t, USAGE usage,
                                  std::int32_t* usageValue, PHIDP_PREPARSED_DATA preparsed, const void* report,
                                  std::uint32_t reportLength) {
    const ReportField* f = nullptr;
    std::uint32_t element = 0;
    NTSTATUS st = LocateValue(preparsed, type, usagePage, usage, report, reportLength, usageValue, &f, &element);
    if (st != HIDP_STATUS_SUCCESS) return st;
    const auto* bytes = static_cast<const std::uint8_t*>(report);
    if (f->logicalMin >= f->logicalMax || f->physicalMin >= f->physicalMax) return HIDP_STATUS_BAD_LOG_PHY_VALUES;
    std::uint32_t raw = f->Extract(bytes, reportLength, element);
    std::int64_t v = raw;
    if (f->logicalMin < 0 && f->bitSize < 32 && (raw & (1u << (f->bitSize - 1))))
        v = static_cast<std::int64_t>(raw) - (std::int64_t{1} << f->bitSize);
    else if (f->logicalMin < 0 && f->bitSize == 32)
        v = static_cast<std::int32_t>(raw);
    if (v < f->logicalMin || v > f->logicalMax) {
        *usageValue = 0;
        return (f->flags & 0x40) ? HIDP_STATUS_NULL : HIDP_STATUS_VALUE_OUT_OF_RANGE;
    }
    const std::int64_t lr = static_cast<std::int64_t>(f->logicalMax) - f->logicalMin;
    const std::int64_t pr = static_cast<std::int64_t>(f->physicalMax) - f->physicalMin;
    *usageValue = static_cast<std::int32_t>((v - f->logicalMin) * pr / lr + f->physicalMin);
    return HIDP_STATUS_SUCCESS;
}

}  // namespace win
