// Waits run on every pass of the light threads and on every read of the
// device listeners: they must not allocate. The replaced global allocation
// functions below count what the current thread allocates while a count is
// open; everything else passes straight through to malloc and free.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <new>

#include "platform/os/event.h"

namespace {

thread_local bool tCounting = false;
thread_local int tAllocations = 0;

void* Allocate(std::size_t n) {
    if (tCounting) ++tAllocations;
    return std::malloc(n ? n : 1);
}

}  // namespace

void* operator new(std::size_t n) {
    if (void* p = Allocate(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    if (void* p = Allocate(n)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using namespace win;

// Allocations the current thread makes while running body.
template <typename Body>
int AllocationsOf(Body body) {
    tAllocations = 0;
    tCounting = true;
    body();
    tCounting = false;
    return tAllocations;
}

TEST(EventAllocation, WaitsOnObjectsAndDescriptorsAllocateNothing) {
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE work = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(stop, nullptr);
    ASSERT_NE(work, nullptr);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const HANDLE both[] = {stop, work};
    const WaitDescriptor readable{pipeFds[0], false};

    struct Case {
        const char* name;
        DWORD expected;
        DWORD (*wait)(HANDLE stop, const HANDLE* both, const WaitDescriptor& d);
    };
    const Case cases[] = {
        {"one object, timed out", WAIT_TIMEOUT,
         [](HANDLE s, const HANDLE*, const WaitDescriptor&) { return WaitForSingleObject(s, 1); }},
        {"two objects, timed out", WAIT_TIMEOUT,
         [](HANDLE, const HANDLE* b, const WaitDescriptor&) { return WaitForMultipleObjects(2, b, FALSE, 1); }},
        {"all of two objects, timed out", WAIT_TIMEOUT,
         [](HANDLE, const HANDLE* b, const WaitDescriptor&) { return WaitForMultipleObjects(2, b, TRUE, 1); }},
        {"object and descriptor, timed out", WAIT_TIMEOUT,
         [](HANDLE s, const HANDLE*, const WaitDescriptor& d) {
             return WaitForObjectsAndDescriptors(1, &s, 1, &d, 1);
         }},
        {"auto-reset object set", WAIT_OBJECT_0 + 1,
         [](HANDLE, const HANDLE* b, const WaitDescriptor&) {
             SetEvent(b[1]);
             return WaitForMultipleObjects(2, b, FALSE, INFINITE);
         }},
    };
    for (const Case& c : cases) {
        DWORD result = WAIT_FAILED;
        EXPECT_EQ(AllocationsOf([&] { result = c.wait(stop, both, readable); }), 0) << c.name;
        EXPECT_EQ(result, c.expected) << c.name;
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    CloseHandle(work);
    CloseHandle(stop);
}

}  // namespace
