#include "link/mouse_profiledata.h"

#include "link/profile_json.h"
#include "link/text_encoding.h"

using Guard = std::lock_guard<std::recursive_mutex>;
namespace pj = profile_json;

namespace {

std::vector<DpiStage> ReadStages(const Json::Value& dpiStages) {
    std::vector<DpiStage> stages;
    const Json::Value& list = JsonMember(dpiStages, "StageDPIs");
    if (!list.isArray()) {
        return stages;
    }
    stages.reserve(list.size());
    for (const Json::Value& element : list) {
        DpiStage stage;
        stage.active = pj::Low8(JsonMember(element, "StageActive"));
        stage.red = pj::Low8(JsonMember(element, "StageColorR"));
        stage.green = pj::Low8(JsonMember(element, "StageColorG"));
        stage.blue = pj::Low8(JsonMember(element, "StageColorB"));
        stage.separateXY = pj::Low8(JsonMember(element, "StageXY"));
        stage.x = pj::Low16(JsonMember(element, "StageDPIX"));
        stage.y = pj::Low16(JsonMember(element, "StageDPIY"));
        stages.push_back(stage);
    }
    return stages;
}

}  // namespace

MouseSystemStages MouseSystemStages::FromWords(uint32_t w0, uint32_t w1, uint32_t w2) {
    MouseSystemStages s;
    s.doubleClickTime = static_cast<uint16_t>(w0);
    s.mouseSpeed = static_cast<uint16_t>(w0 >> 16);
    s.pointerPrecision = static_cast<uint16_t>(w1);
    s.scrollPage = static_cast<uint16_t>(w1 >> 16);
    s.wheelScrollLines = static_cast<uint16_t>(w2);
    s.reportRate = static_cast<uint16_t>(w2 >> 16);
    return s;
}

std::array<uint32_t, 3> MouseSystemStages::ToWords() const {
    return {uint32_t(doubleClickTime) | uint32_t(mouseSpeed) << 16,
            uint32_t(pointerPrecision) | uint32_t(scrollPage) << 16,
            uint32_t(wheelScrollLines) | uint32_t(reportRate) << 16};
}

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
    Guard guard(Lock());
    const Json::Value defaults = JsonMember(LoadDefaultEntry(), "DPIStages");
    const Json::Value& own = pj::Touch(DeviceDocument(), "DPIStages");
    const Json::Value& source = own.isObject() ? own : defaults;

    std::vector<DpiStage> stages = ReadStages(source);
    const std::vector<DpiStage> fallback = ReadStages(defaults);
    for (size_t i = stages.size(); i < fallback.size(); ++i) {
        stages.push_back(fallback[i]);
    }
    const int active = JsonAsInt(JsonMember(source, "StageActive"));
    active_dpi_stage_ = active >= 0 && static_cast<size_t>(active) < stages.size() ? static_cast<int>(active) : 0;
    dpi_stages_ = stages;
    return stages;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
    Guard guard(Lock());
    dpi_stages_ = stages;
    if (stages.empty()) {
        return;
    }
    Json::Value& list = pj::ObjectMember(pj::ObjectMember(DeviceDocument(), "DPIStages"), "StageDPIs");
    for (size_t i = 0; i < stages.size(); ++i) {
        Json::Value& element = pj::ArrayElement(list, static_cast<Json::ArrayIndex>(i));
        const DpiStage& stage = stages[i];
        pj::ObjectMember(element, "StageActive") = stage.active;
        pj::ObjectMember(element, "StageColorB") = stage.blue;
        pj::ObjectMember(element, "StageColorG") = stage.green;
        pj::ObjectMember(element, "StageColorR") = stage.red;
        pj::ObjectMember(element, "StageXY") = stage.separateXY;
        pj::ObjectMember(element, "StageDPIX") = stage.x;
        pj::ObjectMember(element, "StageDPIY") = stage.y;
    }
}

int CMouseProfiledata::GetActiveDpiStage() const {
    Guard guard(Lock());
    return active_dpi_stage_;
}

void CMouseProfiledata::SetActiveDpiStage(int stage) {
    Guard guard(Lock());
    active_dpi_stage_ = stage;
    pj::ObjectMember(pj::ObjectMember(DeviceDocument(), "DPIStages"), "StageActive") = stage;
}

void CMouseProfiledata::SetSystemStages(uint32_t w0, uint32_t w1, uint32_t w2) {
    Guard guard(Lock());
    system_stages_ = MouseSystemStages::FromWords(w0, w1, w2);
    Json::Value& stages = pj::ObjectMember(DeviceDocument(), "SystemStages");
    pj::ObjectMember(stages, "DoubleClickTime") = system_stages_.doubleClickTime;
    pj::ObjectMember(stages, "MouseSpeed") = system_stages_.mouseSpeed;
    pj::ObjectMember(stages, "PointerPrecision") = system_stages_.pointerPrecision;
    pj::ObjectMember(stages, "ScorllPage") = system_stages_.scrollPage;
    pj::ObjectMember(stages, "WheelScorlllinse") = system_stages_.wheelScrollLines;
    pj::ObjectMember(pj::ObjectMember(DeviceDocument(), "ReportStages"), "StageActive") = system_stages_.reportRate;
}

MouseSystemStages CMouseProfiledata::GetSystemStages() {
    Guard guard(Lock());
    MouseSystemStages s;
    const Json::Value& stages = pj::Touch(DeviceDocument(), "SystemStages");
    if (stages.isObject()) {
        s.doubleClickTime = pj::Low16(JsonMember(stages, "DoubleClickTime"));
        s.mouseSpeed = pj::Low16(JsonMember(stages, "MouseSpeed"));
        s.pointerPrecision = pj::Low16(JsonMember(stages, "PointerPrecision"));
        s.scrollPage = pj::Low16(JsonMember(stages, "ScorllPage"));
        s.wheelScrollLines = pj::Low16(JsonMember(stages, "WheelScorlllinse"));
        s.reportRate = pj::Low16(JsonMember(pj::Touch(DeviceDocument(), "ReportStages"), "StageActive"));
    }
    system_stages_ = s;
    return s;
}

std::vector<CorrectionEntry> CMouseProfiledata::GetCorrectInfo() {
    Guard guard(Lock());
    std::vector<CorrectionEntry> entries;
    const Json::Value& list = pj::Touch(DeviceDocument(), "CorrectInfo");
    if (list.isArray()) {
        entries.reserve(list.size());
        for (const Json::Value& element : list) {
            CorrectionEntry entry;
            entry.pixThresh = pj::Low8(JsonMember(element, "CorrectPixThresh"));
            entry.minSq = pj::Low8(JsonMember(element, "CorrectMinSq"));
            entry.select = pj::Low8(JsonMember(element, "CorrectSelect"));
            entry.name = Utf8ToDuiString(JsonAsString(JsonMember(element, "CorrectName")));
            entries.push_back(std::move(entry));
        }
    }
    correct_info_ = entries;
    return entries;
}
