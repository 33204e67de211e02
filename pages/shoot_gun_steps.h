#pragma once

// The recoil data as the mouse takes it: the four guns' working files read
// from the mouse's data folder and each "Events" entry packed as a 4-byte
// device step. The mouse page lays the four lists out as a macro-table blob
// (BuildMacroBlob) and uploads it.

#include <vector>

#include <json/value.h>

#include "link/macro_event_pack.h"
#include "platform/ui/dui_string.h"

// One gun's steps: at most 180 (the 30 bullets), so each gun's record and the
// whole blob stay far inside the 16-bit lengths of the table. An entry that is
// not an object packs as a zero step; "Button" and "Delay" given as numeric
// text count as their leading number; "Button" is held to 0..255 and the delay
// to 0..65535 instead of being cut to their low bits.
std::vector<DeviceMacroEvent> PackShootGun(const Json::Value& document);

// Guns 0..3 in order from "<folder>ShootData_<gun>.Shoot" (folder ends in a
// path separator). A missing or unreadable file, or one without an "Events"
// array, is a gun without steps.
std::vector<std::vector<DeviceMacroEvent>> LoadShootGunSteps(const DuiLib::CDuiString& folder);
