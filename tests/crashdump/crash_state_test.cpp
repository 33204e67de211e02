// The dumper object and the library's exports, without crashing.

#include <gtest/gtest.h>

#include <string>

#include "crashdump/crash_dump.h"
#include "crashdump/crash_state.h"
#include "crashdump/mini_dump.h"

namespace {

TEST(CrashDumpTag, IsCutTo259CharactersAndNullChangesNothing) {
    corvane::CMiniDump dumper;
    dumper.SetTag(L"0104");
    EXPECT_EQ(std::wstring(corvane::CrashTag()), L"0104");
    dumper.SetTag(nullptr);
    EXPECT_EQ(std::wstring(corvane::CrashTag()), L"0104");
    std::wstring longTag(300, L'x');
    longTag[258] = L'y';
    dumper.SetTag(longTag.c_str());
    EXPECT_EQ(std::wstring(corvane::CrashTag()), longTag.substr(0, 259));
    corvane::ClearCrashTag();
    EXPECT_EQ(std::wstring(corvane::CrashTag()), L"");
}

TEST(CrashDumpExports, CreateAndFreeTheObject) {
    // Run under the address sanitizer: a leak or a bad delete fails here.
    corvane::ICrashDump* dumper = corvane::CreateCrashDump();
    ASSERT_NE(dumper, nullptr);
    corvane::ICrashDump* second = corvane::CreateCrashDump();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(dumper, second);
    corvane::FreeCrashDump(second);
    corvane::FreeCrashDump(dumper);
    corvane::FreeCrashDump(nullptr);
}

}  // namespace
