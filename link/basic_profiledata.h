#pragma once

// The profile document of a device: the device entry ("Device"[entry index])
// of the active profile's file held in memory, typed getters and setters for
// its records, and the saving of the entry back into the file. A second,
// independent document lets a caller change another profile of the same
// device without touching the active one. The object also reads the device's
// light list and custom effect files.
//
// Every operation takes the object's lock, so the light thread may read the
// lighting record while the UI thread changes or reloads the document.

#include <cstdint>
#include <mutex>
#include <vector>

#include <json/value.h>

#include "link/base/key_list_entry.h"
#include "link/light_setting.h"
#include "platform/ui/dui_string.h"

class CBasicProfiledata {
public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;
    CBasicProfiledata(const CBasicProfiledata&) = delete;
    CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

    // Paths. The empty string is ignored by both setters.
    void SetProfilePath(const DuiLib::CDuiString& path);
    DuiLib::CDuiString GetProfilePath() const;
    void SetDefaultProfilePath(const DuiLib::CDuiString& path);

    // Index of the device's entry in "Device" (every device uses 0). A
    // negative or implausibly large index is ignored.
    void SetDeviceIndex(int index);

    // Loads the device entry of the file at `path` as the device document.
    // A missing file, or a file without the entry, gets the entry from the
    // default profile file and is written with it (other root members are
    // kept). A file that exists but cannot be read is set aside as
    // "<name>.bad" and the defaults are used in memory only.
    // Returns a copy of the new device document.
    Json::Value LoadProfile(const DuiLib::CDuiString& path);
    // The same into the other document.
    Json::Value LoadOtherProfile(const DuiLib::CDuiString& path);

    // Writes the device document as the entry of the profile path's file.
    virtual bool SaveProfile();
    // Writes `document` as "Device"[entry index] of the file at `path`,
    // keeping everything else in the file. A damaged file there is set aside
    // first; when it cannot be, nothing is written and false is returned.
    virtual bool SaveDeviceEntry(const Json::Value& document, const DuiLib::CDuiString& path);
    // Writes the other document as the entry of the file at `path`.
    virtual bool SaveOtherProfile(const DuiLib::CDuiString& path);
    // Writes `document` as the whole file.
    virtual bool WriteDocument(const Json::Value& document, const DuiLib::CDuiString& path);

    // "LightInfo". The getter also keeps the record as the current lighting.
    LightSetting GetLightInfo();
    void SetLightInfo(const LightSetting& setting);

    // "AudioLightInfo". A present record always reads with colour type 1.
    AudioLightSetting GetAudioLightInfo();
    void SetAudioLightInfo(const AudioLightSetting& setting);

    // "KeyList": one entry per element, the key index being its position.
    std::vector<KeyListEntry> GetKeyList();
    // Writes "Assignment" of element i for every position i of the list.
    void SetKeyList(const std::vector<KeyListEntry>& list);
    std::vector<KeyListEntry> GetOtherKeyList();
    void SetOtherKeyList(const std::vector<KeyListEntry>& list);

    // "LightList": one setting per LED; null elements read as absent.
    std::vector<LightSetting> GetLightList();

    // The light-list file ("plenta_light.config" in the device's data folder).
    // The empty string is stored too.
    void SetLightListPath(const DuiLib::CDuiString& path);
    DuiLib::CDuiString GetLightListPath() const;
    // Reads the whole light-list file (null when missing or damaged).
    Json::Value LoadLightList(const DuiLib::CDuiString& path);
    // Which row of the light list ("LightInfo"[index]) belongs to this device:
    // the same device index under which its pages list the light names.
    void SetLightListDeviceIndex(int index);
    // The steps of the current lighting mode's custom effect: the mode's
    // "Guid" in the light list names a ".light" file, looked up in the
    // folder of the light-list file, then in the default data folder, then
    // in the program folder. Empty when anything is missing.
    std::vector<LedEffectStep> GetCustomEffect();

protected:
    // Held by every operation; the kinds take it in their own operations.
    std::recursive_mutex& Lock() const { return mutex_; }
    // The active device document (caller holds the lock).
    Json::Value& DeviceDocument() { return device_document_; }
    // The default profile file's device entry, null when it lacks one.
    Json::Value LoadDefaultEntry() const;

private:
    Json::Value LoadInto(Json::Value& document, const DuiLib::CDuiString& path);
    std::vector<KeyListEntry> ReadKeyList(Json::Value& document);
    static void WriteKeyList(Json::Value& document, const std::vector<KeyListEntry>& list);

    mutable std::recursive_mutex mutex_;
    DuiLib::CDuiString profile_path_;
    DuiLib::CDuiString default_profile_path_;
    LightSetting light_setting_;
    AudioLightSetting audio_light_setting_;
    std::vector<LightSetting> light_list_;
    Json::Value device_document_;
    Json::Value other_document_;
    DuiLib::CDuiString light_list_path_;
    std::vector<LedEffectStep> effect_steps_;
    Json::Value light_list_document_;
    std::vector<KeyListEntry> key_list_;
    std::vector<KeyListEntry> other_key_list_;
    Json::ArrayIndex entry_index_ = 0;
    int light_list_device_index_ = 0;
};
