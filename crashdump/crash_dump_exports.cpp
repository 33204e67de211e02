#include <new>

#include "crashdump/crash_dump.h"
#include "crashdump/crash_state.h"
#include "crashdump/mini_dump.h"

namespace corvane {

ICrashDump* CreateCrashDump() {
    auto* dump = new (std::nothrow) CMiniDump();
    if (dump == nullptr) {
        return nullptr;
    }
    ClearCrashTag();
    UseVersionTag(GetKeyboardApiVersion());
    return dump;
}

void DoCashDump() {
    PrepareCrashDump();
    WriteCrashDump(nullptr);
}

void FreeCrashDump(ICrashDump* dump) { delete static_cast<CMiniDump*>(dump); }

}  // namespace corvane
