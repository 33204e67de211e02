// Every exchange of the mouse page with its mouse: information and default
// key table, position map, parameter block, key map, macro and recoil tables.
#include <algorithm>
#include <cstdio>

#include "devices/corvane_mouse_device.h"
#include "link/device/macro_blob.h"
#include "link/device_packet.h"
#include "link/json_read.h"
#include "link/macro_event_pack.h"
#include "pages/macro_files.h"
#include "pages/shoot_gun_steps.h"
#include "platform/ui/controls.h"

using namespace DuiLib;

namespace {

// Keeps the first result that is not 1.
struct FirstFailure {
    int result = PROTOCOL_OK;
    int Note(int r) {
        if (result == PROTOCOL_OK && r != PROTOCOL_OK) result = r;
        return r;
    }
};

bool IsMacroFunction(uint8_t code) { return code == 0x70 || code == 0x71; }

int MacroCount(const CDuiString& folder) {
    const auto list = LoadMacroList(folder);
    return list ? int(list->size()) : 0;
}

std::vector<DeviceMacroEvent> PackEvents(const Json::Value& events) {
    std::vector<DeviceMacroEvent> packed;
    if (!events.isArray()) return packed;
    for (const Json::Value& e : events) {
        DeviceMacroEvent d;
        PackMacroEvent(e, d);
        packed.push_back(d);
    }
    return packed;
}

void PutWord(uint8_t* at, int value) {
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t((value >> 8) & 0xFF);
}

}  // namespace

bool CCorvaneMouseDevice::IsChannelUsable() {
    if (!m_commandChannel.IsOpen()) return false;
    return !m_commandChannel.IsReceiverMode() || m_commandChannel.QueryLink();
}

int CCorvaneMouseDevice::SendBracketed(const std::function<int()>& data) {
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    if (!IsChannelUsable()) return PROTOCOL_NOT_LINKED;
    FirstFailure f;
    if (f.Note(m_commandChannel.BeginSession()) == PROTOCOL_OK) f.Note(data());
    // A session once begun is always ended.
    f.Note(m_commandChannel.EndSession());
    return f.result;
}

// --- Connection read -------------------------------------------------------------

int CCorvaneMouseDevice::ReadDeviceInfo(int) {
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    if (!IsChannelUsable()) return PROTOCOL_NOT_LINKED;
    FirstFailure f;
    f.Note(m_commandChannel.BeginSession());
    DeviceInfoBlock info = m_deviceInfo;
    std::array<uint8_t, 512> table{};
    if (f.Note(m_commandChannel.ReadDeviceInfo(&info)) == PROTOCOL_OK) {
        // More keys than the table holds: the size is refused and nothing is read.
        if (info.KeyCount() > kMaxMouseKeys)
            f.Note(PROTOCOL_NOT_SENT);
        else if (f.Note(m_commandChannel.SetDataSize(uint16_t(info.KeyCount() * 3))) == PROTOCOL_OK)
            f.Note(m_commandChannel.ReadLayoutTable(table.data()));
    }
    // Whatever happened, the session opened above is closed.
    f.Note(m_commandChannel.EndSession());
    // A read that did not complete leaves the previous information, table and map.
    if (f.result != PROTOCOL_OK) return f.result;
    m_deviceInfo = info;
    m_defaultKeyTable = table;
    m_tableKeyCount = info.KeyCount();
    MapKeyFunctions();

    const int step = std::max<int>(1, m_deviceInfo.DpiStep());
    const int maximum = m_deviceInfo.DpiSliderMax();
    for (int stage = 0; stage < int(mouse_block::kStageCount); ++stage) {
        wchar_t name[32];
        std::swprintf(name, 32, L"DPI_slider_%d", stage);
        if (CControlUI* c = FindSubControl(name)) {
            if (auto* slider = static_cast<CSliderUI*>(c->GetInterface(L"Slider"))) {
                slider->SetMinValue(0);
                slider->SetMaxValue(maximum);
            }
        }
        std::swprintf(name, 32, L"DPI_edit_%d", stage);
        if (CControlUI* c = FindSubControl(name)) {
            if (auto* edit = static_cast<CEditUI*>(c->GetInterface(L"Edit"))) edit->SetMinMaxNumber(0, maximum * step);
        }
    }
    return PROTOCOL_OK;
}

void CCorvaneMouseDevice::MapKeyFunctions() {
    // The whole map starts empty: with fewer keys than positions a stale entry
    // would send a function to the wrong device key.
    m_keyPositionMap.clear();
    for (int p = 0; p < kMouseButtonCount; ++p) m_keyPositionMap[p] = kNoDeviceKey;
    const int keys = std::min<int>(m_deviceInfo.KeyCount(), kMaxMouseKeys);
    for (int row = 0; row < kMouseButtonCount; ++row) {
        const KeyFunction& f = MouseReferenceFunctionTable[row];
        for (int k = 0; k < keys; ++k) {
            const uint8_t* at = &m_defaultKeyTable[size_t(k) * 3];
            if (at[0] == f.code && at[1] == f.param1 && at[2] == f.param2) {
                m_keyPositionMap[row] = k;
                break;
            }
        }
    }
}

std::array<int, kMouseButtonCount> CCorvaneMouseDevice::GetPositionMap() const {
    std::array<int, kMouseButtonCount> map;
    map.fill(kNoDeviceKey);
    for (int p = 0; p < kMouseButtonCount; ++p) {
        const auto it = m_keyPositionMap.find(p);
        if (it != m_keyPositionMap.end()) map[size_t(p)] = it->second;
    }
    return map;
}

// --- Parameter block --------------------------------------------------------------

MouseDeviceBlock CCorvaneMouseDevice::GetLastDeviceBlock() const {
    std::lock_guard lock(m_blockLock);
    return m_lastDeviceBlock;
}

void CCorvaneMouseDevice::SetLightingCopy(const LightSetting& s) {
    m_copyBrightness.store(s.brightness);
    m_copySpeed.store(s.speed);
    m_copyColorful.store(s.colorful);
    m_copyColor.store(uint32_t(s.red) | uint32_t(s.green) << 8 | uint32_t(s.blue) << 16);
    m_copyMode.store(s.mode);
}

LightSetting CCorvaneMouseDevice::GetLightingCopy() const {
    LightSetting s{};
    s.mode = m_copyMode.load();
    s.brightness = m_copyBrightness.load();
    s.speed = m_copySpeed.load();
    s.direction = m_copyDirection;
    s.colorful = m_copyColorful.load();
    const uint32_t c = m_copyColor.load();
    s.red = uint8_t(c);
    s.green = uint8_t(c >> 8);
    s.blue = uint8_t(c >> 16);
    return s;
}

int CCorvaneMouseDevice::ReadParamBlock(int* profile, int) {
    // Re-reading the mouse takes it out of the shared sync lighting.
    m_commandChannel.SetSyncFlag(0);
    if (!IsChannelUsable()) return 0;
    uint8_t active = 0;
    if (m_commandChannel.ReadParamBlock(&active, 1, 0) != PROTOCOL_OK) return 0;
    MouseDeviceBlock block{};
    if (m_commandChannel.ReadParamBlock(block.data(), uint32_t(block.size()),
                                        uint32_t(active) * mouse_block::kProfileStride) != PROTOCOL_OK)
        return 0;
    using namespace mouse_block;
    block[kProfile] = active;
    // A code the mode list does not hold stands for its own index.
    const uint8_t code = block[kModeCode];
    const auto& values = m_defaultLightValues;
    const auto found = std::find(values.begin(), values.end(), int32_t(code));
    block[kModeCode] = found != values.end() ? uint8_t(found - values.begin()) : code;
    block[kCleared] = 0;
    // Device bytes become indexes of the level tables: held to their ranges.
    block[kBrightness] = uint8_t(std::min<int>(block[kBrightness], kMaxBrightnessLevel));
    {
        std::lock_guard lock(m_blockLock);
        m_lastDeviceBlock = block;
    }
    m_activeProfile = active;

    LightSetting s = CurrentLightSetting();
    s.mode = block[kModeCode];
    s.brightness = block[kBrightness];
    s.speed = uint8_t(std::clamp(5 - int(block[kSpeedCode]), 0, kMaxProfileSpeedLevel));
    s.colorful = block[kColorful];
    s.red = block[kRed];
    s.green = block[kGreen];
    s.blue = block[kBlue];
    CCorvaneUSBDevice::SetLightSetting(s);
    SetLightingCopy(s);

    m_profile.SetActiveDpiStage(block[kActiveStage]);
    m_profile.SetLightInfo(s);
    m_profile.SaveProfile();
    if (profile) *profile = active;
    return 1;
}

std::array<uint8_t, mouse_block::kWriteSize> CCorvaneMouseDevice::BuildParamBlock(int firstByte, int flag,
                                                                                  int screenWidth, int screenHeight) {
    using namespace mouse_block;
    std::array<uint8_t, kWriteSize> b{};
    const LightSetting light = m_profile.GetLightInfo();
    const MouseSystemStages system = m_profile.GetSystemStages();
    const std::vector<DpiStage> stages = m_profile.GetDpiStages();
    const std::vector<int32_t>& values = m_defaultLightValues;

    b[kProfile] = uint8_t(firstByte);
    if (light.mode >= 10)
        b[kModeCode] = values.empty() ? 0 : uint8_t(values[0]);
    else
        // A mode the list has no code for is sent as itself (read back the same way).
        b[kModeCode] = light.mode < values.size() ? uint8_t(values[light.mode]) : light.mode;
    b[kBrightness] = light.brightness;
    b[kSpeedCode] = uint8_t(5 - light.speed);
    b[kDirection] = light.direction;
    b[kColorful] = light.colorful;
    b[kRed] = light.red;
    b[kGreen] = light.green;
    b[kBlue] = light.blue;
    b[kPollingRate] = uint8_t(system.reportRate);
    b[kActiveStage] = uint8_t(m_profile.GetActiveDpiStage());
    for (size_t i = 0; i < stages.size() && i < kStageCount; ++i) {
        uint8_t* at = &b[kStages + i * kStageSize];
        const DpiStage& s = stages[i];
        at[0] = s.active;
        at[1] = s.separateXY;
        PutWord(at + 2, s.x);
        PutWord(at + 4, s.y);
        at[6] = s.red;
        at[7] = s.green;
        at[8] = s.blue;
    }
    b[kFlag] = uint8_t(flag);
    PutWord(&b[kScreenWidth], screenWidth);
    PutWord(&b[kScreenHeight], screenHeight);
    for (const CorrectionEntry& c : m_profile.GetCorrectInfo()) {
        if (c.select == 0) continue;
        b[kCorrectMinSq] = c.minSq;
        b[kCorrectPixThresh] = c.pixThresh;
        break;
    }
    return b;
}

int CCorvaneMouseDevice::WriteProfileBlock(int profile, int firstByte, int flag, int screenWidth, int screenHeight) {
    const auto block = BuildParamBlock(firstByte, flag, screenWidth, screenHeight);
    return SendBracketed([&] {
        return m_commandChannel.WriteParamBlock(block.data(), uint32_t(block.size()),
                                                uint32_t(profile) * mouse_block::kProfileStride);
    });
}

// --- Key map ----------------------------------------------------------------------

std::vector<int> CCorvaneMouseDevice::GetUsedMacros() {
    const auto list = LoadMacroList(GetUserDataFolder());
    if (!list) return {};
    const int n = int(list->size());
    std::vector<int> used;
    const auto map = GetPositionMap();
    for (size_t p = 0; p < map.size() && p < m_keyList.size(); ++p) {
        if (map[p] == kNoDeviceKey) continue;
        const KeyFunction& f = m_keyList[p].current.function;
        if (!IsMacroFunction(f.code) || f.param1 >= n) continue;
        if (std::find(used.begin(), used.end(), int(f.param1)) == used.end()) used.push_back(f.param1);
    }
    return used;
}

std::vector<uint8_t> CCorvaneMouseDevice::PlanKeyMap(std::vector<KeyListEntry>& keys, int macroCount) const {
    const size_t keyCount = std::min<size_t>(m_deviceInfo.KeyCount(), kMaxMouseKeys);
    std::vector<uint8_t> map(m_defaultKeyTable.begin(), m_defaultKeyTable.begin() + std::ptrdiff_t(keyCount * 3));
    std::vector<int> used;
    const auto positions = GetPositionMap();
    for (size_t p = 0; p < positions.size() && p < keys.size(); ++p) {
        const int k = positions[p];
        if (k == kNoDeviceKey || size_t(k) >= keyCount) continue;
        KeyListEntry& e = keys[p];
        if (IsMacroFunction(e.current.function.code)) {
            const int index = e.current.function.param1;
            if (index < macroCount) {
                auto it = std::find(used.begin(), used.end(), index);
                if (it == used.end()) it = used.insert(used.end(), index);
                e.current.function.param1 = uint8_t(it - used.begin());
            } else {
                // A macro the list no longer has: the key keeps its default.
                e.current.function = e.defaults.function;
                e.current.keyIndex = e.defaults.keyIndex;
            }
        }
        map[size_t(k) * 3] = e.current.function.code;
        map[size_t(k) * 3 + 1] = e.current.function.param1;
        map[size_t(k) * 3 + 2] = e.current.function.param2;
    }
    return map;
}

int CCorvaneMouseDevice::WriteKeyAssignments(int profile, const std::vector<KeyListEntry>& keys) {
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    if (!IsChannelUsable()) return PROTOCOL_NOT_LINKED;
    if (const int r = m_commandChannel.ReadDeviceInfo(&m_deviceInfo); r != PROTOCOL_OK) return r;
    if (m_deviceInfo.KeyCount() > kMaxMouseKeys) return PROTOCOL_NOT_SENT;
    // The map starts from the default table: one never read, or read for
    // another key count, would overwrite keys with nothing.
    if (m_tableKeyCount != m_deviceInfo.KeyCount()) return PROTOCOL_NOT_SENT;
    if (m_commandChannel.SetDataSize(uint16_t(m_deviceInfo.KeyCount() * 3)) != PROTOCOL_OK) return PROTOCOL_NOT_SENT;
    std::vector<KeyListEntry> copy = keys;
    const std::vector<uint8_t> map = PlanKeyMap(copy, MacroCount(GetUserDataFolder()));
    return SendBracketed([&] { return m_commandChannel.WriteKeyMap(map.data(), uint32_t(profile)); });
}

int CCorvaneMouseDevice::WriteCurrentKeyAssignments(int profile) {
    const std::vector<KeyListEntry> keys = m_keyList;
    return WriteKeyAssignments(profile, keys);
}

// --- Macro and recoil tables -----------------------------------------------------------

int CCorvaneMouseDevice::WriteMacros(const std::vector<int>& macros) {
    const CDuiString folder = GetUserDataFolder();
    const auto list = LoadMacroList(folder);
    if (!list || macros.empty()) return 0;
    if (!m_commandChannel.IsOpen()) return -1;
    if (!IsChannelUsable()) return PROTOCOL_NOT_LINKED;
    // The capacity comes from a fresh information read; a mouse that does not
    // answer it cannot take the table either.
    if (const int info = m_commandChannel.ReadDeviceInfo(&m_deviceInfo); info != PROTOCOL_OK)
        return info == PROTOCOL_NOT_LINKED ? PROTOCOL_NOT_LINKED : -1;

    std::vector<std::vector<DeviceMacroEvent>> packed;
    std::vector<size_t> counts;
    for (int index : macros) {
        std::vector<DeviceMacroEvent> events;
        if (index >= 0 && size_t(index) < list->size())
            events = PackEvents(LoadMacroEventsJson(MacroFilePath(folder, (*list)[size_t(index)].guid)));
        counts.push_back(events.size());
        packed.push_back(std::move(events));
    }
    const size_t total = MacroBlobSize(counts);
    const size_t capacity = m_deviceInfo.MacroCapacityBytes();
    if (total > capacity) return int(((total - capacity) >> 2) + 1);
    const std::vector<uint8_t> blob = BuildMacroBlob(packed);
    if (blob.empty()) return -1;

    const int r = SendBracketed([&] { return m_commandChannel.WriteMacros(blob.data(), uint32_t(blob.size())); });
    if (r == PROTOCOL_OK) return 0;
    return r == PROTOCOL_NOT_LINKED ? PROTOCOL_NOT_LINKED : -1;
}

int CCorvaneMouseDevice::UploadShootData() {
    if (!m_commandChannel.IsOpen()) return PROTOCOL_NOT_SENT;
    if (!IsChannelUsable()) return PROTOCOL_NOT_LINKED;
    m_commandChannel.ReadDeviceInfo(&m_deviceInfo);
    // Each gun packs at most 180 steps, so the table's 16-bit lengths cannot wrap.
    const std::vector<uint8_t> blob = BuildMacroBlob(LoadShootGunSteps(GetUserDataFolder()));
    if (blob.empty()) return PROTOCOL_NOT_SENT;
    return SendBracketed([&] { return m_commandChannel.WriteShootData(blob.data(), uint32_t(blob.size())); });
}
