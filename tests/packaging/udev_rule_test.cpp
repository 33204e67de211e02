// The installed device rule against the program's product table: the
// logged-in user gets the hidraw nodes of exactly the supported products,
// nothing wider (no mode or group for everyone, no other vendor or product).

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "link/hid_device_slot.h"

namespace {

struct Assignment {
    std::string key;
    std::string op;
    std::string value;
};

// One rule line as udev reads it: KEY OP "VALUE" entries separated by
// commas. Empty when the line is not well formed.
std::vector<Assignment> ParseRule(const std::string& line) {
    std::vector<Assignment> rule;
    size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    };
    for (;;) {
        skipBlanks();
        Assignment a;
        while (at < line.size() && line.find_first_of("=!+-:\" ,", at) != at) a.key += line[at++];
        for (const char* op : {"==", "!=", "+=", "-=", ":=", "="}) {
            if (line.compare(at, std::string(op).size(), op) == 0) {
                a.op = op;
                break;
            }
        }
        at += a.op.size();
        if (a.key.empty() || a.op.empty() || at >= line.size() || line[at] != '"') return {};
        const size_t close = line.find('"', at + 1);
        if (close == std::string::npos) return {};
        a.value = line.substr(at + 1, close - at - 1);
        at = close + 1;
        rule.push_back(a);
        skipBlanks();
        if (at == line.size()) return rule;
        if (line[at] != ',') return {};
        ++at;
    }
}

std::string Hex4(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

TEST(UdevRule, GivesTheLoggedInUserTheHidrawNodesOfExactlyTheSupportedProducts) {
    std::ifstream file(TAVRIK_UDEV_RULE);
    ASSERT_TRUE(file.is_open()) << TAVRIK_UDEV_RULE;
    std::multiset<std::pair<std::string, std::string>> ruled;
    int lineNumber = 0;
    for (std::string line; std::getline(file, line);) {
        ++lineNumber;
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#') {
            continue;
        }
        const std::vector<Assignment> rule = ParseRule(line);
        ASSERT_FALSE(rule.empty()) << "line " << lineNumber << " is not a rule: " << line;
        std::map<std::string, Assignment> byKey;
        for (const Assignment& a : rule) {
            EXPECT_TRUE(byKey.emplace(a.key, a).second) << "line " << lineNumber << " repeats " << a.key;
        }
        ASSERT_EQ(byKey.size(), 4u) << "line " << lineNumber << " has other keys than the four: " << line;
        EXPECT_EQ(byKey["SUBSYSTEM"].op, "==");
        EXPECT_EQ(byKey["SUBSYSTEM"].value, "hidraw");
        EXPECT_EQ(byKey["ATTRS{idVendor}"].op, "==");
        EXPECT_EQ(byKey["ATTRS{idProduct}"].op, "==");
        EXPECT_EQ(byKey["TAG"].op, "+=");
        EXPECT_EQ(byKey["TAG"].value, "uaccess");
        ruled.emplace(byKey["ATTRS{idVendor}"].value, byKey["ATTRS{idProduct}"].value);
    }

    // The table has two rows (collections) per product and connection mode,
    // and a headset row without ids.
    std::set<std::pair<std::string, std::string>> products;
    for (const HidDeviceSlot& row : SupportedDeviceTable) {
        if (row.vendorId != 0) products.emplace(Hex4(row.vendorId), Hex4(row.productId));
    }
    ASSERT_FALSE(products.empty());
    EXPECT_EQ(ruled.size(), std::set(ruled.begin(), ruled.end()).size()) << "a product is named twice";
    EXPECT_EQ(std::set(ruled.begin(), ruled.end()), products);
}

TEST(UdevRule, TheReaderRefusesWhatUdevWouldNotRead) {
    // The test above is only as strict as its reader.
    EXPECT_EQ(ParseRule(R"(SUBSYSTEM=="hidraw", TAG+="uaccess")").size(), 2u);
    for (const char* broken : {R"(SUBSYSTEM=="hidraw" TAG+="uaccess")", R"(SUBSYSTEM==hidraw)", R"(SUBSYSTEM=="hidraw)",
                               R"(=="hidraw")", R"(SUBSYSTEM=="hidraw",)"}) {
        EXPECT_TRUE(ParseRule(broken).empty()) << broken;
    }
}

}  // namespace
