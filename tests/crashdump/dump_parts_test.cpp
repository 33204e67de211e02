// The signal-safe pieces the dump writer is built from.

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "platform/dump/process_maps.h"
#include "platform/dump/safe_clock.h"
#include "platform/dump/safe_text.h"
#include "platform/dump/thread_list.h"

namespace dump = platform::dump;

namespace {

TEST(ProcessMaps, JoinsTheMappingsOfOneFileIntoAModule) {
    static dump::ProcessMaps maps;  // large tables: not on the stack
    maps.Clear();
    const char* lines[] = {
        "55d4c8a00000-55d4c8a02000 r--p 00000000 08:01 1234   /opt/app/Tavrik",
        "55d4c8a02000-55d4c8a08000 r-xp 00002000 08:01 1234   /opt/app/Tavrik",
        "55d4c8a08000-55d4c8a09000 rw-p 00008000 08:01 1234   /opt/app/Tavrik",
        "55d4c8a09000-55d4c8a2a000 rw-p 00000000 00:00 0      [heap]",
        "7f0000000000-7f0000001000 ---p 00000000 00:00 0 ",
        "7f1000000000-7f1000028000 r--p 00000000 08:01 99     /usr/lib/x86_64-linux-gnu/libc.so.6",
        "7f1000028000-7f100019d000 r-xp 00028000 08:01 99     /usr/lib/x86_64-linux-gnu/libc.so.6",
        "7f2000000000-7f2000001000 r--p 00000000 08:01 1234   /opt/app/Tavrik",
        "7ffd0000-7ffd1000 rw-p 00000000 00:00 0 [stack]",
        "garbage line",
        "7f30-7f20 r--p 00000000 08:01 5 /reversed",
        "",
    };
    for (const char* line : lines) {
        maps.AddLine(line, std::strlen(line));
    }
    ASSERT_EQ(maps.ModuleCount(), 3u);
    EXPECT_STREQ(maps.ModuleAt(0).path, "/opt/app/Tavrik");
    EXPECT_EQ(maps.ModuleAt(0).base, 0x55d4c8a00000u);
    EXPECT_EQ(maps.ModuleAt(0).end, 0x55d4c8a09000u);
    EXPECT_STREQ(maps.ModuleAt(1).path, "/usr/lib/x86_64-linux-gnu/libc.so.6");
    EXPECT_EQ(maps.ModuleAt(1).end, 0x7f100019d000u);
    // The same file again, not adjacent: a module of its own.
    EXPECT_EQ(maps.ModuleAt(2).base, 0x7f2000000000u);

    EXPECT_EQ(maps.MappingCount(), 9u);
    const dump::Mapping* guard = maps.FindMapping(0x7f0000000800);
    ASSERT_NE(guard, nullptr);
    EXPECT_FALSE(guard->readable);
    EXPECT_TRUE(maps.FindMapping(0x7ffd0800)->readable);
    EXPECT_EQ(maps.FindMapping(0x10), nullptr);
}

TEST(ProcessMaps, ReadsTheRunningProcess) {
    static dump::ProcessMaps maps;
    ASSERT_TRUE(maps.Read());
    auto code = reinterpret_cast<std::uint64_t>(&std::strlen);
    bool found = false;
    for (std::size_t i = 0; i < maps.ModuleCount(); ++i) {
        found = found || (code >= maps.ModuleAt(i).base && code < maps.ModuleAt(i).end);
    }
    EXPECT_TRUE(found);
}

TEST(ThreadList, ParsesWhatTheKernelSaysOfABlockedThread) {
    struct Case {
        const char* text;
        bool ok;
        std::uint64_t sp;
        std::uint64_t pc;
    };
    const Case cases[] = {
        {"0 0x3 0x7ffd0 0x1 0x0 0x0 0x0 0x7ffc1234 0x7f00abcd\n", true, 0x7ffc1234, 0x7f00abcd},
        {"-1 0x7ffc0010 0x401000\n", true, 0x7ffc0010, 0x401000},
        {"running\n", false, 0, 0},
        {"", false, 0, 0},
        {"0 0x3 0x7ffd0 0x1 0x0 0x0 0x0 0x7ffc1234 0x7f00abcd 0x5\n", false, 0, 0},
        {"-1 0xzz 0x1\n", false, 0, 0},
    };
    for (const auto& c : cases) {
        std::uint64_t sp = 0, pc = 0;
        EXPECT_EQ(dump::ThreadList::ParseSyscallLine(c.text, std::strlen(c.text), &sp, &pc), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(sp, c.sp) << c.text;
            EXPECT_EQ(pc, c.pc) << c.text;
        }
    }
}

TEST(SafeClock, CalendarFieldsMatchTheCLibrary) {
    const long long samples[] = {
        0, 951782400 /* 2000-02-29 */, 951868800, 1704447015, 1709164800 /* 2024-02-29 */, 4102444799, -86400};
    for (long long seconds : samples) {
        std::time_t t = static_cast<std::time_t>(seconds);
        std::tm expected{};
        gmtime_r(&t, &expected);
        dump::CivilTime got = dump::CivilFromSeconds(seconds);
        EXPECT_EQ(got.year, expected.tm_year + 1900) << seconds;
        EXPECT_EQ(got.month, expected.tm_mon + 1) << seconds;
        EXPECT_EQ(got.day, expected.tm_mday) << seconds;
        EXPECT_EQ(got.hour, expected.tm_hour) << seconds;
        EXPECT_EQ(got.minute, expected.tm_min) << seconds;
        EXPECT_EQ(got.second, expected.tm_sec) << seconds;
    }
}

TEST(SafeClock, LocalTimeUsesTheOffsetTakenBeforehand) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    dump::CivilTime got = dump::ClockNow(dump::CurrentUtcOffsetSeconds());
    EXPECT_EQ(got.year, local.tm_year + 1900);
    EXPECT_EQ(got.day, local.tm_mday);
    EXPECT_EQ(got.hour, local.tm_hour);
}

TEST(SafeText, KeepsWhatFitsAndSaysWhenSomethingDidNot) {
    char buffer[12];
    dump::SafeText text(buffer, sizeof(buffer));
    text.Append("[").AppendDecimal(7, 4).Append("]");
    EXPECT_TRUE(text.Ok());
    EXPECT_STREQ(text.Text(), "[0007]");
    text.Append("123456789");
    EXPECT_FALSE(text.Ok());
    EXPECT_STREQ(text.Text(), "[0007]12345");
    EXPECT_EQ(text.Length(), 11u);
}

TEST(SafeText, ConvertsBetweenUtf8AndWideText) {
    wchar_t wide[16];
    EXPECT_EQ(dump::Utf8ToWide("a\xC3\xA9\xF0\x9F\x98\x80", wide, 16), 3u);
    EXPECT_EQ(std::wstring(wide), std::wstring(L"a\u00E9\U0001F600"));
    EXPECT_EQ(dump::Utf8ToWide("\xFFx", wide, 16), 2u);
    EXPECT_EQ(wide[0], 0xFFFD);
    EXPECT_EQ(dump::Utf8ToWide("abcdef", wide, 4), 3u);  // cut, still terminated
    EXPECT_EQ(std::wstring(wide), L"abc");

    char16_t units[4];
    EXPECT_EQ(dump::Utf8ToUtf16("\xF0\x9F\x98\x80", 4, units, 4), 2u);
    EXPECT_EQ(units[0], 0xD83D);
    EXPECT_EQ(units[1], 0xDE00);

    char utf8[8];
    EXPECT_TRUE(dump::WideToUtf8(L"\u00E9t\u00E9", utf8, sizeof(utf8)));
    EXPECT_STREQ(utf8, "\xC3\xA9t\xC3\xA9");
    EXPECT_FALSE(dump::WideToUtf8(L"0123456789", utf8, sizeof(utf8)));
}

}  // namespace
