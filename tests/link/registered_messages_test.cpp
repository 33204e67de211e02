#include "link/registered_messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "platform/os/messages.h"
#include "platform/os/registered_message.h"

namespace {

std::vector<win::UINT> IdsOfThisProcess() {
    std::vector<win::UINT> ids;
    for (int i = 0; i < kHookMessageCount; ++i) {
        ids.push_back(HookMessageId(i));
    }
    ids.push_back(RegisterActivationMessage());
    RegisterGuidMessages();
    for (const win::UINT id :
         {WM_UPDATER_PROGRESS, WM_LIGHTING_STATE, WM_LIGHTING_REQUEST, WM_VEXMAR_QUERY, WM_RGB_CHANNEL}) {
        ids.push_back(id);
    }
    return ids;
}

std::vector<win::UINT> IdsOfAnotherProcess() {
    std::vector<win::UINT> ids;
    FILE* pipe = popen(REGISTERED_MESSAGE_IDS_PROGRAM, "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start " << REGISTERED_MESSAGE_IDS_PROGRAM;
        return ids;
    }
    unsigned id = 0;
    while (std::fscanf(pipe, "%u", &id) == 1) {
        ids.push_back(id);
    }
    EXPECT_EQ(pclose(pipe), 0);
    return ids;
}

}  // namespace

TEST(RegisteredMessages, NamesInRegistrationOrder) {
    EXPECT_STREQ(kHookMessageNames[kHookKeySingleKey], L"WM_HOOK_KEY_SINGLEKEY_MSG");
    EXPECT_STREQ(kHookMessageNames[kHookKeyMsMacroLater], L"WM_HOOK_KEY_MSMACROLATER_MSG");
    EXPECT_STREQ(kHookMessageNames[kHookMouseMove], L"UWM_MOUSEMOVE_USER_MSG");
    EXPECT_STREQ(kHookMessageNames[kHookOnlyMessageCount], L"Game_Start");
    EXPECT_STREQ(kHookMessageNames[kGameDeath], L"Game_Death");
    std::set<std::wstring> distinct(kHookMessageNames, kHookMessageNames + kHookMessageCount);
    EXPECT_EQ(distinct.size(), 23u) << "one name is listed twice";
}

TEST(RegisteredMessages, EqualNamesGiveEqualIdsAndOthersDiffer) {
    EXPECT_EQ(HookMessageId(kHookMouseRButtonDown), HookMessageId(kHookMouseRButtonDownAgain));
    EXPECT_EQ(HookMessageId(kHookMouseRButtonDown), win::RegisterWindowMessageW(L"UWM_MOUSERBUTTONDOWN_USER_MSG"));
    EXPECT_EQ(HookMessageId(-1), 0u);
    EXPECT_EQ(HookMessageId(kHookMessageCount), 0u);

    const std::vector<win::UINT> ids = IdsOfThisProcess();
    std::set<win::UINT> distinct(ids.begin(), ids.end());
    EXPECT_EQ(distinct.size(), ids.size() - 1) << "only the repeated name shares an id";
    for (const win::UINT id : ids) {
        EXPECT_GE(id, static_cast<win::UINT>(win::REGISTERED_MESSAGE_FIRST));
        EXPECT_LE(id, static_cast<win::UINT>(win::REGISTERED_MESSAGE_LAST));
    }
    EXPECT_EQ(WM_ACTIVATE_INSTANCE, win::RegisterWindowMessageW(L"Halvord  Q580-RGB-PRO"));
    EXPECT_EQ(WM_RGB_CHANNEL, win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBE19}"));
    EXPECT_NE(WM_RGB_CHANNEL, win::RegisterWindowMessageW(L"{4695579F-999A-41d4-9FAF-EFFCE93EBF19}"));
}

// A second instance must get the same identifiers as the first, whichever of
// them registers a name first.
TEST(RegisteredMessages, AnotherProcessGetsTheSameIds) {
    const std::vector<win::UINT> before = IdsOfAnotherProcess();
    const std::vector<win::UINT> mine = IdsOfThisProcess();
    const std::vector<win::UINT> after = IdsOfAnotherProcess();
    ASSERT_EQ(mine.size(), static_cast<std::size_t>(kHookMessageCount + 6));
    EXPECT_EQ(before, mine);
    EXPECT_EQ(after, mine);
}
