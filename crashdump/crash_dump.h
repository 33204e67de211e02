#pragma once

// cvn_CrashDump: the shared library through which the program writes a
// minidump when it crashes.
//
// The program creates one dumper at start (CreateCrashDump), switches it on
// (Enable(TRUE)), gives it its tag, and at exit switches it off and frees it
// (FreeCrashDump). While it is on, a crash writes
//     <program folder>/Error/[<program file name>][YYYYMMDDhhmmss][<version tag>].dmp
// where the version tag is the fourth product-version number of the
// keyboard-API library "CorvaneKeyboardAPI.dll" beside the program (empty
// when it has none), and the process then ends by its signal. When that
// folder cannot be created or written, the dump goes to "Error" in the
// per-user settings folder. A second dump within the same second gets "_2",
// "_3", ... before ".dmp" instead of overwriting the first.
//
// All state is process-wide: every dumper object shares the filter, the tag
// and the callback.

#include "platform/dump/exception_filter.h"

#if defined(CVN_CRASHDUMP_BUILD)
#define CVN_CRASHDUMP_API __attribute__((visibility("default")))
#else
#define CVN_CRASHDUMP_API
#endif

namespace corvane {

// Called after a dump was written, inside the crash handler (so it may use
// only async-signal-safe calls): the fault's information (null for a dump
// that DoCashDump asked for) and the dump file's path.
using DumpCallback = void (*)(win::EXCEPTION_POINTERS* exception, const wchar_t* dumpFile);

class ICrashDump {
public:
    // Nonzero: the dumper becomes the process's crash filter. Zero: the
    // filter that was in place before the dumper was enabled comes back
    // (none when there was none). Returns the filter that was in place.
    virtual win::LPTOP_LEVEL_EXCEPTION_FILTER Enable(int enable) = 0;
    // Stores the callback; null clears it.
    virtual void SetDumpCallback(DumpCallback callback) = 0;
    // Stores the tag, cut to 259 characters; null changes nothing. The tag
    // is not part of the dump's name.
    virtual void SetTag(const wchar_t* tag) = 0;

protected:
    ~ICrashDump() = default;
};

// A new dumper, or null when it cannot be allocated. Clears the tag and reads
// the keyboard-API library's version once per process.
CVN_CRASHDUMP_API ICrashDump* CreateCrashDump();
// Writes a dump of the running process now, without exception information.
// Like a crash, it takes the crash filter away.
CVN_CRASHDUMP_API void DoCashDump();
// Deletes the dumper; null does nothing. The filter, tag and callback stay.
CVN_CRASHDUMP_API void FreeCrashDump(ICrashDump* dump);

}  // namespace corvane
