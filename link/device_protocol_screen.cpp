// Upload of a screen animation to the keyboard in 0x21 data packets, with
// progress posted to a progress window.
#include <atomic>

#include "link/device_packet.h"
#include "link/device_protocol.h"
#include "link/paged_packet.h"
#include "platform/os/clock.h"
#include "platform/os/message_queue.h"

namespace {

constexpr win::UINT kTransferProgress = 0x4901;  // WM_TRANSFER_PROGRESS
// The keyboard prepares its flash after the first packet.
constexpr win::DWORD kFirstPacketPauseMs = 500;
constexpr uint32_t kProgressEveryPackets = 100;

// Process-wide, carried over from one upload to the next.
std::atomic<uint32_t> g_screenPacketCount{0};
std::atomic<int32_t> g_lastScreenPercent{0};

struct UploadContext {
    win::HWND progressWindow;
};

void AfterScreenPacket(void* context, const uint8_t* packet, uint32_t end, uint32_t total) {
    const auto* upload = static_cast<const UploadContext*>(context);
    if (packet[kPacketOffsetLow] == 0 && packet[kPacketOffsetHigh] == 0 && packet[kPacketStatus] == 0)
        win::Sleep(kFirstPacketPauseMs);
    const uint32_t count = g_screenPacketCount.fetch_add(1) + 1;
    const int32_t percent = static_cast<int32_t>(static_cast<double>(end) / static_cast<double>(total) * 100.0);
    const int32_t previous = g_lastScreenPercent.exchange(percent);
    if (upload->progressWindow != nullptr && (percent != previous || count % kProgressEveryPackets == 0))
        win::PostMessageW(upload->progressWindow, kTransferProgress, 0, percent);
}

}  // namespace

int32_t CDeviceProtocol::UploadScreenData(const uint8_t* data, uint32_t length, win::HWND progressWindow) {
    if (data == nullptr && length > 0) return PROTOCOL_NOT_SENT;
    UploadContext context{progressWindow};
    const PacketHook hook{&AfterScreenPacket, &context};
    const PagedTransfer t{CMD_SCREEN_DATA, length, ChunkSize(), 0, true, data};
    const int32_t result = Paged(t, nullptr, PacketLock::Command, false, &hook);
    if (result == PROTOCOL_OK && progressWindow != nullptr) win::PostMessageW(progressWindow, kTransferProgress, 1, 0);
    return result;
}
