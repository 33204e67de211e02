#pragma once
// One channel to a device: its wired interface and its interface behind the
// 2.4 GHz receiver, the flags that say which is in use, four locks, the
// transaction that sends one 64-byte command report and waits for the reply
// echoing its command, and the builders of every device command.
//
// Results: 1 success; 0 not sent (channel closed, restricted mode, a transfer
// that cannot be addressed) or the reply read failed; -1 the write failed;
// -101 the receiver reports its device unlinked; -102 / -103 reply status
// 0xFF / 0xFE; -201 key map page other than 0.
//
// Opening and closing belong to the owners: under m_ioLock they Close then
// Open a handle, SetOpen(true), and call SetConnectMode (2 receiver, 1 wired);
// to close they SetOpen(false), then Close both handles, still under m_ioLock.
// A change of the open or the sync flag wakes the threads that wait for a
// channel to give them work (link/channel_watch.h).

#include <atomic>
#include <cstdint>

#include "link/device_blocks.h"
#include "link/hid_device.h"
#include "platform/os/critical_section.h"
#include "platform/files/win_types.h"

struct PagedTransfer;

// Time-outs of one transaction in milliseconds. The defaults are the ones the
// devices are built for; tests shorten them to exercise the same paths quickly.
struct ProtocolTimeouts {
    uint32_t wiredWrite = 1000;
    uint32_t wiredRead = 5000;
    uint32_t wiredLongRead = 50000;  // while the channel's long wait is on
    uint32_t receiverWrite = 5000;
    uint32_t receiverRead = 5000;
    uint32_t streamWired = 1000;  // write and each read of the colour stream
    uint32_t streamReceiver = 500;
};

class CDeviceProtocol {
public:
    static constexpr uint16_t kMaxDataSize = 512;
    static constexpr int32_t kConnectWired = 1;
    static constexpr int32_t kConnectReceiver = 2;

    CDeviceProtocol();
    ~CDeviceProtocol();
    CDeviceProtocol(const CDeviceProtocol&) = delete;
    CDeviceProtocol& operator=(const CDeviceProtocol&) = delete;

    // --- Transaction -------------------------------------------------------
    // Sends one request (padded to 64 bytes) and reads up to two replies until
    // one echoes the request's command. The I/O lock is held from the write
    // through the reads, and input reports already queued on the handle (late
    // replies of an earlier request) are discarded before the write.
    int32_t Transact(const uint8_t* request, uint32_t requestLength, uint8_t* reply, uint32_t replyLength,
                     uint32_t* bytesRead);
    // The same with the colour stream's short time-outs.
    int32_t TransactStream(const uint8_t* request, uint32_t requestLength, uint8_t* reply, uint32_t replyLength,
                           uint32_t* bytesRead);

    // Byte count of the key-table commands; 1 when stored, 0 above 512.
    int32_t SetDataSize(uint16_t size);
    // 2: receiver mode, 24-byte chunks; anything else: wired, 56-byte chunks.
    void SetConnectMode(int32_t mode);

    bool IsOpen() const { return m_open.load() != 0; }
    // The command channel's open flag, set by its owner.
    void SetOpen(bool open);
    bool IsReceiverMode() const { return m_receiverMode.load() != 0; }
    bool IsBusy() const { return m_busy.load() > 0; }
    uint8_t ChunkSize() const { return m_chunkSize.load(); }
    uint16_t DataSize() const { return m_dataSize.load(); }

    // Long wait: on while the user has accepted a long screen upload on this
    // channel; a wired request then waits wiredLongRead for its reply instead
    // of wiredRead. The screen upload switches it off when it ends.
    void SetLongWait(bool on) { m_longWait.store(on ? 1 : 0); }
    bool IsLongWait() const { return m_longWait.load() != 0; }
    // Sync flag (command channel): 1 while the device follows the shared sync
    // lighting. The lighting commands and the device list set and clear it,
    // the sync worker and the device light threads read it; never read here.
    void SetSyncFlag(int32_t flag);
    int32_t GetSyncFlag() const { return m_syncFlag.load(); }

    // --- Device commands (the callers send CMD_BEGIN / CMD_END around) ------
    int32_t BeginSession();
    int32_t EndSession();  // pauses 10 ms first
    int32_t SendLightOn();
    int32_t BeginScreenUpload();
    // The block is written only when every packet succeeded.
    int32_t ReadDeviceInfo(DeviceInfoBlock* block);
    int32_t ReadLayoutTable(uint8_t* buffer);  // data-size bytes
    int32_t ReadLedMap(uint8_t* buffer);       // data-size / 3 bytes
    int32_t WriteKeyMap(const uint8_t* keyMap, uint32_t page);
    int32_t WriteMacros(const uint8_t* blob, uint32_t length);
    int32_t WriteShootData(const uint8_t* blob, uint32_t length);
    int32_t ReadCustomColors(uint8_t* buffer, uint32_t length, uint32_t page, uint32_t pageSize);
    int32_t WriteCustomColors(const uint8_t* data, uint32_t length, uint32_t page, uint32_t pageSize);
    // Skips (and counts as sent) every packet while another transaction runs.
    int32_t StreamColors(const uint8_t* data, uint32_t length);
    int32_t ReadParamBlock(uint8_t* buffer, uint32_t length, uint32_t baseOffset);
    int32_t WriteParamBlock(const uint8_t* data, uint32_t length, uint32_t baseOffset);
    int32_t WriteClock(const uint8_t* data, uint32_t length, uint32_t baseOffset);
    // length at most 56; the buffer is written only on success, and never
    // with more bytes than the reply carries.
    int32_t ReadStatus(uint8_t* buffer, uint32_t length, uint16_t address);
    // Posts WM_TRANSFER_PROGRESS to the progress window when one is given.
    int32_t UploadScreenData(const uint8_t* data, uint32_t length, win::HWND progressWindow);
    // Wired: true without sending. Receiver: true when the far device is linked.
    bool QueryLink();

    // --- State the owners read and write directly ---------------------------
    std::atomic<uint16_t> m_dataSize{kMaxDataSize};
    // Number of transactions running on this object (0 when idle).
    std::atomic<int32_t> m_busy{0};
    // While 1, only the screen-upload commands 0x21..0x23 are sent.
    std::atomic<int32_t> m_restricted{0};
    // Open flag; an event channel's owner sets it directly (nothing waits on
    // an event channel's flag), a command channel's through SetOpen.
    std::atomic<int32_t> m_open{0};
    CHidDevice m_wired;
    CHidDevice m_receiver;
    // Held around the write and reads of every transaction; the owners hold
    // it while they open or close the command channel's handles.
    win::CCriticalSection m_ioLock;
    // Event channel: held by the pages around the receiver handle's open/close.
    win::CCriticalSection m_receiverLock;
    // Held per packet by the builders (command lock first, then the I/O lock).
    win::CCriticalSection m_commandLock;
    win::CCriticalSection m_streamLock;
    std::atomic<int32_t> m_receiverMode{0};
    std::atomic<uint8_t> m_chunkSize{24};
    ProtocolTimeouts m_timeouts;

private:
    std::atomic<int32_t> m_syncFlag{0};
    std::atomic<int32_t> m_longWait{0};

    enum class PacketLock { Command, Stream };
    // Called after each answered packet of a paged transfer.
    struct PacketHook {
        void (*afterPacket)(void* context, const uint8_t* packet, uint32_t end, uint32_t total);
        void* context;
    };

    int32_t Exchange(const uint8_t* request, uint32_t requestLength, uint8_t* reply, uint32_t replyLength,
                     uint32_t* bytesRead, bool stream);
    int32_t SinglePacket(uint8_t command);
    int32_t Paged(const PagedTransfer& transfer, uint8_t* destination, PacketLock lock, bool stream,
                  const PacketHook* hook);
};
