#include "platform/dump/cpu_context.h"

#include <signal.h>
#include <sys/ucontext.h>

#include <cstring>

namespace platform::dump {
namespace {

#if !defined(__x86_64__)
#error "The crash-dump writer knows the x86-64 thread context only."
#endif

namespace amd64 = layout::amd64;

void Put16(ContextRecord* c, std::uint32_t offset, std::uint16_t v) { std::memcpy(c->bytes + offset, &v, 2); }
void Put32(ContextRecord* c, std::uint32_t offset, std::uint32_t v) { std::memcpy(c->bytes + offset, &v, 4); }
void Put64(ContextRecord* c, std::uint32_t offset, std::uint64_t v) { std::memcpy(c->bytes + offset, &v, 8); }

std::uint64_t Get64(const ContextRecord& c, std::uint32_t offset) {
    std::uint64_t v;
    std::memcpy(&v, c.bytes + offset, 8);
    return v;
}

}  // namespace

void ContextFromMachineContext(const void* ucontext, ContextRecord* out) {
    std::memset(out->bytes, 0, sizeof(out->bytes));
    const auto* uc = static_cast<const ucontext_t*>(ucontext);
    const greg_t* g = uc->uc_mcontext.gregs;
    auto reg = [g](int index) { return static_cast<std::uint64_t>(g[index]); };

    std::uint32_t flags = amd64::kFlagsControl | amd64::kFlagsInteger | amd64::kFlagsSegments;
    Put64(out, amd64::kOffsetRax, reg(REG_RAX));
    Put64(out, amd64::kOffsetRcx, reg(REG_RCX));
    Put64(out, amd64::kOffsetRdx, reg(REG_RDX));
    Put64(out, amd64::kOffsetRbx, reg(REG_RBX));
    Put64(out, amd64::kOffsetRsp, reg(REG_RSP));
    Put64(out, amd64::kOffsetRbp, reg(REG_RBP));
    Put64(out, amd64::kOffsetRsi, reg(REG_RSI));
    Put64(out, amd64::kOffsetRdi, reg(REG_RDI));
    const int high[8] = {REG_R8, REG_R9, REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
    for (int i = 0; i < 8; ++i) {
        Put64(out, amd64::kOffsetR8 + 8 * static_cast<std::uint32_t>(i), reg(high[i]));
    }
    Put64(out, amd64::kOffsetRip, reg(REG_RIP));
    Put32(out, amd64::kOffsetEFlags, static_cast<std::uint32_t>(reg(REG_EFL)));
    // cs, gs and fs share one word of the machine context, low to high.
    std::uint64_t segments = reg(REG_CSGSFS);
    Put16(out, amd64::kOffsetSegCs, static_cast<std::uint16_t>(segments & 0xFFFF));
    Put16(out, amd64::kOffsetSegGs, static_cast<std::uint16_t>((segments >> 16) & 0xFFFF));
    Put16(out, amd64::kOffsetSegFs, static_cast<std::uint16_t>((segments >> 32) & 0xFFFF));
    if (uc->uc_mcontext.fpregs != nullptr) {
        // The kernel's floating-point save area has the same 512-byte layout
        // as the context's.
        std::memcpy(out->bytes + amd64::kOffsetFloatSave, uc->uc_mcontext.fpregs, amd64::kFloatSaveSize);
        Put32(out, amd64::kOffsetMxCsr, uc->uc_mcontext.fpregs->mxcsr);
        flags |= amd64::kFlagsFloat;
    }
    Put32(out, amd64::kOffsetFlags, flags);
}

void ContextFromPointers(bool known, std::uint64_t stackPointer, std::uint64_t instructionPointer, ContextRecord* out) {
    std::memset(out->bytes, 0, sizeof(out->bytes));
    if (!known) {
        Put32(out, amd64::kOffsetFlags, amd64::kFlagsArch);
        return;
    }
    Put64(out, amd64::kOffsetRsp, stackPointer);
    Put64(out, amd64::kOffsetRip, instructionPointer);
    Put32(out, amd64::kOffsetFlags, amd64::kFlagsControl);
}

std::uint64_t ContextStackPointer(const ContextRecord& context) { return Get64(context, amd64::kOffsetRsp); }
std::uint64_t ContextInstructionPointer(const ContextRecord& context) { return Get64(context, amd64::kOffsetRip); }

}  // namespace platform::dump
