#pragma once
// One HID interface as the program holds it: enumeration of the present
// interface paths, open with chosen access and sharing, capabilities and
// attributes, report I/O bounded by a time-out and interruptible by a cancel
// event, decoding of input reports into usage items, close.
//
// Close may run on another thread than a pending Read or UnpackInputReport:
// it signals the cancel event and waits until those calls have left before it
// frees the buffers, items and preparsed data they use.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid/hid_types.h"
#include "platform/files/win_types.h"

// One decodable item of an interface's input reports.
struct HidDataItem {
    uint8_t isButton = 0;
    uint16_t usagePage = 0;
    win::NTSTATUS status = win::HIDP_STATUS_SUCCESS;
    uint32_t reportId = 0;
    uint8_t dataSet = 0;  // 1 when the last decoded report carried this item
    // Button items.
    uint32_t usageMin = 0;
    uint32_t usageMax = 0;
    uint32_t maxUsageCount = 0;
    std::vector<win::USAGE> usages;  // maxUsageCount entries, on-usages first, then 0
    // Value items.
    win::USAGE usage = 0;
    uint32_t rawValue = 0;
    int32_t scaledValue = 0;
};

// The input items of an interface: one per button capability, one per usage
// of each value capability (a range that runs backwards gives none), each
// button item's usage list sized for the most usages a report can carry.
std::vector<HidDataItem> MakeInputItems(const std::vector<win::HIDP_BUTTON_CAPS>& buttonCaps,
                                        const std::vector<win::HIDP_VALUE_CAPS>& valueCaps,
                                        win::PHIDP_PREPARSED_DATA preparsed);

// Decodes a report into the items whose report id equals its first byte.
// Every item's data-set flag and usage list are cleared first, so an item
// the report does not carry never replays an old value. False when a value
// item fails to decode.
bool UnpackReport(const uint8_t* report, uint16_t length, win::HIDP_REPORT_TYPE kind, HidDataItem* items,
                  uint32_t itemCount, win::PHIDP_PREPARSED_DATA preparsed);

class CHidDevice {
public:
    CHidDevice();
    ~CHidDevice();
    CHidDevice(const CHidDevice&) = delete;
    CHidDevice& operator=(const CHidDevice&) = delete;

    // --- Enumeration (the path list lives independently of the open state) ---
    // True when the list of all present HID interface paths was built.
    bool BeginEnumeration();
    // The next path, valid until the list is freed; null when exhausted.
    const wchar_t* NextPath();
    void FreePathList();
    uint32_t PathCount() const { return static_cast<uint32_t>(m_paths.size()); }

    // --- Open state -----------------------------------------------------------
    bool Open(const wchar_t* path, win::BOOL readAccess, win::BOOL writeAccess, win::BOOL overlapped,
              win::BOOL exclusive);
    // Closes and opens the stored path again with the stored flags.
    bool Reopen();
    void Close();
    bool IsOpen() const;

    // --- Report I/O (false with 0 bytes on failure, time-out or cancel) ------
    bool Read(void* buffer, win::DWORD length, win::DWORD* bytesRead, win::DWORD timeoutMs);
    bool Write(const void* buffer, win::DWORD length, win::DWORD* bytesWritten, win::DWORD timeoutMs);
    // Discards the input reports already queued on the open handle.
    void FlushInput();

    // Reads one input report into the input report buffer; the listeners' read.
    bool ReadInputReport(win::DWORD* bytesRead, win::DWORD timeoutMs);
    // UnpackReport of the input report buffer into the input items, safe
    // against a concurrent Close; the event code (first usage of the first
    // item) is copied out when asked for.
    bool UnpackInputReport(win::DWORD length, uint16_t* eventCode);

    // --- What the users read while the handle is open -----------------------
    win::HANDLE m_handle = nullptr;
    std::wstring m_devicePath;
    win::PHIDP_PREPARSED_DATA m_preparsed = nullptr;
    win::HIDP_CAPS m_caps{};
    win::HIDD_ATTRIBUTES m_attributes{};
    std::vector<uint8_t> m_inputReport;  // InputReportByteLength bytes
    std::vector<HidDataItem> m_inputItems;
    std::vector<win::HIDP_BUTTON_CAPS> m_inputButtonCaps;
    std::vector<win::HIDP_VALUE_CAPS> m_inputValueCaps;
    uint32_t InputItemCount() const { return static_cast<uint32_t>(m_inputItems.size()); }
    win::HANDLE CancelEvent() const { return m_cancelEvent; }

    // Flags of the last Open.
    win::BOOL m_readAccess = 0;
    win::BOOL m_writeAccess = 0;
    win::BOOL m_overlapped = 0;
    win::BOOL m_exclusive = 0;

private:
    enum class Pending { Read, Write, Unpack };
    // Marks a call in flight and gives the open handle; null (nothing
    // marked) when the object is closed or closing.
    win::HANDLE Enter(Pending kind);
    void Leave(Pending kind);
    bool ReadCapabilities();
    void FreeReportBuffers();
    void CloseLocked(std::unique_lock<std::mutex>& lock);

    std::vector<std::wstring> m_paths;
    uint32_t m_pathCursor = 0;

    // Auto-reset: one signal ends one waiting (or the next) Read or Write.
    win::HANDLE m_cancelEvent = nullptr;

    // Guards the open state against calls in flight on other threads.
    mutable std::mutex m_stateMutex;
    std::condition_variable m_idle;
    uint32_t m_readPending = 0;
    uint32_t m_writePending = 0;
    uint32_t m_unpackPending = 0;
    bool m_closing = false;
};
