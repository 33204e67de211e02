#pragma once

// Parser of HID report descriptors: splits a descriptor into its top-level
// application collections and lays out every report field, so that reports
// can be routed by report id and decoded into usages.

#include "platform/hid/hid_types.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace tavrik::hid {

// One usage or usage range of a main item, in declaration order.
struct UsageSpan {
    std::uint16_t page = 0;
    std::uint16_t min = 0;
    std::uint16_t max = 0;
    bool isRange = false;
    std::uint32_t Size() const { return static_cast<std::uint32_t>(max) - min + 1; }
};

// One main item (Input, Output or Feature) with data.
struct ReportField {
    win::HIDP_REPORT_TYPE kind = win::HidP_Input;
    std::uint8_t reportId = 0;
    std::uint32_t bitOffset = 0;  // from the start of the report buffer; byte 0 is the id
    std::uint16_t bitSize = 0;
    std::uint16_t count = 0;
    std::uint16_t flags = 0;  // the main item's data bits
    bool isArray = false;
    bool isButton = false;  // arrays and 1-bit variable fields
    std::int32_t logicalMin = 0;
    std::int32_t logicalMax = 0;
    std::int32_t physicalMin = 0;
    std::int32_t physicalMax = 0;
    std::uint32_t unit = 0;
    std::uint32_t unitExp = 0;
    std::vector<UsageSpan> usages;

    // The usage of element i of a variable field (the last usage repeats);
    // false when the field declares no usage.
    bool VariableUsage(std::uint32_t i, std::uint16_t* page, std::uint16_t* usage) const;
    // The usage an array element value selects; false for "no usage".
    bool ArrayUsage(std::int64_t value, std::uint16_t* page, std::uint16_t* usage) const;
    // Raw bits of element i of the field in a report (at most 32 bits).
    std::uint32_t Extract(const std::uint8_t* report, std::size_t length, std::uint32_t i) const;
};

// One top-level application collection, numbered from 1 in descriptor order.
struct TopCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t linkCollections = 1;          // this collection and the ones nested in it
    std::uint16_t reportLength[3] = {0, 0, 0};  // per HIDP_REPORT_TYPE, id byte included
    std::vector<std::uint8_t> reportIds[3];     // ids of each kind that belong here
    std::vector<ReportField> fields;
    std::vector<win::HIDP_BUTTON_CAPS> buttonCaps[3];
    std::vector<win::HIDP_VALUE_CAPS> valueCaps[3];

    bool HasReport(win::HIDP_REPORT_TYPE kind, std::uint8_t id) const;
    win::HIDP_CAPS Caps() const;
};

struct ReportDescriptor {
    bool usesReportIds = false;
    bool wellFormed = true;  // false when parsing stopped at a malformed item
    std::vector<TopCollection> collections;
    // Byte length (id byte included) of each report, by kind and id.
    std::map<std::pair<int, std::uint8_t>, std::uint16_t> reportBytes;

    // Index of the collection that owns a report, -1 when none does.
    int CollectionOfReport(win::HIDP_REPORT_TYPE kind, std::uint8_t id) const;
    std::uint16_t ReportBytes(win::HIDP_REPORT_TYPE kind, std::uint8_t id) const;
};

// Bounded: never reads outside the buffer, caps every count, and stops at the
// first malformed item with what was parsed so far.
ReportDescriptor ParseReportDescriptor(const std::uint8_t* data, std::size_t size);
inline ReportDescriptor ParseReportDescriptor(const std::vector<std::uint8_t>& d) {
    return ParseReportDescriptor(d.data(), d.size());
}

}  // namespace tavrik::hid
