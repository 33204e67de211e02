#include "tools/post/post_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/registered_message.h"

namespace {

using tavrik::post::ParseCommand;

TEST(PostCommand, ParsesTheThreeForms) {
    std::string error;
    auto post = ParseCommand(
        {"--title", "Halvord  Q580-RGB-PRO", "--message", "Game_Start", "--wparam", "0x10", "--lparam", "-1"}, &error);
    ASSERT_TRUE(post) << error;
    EXPECT_EQ(post->title, L"Halvord  Q580-RGB-PRO");
    EXPECT_EQ(post->message, L"Game_Start");
    EXPECT_EQ(post->wParam, 16u);
    EXPECT_EQ(post->lParam, -1);
    EXPECT_FALSE(post->send);

    auto broadcast = ParseCommand({"--broadcast", "--message", "0xD05"}, &error);
    ASSERT_TRUE(broadcast) << error;
    EXPECT_TRUE(broadcast->broadcast);

    auto copy = ParseCommand({"--title", "Vexmar", "--copydata", "5", "--data-hex", "00:01:fe"}, &error);
    ASSERT_TRUE(copy) << error;
    EXPECT_TRUE(copy->copyData);
    EXPECT_EQ(copy->copyCode, 5u);
    EXPECT_EQ(copy->data, (std::vector<unsigned char>{0, 1, 0xfe}));
}

TEST(PostCommand, RefusesBadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--message", "Game_Start"},                                        // no target
        {"--title", "x", "--broadcast", "--message", "Game_Start"},         // two targets
        {"--title", "x"},                                                   // no message
        {"--title", "x", "--message", "0x10000"},                           // not a message number
        {"--title", "x", "--message", "Game_Start", "--wparam", "-1"},      // negative wParam
        {"--title", "x", "--message", "Game_Start", "--wparam"},            // value missing
        {"--title", "x", "--message", "Game_Start", "--lparam", "1x"},      // junk after digits
        {"--title", "x", "--copydata", "1", "--data-hex", "abc"},           // odd hex
        {"--title", "x", "--copydata", "1", "--data", "a", "--data", "b"},  // data twice
        {"--broadcast", "--copydata", "1"},                                 // copy data is for one window
        {"--title", "x", "--message", "Game_Start", "--data", "a"},         // data without copydata
        {"--broadcast", "--message", "Game_Start", "--send"},               // send to everyone
        {"--title", "x", "--copydata", "1", "--data-file", "/nonexistent/file"},
        {"--title", "x", "--message", "Game_Start", "--bogus"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(ParseCommand(args, &error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
    }
    std::string error;
    std::string tooBig((64 * 1024) + 1, 'x');
    EXPECT_FALSE(ParseCommand({"--title", "x", "--copydata", "1", "--data", tooBig}, &error));
}

}  // namespace
