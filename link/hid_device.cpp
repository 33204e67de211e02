#include "link/hid_device.h"

#include <algorithm>

#include "platform/hid/hid_api.h"
#include "platform/hid/hidp.h"
#include "platform/os/event.h"

CHidDevice::CHidDevice() { m_cancelEvent = win::CreateEventW(nullptr, win::FALSE, win::FALSE, nullptr); }

CHidDevice::~CHidDevice() {
    Close();
    FreePathList();
    if (m_cancelEvent != nullptr) win::CloseHandle(m_cancelEvent);
}

bool CHidDevice::IsOpen() const {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    return m_handle != nullptr && !m_closing;
}

// ---- open and close ----------------------------------------------------------

bool CHidDevice::Open(const wchar_t* path, win::BOOL readAccess, win::BOOL writeAccess, win::BOOL overlapped,
                      win::BOOL exclusive) {
    {
        std::unique_lock<std::mutex> lock(m_stateMutex);
        CloseLocked(lock);
        m_readAccess = readAccess;
        m_writeAccess = writeAccess;
        m_overlapped = overlapped;
        m_exclusive = exclusive;
        m_devicePath = path != nullptr ? path : L"";
    }
    return Reopen();
}

bool CHidDevice::Reopen() {
    std::unique_lock<std::mutex> lock(m_stateMutex);
    CloseLocked(lock);
    if (m_devicePath.empty()) return false;

    win::DWORD access = 0;
    if (m_readAccess) access |= win::GENERIC_READ;
    if (m_writeAccess) access |= win::GENERIC_WRITE;
    const win::DWORD share = m_exclusive ? win::FILE_SHARE_READ : (win::FILE_SHARE_READ | win::FILE_SHARE_WRITE);
    const win::DWORD flags = m_overlapped ? win::FILE_FLAG_OVERLAPPED : 0;
    win::HANDLE handle =
        win::CreateFileW(m_devicePath.c_str(), access, share, nullptr, win::OPEN_EXISTING, flags, nullptr);
    if (handle == win::INVALID_HANDLE_VALUE || handle == nullptr) return false;
    m_handle = handle;
    // A cancel signal left over from before the reopen must not end the
    // first read or write on the new handle.
    win::ResetEvent(m_cancelEvent);
    if (!ReadCapabilities()) {
        CloseLocked(lock);
        return false;
    }
    return true;
}

void CHidDevice::Close() {
    std::unique_lock<std::mutex> lock(m_stateMutex);
    CloseLocked(lock);
}

void CHidDevice::CloseLocked(std::unique_lock<std::mutex>& lock) {
    if (m_closing) {
        // Another thread is closing: wait until it is done.
        m_idle.wait(lock, [this] { return !m_closing; });
        return;
    }
    if (m_handle == nullptr && m_preparsed == nullptr) return;
    m_closing = true;
    if (m_readPending > 0 || m_writePending > 0) {
        win::SetEvent(m_cancelEvent);
        // The event ends one wait; a read and a write may both be waiting.
        if (m_handle != nullptr) win::CancelIo(m_handle);
    }
    // The buffers, items and preparsed data stay until no call uses them.
    m_idle.wait(lock, [this] { return m_readPending == 0 && m_writePending == 0 && m_unpackPending == 0; });
    FreeReportBuffers();
    if (m_preparsed != nullptr) {
        win::HidD_FreePreparsedData(m_preparsed);
        m_preparsed = nullptr;
    }
    if (m_handle != nullptr) {
        win::CloseHandle(m_handle);
        m_handle = nullptr;
    }
    m_closing = false;
    m_idle.notify_all();
}

void CHidDevice::FreeReportBuffers() {
    m_inputReport.clear();
    m_inputReport.shrink_to_fit();
    m_inputItems.clear();
    m_inputItems.shrink_to_fit();
    m_inputButtonCaps.clear();
    m_inputValueCaps.clear();
}

bool CHidDevice::ReadCapabilities() {
    if (!win::HidD_GetPreparsedData(m_handle, &m_preparsed)) {
        m_preparsed = nullptr;
        return false;
    }
    if (!win::HidD_GetAttributes(m_handle, &m_attributes)) return false;
    if (win::HidP_GetCaps(m_preparsed, &m_caps) != win::HIDP_STATUS_SUCCESS) return false;

    m_inputReport.assign(m_caps.InputReportByteLength, 0);

    uint16_t buttonCount = m_caps.NumberInputButtonCaps;
    m_inputButtonCaps.assign(buttonCount, win::HIDP_BUTTON_CAPS());
    if (buttonCount > 0 && win::HidP_GetSpecificButtonCaps(win::HidP_Input, 0, 0, 0, m_inputButtonCaps.data(),
                                                           &buttonCount, m_preparsed) != win::HIDP_STATUS_SUCCESS)
        buttonCount = 0;
    m_inputButtonCaps.resize(std::min<size_t>(buttonCount, m_inputButtonCaps.size()));

    uint16_t valueCount = m_caps.NumberInputValueCaps;
    m_inputValueCaps.assign(valueCount, win::HIDP_VALUE_CAPS());
    if (valueCount > 0 && win::HidP_GetSpecificValueCaps(win::HidP_Input, 0, 0, 0, m_inputValueCaps.data(), &valueCount,
                                                         m_preparsed) != win::HIDP_STATUS_SUCCESS)
        valueCount = 0;
    m_inputValueCaps.resize(std::min<size_t>(valueCount, m_inputValueCaps.size()));

    m_inputItems = MakeInputItems(m_inputButtonCaps, m_inputValueCaps, m_preparsed);
    return true;
}

// ---- calls in flight -----------------------------------------------------------

win::HANDLE CHidDevice::Enter(Pending kind) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    if (m_handle == nullptr || m_closing) return nullptr;
    switch (kind) {
        case Pending::Read:
            ++m_readPending;
            break;
        case Pending::Write:
            ++m_writePending;
            break;
        case Pending::Unpack:
            ++m_unpackPending;
            break;
    }
    return m_handle;
}

void CHidDevice::Leave(Pending kind) {
    std::lock_guard<std::mutex> lock(m_stateMutex);
    switch (kind) {
        case Pending::Read:
            --m_readPending;
            break;
        case Pending::Write:
            --m_writePending;
            break;
        case Pending::Unpack:
            --m_unpackPending;
            break;
    }
    if (m_readPending == 0 && m_writePending == 0 && m_unpackPending == 0) m_idle.notify_all();
}

// ---- report I/O ----------------------------------------------------------------

bool CHidDevice::Read(void* buffer, win::DWORD length, win::DWORD* bytesRead, win::DWORD timeoutMs) {
    if (bytesRead != nullptr) *bytesRead = 0;
    if (buffer == nullptr) return false;
    win::HANDLE handle = Enter(Pending::Read);
    if (handle == nullptr) return false;
    win::DWORD transferred = 0;
    const win::HidIoResult result = win::ReadReport(handle, buffer, length, &transferred, timeoutMs, m_cancelEvent);
    Leave(Pending::Read);
    const bool ok = result == win::HidIoResult::Ok;
    if (bytesRead != nullptr) *bytesRead = ok ? transferred : 0;
    return ok;
}

bool CHidDevice::Write(const void* buffer, win::DWORD length, win::DWORD* bytesWritten, win::DWORD timeoutMs) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (buffer == nullptr) return false;
    win::HANDLE handle = Enter(Pending::Write);
    if (handle == nullptr) return false;
    win::DWORD transferred = 0;
    const win::HidIoResult result = win::WriteReport(handle, buffer, length, &transferred, timeoutMs, m_cancelEvent);
    Leave(Pending::Write);
    const bool ok = result == win::HidIoResult::Ok;
    if (bytesWritten != nullptr) *bytesWritten = ok ? transferred : 0;
    return ok;
}

void CHidDevice::FlushInput() {
    win::HANDLE handle = Enter(Pending::Read);
    if (handle == nullptr) return;
    win::HidD_FlushQueue(handle);
    Leave(Pending::Read);
}

bool CHidDevice::ReadInputReport(win::DWORD* bytesRead, win::DWORD timeoutMs) {
    if (bytesRead != nullptr) *bytesRead = 0;
    win::HANDLE handle = Enter(Pending::Read);
    if (handle == nullptr) return false;
    win::DWORD transferred = 0;
    const win::HidIoResult result =
        win::ReadReport(handle, m_inputReport.data(), static_cast<win::DWORD>(m_inputReport.size()), &transferred,
                        timeoutMs, m_cancelEvent);
    Leave(Pending::Read);
    const bool ok = result == win::HidIoResult::Ok;
    if (bytesRead != nullptr) *bytesRead = ok ? transferred : 0;
    return ok;
}

bool CHidDevice::UnpackInputReport(win::DWORD length, uint16_t* eventCode) {
    if (eventCode != nullptr) *eventCode = 0;
    if (Enter(Pending::Unpack) == nullptr) return false;
    const win::DWORD available = static_cast<win::DWORD>(m_inputReport.size());
    const uint16_t n = static_cast<uint16_t>(std::min<win::DWORD>({length, available, 0xFFFF}));
    const bool ok =
        UnpackReport(m_inputReport.data(), n, win::HidP_Input, m_inputItems.data(), InputItemCount(), m_preparsed);
    if (eventCode != nullptr && !m_inputItems.empty() && !m_inputItems[0].usages.empty())
        *eventCode = m_inputItems[0].usages[0];
    Leave(Pending::Unpack);
    return ok;
}
