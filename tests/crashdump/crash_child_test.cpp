// The crash-dump library in a real process: a child binds it, enables it and
// crashes; the dump it leaves is read back.

#include <gtest/gtest.h>
#include <signal.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dump/minidump_layout.h"
#include "tests/crashdump/child_process.h"
#include "tests/crashdump/minidump_reader.h"
#include "tests/support/temp_home.h"

namespace fs = std::filesystem;
namespace layout = platform::dump::layout;

namespace {

std::string LocalStamp(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof(text), "%Y%m%d%H%M%S", &local);
    return text;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The value after `key` on the first output line that starts with it.
std::string OutputValue(const std::string& output, const std::string& key) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + " ", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class CrashChildTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = dir_.Path() / "program";
        fs::create_directories(program_);
        fs::copy_file(CRASH_CHILD_PATH, program_ / "crash_child");
        fs::copy_file(CRASHDUMP_LIBRARY_PATH, program_ / fs::path(CRASHDUMP_LIBRARY_PATH).filename());
        std::ofstream(program_ / "CorvaneKeyboardAPI.dll") << "library";
        std::ofstream(program_ / "CorvaneKeyboardAPI.dll.version") << "FileVersion=1.2.3.4\nProductVersion=1.2.3.45\n";
    }

    tavrik::test::ChildResult Run(const std::string& mode) {
        before_ = std::time(nullptr);
        auto result = tavrik::test::RunChild(program_ / "crash_child", {mode});
        after_ = std::time(nullptr);
        return result;
    }

    fs::path ErrorFolder() const { return program_ / "Error"; }
    fs::path FallbackFolder() const { return home_.DataHome() / "Halvord  Q580-RGB-PRO" / "Error"; }

    // The one dump in `folder`, checked against the naming rule.
    fs::path SingleDump(const fs::path& folder, const std::string& tag = "45") {
        auto files = FilesIn(folder);
        EXPECT_EQ(files.size(), 1u) << folder;
        if (files.size() != 1) {
            return {};
        }
        std::smatch match;
        std::string name = files[0].filename().string();
        std::regex rule(R"(\[crash_child\]\[(\d{14})\]\[)" + tag + R"(\]\.dmp)");
        EXPECT_TRUE(std::regex_match(name, match, rule)) << name;
        if (match.size() == 2) {
            EXPECT_GE(match[1].str(), LocalStamp(before_)) << name;
            EXPECT_LE(match[1].str(), LocalStamp(after_)) << name;
        }
        return files[0];
    }

    tavrik::test::Minidump Read(const fs::path& file) {
        std::string error;
        auto dump = tavrik::test::ReadMinidump(file, &error);
        EXPECT_TRUE(dump.has_value()) << error;
        return dump.value_or(tavrik::test::Minidump{});
    }

    tavrik::test::TempHome home_;
    tavrik::test::TempDir dir_{"crashdump-program"};
    fs::path program_;
    std::time_t before_ = 0;
    std::time_t after_ = 0;
};

struct CrashCase {
    const char* mode;
    int signal;
    int code;                // the signal's si_code
    const char* moduleTail;  // file whose code faulted
};

void PrintTo(const CrashCase& c, std::ostream* out) { *out << c.mode; }

class CrashKindTest : public CrashChildTest, public ::testing::WithParamInterface<CrashCase> {};

TEST_P(CrashKindTest, LeavesOneNamedDumpAndEndsBySignal) {
    const CrashCase& c = GetParam();
    auto result = Run(c.mode);
    ASSERT_TRUE(result.signaled) << result.output;
    EXPECT_EQ(result.signal, c.signal);

    fs::path file = SingleDump(ErrorFolder());
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(OutputValue(result.output, "DUMP"), file.string());
    auto dump = Read(file);

    ASSERT_TRUE(dump.systemInfo.has_value());
    EXPECT_EQ(dump.systemInfo->architecture, layout::kArchitectureAmd64);
    EXPECT_EQ(dump.systemInfo->platform, layout::kPlatformLinux);
    EXPECT_GE(dump.systemInfo->processors, 1u);
    ASSERT_TRUE(dump.processId.has_value());

    ASSERT_TRUE(dump.exception.has_value());
    EXPECT_EQ(dump.exception->code, static_cast<std::uint32_t>(c.signal));
    EXPECT_EQ(static_cast<int>(dump.exception->flags), c.code);
    EXPECT_EQ(std::to_string(dump.exception->threadId), OutputValue(result.output, "READY"));
    if (c.signal == SIGSEGV) {
        EXPECT_EQ(dump.exception->address, 0u);  // the null pointer written through
    }

    // The faulting thread: full context, its instruction pointer in the code
    // that crashed, its stack kept from the stack pointer on.
    const auto* thread = dump.Thread(dump.exception->threadId);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->context.instructionPointer, dump.exception->context.instructionPointer);
    EXPECT_EQ(thread->context.flags & 0x0010000F, 0x0010000Fu);
    const auto* module = dump.ModuleContaining(thread->context.instructionPointer);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(module->name.find(c.moduleTail), std::string::npos) << module->name;
    EXPECT_GT(thread->stackSize, 0u);
    EXPECT_LE(thread->stackStart, thread->context.stackPointer);
    EXPECT_GT(thread->stackStart + thread->stackSize, thread->context.stackPointer);
    EXPECT_TRUE(dump.Memory(thread->context.stackPointer, 64).has_value());

    // The helper thread blocked in read(): the kernel told where.
    ASSERT_GE(dump.threads.size(), 2u);
    bool helperSeen = false;
    for (const auto& t : dump.threads) {
        if (t.id != thread->id && t.context.flags != 0 && t.stackSize > 0 &&
            dump.ModuleContaining(t.context.instructionPointer) != nullptr) {
            helperSeen = true;
        }
    }
    EXPECT_TRUE(helperSeen);

    bool libraryListed = false;
    for (const auto& m : dump.modules) {
        libraryListed = libraryListed || EndsWith(m.name, "/libcvn_CrashDump.so");
    }
    EXPECT_TRUE(libraryListed);
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashKindTest,
                         ::testing::Values(CrashCase{"null", SIGSEGV, SEGV_MAPERR, "/crash_child"},
                                           CrashCase{"divide", SIGFPE, FPE_INTDIV, "/crash_child"},
                                           CrashCase{"abort", SIGABRT, SI_TKILL, "/libc.so"}),
                         [](const auto& info) { return std::string(info.param.mode); });

TEST_F(CrashChildTest, DisabledDumperLeavesNoDumpAndTheDefaultActionHappens) {
    for (auto [mode, signal] : {std::pair{"disabled", SIGSEGV}, std::pair{"disabled-abort", SIGABRT}}) {
        auto result = Run(mode);
        EXPECT_TRUE(result.signaled) << mode;
        EXPECT_EQ(result.signal, signal) << mode;
        EXPECT_EQ(OutputValue(result.output, "DUMP"), "") << mode;
        EXPECT_FALSE(fs::exists(ErrorFolder())) << mode;
        EXPECT_FALSE(fs::exists(FallbackFolder())) << mode;
    }
}

TEST_F(CrashChildTest, DisablingPutsBackTheHandlerThatWasThereBefore) {
    auto result = Run("own-handler");
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 42);
    EXPECT_FALSE(fs::exists(ErrorFolder()));
}

TEST_F(CrashChildTest, TwoThreadsCrashingTogetherLeaveOneDump) {
    auto result = Run("two-threads");
    ASSERT_TRUE(result.signaled);
    EXPECT_EQ(result.signal, SIGSEGV);
    fs::path file = SingleDump(ErrorFolder());
    ASSERT_FALSE(file.empty());
    auto dump = Read(file);
    ASSERT_TRUE(dump.exception.has_value());
    EXPECT_EQ(dump.exception->code, static_cast<std::uint32_t>(SIGSEGV));
}

TEST_F(CrashChildTest, StackOverflowIsDumpedFromTheAlternateStack) {
    auto result = Run("overflow");
    ASSERT_TRUE(result.signaled);
    EXPECT_EQ(result.signal, SIGSEGV);
    fs::path file = SingleDump(ErrorFolder());
    ASSERT_FALSE(file.empty());
    auto dump = Read(file);
    ASSERT_TRUE(dump.exception.has_value());
    const auto* thread = dump.Thread(dump.exception->threadId);
    ASSERT_NE(thread, nullptr);
    const auto* module = dump.ModuleContaining(thread->context.instructionPointer);
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(EndsWith(module->name, "/crash_child")) << module->name;
    // The deepest frames, just above the exhausted end of the stack.
    EXPECT_GT(thread->stackSize, 0u);
    EXPECT_GE(thread->stackStart + 64 * 1024, thread->context.stackPointer);
}

TEST_F(CrashChildTest, StackOverflowOnAnotherThreadIsDumpedToo) {
    auto result = Run("thread-overflow");
    ASSERT_TRUE(result.signaled) << result.output;
    EXPECT_EQ(result.signal, SIGSEGV);
    fs::path file = SingleDump(ErrorFolder());
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(OutputValue(result.output, "DUMP"), file.string());
    auto dump = Read(file);
    ASSERT_TRUE(dump.exception.has_value());
    EXPECT_EQ(std::to_string(dump.exception->threadId), OutputValue(result.output, "READY"));
    const auto* thread = dump.Thread(dump.exception->threadId);
    ASSERT_NE(thread, nullptr);
    const auto* module = dump.ModuleContaining(thread->context.instructionPointer);
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(EndsWith(module->name, "/crash_child")) << module->name;
}

TEST_F(CrashChildTest, UnwritableProgramFolderSendsTheDumpToTheUserFolder) {
    // A file where the folder should be: it cannot be created, even by root.
    std::ofstream(ErrorFolder()) << "not a folder";
    auto result = Run("null");
    ASSERT_TRUE(result.signaled);
    EXPECT_EQ(result.signal, SIGSEGV);
    fs::path file = SingleDump(FallbackFolder());
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(OutputValue(result.output, "DUMP"), file.string());
    EXPECT_TRUE(Read(file).exception.has_value());
}

TEST_F(CrashChildTest, WithNowhereToWriteTheProcessStillEndsBySignal) {
    std::ofstream(ErrorFolder()) << "not a folder";
    fs::create_directories(FallbackFolder().parent_path().parent_path());
    std::ofstream(FallbackFolder().parent_path()) << "not a folder either";
    auto result = Run("null");
    ASSERT_TRUE(result.signaled);
    EXPECT_EQ(result.signal, SIGSEGV);
    EXPECT_EQ(OutputValue(result.output, "DUMP"), "");
    EXPECT_TRUE(fs::is_regular_file(ErrorFolder()));
    EXPECT_TRUE(fs::is_regular_file(FallbackFolder().parent_path()));
}

TEST_F(CrashChildTest, DumpInATakenSecondGetsASuffixAndKeepsTheEarlierOne) {
    // The names the child could choose in the next seconds are taken.
    fs::create_directories(ErrorFolder());
    std::time_t now = std::time(nullptr);
    for (std::time_t t = now - 1; t <= now + 10; ++t) {
        std::ofstream(ErrorFolder() / ("[crash_child][" + LocalStamp(t) + "][45].dmp")) << "earlier";
    }
    auto result = Run("null");
    ASSERT_TRUE(result.signaled);
    std::string path = OutputValue(result.output, "DUMP");
    ASSERT_TRUE(EndsWith(path, "][45]_2.dmp")) << path;
    EXPECT_TRUE(Read(path).exception.has_value());
    int earlier = 0;
    for (const auto& file : FilesIn(ErrorFolder())) {
        if (file.string() != path) {
            std::ifstream in(file);
            std::string content;
            std::getline(in, content);
            EXPECT_EQ(content, "earlier") << file;
            ++earlier;
        }
    }
    EXPECT_EQ(earlier, 12);
}

TEST_F(CrashChildTest, WithoutTheKeyboardApiVersionTheTagIsEmpty) {
    fs::remove(program_ / "CorvaneKeyboardAPI.dll.version");
    auto result = Run("null");
    ASSERT_TRUE(result.signaled);
    EXPECT_FALSE(SingleDump(ErrorFolder(), "").empty());
}

TEST_F(CrashChildTest, DumpOnRequestHasNoExceptionAndTakesTheFilterAway) {
    auto result = Run("dump-now");
    // The later fault finds no filter: default action, no second dump.
    ASSERT_TRUE(result.signaled);
    EXPECT_EQ(result.signal, SIGSEGV);
    EXPECT_EQ(OutputValue(result.output, "DUMP"), "");
    fs::path file = SingleDump(ErrorFolder());
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(OutputValue(result.output, "DUMP-NOW"), file.string());
    auto dump = Read(file);
    EXPECT_FALSE(dump.exception.has_value());
    EXPECT_EQ(std::count(dump.streamTypes.begin(), dump.streamTypes.end(), layout::kExceptionStream), 0);
    // The asking thread is first, its context taken inside the library.
    ASSERT_FALSE(dump.threads.empty());
    const auto* module = dump.ModuleContaining(dump.threads[0].context.instructionPointer);
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(EndsWith(module->name, "/libcvn_CrashDump.so")) << module->name;
}

TEST_F(CrashChildTest, FreeingTheObjectKeepsTheFilterAndCallback) {
    auto result = Run("freed");
    ASSERT_TRUE(result.signaled);
    EXPECT_EQ(result.signal, SIGSEGV);
    fs::path file = SingleDump(ErrorFolder());
    EXPECT_EQ(OutputValue(result.output, "DUMP"), file.string());
}

}  // namespace
