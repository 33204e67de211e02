#pragma once

// Runs a program as a child process and collects what it printed and how it
// ended.

#include <filesystem>
#include <string>
#include <vector>

namespace tavrik::test {

struct ChildResult {
    std::string output;   // standard output
    bool exited = false;  // ended by exit()
    int exitCode = -1;
    bool signaled = false;  // ended by a signal
    int signal = 0;
};

ChildResult RunChild(const std::filesystem::path& program, const std::vector<std::string>& arguments);

}  // namespace tavrik::test
