#include "platform/hid/hidp.h"
#include "tests/hid/hid_test_util.h"
#include "tools/devsim/products.h"

#include <gtest/gtest.h>

namespace tavrik::hid {
namespace {

using test::Bytes;
using test::PreparsedFor;

Bytes CommandInterfaceDescriptor() {
    return devsim::MakeDeviceDescription(devsim::ProductKind::KeyboardCable).interfaces[1].descriptor;
}

// Buttons 5..7 as three 1-bit fields, buttons 1..4 before them, report id 1.
const Bytes kButtons = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x19, 0x01, 0x29, 0x04,
                        0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x04, 0x81, 0x02, 0x19, 0x05,
                        0x29, 0x07, 0x95, 0x03, 0x81, 0x02, 0x95, 0x01, 0x81, 0x01, 0xC0};

// Values: X..Z (report 7) with logical -127..127 and physical 0..1000; a
// value without physical limits (report 8, usage 0x36) and one with null state.
const Bytes kValues = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x85, 0x07, 0x19, 0x30, 0x29, 0x32, 0x15, 0x81, 0x25,
                       0x7F, 0x35, 0x00, 0x46, 0xE8, 0x03, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0x85, 0x08, 0x35,
                       0x00, 0x45, 0x00, 0x09, 0x36, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x95, 0x01, 0x81, 0x02, 0x09,
                       0x37, 0x15, 0x01, 0x25, 0x0A, 0x35, 0x01, 0x45, 0x0A, 0x81, 0x42, 0xC0};

TEST(HidUsages, ConsumerEventCodeIsTheUsageOfTheArray) {
    auto p = PreparsedFor(CommandInterfaceDescriptor(), 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(win::HidP_MaxUsageListLength(win::HidP_Input, 0x0C, p->p), 1u);
    std::uint8_t report[3] = {0x03, 0x02, 0x10};  // event 0x1002
    win::USAGE usages[4] = {};
    std::uint32_t n = 4;
    ASSERT_EQ(win::HidP_GetUsages(win::HidP_Input, 0x0C, 0, usages, &n, p->p, report, 3), win::HIDP_STATUS_SUCCESS);
    ASSERT_EQ(n, 1u);
    EXPECT_EQ(usages[0], 0x1002);

    // Code 0 is "no usage".
    std::uint8_t empty[3] = {0x03, 0, 0};
    n = 4;
    ASSERT_EQ(win::HidP_GetUsages(win::HidP_Input, 0x0C, 0, usages, &n, p->p, empty, 3), win::HIDP_STATUS_SUCCESS);
    EXPECT_EQ(n, 0u);
}

TEST(HidUsages, StatusResults) {
    auto p = PreparsedFor(CommandInterfaceDescriptor(), 2);
    ASSERT_TRUE(p);
    win::USAGE usages[4] = {};
    std::uint32_t n = 4;
    std::uint8_t report[3] = {0x03, 0x05, 0x00};
    std::uint8_t otherId[3] = {0x04, 0x05, 0x00};
    struct Case {
        const char* name;
        win::USAGE page;
        const std::uint8_t* report;
        std::uint32_t length;
        win::NTSTATUS expected;
    } cases[] = {
        {"ok", 0x0C, report, 3, win::HIDP_STATUS_SUCCESS},
        {"short report", 0x0C, report, 2, win::HIDP_STATUS_INVALID_REPORT_LENGTH},
        {"long report", 0x0C, report, 4, win::HIDP_STATUS_INVALID_REPORT_LENGTH},
        {"other report id", 0x0C, otherId, 3, win::HIDP_STATUS_INCOMPATIBLE_REPORT_ID},
        {"page not in collection", 0x09, report, 3, win::HIDP_STATUS_USAGE_NOT_FOUND},
        {"no report", 0x0C, nullptr, 3, win::HIDP_STATUS_INVALID_REPORT_LENGTH},
    };
    for (const auto& c : cases) {
        n = 4;
        EXPECT_EQ(win::HidP_GetUsages(win::HidP_Input, c.page, 0, usages, &n, p->p, c.report, c.length), c.expected)
            << c.name;
    }
    n = 4;
    EXPECT_EQ(win::HidP_GetUsages(win::HidP_Input, 0x0C, 0, usages, &n, nullptr, report, 3),
              win::HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_EQ(win::HidP_GetUsages(static_cast<win::HIDP_REPORT_TYPE>(7), 0x0C, 0, usages, &n, p->p, report, 3),
              win::HIDP_STATUS_INVALID_REPORT_TYPE);
}

TEST(HidUsages, ButtonRangeKeepsOnlyItsOwnUsagesAndBufferTooSmall) {
    auto p = PreparsedFor(kButtons);
    ASSERT_TRUE(p);
    EXPECT_EQ(win::HidP_MaxUsageListLength(win::HidP_Input, 0x09, p->p), 7u);
    EXPECT_EQ(win::HidP_MaxUsageListLength(win::HidP_Input, 0x0C, p->p), 0u);
    // Buttons 3, 5 and 7 on: bits 2, 4 and 6 of the data byte.
    std::uint8_t report[2] = {0x01, 0x54};
    win::USAGE usages[8] = {};
    std::uint32_t n = 8;
    ASSERT_EQ(win::HidP_GetUsages(win::HidP_Input, 0x09, 0, usages, &n, p->p, report, 2), win::HIDP_STATUS_SUCCESS);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(usages[0], 3);
    EXPECT_EQ(usages[1], 5);
    EXPECT_EQ(usages[2], 7);

    // Only the button caps of 5..7 report them as a range.
    win::HIDP_BUTTON_CAPS caps[4];
    std::uint16_t count = 4;
    ASSERT_EQ(win::HidP_GetSpecificButtonCaps(win::HidP_Input, 0x09, 0, 6, caps, &count, p->p),
              win::HIDP_STATUS_SUCCESS);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(caps[0].Range.UsageMin, 5);
    EXPECT_EQ(caps[0].Range.UsageMax, 7);

    win::USAGE two[2] = {};
    n = 2;
    EXPECT_EQ(win::HidP_GetUsages(win::HidP_Input, 0x09, 0, two, &n, p->p, report, 2),
              win::HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(two[0], 3);
    EXPECT_EQ(two[1], 5);
}

TEST(HidUsages, RawAndScaledValues) {
    auto p = PreparsedFor(kValues);
    ASSERT_TRUE(p);
    std::uint8_t axes[4] = {0x07, 0x81, 0x00, 0x7F};  // X = -127, Y = 0, Z = 127
    std::uint32_t raw = 0;
    std::int32_t scaled = 0;
    const win::NTSTATUS ok = win::HIDP_STATUS_SUCCESS;
    const std::uint32_t length = 4;  // the longest input report of the collection
    ASSERT_EQ(win::HidP_GetUsageValue(win::HidP_Input, 0x01, 0, 0x30, &raw, p->p, axes, length), ok);
    EXPECT_EQ(raw, 0x81u);  // raw bits, not sign-extended
    ASSERT_EQ(win::HidP_GetScaledUsageValue(win::HidP_Input, 0x01, 0, 0x30, &scaled, p->p, axes, length), ok);
    EXPECT_EQ(scaled, 0);
    ASSERT_EQ(win::HidP_GetScaledUsageValue(win::HidP_Input, 0x01, 0, 0x31, &scaled, p->p, axes, length), ok);
    EXPECT_EQ(scaled, 500);
    ASSERT_EQ(win::HidP_GetScaledUsageValue(win::HidP_Input, 0x01, 0, 0x32, &scaled, p->p, axes, length), ok);
    EXPECT_EQ(scaled, 1000);

    // Report 8: usage 0x36 has no physical range, 0x37 has a null state.
    std::uint8_t other[4] = {0x08, 0x2A, 0x00, 0};
    ASSERT_EQ(win::HidP_GetUsageValue(win::HidP_Input, 0x01, 0, 0x36, &raw, p->p, other, length), ok);
    EXPECT_EQ(raw, 0x2Au);
    EXPECT_EQ(win::HidP_GetScaledUsageValue(win::HidP_Input, 0x01, 0, 0x36, &scaled, p->p, other, length),
              win::HIDP_STATUS_BAD_LOG_PHY_VALUES);
    EXPECT_EQ(win::HidP_GetScaledUsageValue(win::HidP_Input, 0x01, 0, 0x37, &scaled, p->p, other, length),
              win::HIDP_STATUS_NULL);

    EXPECT_EQ(win::HidP_GetUsageValue(win::HidP_Input, 0x01, 0, 0x36, &raw, p->p, axes, length),
              win::HIDP_STATUS_INCOMPATIBLE_REPORT_ID);
    EXPECT_EQ(win::HidP_GetUsageValue(win::HidP_Input, 0x01, 0, 0x40, &raw, p->p, axes, length),
              win::HIDP_STATUS_USAGE_NOT_FOUND);
    EXPECT_EQ(win::HidP_GetUsageValue(win::HidP_Input, 0x01, 0, 0x30, &raw, p->p, axes, 3),
              win::HIDP_STATUS_INVALID_REPORT_LENGTH);
}

TEST(HidUsages, SingleUsageOverManyBytesIsAValueArray) {
    auto p = PreparsedFor(CommandInterfaceDescriptor(), 3);
    ASSERT_TRUE(p);
    Bytes report(64, 0);
    report[0] = 4;
    std::uint32_t raw = 0;
    EXPECT_EQ(win::HidP_GetUsageValue(win::HidP_Input, 0xFF1C, 0, 0x01, &raw, p->p, report.data(), 64),
              win::HIDP_STATUS_IS_VALUE_ARRAY);
}

TEST(HidUsages, CapsQueriesFilterAndReportCounts) {
    auto p = PreparsedFor(kValues);
    ASSERT_TRUE(p);
    win::HIDP_CAPS caps;
    ASSERT_EQ(win::HidP_GetCaps(p->p, &caps), win::HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.NumberInputValueCaps, 3);
    EXPECT_EQ(caps.NumberInputButtonCaps, 0);
    std::vector<win::HIDP_VALUE_CAPS> values(caps.NumberInputValueCaps);
    std::uint16_t n = caps.NumberInputValueCaps;
    ASSERT_EQ(win::HidP_GetSpecificValueCaps(win::HidP_Input, 0, 0, 0, values.data(), &n, p->p),
              win::HIDP_STATUS_SUCCESS);
    EXPECT_EQ(n, 3);
    n = 1;
    EXPECT_EQ(win::HidP_GetSpecificValueCaps(win::HidP_Input, 0, 0, 0, values.data(), &n, p->p),
              win::HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(n, 1);
    n = 3;
    EXPECT_EQ(win::HidP_GetSpecificValueCaps(win::HidP_Input, 0x01, 0, 0x31, values.data(), &n, p->p),
              win::HIDP_STATUS_SUCCESS);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(values[0].Range.UsageMin, 0x30);
    n = 3;
    win::HIDP_BUTTON_CAPS buttons[1];
    EXPECT_EQ(win::HidP_GetSpecificButtonCaps(win::HidP_Input, 0, 0, 0, buttons, &n, p->p),
              win::HIDP_STATUS_USAGE_NOT_FOUND);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(win::HidP_GetCaps(nullptr, &caps), win::HIDP_STATUS_INVALID_PREPARSED_DATA);
}

}  // namespace
}  // namespace tavrik::hid
