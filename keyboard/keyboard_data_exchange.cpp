// Every exchange of the keyboard page with its keyboard: device tables,
// profile block, key map, macro table, clock, status and live colours.
#include <algorithm>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/keyboard_clock.h"
#include "keyboard/keyboard_key_map.h"
#include "link/device/keyboard_messages.h"
#include "link/device/macro_blob.h"
#include "link/device_packet.h"
#include "link/macro_event_pack.h"
#include "pages/macro_files.h"
#include "platform/os/clock.h"
#include "platform/os/message_queue.h"
#include "shell/controls/mp_device_power_ui.h"

namespace {

// Keeps the first result that is not 1.
struct FirstFailure {
    int result = PROTOCOL_OK;
    int Note(int r) {
        if (result == PROTOCOL_OK && r != PROTOCOL_OK) result = r;
        return r;
    }
};

constexpr uint32_t kColorPageSize = 512;
constexpr win::DWORD kStreamBackoffMs = 200;

int MacroCount(const DuiLib::CDuiString& folder) {
    const auto list = LoadMacroList(folder);
    return list ? int(list->size()) : 0;
}

}  // namespace

int CCorvaneKeyboardDevice::SendBracketed(const std::function<int()>& data) {
    // Nothing goes out on a closed channel: the data command answers 0 there.
    FirstFailure f;
    if (m_commandChannel.IsOpen()) f.Note(m_commandChannel.BeginSession());
    f.Note(data());
    f.Note(m_commandChannel.EndSession());
    return f.result;
}

int CCorvaneKeyboardDevice::ReadDeviceTables() {
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    FirstFailure f;
    f.Note(m_commandChannel.BeginSession());
    const int info = m_commandChannel.ReadDeviceInfo(&m_deviceInfo);
    f.Note(info);
    if (info == PROTOCOL_OK) {
        m_screenWidth = m_deviceInfo.ScreenWidth();
        m_screenHeight = m_deviceInfo.ScreenHeight();
        m_rotate = m_deviceInfo.TransposeFrames() ? 1 : 0;
        m_frameLimit = m_deviceInfo.MaxFrames();
    }
    std::array<uint8_t, kKeyTableBytes> layout{};
    std::array<uint8_t, kKeyTableBytes> leds{};
    // More keys than the tables hold: the size is refused and nothing is read.
    if (f.Note(m_commandChannel.SetDataSize(uint16_t(m_deviceInfo.KeyCount() * 3))) == PROTOCOL_OK) {
        f.Note(m_commandChannel.ReadLayoutTable(layout.data()));
        f.Note(m_commandChannel.ReadLedMap(leds.data()));
    }
    // Whatever happened, the bracket opened above is closed.
    const int end = m_commandChannel.EndSession();
    if (f.result != PROTOCOL_OK) return f.result;
    m_layoutTable = layout;
    m_ledTable = leds;
    m_tablesRead = true;
    MapKeyPositions();
    return end == PROTOCOL_OK ? PROTOCOL_OK : end;
}

void CCorvaneKeyboardDevice::MapKeyPositions() {
    TakePositionMaps(::MapKeyPositions(m_layoutTable, m_ledTable, m_deviceInfo.KeyCount()));
}

void CCorvaneKeyboardDevice::TakePositionMaps(const KeyPositionMaps& maps) {
    {
        // The listener thread looks key events up in them.
        win::CriticalSectionGuard lock(m_effectLock);
        m_positions = maps;
    }
    m_keyPositionMap.clear();
    m_ledPositionMap.clear();
    for (size_t p = 0; p < kKeyPositionCount; ++p) {
        m_keyPositionMap[int(p)] = maps.keyIndex[p];
        m_ledPositionMap[int(p)] = maps.ledIndex[p];
        m_streamLedMap[p].store(maps.ledIndex[p]);
    }
    m_streamKeyCount.store(std::min<int>(m_deviceInfo.KeyCount(), kMaxDeviceKeys));
}

int CCorvaneKeyboardDevice::ReadActiveBlock(KeyboardDeviceBlock* block, uint8_t* profile) {
    uint8_t active = 0;
    int r = m_commandChannel.ReadParamBlock(&active, 1, 0);
    if (r != PROTOCOL_OK) return r;
    KeyboardDeviceBlock read{};
    r = m_commandChannel.ReadParamBlock(read.data(), uint32_t(read.size()), uint32_t(active) * kDeviceBlockStride);
    if (r != PROTOCOL_OK) return r;
    read[device_block::kActiveProfile] = active;
    read[device_block::kCleared] = 0;
    *block = read;
    *profile = active;
    return PROTOCOL_OK;
}

int CCorvaneKeyboardDevice::ReadProfileBlock(int* profile, int, int) {
    // Re-reading its block takes the keyboard out of the shared sync lighting.
    m_commandChannel.SetSyncFlag(0);
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    KeyboardDeviceBlock block{};
    uint8_t active = 0;
    if (ReadActiveBlock(&block, &active) != PROTOCOL_OK) return PROTOCOL_NOT_SENT;
    m_activeProfile = active;
    if (profile) *profile = active;
    m_blockCopy = block;
    m_hasBlockCopy = true;

    const LightSetting before = CurrentLightSetting();
    const DeviceBlockSettings merged = MergeDeviceBlock(block, m_defaultLightValues, before, m_systemStages);
    CCorvaneUSBDevice::SetLightSetting(merged.light);
    SetRunningState(merged.light);
    if (merged.light.mode != before.mode || merged.light.mode == 19) EnterLightMode(merged.light.mode, true);
    m_systemStages = merged.stages;
    m_frameInterval = merged.frameInterval;

    m_profile.SetFrameIntervalTime(m_frameInterval);
    const auto words = m_systemStages.ToWords();
    m_profile.SetSystemStages(words[0], words[1], words[2], words[3]);
    m_profile.SetLightInfo(merged.light);
    m_profile.SaveProfile();
    return PROTOCOL_OK;
}

int CCorvaneKeyboardDevice::EnsureBlockCopy() {
    if (m_hasBlockCopy) return PROTOCOL_OK;
    // The bytes the page does not manage must be the keyboard's own: without
    // a copy yet, take the active block as it stands (nothing merged).
    KeyboardDeviceBlock block{};
    uint8_t active = 0;
    const int r = ReadActiveBlock(&block, &active);
    if (r != PROTOCOL_OK) return r;
    m_blockCopy = block;
    m_hasBlockCopy = true;
    m_activeProfile = active;
    return PROTOCOL_OK;
}

int CCorvaneKeyboardDevice::WriteProfileBlock(int profile, int firstByte, int, int, int) {
    const int copied = EnsureBlockCopy();
    if (copied != PROTOCOL_OK) return copied;
    const KeyboardDeviceBlock block =
        BuildDeviceBlock(m_blockCopy, m_profile.GetLightInfo(), m_profile.GetSystemStages(), m_defaultLightValues,
                         m_frameInterval, LocalKeyboardClock(), uint8_t(firstByte));
    return SendBracketed([&] {
        return m_commandChannel.WriteParamBlock(block.data(), uint32_t(block.size()),
                                                uint32_t(profile) * kDeviceBlockStride);
    });
}

std::vector<int> CCorvaneKeyboardDevice::GetUsedMacros() {
    const auto list = LoadMacroList(GetUserDataFolder());
    if (!list) return {};
    return PlanKeyMap(m_layoutTable, m_positions.keyIndex, m_keyList, int(list->size())).usedMacros;
}

int CCorvaneKeyboardDevice::WriteKeyAssignments(int profile, const std::vector<KeyListEntry>& keys) {
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    // A map built on an unread layout table would clear every key.
    if (!m_tablesRead) return PROTOCOL_NOT_SENT;
    FirstFailure f;
    f.Note(m_commandChannel.ReadDeviceInfo(&m_deviceInfo));
    const KeyMapPlan plan = PlanKeyMap(m_layoutTable, m_positions.keyIndex, keys, MacroCount(GetUserDataFolder()));
    f.Note(SendBracketed([&] { return m_commandChannel.WriteKeyMap(plan.map.data(), uint32_t(profile)); }));
    return f.result;
}

int CCorvaneKeyboardDevice::WriteCurrentKeyAssignments(int profile) {
    const std::vector<KeyListEntry> keys = m_keyList;
    return WriteKeyAssignments(profile, keys);
}

int CCorvaneKeyboardDevice::WriteMacros(const std::vector<int>& macros) {
    const DuiLib::CDuiString folder = GetUserDataFolder();
    const auto list = LoadMacroList(folder);
    if (!list || list->empty()) return 0;
    // The capacity comes from a fresh information read; a keyboard that does
    // not answer it cannot take the table either.
    if (!m_commandChannel.IsOpen()) return -1;
    if (const int info = m_commandChannel.ReadDeviceInfo(&m_deviceInfo); info != PROTOCOL_OK)
        return info == PROTOCOL_NOT_LINKED ? PROTOCOL_NOT_LINKED : -1;

    std::vector<std::vector<DeviceMacroEvent>> packed;
    std::vector<size_t> counts;
    for (int index : macros) {
        std::vector<DeviceMacroEvent> events;
        if (index >= 0 && size_t(index) < list->size()) {
            for (const Json::Value& e : LoadMacroEventsJson(MacroFilePath(folder, (*list)[size_t(index)].guid))) {
                DeviceMacroEvent d;
                PackMacroEvent(e, d);
                events.push_back(d);
            }
        }
        counts.push_back(events.size());
        packed.push_back(std::move(events));
    }
    const size_t total = MacroBlobSize(counts);
    const size_t capacity = m_deviceInfo.MacroCapacityBytes();
    if (total > capacity) return int((total - capacity) / 4 + 1);
    const std::vector<uint8_t> blob = BuildMacroBlob(packed);
    if (blob.empty()) return -1;

    const int r = SendBracketed([&] { return m_commandChannel.WriteMacros(blob.data(), uint32_t(blob.size())); });
    if (r == PROTOCOL_OK) return 0;
    return r == PROTOCOL_NOT_LINKED ? PROTOCOL_NOT_LINKED : -1;
}

int CCorvaneKeyboardDevice::WriteClock(int profile) {
    const KeyboardClock clock = LocalKeyboardClock();
    return SendBracketed([&] {
        return m_commandChannel.WriteClock(clock.data(), uint32_t(clock.size()),
                                           uint32_t(profile) * kDeviceBlockStride);
    });
}

void CCorvaneKeyboardDevice::PollStatus() { ReadStatus(); }

void CCorvaneKeyboardDevice::ReadStatus() {
    if (!m_commandChannel.IsOpen() || GetWindowHidden()) return;
    if (!m_commandChannel.QueryLink()) return;
    DeviceStatusBlock status;
    if (m_commandChannel.ReadStatus(status.bytes, DeviceStatusBlock::kSize, 0) != PROTOCOL_OK) return;
    status.SetWirelessLink(m_commandChannel.IsReceiverMode() ? 1 : 0);
    if (m_pPowerPanel) m_pPowerPanel->SetPowerInfo(status.bytes, int(DeviceStatusBlock::kSize));
    win::SendMessageW(m_hMainWnd, WM_DEVICE_STATUS, status.StatusCode(), 0);
}

int CCorvaneKeyboardDevice::CheckDongleLink() {
    return m_commandChannel.IsOpen() && m_commandChannel.IsReceiverMode() && m_commandChannel.QueryLink() ? 1 : 0;
}

void CCorvaneKeyboardDevice::StreamLedFrame() {
    if (!IsLightingEnabled()) return;
    std::array<uint8_t, kKeyTableBytes> frame{};
    const int leds = std::min<int>(m_leds.GetLedCount(), int(kKeyPositionCount));
    for (int i = 0; i < leds; ++i) {
        const size_t j = m_streamLedMap[size_t(i)].load();
        if (j == kNoKeyPosition || 3 * j + 2 >= frame.size()) continue;
        const LedColor led = m_leds.GetLed(i);
        frame[3 * j] = uint8_t(led.r * led.brightness / 256);
        frame[3 * j + 1] = uint8_t(led.g * led.brightness / 256);
        frame[3 * j + 2] = uint8_t(led.b * led.brightness / 256);
    }
    const uint8_t mode = CurrentLightSetting().mode;
    if (mode != 21 && mode != 22) return;
    const uint32_t length = uint32_t(m_streamKeyCount.load()) * 3;
    if (m_commandChannel.StreamColors(frame.data(), length) != PROTOCOL_OK) PauseStream(kStreamBackoffMs);
}
