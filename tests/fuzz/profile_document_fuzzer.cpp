// Feeds arbitrary bytes as a profile file and as a light-list file: loading
// them through each kind of profile document, reading every record and
// parsing the light lists and effect steps must neither crash nor read out
// of bounds, whatever the file holds.

#include "link/basic_profiledata.h"
#include "link/hs6533_profiledata.h"
#include "link/json_file_util.h"
#include "link/json_read.h"
#include "link/keyboard_profiledata.h"
#include "link/light_list.h"
#include "link/mouse_profiledata.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        static char pattern[] = "/tmp/tavrik-profile-fuzz-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) std::abort();
        // Every run removes what it wrote, so the folder is empty at the end.
        std::atexit([] { ::rmdir(pattern); });
        return std::string(pattern);
    }();
    return folder;
}

DuiLib::CDuiString Dui(const std::string& path) { return DuiLib::CDuiString(std::wstring(path.begin(), path.end())); }

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

void ReadBase(CBasicProfiledata& doc, const std::string& path, const std::uint8_t* data, std::size_t size) {
    WriteFile(path, data, size);
    doc.SetProfilePath(Dui(path));
    doc.LoadProfile(Dui(path));
    doc.GetLightInfo();
    doc.GetAudioLightInfo();
    doc.GetKeyList();
    doc.GetLightList();
    WriteFile(path, data, size);
    doc.LoadOtherProfile(Dui(path));
    doc.GetOtherKeyList();
    WriteFile(path, data, size);
    doc.LoadLightList(Dui(path));
    doc.SetLightListPath(Dui(path));
    doc.GetCustomEffect();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "/profile.Json";
    const std::string bad = path + ".bad";

    CKeyboardProfiledata keyboard;
    ReadBase(keyboard, path, data, size);
    keyboard.GetSystemStages();
    keyboard.GetFrameIntervalTime();
    keyboard.GetCustomLightGroupIndex();
    keyboard.GetCustomLightColors(keyboard.GetCustomLightGroupIndex(), 16);

    CMouseProfiledata mouse;
    ReadBase(mouse, path, data, size);
    mouse.GetDpiStages();
    mouse.GetActiveDpiStage();
    mouse.GetSystemStages();
    mouse.GetCorrectInfo();

    CHs6533Profiledata headset;
    ReadBase(headset, path, data, size);
    headset.GetSystemSetStages();
    for (int preset = 0; preset <= CHs6533Profiledata::kCustomEqPreset; ++preset) headset.GetEqPreset(preset);
    headset.GetCustomEqNames();
    headset.GetCustomEq(0);

    WriteFile(path, data, size);
    const Json::Value root = CJsonFileUtil::LoadJson(Dui(path));
    std::vector<LightSetting> lights(32);
    ParseLightList(JsonMember(root, "LightList"), lights, lights.size());
    ParseLedEffectList(root);
    if (root.isObject()) {
        for (const auto& name : root.getMemberNames()) IsGuidText(name);
    }
    ::unlink(path.c_str());
    ::unlink(bad.c_str());
    return 0;
}
