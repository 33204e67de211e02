#pragma once

// The simulated HID backend of a program that runs against a separately
// started emulator (tavrik-devsim): the emulator's devices reach it over a
// Unix stream socket.

#include "platform/hid/hid_backend.h"

#include <memory>
#include <string>

namespace tavrik::hid {

// TAVRIK_DEVSIM_SOCKET when set, else "tavrik-devsim.sock" in the user's
// runtime folder ($XDG_RUNTIME_DIR, or without it the private
// "$TMPDIR/tavrik-runtime-<uid>", see win::GetRuntimeFolder). The backend
// talks only to an emulator of the same user.
std::string DefaultDevsimSocketPath();

// Connects on first use and again after the emulator went away; while it is
// unreachable, no devices are listed.
std::shared_ptr<Backend> MakeSimSocketBackend(const std::string& socketPath);

}  // namespace tavrik::hid
