#include "crashdump/mini_dump.h"

#include "crashdump/crash_state.h"

namespace corvane {

win::LPTOP_LEVEL_EXCEPTION_FILTER CMiniDump::Enable(int enable) { return EnableCrashFilter(enable != 0); }

void CMiniDump::SetDumpCallback(DumpCallback callback) { SetCrashCallback(callback); }

void CMiniDump::SetTag(const wchar_t* tag) { SetCrashTag(tag); }

}  // namespace corvane
