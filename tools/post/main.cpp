// tavrik-post: posts a registered (or numbered) message, or sends
// WM_COPYDATA, to a window of the user's session found by its title, or
// broadcasts a message to every reachable window.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/post/post_command.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(tavrik::post::Usage(), args.empty() ? stderr : stdout);
        return args.empty() ? 1 : 0;
    }
    std::string error;
    auto command = tavrik::post::ParseCommand(args, &error);
    if (!command) {
        std::fprintf(stderr, "tavrik-post: %s\n%s", error.c_str(), tavrik::post::Usage());
        return 1;
    }
    std::string out;
    int code = tavrik::post::RunCommand(*command, &out);
    std::fputs(out.c_str(), stdout);
    if (code == 2) {
        std::fprintf(stderr, "tavrik-post: no window titled that\n");
    } else if (code == 3) {
        std::fprintf(stderr, "tavrik-post: the message was not delivered\n");
    }
    return code;
}
