#pragma once

// Types and status values of the HID class interface as the program uses
// them. The numeric status values are the ones the program compares against.

#include <cstdint>

namespace win {

using NTSTATUS = std::int32_t;
using USAGE = std::uint16_t;

enum HIDP_REPORT_TYPE : int { HidP_Input = 0, HidP_Output = 1, HidP_Feature = 2 };

inline constexpr NTSTATUS HIDP_STATUS_SUCCESS = 0x00110000;
inline constexpr NTSTATUS HIDP_STATUS_NULL = static_cast<NTSTATUS>(0x80110001u);
inline constexpr NTSTATUS HIDP_STATUS_INVALID_PREPARSED_DATA = static_cast<NTSTATUS>(0xC0110001u);
inline constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_TYPE = static_cast<NTSTATUS>(0xC0110002u);
inline constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_LENGTH = static_cast<NTSTATUS>(0xC0110003u);
inline constexpr NTSTATUS HIDP_STATUS_USAGE_NOT_FOUND = static_cast<NTSTATUS>(0xC0110004u);
inline constexpr NTSTATUS HIDP_STATUS_VALUE_OUT_OF_RANGE = static_cast<NTSTATUS>(0xC0110005u);
inline constexpr NTSTATUS HIDP_STATUS_BAD_LOG_PHY_VALUES = static_cast<NTSTATUS>(0xC0110006u);
inline constexpr NTSTATUS HIDP_STATUS_BUFFER_TOO_SMALL = static_cast<NTSTATUS>(0xC0110007u);
inline constexpr NTSTATUS HIDP_STATUS_INTERNAL_ERROR = static_cast<NTSTATUS>(0xC0110008u);
inline constexpr NTSTATUS HIDP_STATUS_INCOMPATIBLE_REPORT_ID = static_cast<NTSTATUS>(0xC011000Au);
inline constexpr NTSTATUS HIDP_STATUS_IS_VALUE_ARRAY = static_cast<NTSTATUS>(0xC011000Cu);
inline constexpr NTSTATUS HIDP_STATUS_REPORT_DOES_NOT_EXIST = static_cast<NTSTATUS>(0xC0110010u);

struct HIDD_ATTRIBUTES {
    std::uint32_t Size = sizeof(HIDD_ATTRIBUTES);
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
};

// Capabilities of one top-level collection. Report byte lengths count the
// report id byte (byte 0, 0 when the collection has no report ids); a kind
// of report the collection does not have has length 0.
struct HIDP_CAPS {
    USAGE Usage = 0;
    USAGE UsagePage = 0;
    std::uint16_t InputReportByteLength = 0;
    std::uint16_t OutputReportByteLength = 0;
    std::uint16_t FeatureReportByteLength = 0;
    std::uint16_t Reserved[17] = {};
    std::uint16_t NumberLinkCollectionNodes = 0;
    std::uint16_t NumberInputButtonCaps = 0;
    std::uint16_t NumberInputValueCaps = 0;
    std::uint16_t NumberInputDataIndices = 0;
    std::uint16_t NumberOutputButtonCaps = 0;
    std::uint16_t NumberOutputValueCaps = 0;
    std::uint16_t NumberOutputDataIndices = 0;
    std::uint16_t NumberFeatureButtonCaps = 0;
    std::uint16_t NumberFeatureValueCaps = 0;
    std::uint16_t NumberFeatureDataIndices = 0;
};

struct HIDP_USAGE_RANGE {
    USAGE UsageMin = 0;
    USAGE UsageMax = 0;
    std::uint16_t StringMin = 0;
    std::uint16_t StringMax = 0;
    std::uint16_t DesignatorMin = 0;
    std::uint16_t DesignatorMax = 0;
    std::uint16_t DataIndexMin = 0;
    std::uint16_t DataIndexMax = 0;
};

struct HIDP_USAGE_SINGLE {
    USAGE Usage = 0;
    USAGE Reserved1 = 0;
    std::uint16_t StringIndex = 0;
    std::uint16_t Reserved2 = 0;
    std::uint16_t DesignatorIndex = 0;
    std::uint16_t Reserved3 = 0;
    std::uint16_t DataIndex = 0;
    std::uint16_t Reserved4 = 0;
};

// One button capability: a range of usages (IsRange) or one usage that are
// reported as on/off, either as 1-bit variable fields or as an array.
struct HIDP_BUTTON_CAPS {
    USAGE UsagePage = 0;
    std::uint8_t ReportID = 0;
    std::uint8_t IsAlias = 0;
    std::uint16_t BitField = 0;
    std::uint16_t LinkCollection = 0;
    USAGE LinkUsage = 0;
    USAGE LinkUsagePage = 0;
    std::uint8_t IsRange = 0;
    std::uint8_t IsStringRange = 0;
    std::uint8_t IsDesignatorRange = 0;
    std::uint8_t IsAbsolute = 0;
    std::uint16_t ReportCount = 0;
    union {
        HIDP_USAGE_RANGE Range;
        HIDP_USAGE_SINGLE NotRange;
    };
    HIDP_BUTTON_CAPS() : Range() {}
};

// One value capability: usages whose fields carry numbers.
struct HIDP_VALUE_CAPS {
    USAGE UsagePage = 0;
    std::uint8_t ReportID = 0;
    std::uint8_t IsAlias = 0;
    std::uint16_t BitField = 0;
    std::uint16_t LinkCollection = 0;
    USAGE LinkUsage = 0;
    USAGE LinkUsagePage = 0;
    std::uint8_t IsRange = 0;
    std::uint8_t IsStringRange = 0;
    std::uint8_t IsDesignatorRange = 0;
    std::uint8_t IsAbsolute = 0;
    std::uint8_t HasNull = 0;
    std::uint16_t BitSize = 0;
    std::uint16_t ReportCount = 0;
    std::uint32_t UnitsExp = 0;
    std::uint32_t Units = 0;
    std::int32_t LogicalMin = 0;
    std::int32_t LogicalMax = 0;
    std::int32_t PhysicalMin = 0;
    std::int32_t PhysicalMax = 0;
    union {
        HIDP_USAGE_RANGE Range;
        HIDP_USAGE_SINGLE NotRange;
    };
    HIDP_VALUE_CAPS() : Range() {}
};

// The parsed description of one top-level collection, owned by whoever
// obtained it from HidD_GetPreparsedData until HidD_FreePreparsedData.
struct HIDP_PREPARSED_DATA;
using PHIDP_PREPARSED_DATA = HIDP_PREPARSED_DATA*;

}  // namespace win
