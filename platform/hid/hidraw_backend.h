#pragma once

// The real HID backend: hidraw device nodes described by sysfs.

#include "platform/hid/hid_backend.h"

#include <filesystem>
#include <functional>
#include <memory>

namespace tavrik::hid {

// Opens a device node for reading and writing, non-blocking; -1 on failure.
// Tests pass one that hands out a socketpair end instead of a device file.
using NodeOpener = std::function<int(const std::filesystem::path& devicePath)>;

// sysRoot holds class/hidraw/<node>/device/... (uevent, report_descriptor,
// and above it the USB interface and device); devRoot holds the <node>
// device files. Tests point both at a fake tree.
std::shared_ptr<Backend> MakeHidrawBackend(const std::filesystem::path& sysRoot, const std::filesystem::path& devRoot,
                                           NodeOpener opener = nullptr);

}  // namespace tavrik::hid
