// The minidump writer in the test process itself: a dump on request, read
// back and compared with what the process knows about itself.

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "platform/dump/minidump_layout.h"
#include "platform/dump/minidump_writer.h"
#include "platform/dump/safe_file.h"
#include "tests/crashdump/minidump_reader.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;
namespace layout = platform::dump::layout;

namespace {

constexpr std::uint64_t kStackMarker = 0x5AFE57AC4D0E1234ull;
constexpr std::uint8_t kHeapMarker[8] = {'h', 'e', 'a', 'p', 'm', 'a', 'r', 'k'};

// A thread that waits in read() until the test lets it go.
class BlockedThread {
public:
    BlockedThread() {
        EXPECT_EQ(::pipe(pipe_), 0);
        thread_ = std::thread([this] {
            id_.store(static_cast<std::uint32_t>(::syscall(SYS_gettid)));
            char c;
            [[maybe_unused]] ssize_t n = ::read(pipe_[0], &c, 1);
        });
        while (id_.load() == 0) {
            std::this_thread::yield();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ~BlockedThread() {
        [[maybe_unused]] ssize_t n = ::write(pipe_[1], "x", 1);
        thread_.join();
        ::close(pipe_[0]);
        ::close(pipe_[1]);
    }
    std::uint32_t Id() const { return id_.load(); }

private:
    int pipe_[2] = {-1, -1};
    std::atomic<std::uint32_t> id_{0};
    std::thread thread_;
};

// Keeps a marker in a stack slot and a pointer to a heap marker on the stack
// while the dump is written. Not instrumented, so that the locals live on
// the real stack.
__attribute__((noinline, no_sanitize("address"))) int WriteWithMarkers(int fd, std::uint32_t type,
                                                                       const std::uint8_t* heap) {
    volatile std::uint64_t marker = kStackMarker;
    const std::uint8_t* volatile pointer = heap;
    int ok = win::MiniDumpWriteDump(fd, type, nullptr);
    // Read both back so that neither slot can be optimised away.
    return marker == kStackMarker && pointer == heap ? ok : -1;
}

tavrik::test::Minidump WriteAndRead(const fs::path& file, std::uint32_t type, const std::uint8_t* heap) {
    int fd = -1;
    EXPECT_EQ(platform::dump::CreateNewFile(file.c_str(), &fd), platform::dump::NewFileResult::Created);
    EXPECT_EQ(WriteWithMarkers(fd, type, heap), 1);
    platform::dump::CloseFile(fd);
    std::string error;
    auto dump = tavrik::test::ReadMinidump(file, &error);
    EXPECT_TRUE(dump.has_value()) << error;
    return dump.value_or(tavrik::test::Minidump{});
}

bool Contains(const std::vector<std::uint8_t>& bytes, const void* pattern, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(pattern);
    return std::search(bytes.begin(), bytes.end(), p, p + size) != bytes.end();
}

TEST(MinidumpWriter, DumpOfTheRunningProcessDescribesIt) {
    tavrik::test::TempDir dir;
    BlockedThread blocked;
    auto heap = std::make_unique<std::uint8_t[]>(64);
    std::memcpy(heap.get(), kHeapMarker, sizeof(kHeapMarker));
    auto dump = WriteAndRead(dir.Path() / "now.dmp", win::MiniDumpWithIndirectlyReferencedMemory, heap.get());

    EXPECT_EQ(dump.flags, win::MiniDumpWithIndirectlyReferencedMemory);
    EXPECT_FALSE(dump.exception.has_value());
    ASSERT_TRUE(dump.processId.has_value());
    EXPECT_EQ(*dump.processId, static_cast<std::uint32_t>(::getpid()));

    // This thread first, with all registers taken in the writer (this program).
    ASSERT_FALSE(dump.threads.empty());
    const auto& self = dump.threads[0];
    EXPECT_EQ(self.id, static_cast<std::uint32_t>(::syscall(SYS_gettid)));
    EXPECT_EQ(self.context.flags & 0x00100003, 0x00100003u);
    const auto* module = dump.ModuleContaining(self.context.instructionPointer);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(fs::path(module->name), fs::canonical("/proc/self/exe"));

    // The stack is really there: the marker the caller keeps in a local.
    auto stack = dump.Memory(self.stackStart, self.stackSize);
    ASSERT_TRUE(stack.has_value());
    EXPECT_TRUE(Contains(*stack, &kStackMarker, sizeof(kStackMarker)));
    // And the memory the stack points to.
    auto pointed = dump.Memory(reinterpret_cast<std::uint64_t>(heap.get()), sizeof(kHeapMarker));
    ASSERT_TRUE(pointed.has_value());
    EXPECT_TRUE(Contains(*pointed, kHeapMarker, sizeof(kHeapMarker)));

    // The blocked thread: stack and instruction pointer from the kernel.
    const auto* other = dump.Thread(blocked.Id());
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->context.flags, layout::amd64::kFlagsControl);
    EXPECT_NE(dump.ModuleContaining(other->context.instructionPointer), nullptr);
    EXPECT_GT(other->stackSize, 0u);
    EXPECT_TRUE(dump.Memory(other->context.stackPointer, 8).has_value());
}

TEST(MinidumpWriter, NormalDumpKeepsOnlyTheStacks) {
    tavrik::test::TempDir dir;
    auto heap = std::make_unique<std::uint8_t[]>(64);
    std::memcpy(heap.get(), kHeapMarker, sizeof(kHeapMarker));
    auto dump = WriteAndRead(dir.Path() / "normal.dmp", win::MiniDumpNormal, heap.get());
    EXPECT_FALSE(dump.Memory(reinterpret_cast<std::uint64_t>(heap.get()), sizeof(kHeapMarker)).has_value());
    ASSERT_FALSE(dump.threads.empty());
    EXPECT_EQ(dump.memory.size(), [&] {
        std::size_t stacks = 0;
        for (const auto& t : dump.threads) {
            stacks += t.stackSize > 0 ? 1 : 0;
        }
        return stacks;
    }());
}

TEST(MinidumpWriter, ModuleListNamesTheMappedFiles) {
    tavrik::test::TempDir dir;
    auto dump = WriteAndRead(dir.Path() / "modules.dmp", win::MiniDumpNormal, nullptr);
    auto self = reinterpret_cast<std::uint64_t>(&WriteAndRead);
    auto libc = reinterpret_cast<std::uint64_t>(&::getpid);
    const auto* exe = dump.ModuleContaining(self);
    const auto* c = dump.ModuleContaining(libc);
    ASSERT_NE(exe, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(fs::path(exe->name), fs::canonical("/proc/self/exe"));
    EXPECT_NE(c->name.find("libc"), std::string::npos) << c->name;
    for (const auto& m : dump.modules) {
        EXPECT_GT(m.size, 0u);
        EXPECT_EQ(m.name.front(), '/');
    }
}

TEST(MinidumpWriter, RejectsAFileThatIsNotOpen) {
    EXPECT_EQ(win::MiniDumpWriteDump(-1, win::MiniDumpNormal, nullptr), 0);
}

TEST(MinidumpReader, RejectsDamagedFiles) {
    tavrik::test::TempDir dir;
    auto dump = WriteAndRead(dir.Path() / "whole.dmp", win::MiniDumpNormal, nullptr);
    ASSERT_FALSE(dump.bytes.empty());
    std::string error;
    auto cut = dump.bytes;
    cut.resize(cut.size() / 2);
    EXPECT_FALSE(tavrik::test::ParseMinidump(cut, &error).has_value());
    auto wrongSignature = dump.bytes;
    wrongSignature[0] ^= 0xFF;
    EXPECT_FALSE(tavrik::test::ParseMinidump(wrongSignature, &error).has_value());
    EXPECT_FALSE(tavrik::test::ParseMinidump({}, &error).has_value());
}

}  // namespace
