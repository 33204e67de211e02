// End to end: the device selector holds one entry per attached device,
// whatever order the devices arrive in. The four emulated devices are
// plugged one after another into a running Tavrik, in each order of a
// table; then the strip (narrower than four entries) has exactly the four
// entries, and each device's page is reached through it: the arrows walk the
// entries in their order one by one.

#include <map>
#include <regex>
#include <set>

#include "tests/e2e/tavrik_session.h"

namespace tavrik::test {
namespace {

using namespace std::chrono_literals;

struct Kind {
    std::string product;  // the emulator's name
    std::string trace;    // the name the program's trace gives the device
    std::string page;
};

const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds = {{"keyboard", "keyboard", "keyboard_device_page"},
                                            {"mouse", "mouse", "mouse_device_page"},
                                            {"mousepad", "MousePad", "mousepad_device_page"},
                                            {"headset", "HD", "hs6533_device_page"}};
    return kinds;
}

const Kind& KindOf(const std::string& product) {
    for (const Kind& k : Kinds())
        if (k.product == product) return k;
    return Kinds().front();
}

class DeviceStripOrderTest : public TavrikSession, public ::testing::WithParamInterface<std::vector<std::string>> {
protected:
    size_t Count(const std::string& text) {
        const std::string log = Log("tavrik.log");
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    // The entries the program built, by the trace's name, in strip order.
    std::vector<std::string> BuiltEntries() {
        std::map<int, std::string> byIndex;
        const std::string log = Log("tavrik.log");
        static const std::regex built("panel: (\\S+) built as entry (\\d+)");
        for (std::sregex_iterator it(log.begin(), log.end(), built), end; it != end; ++it)
            byIndex[std::stoi((*it)[2])] = (*it)[1];
        std::vector<std::string> names;
        for (const auto& [index, name] : byIndex) names.push_back(name);
        return names;
    }

    // The emulator's answer (what it printed at its start may come before).
    static std::string LastLine(const std::vector<std::string>& answer) { return answer.empty() ? "" : answer.back(); }

    static std::string PageOfTrace(const std::string& trace) {
        for (const Kind& k : Kinds())
            if (k.trace == trace) return k.page;
        return {};
    }
};

TEST_P(DeviceStripOrderTest, TheSameEntriesEachReachable) {
    const std::vector<std::string>& order = GetParam();
    StartEmulator({"keyboard", "mouse", "mousepad", "headset"});
    // Nothing is attached when the program starts.
    for (const Kind& k : Kinds()) ASSERT_EQ(LastLine(EmulatorCommand("unplug " + k.product)), "ok");
    tavrik_ = StartTavrik("tavrik.log", {{"TAVRIK_HEADSET_IDS", kHeadsetIds}});
    ASSERT_TRUE(tavrik_->Started());
    ASSERT_NE(WaitForShownWindow(), 0u) << Log("tavrik.log");
    ASSERT_TRUE(WaitForControl("No_device_Link")) << Log("tavrik.log");

    // One device after another: each is attached before the next arrives.
    for (const std::string& product : order) {
        ASSERT_EQ(LastLine(EmulatorCommand("plug " + product)), "ok");
        ASSERT_TRUE(WaitForLogMatch("tavrik.log", "attach: slot \\d+ " + KindOf(product).trace + " wired", 30s))
            << product << " was not attached\n"
            << Log("tavrik.log");
    }

    // Exactly one entry of each kind.
    const std::vector<std::string> entries = BuiltEntries();
    const std::set<std::string> kinds(entries.begin(), entries.end());
    EXPECT_EQ(entries.size(), 4u) << Log("tavrik.log");
    EXPECT_EQ(kinds, (std::set<std::string>{"keyboard", "mouse", "MousePad", "HD"}));
    ASSERT_FALSE(HasFailure());
    // The strip cannot show them all at once.
    std::vector<ProbeControl> shown;
    ASSERT_TRUE(Poll(
        [&] {
            shown.clear();
            for (const ProbeControl& c : Probe())
                if (c.name == "device_select" && c.right - c.left >= 8) shown.push_back(c);
            return !shown.empty();
        },
        30s));
    EXPECT_LT(shown.size(), 4u) << "the strip is wide enough for all four; the test does not scroll it";

    // Each device is reached through the strip: from the first entry, the
    // next arrow walks the others in their order (bringing each into view),
    // and the previous arrow walks back.
    ASSERT_TRUE(ShowDevicePage(PageOfTrace(entries.front())));
    for (size_t i = 1; i < entries.size(); ++i) {
        ASSERT_TRUE(Click("device_select_next"));
        EXPECT_TRUE(Poll([&] { return ShownDevicePage() == PageOfTrace(entries[i]); }, 10s))
            << "next to entry " << i << " (" << entries[i] << ") shows " << ShownDevicePage();
    }
    for (size_t i = entries.size() - 1; i-- > 0;) {
        ASSERT_TRUE(Click("device_select_prev"));
        EXPECT_TRUE(Poll([&] { return ShownDevicePage() == PageOfTrace(entries[i]); }, 10s))
            << "back to entry " << i << " (" << entries[i] << ") shows " << ShownDevicePage();
    }
    if (HasFailure()) Screenshot("strip_order_walk");
}

INSTANTIATE_TEST_SUITE_P(AttachOrders, DeviceStripOrderTest,
                         ::testing::Values(std::vector<std::string>{"keyboard", "mouse", "mousepad", "headset"},
                                           std::vector<std::string>{"headset", "mousepad", "mouse", "keyboard"},
                                           std::vector<std::string>{"mousepad", "keyboard", "headset", "mouse"},
                                           std::vector<std::string>{"mouse", "headset", "keyboard", "mousepad"}),
                         [](const ::testing::TestParamInfo<std::vector<std::string>>& info) {
                             std::string name;
                             for (const std::string& product : info.param) name += (name.empty() ? "" : "_") + product;
                             return name;
                         });

}  // namespace
}  // namespace tavrik::test
