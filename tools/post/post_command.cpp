#include "tools/post/post_command.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/files/folders.h"
#include "platform/os/message_queue.h"
#include "platform/os/registered_message.h"
#include "platform/os/remote.h"
#include "platform/os/window.h"

namespace tavrik::post {
namespace {

bool ParseUnsigned(const std::string& text, std::uint64_t* value) {
    if (text.empty() || text[0] == '-') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0') {
        return false;
    }
    *value = v;
    return true;
}

bool ParseSigned(const std::string& text, std::int64_t* value) {
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || text.empty() || end == text.c_str() || *end != '\0') {
        return false;
    }
    *value = v;
    return true;
}

bool ParseHex(const std::string& text, std::vector<unsigned char>* out) {
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == ':') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        digits.push_back(c);
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < digits.size(); i += 2) {
        out->push_back(static_cast<unsigned char>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return true;
}

win::UINT MessageId(const std::wstring& message) {
    std::uint64_t number = 0;
    if (ParseUnsigned(win::ToUtf8(message), &number)) {
        return number <= 0xFFFF ? static_cast<win::UINT>(number) : 0;
    }
    return win::RegisterWindowMessageW(message.c_str());
}

}  // namespace

const char* Usage() {
    return "usage:\n"
           "  tavrik-post --title TITLE --message NAME|NUMBER [--wparam N] [--lparam N] [--send]\n"
           "  tavrik-post --broadcast --message NAME|NUMBER [--wparam N] [--lparam N]\n"
           "  tavrik-post --title TITLE --copydata CODE [--data TEXT | --data-hex HEX | --data-file PATH]"
           " [--wparam N]\n"
           "NAME is a registered message name; NUMBER is decimal or 0x-hex.\n"
           "Exit status: 0 delivered, 1 usage, 2 no such window, 3 not delivered.\n";
}

std::optional<PostCommand> ParseCommand(const std::vector<std::string>& args, std::string* error) {
    PostCommand command;
    bool haveData = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto next = [&](std::string* value) {
            if (i + 1 >= args.size()) {
                *error = arg + " needs a value";
                return false;
            }
            *value = args[++i];
            return true;
        };
        std::string value;
        if (arg == "--title") {
            if (!next(&value)) return std::nullopt;
            command.title = win::FromUtf8(value);
        } else if (arg == "--broadcast") {
            command.broadcast = true;
        } else if (arg == "--message") {
            if (!next(&value)) return std::nullopt;
            command.message = win::FromUtf8(value);
        } else if (arg == "--wparam") {
            if (!next(&value)) return std::nullopt;
            if (!ParseUnsigned(value, &command.wParam)) {
                *error = "bad --wparam: " + value;
                return std::nullopt;
            }
        } else if (arg == "--lparam") {
            if (!next(&value)) return std::nullopt;
            if (!ParseSigned(value, &command.lParam)) {
                *error = "bad --lparam: " + value;
                return std::nullopt;
            }
        } else if (arg == "--send") {
            command.send = true;
        } else if (arg == "--copydata") {
            if (!next(&value)) return std::nullopt;
            if (!ParseUnsigned(value, &command.copyCode)) {
                *error = "bad --copydata code: " + value;
                return std::nullopt;
            }
            command.copyData = true;
        } else if (arg == "--data" || arg == "--data-hex" || arg == "--data-file") {
            if (!next(&value)) return std::nullopt;
            if (haveData) {
                *error = "give the data once";
                return std::nullopt;
            }
            haveData = true;
            if (arg == "--data") {
                command.data.assign(value.begin(), value.end());
            } else if (arg == "--data-hex") {
                if (!ParseHex(value, &command.data)) {
                    *error = "bad --data-hex";
                    return std::nullopt;
                }
            } else {
                std::ifstream in(value, std::ios::binary);
                if (!in) {
                    *error = "cannot read " + value;
                    return std::nullopt;
                }
                command.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        } else {
            *error = "unknown argument: " + arg;
            return std::nullopt;
        }
    }
    if (command.broadcast == !command.title.empty()) {
        *error = "give either --title or --broadcast";
        return std::nullopt;
    }
    if (command.copyData) {
        if (command.broadcast || !command.message.empty()) {
            *error = "--copydata goes to one window by --title, without --message";
            return std::nullopt;
        }
        if (command.data.size() > win::kMaxCopyDataBytes) {
            *error = "data larger than " + std::to_string(win::kMaxCopyDataBytes) + " bytes";
            return std::nullopt;
        }
    } else {
        if (command.message.empty()) {
            *error = "--message is missing";
            return std::nullopt;
        }
        if (haveData) {
            *error = "data goes with --copydata only";
            return std::nullopt;
        }
        if (command.send && command.broadcast) {
            *error = "--send goes to one window";
            return std::nullopt;
        }
        if (MessageId(command.message) == 0) {
            *error = "bad message";
            return std::nullopt;
        }
    }
    return command;
}

int RunCommand(const PostCommand& command, std::string* out) {
    if (command.broadcast) {
        win::UINT id = MessageId(command.message);
        win::BroadcastSystemMessageW(win::BSF_POSTMESSAGE | win::BSF_IGNORECURRENTTASK, nullptr, id,
                                     static_cast<win::WPARAM>(command.wParam),
                                     static_cast<win::LPARAM>(command.lParam));
        return 0;
    }
    win::HWND target = win::FindWindowW(nullptr, command.title.c_str());
    if (target == nullptr) {
        return 2;
    }
    if (command.copyData) {
        win::COPYDATASTRUCT data;
        data.dwData = static_cast<win::ULONG_PTR>(command.copyCode);
        data.cbData = static_cast<win::DWORD>(command.data.size());
        data.lpData = command.data.empty() ? nullptr : const_cast<unsigned char*>(command.data.data());
        win::DWORD_PTR result = 0;
        if (!win::SendMessageTimeoutW(target, win::WM_COPYDATA, static_cast<win::WPARAM>(command.wParam),
                                      reinterpret_cast<win::LPARAM>(&data), win::SMTO_NORMAL, win::kRemoteSendTimeoutMs,
                                      &result)) {
            return 3;
        }
        *out = std::to_string(static_cast<long long>(static_cast<win::LRESULT>(result))) + "\n";
        return 0;
    }
    win::UINT id = MessageId(command.message);
    if (command.send) {
        win::DWORD_PTR result = 0;
        if (!win::SendMessageTimeoutW(target, id, static_cast<win::WPARAM>(command.wParam),
                                      static_cast<win::LPARAM>(command.lParam), win::SMTO_NORMAL,
                                      win::kRemoteSendTimeoutMs, &result)) {
            return 3;
        }
        *out = std::to_string(static_cast<long long>(static_cast<win::LRESULT>(result))) + "\n";
        return 0;
    }
    return win::PostMessageW(target, id, static_cast<win::WPARAM>(command.wParam),
                             static_cast<win::LPARAM>(command.lParam))
               ? 0
               : 3;
}

}  // namespace tavrik::post
