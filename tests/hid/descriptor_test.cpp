#include "platform/hid/report_descriptor.h"
#include "tests/hid/hid_test_util.h"
#include "tools/devsim/products.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tavrik::hid {
namespace {

using test::Bytes;

Bytes CommandInterfaceDescriptor(devsim::ProductKind kind) {
    auto description = devsim::MakeDeviceDescription(kind);
    for (const auto& itf : description.interfaces)
        if (itf.number == devsim::kCommandInterface) return itf.descriptor;
    return {};
}

// Consumer control without report ids: a 16-bit usage array.
const Bytes kConsumerNoIds = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x03, 0x19,
                              0x00, 0x2A, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x02, 0x81, 0x00, 0xC0};

// A joystick-like collection: buttons 1..8 and values X, Y, Z as one range.
const Bytes kAxes = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x85, 0x07, 0x05, 0x09, 0x19, 0x01, 0x29, 0x08, 0x15, 0x00,
                     0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x05, 0x01, 0x19, 0x30, 0x29, 0x32, 0x15, 0x81,
                     0x25, 0x7F, 0x35, 0x00, 0x46, 0xE8, 0x03, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0};

struct CollectionExpectation {
    std::uint16_t usagePage, usage;
    std::uint16_t input, output, feature;
};

struct DescriptorCase {
    const char* name;
    Bytes descriptor;
    bool usesIds;
    std::vector<CollectionExpectation> collections;
};

// Test names carry the case's name, not a dump of the bytes.
void PrintTo(const DescriptorCase& c, std::ostream* out) { *out << c.name; }

class DescriptorTable : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(DescriptorTable, CollectionsAndReportLengths) {
    const auto& c = GetParam();
    auto d = ParseReportDescriptor(c.descriptor);
    EXPECT_TRUE(d.wellFormed);
    EXPECT_EQ(d.usesReportIds, c.usesIds);
    ASSERT_EQ(d.collections.size(), c.collections.size());
    for (std::size_t i = 0; i < c.collections.size(); ++i) {
        SCOPED_TRACE(i);
        auto caps = d.collections[i].Caps();
        EXPECT_EQ(caps.UsagePage, c.collections[i].usagePage);
        EXPECT_EQ(caps.Usage, c.collections[i].usage);
        EXPECT_EQ(caps.InputReportByteLength, c.collections[i].input);
        EXPECT_EQ(caps.OutputReportByteLength, c.collections[i].output);
        EXPECT_EQ(caps.FeatureReportByteLength, c.collections[i].feature);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hid, DescriptorTable,
    ::testing::Values(
        DescriptorCase{
            "composite_keyboard",
            CommandInterfaceDescriptor(devsim::ProductKind::KeyboardCable),
            true,
            {{0x01, 0x06, 16, 0, 0}, {0x01, 0x80, 2, 0, 0}, {0x0C, 0x01, 3, 0, 0}, {0xFF1C, 0x92, 64, 64, 0}}},
        DescriptorCase{
            "composite_mouse",
            CommandInterfaceDescriptor(devsim::ProductKind::MouseReceiver),
            true,
            {{0x01, 0x02, 3, 0, 0}, {0x01, 0x80, 2, 0, 0}, {0x0C, 0x01, 3, 0, 0}, {0xFF1C, 0x92, 64, 64, 0}}},
        DescriptorCase{"boot_keyboard",
                       devsim::MakeDeviceDescription(devsim::ProductKind::KeyboardCable).interfaces[0].descriptor,
                       false,
                       {{0x01, 0x06, 9, 2, 0}}},
        DescriptorCase{"consumer_without_ids", kConsumerNoIds, false, {{0x0C, 0x01, 5, 0, 0}}},
        DescriptorCase{"axes", kAxes, true, {{0x01, 0x04, 5, 0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HidDescriptor, CapabilitiesOfTheCommandAndConsumerCollections) {
    auto d = ParseReportDescriptor(CommandInterfaceDescriptor(devsim::ProductKind::KeyboardCable));
    ASSERT_EQ(d.collections.size(), 4u);
    const auto& consumer = d.collections[2];
    ASSERT_EQ(consumer.buttonCaps[win::HidP_Input].size(), 1u);
    const auto& b = consumer.buttonCaps[win::HidP_Input][0];
    EXPECT_EQ(b.UsagePage, 0x0C);
    EXPECT_EQ(b.ReportID, 3);
    EXPECT_TRUE(b.IsRange);
    EXPECT_EQ(b.Range.UsageMin, 1);
    EXPECT_EQ(b.Range.UsageMax, 0xFFFF);
    EXPECT_TRUE(consumer.valueCaps[win::HidP_Input].empty());

    const auto& command = d.collections[3];
    ASSERT_EQ(command.valueCaps[win::HidP_Input].size(), 1u);
    ASSERT_EQ(command.valueCaps[win::HidP_Output].size(), 1u);
    const auto& v = command.valueCaps[win::HidP_Input][0];
    EXPECT_EQ(v.ReportID, 4);
    EXPECT_EQ(v.BitSize, 8);
    EXPECT_EQ(v.ReportCount, 63);
    EXPECT_FALSE(v.IsRange);
    EXPECT_EQ(v.NotRange.Usage, 1);
    EXPECT_EQ(d.CollectionOfReport(win::HidP_Input, 4), 3);
    EXPECT_EQ(d.CollectionOfReport(win::HidP_Input, 9), -1);
}

TEST(HidDescriptor, ValueRangeAndPhysicalLimits) {
    auto d = ParseReportDescriptor(kAxes);
    ASSERT_EQ(d.collections.size(), 1u);
    const auto& col = d.collections[0];
    ASSERT_EQ(col.valueCaps[win::HidP_Input].size(), 1u);
    const auto& v = col.valueCaps[win::HidP_Input][0];
    EXPECT_TRUE(v.IsRange);
    EXPECT_EQ(v.Range.UsageMin, 0x30);
    EXPECT_EQ(v.Range.UsageMax, 0x32);
    EXPECT_EQ(v.LogicalMin, -127);
    EXPECT_EQ(v.LogicalMax, 127);
    EXPECT_EQ(v.PhysicalMin, 0);
    EXPECT_EQ(v.PhysicalMax, 1000);
    EXPECT_EQ(v.ReportCount, 3);
    ASSERT_EQ(col.buttonCaps[win::HidP_Input].size(), 1u);
    EXPECT_EQ(col.buttonCaps[win::HidP_Input][0].Range.UsageMax, 8);
    EXPECT_EQ(col.Caps().NumberInputDataIndices, 11);
}

TEST(HidDescriptor, NestedCollectionsBelongToTheirTopLevelCollection) {
    // The boot mouse has a physical collection inside its application collection.
    auto description = devsim::MakeDeviceDescription(devsim::ProductKind::MouseCable);
    auto d = ParseReportDescriptor(description.interfaces[0].descriptor);
    ASSERT_EQ(d.collections.size(), 1u);
    EXPECT_EQ(d.collections[0].linkCollections, 2);
    EXPECT_EQ(d.collections[0].reportLength[win::HidP_Input], 1 + 1 + 4 + 1);
}

TEST(HidDescriptor, MalformedDescriptorsAreBounded) {
    const std::vector<Bytes> bad = {
        {0x05},              // item cut short
        {0xA1, 0x01, 0x09},  // collection never closed, usage cut short
        {0xC0, 0xC0},        // end without collection
        {0xB4},              // pop on an empty stack
        {0x85, 0x00},        // report id 0
        {0xFE, 0x10, 0x00},  // long item running past the end
        {0x05, 0x01, 0xA1, 0x01, 0x75, 0xFF, 0x97, 0xFF, 0xFF, 0x00, 0x00, 0x09, 0x01, 0x81, 0x02, 0xC0},  // huge count
    };
    for (const auto& b : bad) {
        auto d = ParseReportDescriptor(b);
        EXPECT_FALSE(d.wellFormed) << ::testing::PrintToString(b);
    }
    // Stack overflow by pushes and collection nesting.
    Bytes pushes(100, 0xA4);
    EXPECT_FALSE(ParseReportDescriptor(pushes).wellFormed);
    Bytes nest;
    for (int i = 0; i < 100; ++i) nest.insert(nest.end(), {0xA1, 0x00});
    EXPECT_FALSE(ParseReportDescriptor(nest).wellFormed);
    EXPECT_TRUE(ParseReportDescriptor(nullptr, 0).collections.empty());
}

TEST(HidDescriptor, PartOfAMalformedDescriptorBeforeTheFaultIsKept) {
    Bytes d = kConsumerNoIds;
    d.push_back(0x05);  // a trailing item cut short
    auto parsed = ParseReportDescriptor(d);
    EXPECT_FALSE(parsed.wellFormed);
    ASSERT_EQ(parsed.collections.size(), 1u);
    EXPECT_EQ(parsed.collections[0].reportLength[win::HidP_Input], 5);
}

}  // namespace
}  // namespace tavrik::hid
