#include "crashdump/crash_state.h"

#include <atomic>
#include <string>

#include "crashdump/dump_file_name.h"
#include "crashdump/keyboard_api_version.h"
#include "platform/dump/minidump_writer.h"
#include "platform/dump/safe_clock.h"
#include "platform/dump/safe_file.h"
#include "platform/dump/safe_text.h"
#include "platform/files/folders.h"

namespace corvane {
namespace {

namespace dump = platform::dump;

constexpr std::size_t kTagCapacity = 260;
constexpr std::size_t kPathCapacity = 4096;
// The per-user settings folder's name under the local application-data
// folder (two blanks in the middle).
constexpr const wchar_t* kProductFolder = L"Halvord  Q580-RGB-PRO";
constexpr const wchar_t* kDumpFolderName = L"Error";
// Dump type: with the memory that the stacks point to; memory scan.
constexpr std::uint32_t kDumpType = win::MiniDumpWithIndirectlyReferencedMemory | win::MiniDumpScanMemory;

wchar_t g_versionTag[kTagCapacity];
const wchar_t* g_versionTagInUse = nullptr;
wchar_t g_tag[kTagCapacity];
std::atomic<DumpCallback> g_callback{nullptr};
// The filter that was in place when the dumper was switched on.
win::LPTOP_LEVEL_EXCEPTION_FILTER g_filterBefore = nullptr;

// What the crash handler needs, computed beforehand: a handler can neither
// allocate nor look up the time zone.
struct Prepared {
    char programName[kPathCapacity];
    char folder[kPathCapacity];
    char fallbackFolder[kPathCapacity];
    char versionTag[kTagCapacity * 4];
    long utcOffset;
};
Prepared g_prepared;

void CopyUtf8(const std::wstring& text, char* out, std::size_t capacity) {
    if (!dump::WideToUtf8(text.c_str(), out, capacity)) {
        out[0] = '\0';  // a cut path would name another place
    }
}

void CopyTag(const wchar_t* text, wchar_t* out) {
    std::size_t i = 0;
    for (; text[i] != L'\0' && i + 1 < kTagCapacity; ++i) {
        out[i] = text[i];
    }
    out[i] = L'\0';
}

}  // namespace

void PrepareCrashDump() {
    std::wstring program = win::GetProgramPath();
    std::wstring name;
    if (auto slash = program.rfind(L'/'); slash != std::wstring::npos) {
        name = program.substr(slash + 1);
    }
    CopyUtf8(name, g_prepared.programName, sizeof(g_prepared.programName));
    CopyUtf8(win::JoinPath(win::GetProgramFolder(), kDumpFolderName), g_prepared.folder, sizeof(g_prepared.folder));
    std::wstring userData = win::JoinPath(win::GetLocalAppDataFolder(), kProductFolder);
    CopyUtf8(win::JoinPath(userData, kDumpFolderName), g_prepared.fallbackFolder, sizeof(g_prepared.fallbackFolder));
    CopyUtf8(g_versionTagInUse != nullptr ? g_versionTagInUse : L"", g_prepared.versionTag,
             sizeof(g_prepared.versionTag));
    g_prepared.utcOffset = dump::CurrentUtcOffsetSeconds();
}

const char* DumpFolder() { return g_prepared.folder; }
const char* FallbackDumpFolder() { return g_prepared.fallbackFolder; }

win::LPTOP_LEVEL_EXCEPTION_FILTER EnableCrashFilter(bool enable) {
    if (enable) {
        PrepareCrashDump();
        win::LPTOP_LEVEL_EXCEPTION_FILTER previous = win::SetUnhandledExceptionFilter(&WriteCrashDump);
        if (previous != &WriteCrashDump) {
            g_filterBefore = previous;
        }
        return previous;
    }
    win::LPTOP_LEVEL_EXCEPTION_FILTER previous = win::SetUnhandledExceptionFilter(g_filterBefore);
    g_filterBefore = nullptr;
    return previous;
}

void SetCrashCallback(DumpCallback callback) { g_callback.store(callback); }

void SetCrashTag(const wchar_t* tag) {
    if (tag != nullptr) {
        CopyTag(tag, g_tag);
    }
}

void ClearCrashTag() { g_tag[0] = L'\0'; }

const wchar_t* CrashTag() { return g_tag; }

const wchar_t* GetKeyboardApiVersion() {
    if (g_versionTag[0] != L'\0') {
        return g_versionTag;
    }
    std::wstring library = win::JoinPath(win::GetProgramFolder(), kKeyboardApiFileName);
    CopyTag(ReadFourthProductVersion(library).c_str(), g_versionTag);
    return g_versionTag;
}

void UseVersionTag(const wchar_t* tag) { g_versionTagInUse = tag; }

long WriteCrashDump(win::EXCEPTION_POINTERS* exception) {
    // A fault while the dump is written must not come back here.
    win::SetUnhandledExceptionFilter(nullptr);

    static char path[kPathCapacity];
    dump::CivilTime now = dump::ClockNow(g_prepared.utcOffset);
    int fd = CreateDumpFile(g_prepared.folder, g_prepared.programName, now, g_prepared.versionTag, path, sizeof(path));
    if (fd < 0) {
        // An installed program's folder is usually not writable.
        fd = CreateDumpFile(g_prepared.fallbackFolder, g_prepared.programName, now, g_prepared.versionTag, path,
                            sizeof(path));
    }
    if (fd < 0) {
        return win::EXCEPTION_EXECUTE_HANDLER;
    }
    win::MINIDUMP_EXCEPTION_INFORMATION information;
    information.ThreadId = win::GetCurrentThreadIdForDump();
    information.ExceptionPointers = exception;
    information.ClientPointers = 0;
    bool written = win::MiniDumpWriteDump(fd, kDumpType, exception != nullptr ? &information : nullptr) != 0;
    if (DumpCallback callback = g_callback.load(); written && callback != nullptr) {
        static wchar_t widePath[kPathCapacity];
        dump::Utf8ToWide(path, widePath, kPathCapacity);
        callback(exception, widePath);
    }
    dump::CloseFile(fd);
    return win::EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace corvane
