#include "link/hs6533_profiledata.h"

#include <algorithm>

#include "link/profile_json.h"
#include "link/text_encoding.h"

using DuiLib::CDuiString;
using Guard = std::lock_guard<std::recursive_mutex>;
namespace pj = profile_json;

namespace {

// The preset a number selects; 0 for the custom preset, which has no bands.
Json::ArrayIndex MapPreset(int preset) {
    const unsigned n = static_cast<unsigned>(preset);
    if (n == static_cast<unsigned>(CHs6533Profiledata::kCustomEqPreset)) {
        return 0;
    }
    if (n == 0 || n > static_cast<unsigned>(CHs6533Profiledata::kCustomEqPreset)) {
        return 1;
    }
    return n;
}

bool IsCustomEq(int index) { return index >= 0 && index < CHs6533Profiledata::kMaxCustomEqs; }

void WriteBands(Json::Value& table, Json::ArrayIndex index, const std::vector<int32_t>& bands) {
    if (bands.size() < static_cast<size_t>(CHs6533Profiledata::kBandCount)) {
        return;
    }
    Json::Value& preset = pj::ArrayElement(table, index);
    for (Json::ArrayIndex b = 0; b < static_cast<Json::ArrayIndex>(CHs6533Profiledata::kBandCount); ++b) {
        pj::ObjectMember(pj::ArrayElement(preset, b), "value") = bands[b];
    }
}

// Ten bands of table[index]; a missing entry is written as ten zero bands,
// a present one is only read.
std::vector<int32_t> ReadBands(Json::Value& document, const char* key, Json::ArrayIndex index) {
    std::vector<int32_t> bands(CHs6533Profiledata::kBandCount, 0);
    const Json::Value& preset = JsonElement(pj::Touch(document, key), static_cast<int>(index));
    if (preset.isArray()) {
        for (Json::ArrayIndex b = 0; b < bands.size(); ++b) {
            bands[b] = JsonAsInt(JsonMember(JsonElement(preset, static_cast<int>(b)), "value"));
        }
        return bands;
    }
    Json::Value& written = pj::ArrayElement(pj::ObjectMember(document, key), index);
    written = Json::Value(Json::arrayValue);
    for (Json::ArrayIndex b = 0; b < bands.size(); ++b) {
        written[b]["value"] = 0;
    }
    return bands;
}

}  // namespace

void CHs6533Profiledata::SetSystemSetStages(const HeadsetSystemSetStages& s) {
    Guard guard(Lock());
    system_set_stages_ = s;
    Json::Value& stages = pj::ObjectMember(DeviceDocument(), "SystemSetStages");
    pj::ObjectMember(stages, "MagicEnable") = s.magicEnable;
    pj::ObjectMember(stages, "MagicType") = s.magicType;
    pj::ObjectMember(stages, "EqType") = s.eqType;
    pj::ObjectMember(stages, "CustomEqSeletIndex") = s.customEqSelectIndex;
    pj::ObjectMember(stages, "MicInSelect") = s.micInSelect;
    pj::ObjectMember(stages, "MicInValue") = s.micInValue;
    pj::ObjectMember(stages, "MicMoniterSelect") = s.micMonitorSelect;
    pj::ObjectMember(stages, "MicMoniterValue") = s.micMonitorValue;
}

HeadsetSystemSetStages CHs6533Profiledata::GetSystemSetStages() {
    Guard guard(Lock());
    HeadsetSystemSetStages s;
    const Json::Value& stages = pj::Touch(DeviceDocument(), "SystemSetStages");
    if (stages.isObject()) {
        s.magicEnable = JsonAsInt(JsonMember(stages, "MagicEnable"));
        s.magicType = JsonAsInt(JsonMember(stages, "MagicType"));
        s.eqType = JsonAsInt(JsonMember(stages, "EqType"));
        const Json::Value& names = JsonMember(DeviceDocument(), "CustomEQNameInfo");
        const int64_t customCount =
            std::min<int64_t>(kMaxCustomEqs, names.isArray() ? static_cast<int64_t>(names.size()) : 0);
        s.customEqSelectIndex =
            static_cast<int32_t>(pj::InRange(JsonMember(stages, "CustomEqSeletIndex"), 0, customCount - 1));
        s.micInSelect = JsonAsInt(JsonMember(stages, "MicInSelect"));
        s.micInValue = JsonAsInt(JsonMember(stages, "MicInValue"));
        s.micMonitorSelect = JsonAsInt(JsonMember(stages, "MicMoniterSelect"));
        s.micMonitorValue = JsonAsInt(JsonMember(stages, "MicMoniterValue"));
    }
    system_set_stages_ = s;
    return s;
}

void CHs6533Profiledata::SetEqPreset(int preset, const std::vector<int32_t>& bands) {
    Guard guard(Lock());
    const Json::ArrayIndex p = MapPreset(preset);
    if (p == 0) {
        return;
    }
    WriteBands(pj::ObjectMember(DeviceDocument(), "EQHzValueInfo"), p, bands);
}

std::vector<int32_t> CHs6533Profiledata::GetEqPreset(int preset) {
    Guard guard(Lock());
    const Json::ArrayIndex p = MapPreset(preset);
    if (p == 0) {
        return {};
    }
    return ReadBands(DeviceDocument(), "EQHzValueInfo", p);
}

void CHs6533Profiledata::SetCustomEqNames(const std::vector<CDuiString>& names) {
    Guard guard(Lock());
    Json::Value list;  // null when there are no names
    for (size_t i = 0; i < names.size(); ++i) {
        list[static_cast<Json::ArrayIndex>(i)]["Name"] = WideToUtf8(names[i]);
    }
    pj::ObjectMember(DeviceDocument(), "CustomEQNameInfo") = std::move(list);
}

std::vector<CDuiString> CHs6533Profiledata::GetCustomEqNames() {
    Guard guard(Lock());
    std::vector<CDuiString> names;
    const Json::Value& list = pj::Touch(DeviceDocument(), "CustomEQNameInfo");
    if (list.isArray()) {
        for (const Json::Value& element : list) {
            names.push_back(Utf8ToDuiString(JsonAsString(JsonMember(element, "Name"))));
        }
    }
    return names;
}

void CHs6533Profiledata::SetCustomEq(int index, const std::vector<int32_t>& bands) {
    Guard guard(Lock());
    if (!IsCustomEq(index)) {
        return;
    }
    WriteBands(pj::ObjectMember(DeviceDocument(), "CustomEQHzValueInfo"), static_cast<Json::ArrayIndex>(index), bands);
}

std::vector<int32_t> CHs6533Profiledata::GetCustomEq(int index) {
    Guard guard(Lock());
    if (!IsCustomEq(index)) {
        return std::vector<int32_t>(kBandCount, 0);
    }
    return ReadBands(DeviceDocument(), "CustomEQHzValueInfo", static_cast<Json::ArrayIndex>(index));
}
