// A second process for the cross-process tests of the OS layer.
//
//   os_test_peer id NAME...          prints the registered id of each name
//   os_test_peer instance LOCK MSG   takes the named lock; prints "first" and
//                                    holds it until stdin closes, or prints
//                                    "second" and broadcasts MSG (lParam 1)
//   os_test_peer serve TITLE         a reachable window titled TITLE; answers
//                                    WM_COPYDATA with code * 100000 + size
//                                    + first byte; ends when stdin closes
//   os_test_peer idle SOCKET COUNT   opens COUNT connections to SOCKET that
//                                    send nothing; prints "connected", then
//                                    for each line on stdin the number the
//                                    other side has closed; ends when stdin
//                                    closes

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <string>

#include "platform/files/folders.h"
#include "platform/os/instance_lock.h"
#include "platform/os/message_queue.h"
#include "platform/os/registered_message.h"
#include "platform/os/remote.h"

using namespace win;

namespace {

LRESULT ServeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        const auto first = data->cbData > 0 ? static_cast<const unsigned char*>(data->lpData)[0] : 0u;
        // In unsigned arithmetic: any code the sender picks must give a defined answer.
        return static_cast<LRESULT>(static_cast<ULONG_PTR>(data->dwData) * 100000u + data->cbData + first);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Runs the loop until stdin reaches its end.
void LoopUntilStdinCloses() {
    int source = AddMessageSource(0, [] {
        char buffer[64];
        if (::read(0, buffer, sizeof buffer) <= 0) {
            PostQuitMessage(0);
        }
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    RemoveMessageSource(source);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) {
        return 2;
    }
    std::string mode = argv[1];
    if (mode == "id") {
        for (int i = 2; i < argc; ++i) {
            std::printf("%u\n", RegisterWindowMessageW(FromUtf8(argv[i]).c_str()));
        }
        return 0;
    }
    if (mode == "instance" && argc == 4) {
        UINT activation = RegisterWindowMessageW(FromUtf8(argv[3]).c_str());
        HANDLE lock = CreateMutexW(nullptr, TRUE, FromUtf8(argv[2]).c_str());
        if (lock != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
            BroadcastSystemMessageW(BSF_POSTMESSAGE, nullptr, activation, 0, 1);
            std::printf("second\n");
            CloseHandle(lock);
            return 0;
        }
        std::printf("first\n");
        char buffer[64];
        while (::read(0, buffer, sizeof buffer) > 0) {
        }
        CloseHandle(lock);
        return 0;
    }
    if (mode == "serve" && argc == 3) {
        HWND hwnd = CreateWindowHandle(&ServeProc, FromUtf8(argv[2]).c_str());
        if (hwnd == nullptr || !MakeWindowReachable(hwnd, true)) {
            return 3;
        }
        std::printf("ready\n");
        LoopUntilStdinCloses();
        DestroyWindow(hwnd);
        return 0;
    }
    if (mode == "idle" && argc == 4) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, argv[2], sizeof address.sun_path - 1);
        std::vector<int> fds;
        for (int i = std::atoi(argv[3]); i > 0; --i) {
            int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
            if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
                return 3;
            }
            fds.push_back(fd);
        }
        std::printf("connected\n");
        // Each line on stdin asks how many the other side has closed by now.
        char buffer[64];
        while (::read(0, buffer, sizeof buffer) > 0) {
            int closed = 0;
            for (int fd : fds) {
                char byte;
                closed += ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0 ? 1 : 0;
            }
            std::printf("%d\n", closed);
        }
        for (int fd : fds) {
            ::close(fd);
        }
        return 0;
    }
    return 2;
}
