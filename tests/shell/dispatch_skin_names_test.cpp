// Every control name that the main window's click, selection, value and
// focus tables route is shown by some skin: a name that no skin defines is a
// command the user can never give. The few names that no skin needs are
// listed below with their reason.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "platform/files/folders.h"
#include "platform/files/utf8.h"
#include "shell/main/dispatch_rows.h"
#include "tests/shell/dispatch_fixture.h"

namespace dispatchtest {
namespace {

namespace fs = std::filesystem;

// The names that no skin file defines, and why none has to.
const std::map<std::string, std::string> kNoSkinControl = {
    {"macro_action", "a row of the macro editor's step list, built by the page for each step"},
    {"macro_delay", "the delay edit inside a step row of the macro editor, built with the row"},
    {"frame_option_", "the screen editor's frame strip, one option built per frame"},
    {"device_key_light",
     "the rubber-band panel of a keyboard with a single key picture; this keyboard's "
     "pictures are keyboard_device_key_light_0..2, and the selection's operation "
     "changes nothing on a keyboard"},
    {"R_light_slider", "the colour sliders of a lighting panel that no page of the supported products has"},
    {"G_light_slider", "the colour sliders of a lighting panel that no page of the supported products has"},
    {"B_light_slider", "the colour sliders of a lighting panel that no page of the supported products has"},
    {"plenta_DPI_slider_", "the DPI pair of a mouse dialog that no supported mouse shows"},
    {"plenta_DPI_edit_", "the DPI pair of a mouse dialog that no supported mouse shows"},
};

// The notifications whose handlers walk name tables.
const char* const kTypes[] = {"click",    "selectchanged", "valuechanged", "movevaluechanged", "killfocus",
                              "setfocus", "itemselect",    "itemactivate", "colorchanged",     "click_select_end"};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Every name="..." of every skin file of the built program, in lower case.
std::set<std::string> SkinControlNames() {
    std::set<std::string> names;
    const std::regex nameAttribute(R"re(\bname="([^"]+)")re");
    const fs::path folder = win::ToFsPath(mainwndtest::BuiltProgramFolder() + L"skin");
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".xml") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string xml = text.str();
        for (auto it = std::sregex_iterator(xml.begin(), xml.end(), nameAttribute); it != std::sregex_iterator(); ++it)
            names.insert(Lower((*it)[1].str()));
    }
    return names;
}

// A family is shown when a skin names a member: the prefix and a number.
bool Shown(const std::set<std::string>& skin, const std::string& name, bool family) {
    const std::string lower = Lower(name);
    if (!family) return skin.count(lower) != 0;
    for (auto it = skin.lower_bound(lower); it != skin.end() && it->starts_with(lower); ++it) {
        const std::string rest = it->substr(lower.size());
        if (!rest.empty() && std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return true;
    }
    return false;
}

struct TableName {
    std::string type;
    bool family;
};
std::map<std::string, TableName>* listed = nullptr;
std::string listedType;
size_t listenedTo = 0;

void Listen(const wchar_t* name, bool family) {
    ++listenedTo;
    listed->emplace(win::ToUtf8(name), TableName{listedType, family});
}

TEST_F(DispatchTest, EveryRoutedControlNameIsShownBySomeSkin) {
    std::map<std::string, TableName> names;
    listed = &names;
    dispatch::SetTableListener(&Listen);
    for (const char* type : kTypes) {
        listedType = type;
        const size_t before = listenedTo;
        // A name no table has: every table of the type is walked, none acts.
        Send(win::FromUtf8(type), L"no_control_has_this_name");
        EXPECT_GT(listenedTo, before) << "no table of \"" << type << "\" was walked";
    }
    dispatch::SetTableListener(nullptr);
    listed = nullptr;
    EXPECT_TRUE(wnd_->calls.empty());

    const std::set<std::string> skin = SkinControlNames();
    ASSERT_FALSE(skin.empty());
    std::set<std::string> allowedSeen;
    for (const auto& [name, where] : names) {
        if (Shown(skin, name, where.family)) {
            EXPECT_EQ(kNoSkinControl.count(name), 0u) << name << " is shown by a skin: take it off the list";
            continue;
        }
        if (kNoSkinControl.count(name) != 0) {
            allowedSeen.insert(name);
            continue;
        }
        ADD_FAILURE() << "\"" << where.type << "\" routes " << (where.family ? "the family " : "") << name
                      << ", but no skin shows such a control";
    }
    for (const auto& [name, reason] : kNoSkinControl)
        EXPECT_EQ(allowedSeen.count(name), 1u) << name << " is no longer routed: take it off the list";
}

}  // namespace
}  // namespace dispatchtest
