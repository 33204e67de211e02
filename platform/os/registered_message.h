#pragma once

// Registered window messages: a name gives the same identifier
// (0xC000..0xFFFF) in every process of the user. Names compare without regard
// to ASCII case.
//
// The identifiers live in a per-user table in the runtime folder
// ("tavrik-messages", guarded by a file lock). A new name takes the slot its
// hash picks, or the next free one, so the first registrant fixes the id and
// later ones, in any process, read it back. Without a usable runtime folder
// the hash alone decides (consistent across processes unless two names
// collide).

#include <string>

#include "platform/files/win_types.h"

namespace win {

// 0 (ERROR_INVALID_PARAMETER) for a null or empty name.
UINT RegisterWindowMessageW(LPCWSTR name);
UINT RegisterWindowMessageA(LPCSTR name);

}  // namespace win
