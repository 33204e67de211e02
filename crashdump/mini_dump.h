#pragma once

#include "crashdump/crash_dump.h"

namespace corvane {

// The dumper object. It holds nothing of its own: its operations act on the
// library's process-wide state.
class CMiniDump final : public ICrashDump {
public:
    CMiniDump() = default;
    ~CMiniDump() = default;

    win::LPTOP_LEVEL_EXCEPTION_FILTER Enable(int enable) override;
    void SetDumpCallback(DumpCallback callback) override;
    void SetTag(const wchar_t* tag) override;
};

}  // namespace corvane
