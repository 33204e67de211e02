#pragma once

// The HID parser calls: capabilities of a collection and usages decoded from
// its reports, with the status results the program compares against.

#include "platform/hid/hid_types.h"

#include <cstdint>

namespace win {

NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA preparsed, HIDP_CAPS* caps);

// Capabilities of one report kind, filtered by usage page, link collection
// and usage (0 matches any). On entry *length is the room in caps, on return
// the number written; HIDP_STATUS_USAGE_NOT_FOUND when nothing matches,
// HIDP_STATUS_BUFFER_TOO_SMALL when more matched than fitted.
NTSTATUS HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t linkCollection, USAGE usage,
                                    HIDP_BUTTON_CAPS* caps, std::uint16_t* length, PHIDP_PREPARSED_DATA preparsed);
NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t linkCollection, USAGE usage,
                                   HIDP_VALUE_CAPS* caps, std::uint16_t* length, PHIDP_PREPARSED_DATA preparsed);
NTSTATUS HidP_GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps, std::uint16_t* length,
                            PHIDP_PREPARSED_DATA preparsed);
NTSTATUS HidP_GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps, std::uint16_t* length,
                           PHIDP_PREPARSED_DATA preparsed);

// Largest number of usages HidP_GetUsages can return for a usage page
// (0: all pages); 0 when the page has no button usages or the data is invalid.
std::uint32_t HidP_MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE usagePage, PHIDP_PREPARSED_DATA preparsed);

// The usages of a page that are on in a report. On entry *usageLength is the
// room in usageList; on return the number of usages that are on (when that
// exceeds the room: HIDP_STATUS_BUFFER_TOO_SMALL, the list holds the first ones).
NTSTATUS HidP_GetUsages(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t linkCollection, USAGE* usageList,
                        std::uint32_t* usageLength, PHIDP_PREPARSED_DATA preparsed, const void* report,
                        std::uint32_t reportLength);

NTSTATUS HidP_GetUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t linkCollection, USAGE usage,
                            std::uint32_t* usageValue, PHIDP_PREPARSED_DATA preparsed, const void* report,
                            std::uint32_t reportLength);

// The value mapped from its logical range onto its physical range;
// HIDP_STATUS_BAD_LOG_PHY_VALUES when either range is empty or reversed.
NTSTATUS HidP_GetScaledUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage, std::uint16_t linkCollection, USAGE usage,
                                  std::int32_t* usageValue, PHIDP_PREPARSED_DATA preparsed, const void* report,
                                  std::uint32_t reportLength);

}  // namespace win
