#include "platform/dump/minidump_writer.h"

#include <cpuid.h>
#include <sched.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/dump/cpu_context.h"
#include "platform/dump/minidump_layout.h"
#include "platform/dump/process_maps.h"
#include "platform/dump/safe_text.h"
#include "platform/dump/thread_list.h"

namespace win {
namespace {

namespace dump = platform::dump;
namespace layout = platform::dump::layout;

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the dump is written in host byte order");

// Stack memory kept per thread, from the stack pointer towards the stack's
// base (where the older frames are).
constexpr std::uint64_t kMaxStackBytes = 256 * 1024;
// Bytes below the stack pointer that a leaf function may still use.
constexpr std::uint64_t kRedZone = 128;
// How far above an unmapped stack pointer the stack may be looked for.
constexpr std::uint64_t kOverflowReach = 64 * 1024;
// Memory kept around an address found on the crashing thread's stack.
constexpr std::uint64_t kIndirectBefore = 256;
constexpr std::uint64_t kIndirectAfter = 256;
constexpr std::size_t kMaxMemoryRanges = 2048;
constexpr std::size_t kMaxIndirectRanges = 512;

// Little-endian record assembled in place before it is written.
template <std::size_t N>
struct Record {
    std::uint8_t bytes[N] = {};
    void U16(std::size_t offset, std::uint16_t v) { std::memcpy(bytes + offset, &v, 2); }
    void U32(std::size_t offset, std::uint32_t v) { std::memcpy(bytes + offset, &v, 4); }
    void U64(std::size_t offset, std::uint64_t v) { std::memcpy(bytes + offset, &v, 8); }
};

// Places data in the file: every piece gets its offset ("RVA") when it is
// appended; fixed tables are reserved first and filled in later.
class Sink {
public:
    explicit Sink(int fd) : fd_(fd) {}

    bool Ok() const { return ok_; }

    std::uint32_t Reserve(std::uint64_t size) {
        std::uint64_t rva = end_;
        end_ = (end_ + size + 7) & ~std::uint64_t{7};
        if (end_ > 0xFFFFFFFFull) {
            ok_ = false;
        }
        return static_cast<std::uint32_t>(rva);
    }

    void WriteAt(std::uint32_t rva, const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        std::uint64_t offset = rva;
        while (size > 0 && ok_) {
            long n = ::syscall(SYS_pwrite64, fd_, p, size, offset);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ok_ = false;
                break;
            }
            p += n;
            offset += static_cast<std::uint64_t>(n);
            size -= static_cast<std::size_t>(n);
        }
    }

    std::uint32_t Append(const void* data, std::size_t size) {
        std::uint32_t rva = Reserve(size);
        WriteAt(rva, data, size);
        return rva;
    }

    // Copies process memory into the file. The kernel reads it, so an
    // unreadable page fails the write (EFAULT) instead of faulting; such
    // pages are written as zeros.
    std::uint32_t AppendMemory(std::uint64_t address, std::uint64_t size) {
        static const std::uint8_t kZeros[4096] = {};
        std::uint32_t rva = Reserve(size);
        std::uint64_t done = 0;
        while (done < size && ok_) {
            std::uint64_t here = address + done;
            std::uint64_t chunk = 4096 - (here & 4095);
            if (chunk > size - done) {
                chunk = size - done;
            }
            long n = ::syscall(SYS_pwrite64, fd_, reinterpret_cast<const void*>(here), chunk,
                               static_cast<std::uint64_t>(rva) + done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                if (errno != EFAULT) {
                    ok_ = false;
                    break;
                }
                WriteAt(static_cast<std::uint32_t>(rva + done), kZeros, chunk);
                n = static_cast<long>(chunk);
            }
            done += static_cast<std::uint64_t>(n);
        }
        return rva;
    }

    // A length-prefixed UTF-16 string, zero-terminated.
    std::uint32_t AppendString(const char* utf8, std::size_t length) {
        static char16_t units[4096 + 2];
        std::size_t count = dump::Utf8ToUtf16(utf8, length, units, 4096);
        units[count] = 0;
        std::uint32_t bytes = static_cast<std::uint32_t>(count * 2);
        std::uint32_t rva = Reserve(4 + bytes + 2);
        WriteAt(rva, &bytes, 4);
        WriteAt(rva + 4, units, bytes + 2);
        return rva;
    }

private:
    int fd_;
    std::uint64_t end_ = 0;
    bool ok_ = true;
};

struct MemoryRange {
    std::uint64_t start;
    std::uint64_t size;
    std::uint32_t rva;
};

struct StreamEntry {
    std::uint32_t type;
    std::uint32_t size;
    std::uint32_t rva;
};

// Everything the writer needs lives here, not on the (possibly small,
// alternate) signal stack.
struct WriterState {
    dump::ProcessMaps maps;
    dump::ThreadList threads;
    dump::ContextRecord context;
    MemoryRange ranges[kMaxMemoryRanges];
    std::size_t rangeCount = 0;
    ucontext_t callerContext;
};

WriterState g_state;
std::atomic<bool> g_busy{false};

bool Overlaps(const WriterState& s, std::uint64_t start, std::uint64_t end) {
    for (std::size_t i = 0; i < s.rangeCount; ++i) {
        if (start < s.ranges[i].start + s.ranges[i].size && s.ranges[i].start < end) {
            return true;
        }
    }
    return false;
}

// Binary search in the address-ordered mappings.
const dump::Mapping* FindMapping(const dump::ProcessMaps& maps, std::uint64_t address) {
    std::size_t lo = 0;
    std::size_t hi = maps.MappingCount();
    while (lo < hi) {
        std::size_t mid = lo + (hi - lo) / 2;
        const dump::Mapping& m = maps.MappingAt(mid);
        if (address < m.start) {
            hi = mid;
        } else if (address >= m.end) {
            lo = mid + 1;
        } else {
            return &m;
        }
    }
    return nullptr;
}

void AddRange(WriterState& s, Sink& sink, std::uint64_t start, std::uint64_t size, std::uint32_t* rva) {
    std::uint32_t at = sink.AppendMemory(start, size);
    if (rva != nullptr) {
        *rva = at;
    }
    if (s.rangeCount < kMaxMemoryRanges) {
        s.ranges[s.rangeCount++] = MemoryRange{start, size, at};
    }
}

// The used part of a thread's stack: from just below the stack pointer up to
// the end of its mapping, at most kMaxStackBytes.
bool StackRange(const WriterState& s, std::uint64_t sp, std::uint64_t* start, std::uint64_t* size) {
    const dump::Mapping* m = FindMapping(s.maps, sp);
    if (m == nullptr || !m->readable) {
        // A thread that overflowed its stack has its stack pointer in the
        // guard page or just below the stack; its deepest frames lie in the
        // stack mapping right above.
        m = nullptr;
        for (std::size_t i = 0; i < s.maps.MappingCount(); ++i) {
            const dump::Mapping& next = s.maps.MappingAt(i);
            if (next.start > sp) {
                if (next.readable && next.start - sp <= kOverflowReach) {
                    m = &next;
                }
                break;
            }
        }
        if (m == nullptr) {
            return false;
        }
        sp = m->start + kRedZone;
    }
    std::uint64_t from = sp >= m->start + kRedZone ? sp - kRedZone : m->start;
    from &= ~std::uint64_t{15};
    if (from < m->start) {
        from = m->start;
    }
    std::uint64_t to = m->end - from > kMaxStackBytes ? from + kMaxStackBytes : m->end;
    *start = from;
    *size = to - from;
    return true;
}

// Memory around each address that the crashing thread's stack holds and
// that lies in readable memory outside the stacks already kept.
void AddIndirectMemory(WriterState& s, Sink& sink, std::uint64_t stackStart, std::uint64_t stackSize) {
    std::size_t added = 0;
    for (std::uint64_t at = stackStart; at + 8 <= stackStart + stackSize; at += 8) {
        // A plain load: the stack is mapped and readable, and no library
        // routine (which a sanitizer may watch) gets to see the read.
        std::uint64_t value = *reinterpret_cast<const volatile std::uint64_t*>(at);
        const dump::Mapping* m = FindMapping(s.maps, value);
        if (m == nullptr || !m->readable || value < 4096) {
            continue;
        }
        std::uint64_t start = value >= m->start + kIndirectBefore ? value - kIndirectBefore : m->start;
        std::uint64_t end = m->end - value > kIndirectAfter ? value + kIndirectAfter : m->end;
        if (Overlaps(s, start, end)) {
            continue;
        }
        AddRange(s, sink, start, end - start, nullptr);
        if (++added >= kMaxIndirectRanges) {
            break;
        }
    }
}

std::uint32_t WriteSystemInfo(Sink& sink) {
    Record<layout::kSystemInfoSize> r;
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    unsigned int vendor[3] = {};
    unsigned int version = 0, features = 0, extended = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) != 0) {
        vendor[0] = ebx;
        vendor[1] = edx;
        vendor[2] = ecx;
    }
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        version = eax;
        features = edx;
    }
    if (__get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx) != 0) {
        extended = edx;
    }
    unsigned int family = (version >> 8) & 0xF;
    unsigned int model = (version >> 4) & 0xF;
    if (family == 0xF) {
        family += (version >> 20) & 0xFF;
    }
    if (family >= 6) {
        model += ((version >> 16) & 0xF) << 4;
    }
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    int processors = 1;
    if (::syscall(SYS_sched_getaffinity, 0, sizeof(cpus), &cpus) > 0) {
        processors = CPU_COUNT(&cpus);
    }

    struct utsname names;
    std::memset(&names, 0, sizeof(names));
    ::uname(&names);
    std::uint64_t numbers[3] = {};
    int which = 0;
    for (const char* p = names.release; *p != '\0' && which < 3; ++p) {
        if (*p >= '0' && *p <= '9') {
            numbers[which] = numbers[which] * 10 + static_cast<std::uint64_t>(*p - '0');
        } else if (*p == '.') {
            ++which;
        } else {
            break;
        }
    }
    static char description[sizeof(names) + 8];
    dump::SafeText text(description, sizeof(description));
    text.Append(names.sysname).Append(' ').Append(names.release).Append(' ').Append(names.version);
    text.Append(' ').Append(names.machine);
    std::uint32_t descriptionRva = sink.AppendString(text.Text(), text.Length());

    r.U16(0, layout::kArchitectureAmd64);
    r.U16(2, static_cast<std::uint16_t>(family));
    r.U16(4, static_cast<std::uint16_t>((model << 8) | (version & 0xF)));
    r.bytes[6] = static_cast<std::uint8_t>(processors > 255 ? 255 : processors);
    r.bytes[7] = 1;  // a workstation
    r.U32(8, static_cast<std::uint32_t>(numbers[0]));
    r.U32(12, static_cast<std::uint32_t>(numbers[1]));
    r.U32(16, static_cast<std::uint32_t>(numbers[2]));
    r.U32(20, layout::kPlatformLinux);
    r.U32(24, descriptionRva);
    r.U32(32, vendor[0]);
    r.U32(36, vendor[1]);
    r.U32(40, vendor[2]);
    r.U32(44, version);
    r.U32(48, features);
    r.U32(52, extended);
    return sink.Append(r.bytes, sizeof(r.bytes));
}

std::uint32_t WriteMiscInfo(Sink& sink) {
    Record<layout::kMiscInfoSize> r;
    r.U32(0, layout::kMiscInfoSize);
    r.U32(4, layout::kMiscProcessId);
    r.U32(8, dump::CurrentProcessId());
    return sink.Append(r.bytes, sizeof(r.bytes));
}

struct ThreadListResult {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
    std::uint32_t crashContextRva = 0;
    std::uint64_t crashStackStart = 0;
    std::uint64_t crashStackSize = 0;
};

ThreadListResult WriteThreads(WriterState& s, Sink& sink, std::uint32_t crashThread, const void* crashContext) {
    // The crashing thread first, then every other thread the kernel lists.
    std::uint32_t count = 1;
    for (std::size_t i = 0; i < s.threads.Count(); ++i) {
        if (s.threads.At(i).id != crashThread) {
            ++count;
        }
    }
    ThreadListResult result;
    result.size = 4 + count * layout::kThreadSize;
    result.rva = sink.Reserve(result.size);
    sink.WriteAt(result.rva, &count, 4);

    for (std::uint32_t index = 0, next = 0; index < count; ++index) {
        std::uint32_t id;
        if (index == 0) {
            id = crashThread;
            dump::ContextFromMachineContext(crashContext, &s.context);
        } else {
            while (s.threads.At(next).id == crashThread) {
                ++next;
            }
            const dump::ThreadState& t = s.threads.At(next++);
            id = t.id;
            dump::ContextFromPointers(t.hasRegisters, t.stackPointer, t.instructionPointer, &s.context);
        }
        std::uint32_t contextRva = sink.Append(s.context.bytes, sizeof(s.context.bytes));
        if (index == 0) {
            result.crashContextRva = contextRva;
        }
        std::uint64_t stackStart = 0, stackSize = 0;
        std::uint32_t stackRva = 0;
        std::uint64_t sp = dump::ContextStackPointer(s.context);
        if (sp != 0 && StackRange(s, sp, &stackStart, &stackSize)) {
            AddRange(s, sink, stackStart, stackSize, &stackRva);
        } else {
            stackStart = 0;
            stackSize = 0;
        }
        if (index == 0) {
            result.crashStackStart = stackStart;
            result.crashStackSize = stackSize;
        }
        Record<layout::kThreadSize> r;
        r.U32(0, id);
        r.U64(16, 0);  // no thread environment block
        r.U64(24, stackStart);
        r.U32(32, static_cast<std::uint32_t>(stackSize));
        r.U32(36, stackRva);
        r.U32(40, layout::amd64::kContextSize);
        r.U32(44, contextRva);
        sink.WriteAt(result.rva + 4 + index * layout::kThreadSize, r.bytes, sizeof(r.bytes));
    }
    return result;
}

std::uint32_t WriteException(Sink& sink, std::uint32_t thread, const void* siginfo, std::uint32_t contextRva) {
    const auto* info = static_cast<const siginfo_t*>(siginfo);
    Record<layout::kExceptionStreamSize> r;
    std::uint64_t address = 0;
    int signal = info->si_signo;
    if (signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL) {
        address = reinterpret_cast<std::uint64_t>(info->si_addr);
    }
    r.U32(0, thread);
    r.U32(8, static_cast<std::uint32_t>(signal));
    r.U32(12, static_cast<std::uint32_t>(info->si_code));
    r.U64(16, 0);
    r.U64(24, address);
    r.U32(32, 0);  // no parameters
    r.U32(160, layout::amd64::kContextSize);
    r.U32(164, contextRva);
    return sink.Append(r.bytes, sizeof(r.bytes));
}

std::uint32_t WriteModules(const WriterState& s, Sink& sink, std::uint32_t* size) {
    std::uint32_t count = static_cast<std::uint32_t>(s.maps.ModuleCount());
    *size = 4 + count * layout::kModuleSize;
    std::uint32_t rva = sink.Reserve(*size);
    sink.WriteAt(rva, &count, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const dump::Module& m = s.maps.ModuleAt(i);
        std::uint32_t nameRva = sink.AppendString(m.path, m.pathLength);
        Record<layout::kModuleSize> r;
        r.U64(0, m.base);
        r.U32(8, static_cast<std::uint32_t>(m.end - m.base));
        r.U32(20, nameRva);
        r.U32(24, layout::kFixedFileInfoSignature);
        r.U32(28, 0x00010000);  // structure version 1.0
        sink.WriteAt(rva + 4 + i * layout::kModuleSize, r.bytes, sizeof(r.bytes));
    }
    return rva;
}

std::uint32_t WriteMemoryList(const WriterState& s, Sink& sink, std::uint32_t* size) {
    std::uint32_t count = static_cast<std::uint32_t>(s.rangeCount);
    *size = 4 + count * layout::kMemoryDescriptorSize;
    std::uint32_t rva = sink.Reserve(*size);
    sink.WriteAt(rva, &count, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        Record<layout::kMemoryDescriptorSize> r;
        r.U64(0, s.ranges[i].start);
        r.U32(8, static_cast<std::uint32_t>(s.ranges[i].size));
        r.U32(12, s.ranges[i].rva);
        sink.WriteAt(rva + 4 + i * layout::kMemoryDescriptorSize, r.bytes, sizeof(r.bytes));
    }
    return rva;
}

bool WriteDump(WriterState& s, int fd, std::uint32_t type, const MINIDUMP_EXCEPTION_INFORMATION* exception) {
    const EXCEPTION_POINTERS* pointers = exception != nullptr ? exception->ExceptionPointers : nullptr;
    bool hasException =
        pointers != nullptr && pointers->ExceptionRecord != nullptr && pointers->ContextRecord != nullptr;
    std::uint32_t crashThread = dump::CurrentThreadId();
    const void* crashContext = nullptr;
    if (hasException) {
        crashThread = exception->ThreadId != 0 ? exception->ThreadId : crashThread;
        crashContext = pointers->ContextRecord;
    } else {
        std::memset(&s.callerContext, 0, sizeof(s.callerContext));
        ::getcontext(&s.callerContext);
        crashContext = &s.callerContext;
    }
    bool indirect = (type & MiniDumpWithIndirectlyReferencedMemory) != 0;

    s.maps.Read();
    s.threads.Read();
    s.rangeCount = 0;

    Sink sink(fd);
    StreamEntry streams[6];
    std::uint32_t streamCount = 0;
    const std::uint32_t maxStreams = hasException ? 6 : 5;
    sink.Reserve(layout::kHeaderSize);
    std::uint32_t directoryRva = sink.Reserve(maxStreams * layout::kDirectoryEntrySize);

    streams[streamCount++] = {layout::kSystemInfoStream, layout::kSystemInfoSize, WriteSystemInfo(sink)};
    streams[streamCount++] = {layout::kMiscInfoStream, layout::kMiscInfoSize, WriteMiscInfo(sink)};
    ThreadListResult threads = WriteThreads(s, sink, crashThread, crashContext);
    streams[streamCount++] = {layout::kThreadListStream, threads.size, threads.rva};
    if (hasException) {
        streams[streamCount++] = {
            layout::kExceptionStream, layout::kExceptionStreamSize,
            WriteException(sink, crashThread, pointers->ExceptionRecord, threads.crashContextRva)};
    }
    if (indirect && threads.crashStackSize > 0) {
        // After every stack is in, so that no stack is taken twice.
        AddIndirectMemory(s, sink, threads.crashStackStart, threads.crashStackSize);
    }
    std::uint32_t size = 0;
    std::uint32_t rva = WriteModules(s, sink, &size);
    streams[streamCount++] = {layout::kModuleListStream, size, rva};
    rva = WriteMemoryList(s, sink, &size);
    streams[streamCount++] = {layout::kMemoryListStream, size, rva};

    for (std::uint32_t i = 0; i < streamCount; ++i) {
        Record<layout::kDirectoryEntrySize> e;
        e.U32(0, streams[i].type);
        e.U32(4, streams[i].size);
        e.U32(8, streams[i].rva);
        sink.WriteAt(directoryRva + i * layout::kDirectoryEntrySize, e.bytes, sizeof(e.bytes));
    }
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    Record<layout::kHeaderSize> header;
    header.U32(0, layout::kSignature);
    header.U32(4, layout::kVersion);
    header.U32(8, streamCount);
    header.U32(12, directoryRva);
    header.U32(16, 0);
    header.U32(20, static_cast<std::uint32_t>(now.tv_sec));
    header.U64(24, type & (MiniDumpScanMemory | MiniDumpWithIndirectlyReferencedMemory));
    sink.WriteAt(0, header.bytes, sizeof(header.bytes));
    return sink.Ok();
}

}  // namespace

int MiniDumpWriteDump(int file, std::uint32_t dumpType, const MINIDUMP_EXCEPTION_INFORMATION* exception) {
    if (file < 0 || g_busy.exchange(true)) {
        return 0;
    }
    bool ok = WriteDump(g_state, file, dumpType, exception);
    g_busy.store(false);
    return ok ? 1 : 0;
}

std::uint32_t GetCurrentThreadIdForDump() { return dump::CurrentThreadId(); }

}  // namespace win
