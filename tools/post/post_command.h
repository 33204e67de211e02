#pragma once

// The command line of tavrik-post, parsed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::post {

struct PostCommand {
    std::wstring title;      // target window title; empty with broadcast
    bool broadcast = false;  // post to every reachable window
    std::wstring message;    // registered name or a number (decimal or 0x..)
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    bool send = false;      // wait for the result and print it
    bool copyData = false;  // send WM_COPYDATA
    std::uint64_t copyCode = 0;
    std::vector<unsigned char> data;
};

// Parses argv (without the program name). On failure returns nothing and
// puts the reason in error.
std::optional<PostCommand> ParseCommand(const std::vector<std::string>& args, std::string* error);

// Runs the command; returns the process exit code (0 delivered, 2 window not
// found, 3 delivery failed) and writes results to out.
int RunCommand(const PostCommand& command, std::string* out);

const char* Usage();

}  // namespace tavrik::post
