// One command transaction (a 64-byte request written, the matching reply
// read) against the emulator, in-process and over the emulator's socket.
// Goal: well under 1 ms, so a 20 ms lighting frame of several packets costs
// a small share of a core.

#include "platform/hid/hid_api.h"
#include "platform/hid/sim_socket_backend.h"
#include "platform/os/event.h"
#include "tools/devsim/devsim_server.h"
#include "tools/devsim/sim_fixture.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

using namespace tavrik;

void RunTransactions(benchmark::State& state, const std::wstring& path) {
    win::HANDLE h = win::CreateFileW(path.c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                     win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr, win::OPEN_EXISTING,
                                     win::FILE_FLAG_OVERLAPPED, nullptr);
    if (h == win::INVALID_HANDLE_VALUE) {
        state.SkipWithError("cannot open the command collection");
        return;
    }
    win::HANDLE cancel = win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr);
    std::vector<std::uint8_t> data(56, 0x42);
    const auto request = devsim::BuildCommandReport(0x12, 56, 0, data.data());
    std::vector<std::uint8_t> reply(64);
    for (auto _ : state) {
        win::DWORD n = 0;
        if (win::WriteReport(h, request.data(), 64, &n, 1000, cancel) != win::HidIoResult::Ok ||
            win::ReadReport(h, reply.data(), 64, &n, 1000, cancel) != win::HidIoResult::Ok || reply[3] != 0x12) {
            state.SkipWithError("transaction failed");
            break;
        }
    }
    win::CloseHandle(cancel);
    win::CloseHandle(h);
}

void BM_TransactionInProcess(benchmark::State& state) {
    devsim::SimFixture sim;
    auto& kb = sim.Plug(devsim::ProductKind::KeyboardCable);
    RunTransactions(state, kb.InterfacePath(devsim::kCommandCollection));
}
BENCHMARK(BM_TransactionInProcess);

void BM_TransactionOverSocket(benchmark::State& state) {
    // The emulator serves only from a folder nobody else may enter (0700).
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("tavrik-hid-bench-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::create_directory(dir, ec);
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec) {
        state.SkipWithError(("cannot make " + dir.string() + ": " + ec.message()).c_str());
        return;
    }
    struct RemoveDir {
        fs::path dir;
        ~RemoveDir() {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    } removeDir{dir};
    const std::string path = (dir / "devsim.sock").string();
    devsim::DevsimServer server(path);
    devsim::Emulator kb(devsim::ProductKind::KeyboardCable);
    kb.Plug(server);
    std::string error;
    if (!server.Start(&error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    hid::SetBackend(hid::MakeSimSocketBackend(path));
    RunTransactions(state, kb.InterfacePath(devsim::kCommandCollection));
    hid::SetBackend(nullptr);
}
BENCHMARK(BM_TransactionOverSocket);

}  // namespace
