#pragma once

// The firmware updaters beside the program and which of them an outdated
// device needs. The updaters are programs of their own in the folder
// "Update" beside the program; none ships with the Linux build.

#include <string>

enum class FirmwareUpdater { None, Keyboard, Receiver };

// The keyboard on its cable below firmware 0x203 needs the keyboard updater;
// else the 2.4 GHz receiver below 0x104 needs the receiver updater; any other
// product id or version needs none. The comparison is signed.
FirmwareUpdater FirmwareUpdaterFor(int productId, int firmwareVersion);

// The updater folder: the program folder + "Update\".
std::wstring FirmwareUpdaterFolder();
// The updater's full path (empty for None).
std::wstring FirmwareUpdaterPath(FirmwareUpdater updater);

inline constexpr const wchar_t* kKeyboardUpdaterName = L"tavrik-keyboard-updater";
inline constexpr const wchar_t* kReceiverUpdaterName = L"tavrik-receiver-updater";
// What the updaters are started with.
inline constexpr const wchar_t* kUpdaterParameters = L"On the upgrade";
