#pragma once

#include "platform/hid/hid_api.h"
#include "platform/hid/preparsed_data.h"
#include "tests/support/wait_bound.h"
#include "tools/devsim/emulator.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrik::hid::test {

using Bytes = std::vector<std::uint8_t>;

// Closes the handle when it goes out of scope.
struct Handle {
    win::HANDLE h = win::INVALID_HANDLE_VALUE;
    Handle() = default;
    explicit Handle(win::HANDLE v) : h(v) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Reset() {
        if (Valid()) win::CloseHandle(h);
        h = win::INVALID_HANDLE_VALUE;
    }
    bool Valid() const { return h != win::INVALID_HANDLE_VALUE && h != nullptr; }
    operator win::HANDLE() const { return h; }
};

inline win::HANDLE Open(const std::wstring& path, win::DWORD access = win::GENERIC_READ | win::GENERIC_WRITE,
                        win::DWORD share = win::FILE_SHARE_READ | win::FILE_SHARE_WRITE) {
    return win::CreateFileW(path.c_str(), access, share, nullptr, win::OPEN_EXISTING, win::FILE_FLAG_OVERLAPPED,
                            nullptr);
}

// Owns a preparsed-data block.
struct Preparsed {
    win::PHIDP_PREPARSED_DATA p = nullptr;
    explicit Preparsed(win::PHIDP_PREPARSED_DATA v) : p(v) {}
    ~Preparsed() {
        if (p) win::HidD_FreePreparsedData(p);
    }
    Preparsed(const Preparsed&) = delete;
    Preparsed& operator=(const Preparsed&) = delete;
};

inline std::unique_ptr<Preparsed> PreparsedFor(const Bytes& descriptor, std::size_t collection = 0) {
    auto parsed = ParseReportDescriptor(descriptor);
    if (collection >= parsed.collections.size()) return nullptr;
    return std::make_unique<Preparsed>(
        MakePreparsedData(std::make_shared<const TopCollection>(parsed.collections[collection])));
}

// One command transaction: write the request, read the reply. The default
// bound is for a reply that comes; a test of a time-out gives its own.
inline win::HidIoResult Transact(win::HANDLE h, const Bytes& request, Bytes* reply,
                                 win::DWORD timeoutMs = tavrik::test::WaitBoundMs(1000)) {
    win::DWORD n = 0;
    auto r = win::WriteReport(h, request.data(), static_cast<win::DWORD>(request.size()), &n, timeoutMs, nullptr);
    if (r != win::HidIoResult::Ok) return r;
    reply->assign(64, 0);
    return win::ReadReport(h, reply->data(), 64, &n, timeoutMs, nullptr);
}

}  // namespace tavrik::hid::test
