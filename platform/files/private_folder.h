#pragma once

// Folders for sockets and files that must not be reachable by other users of
// the machine (in the runtime folder or, without one, the shared temporary
// folder, where someone else could create a name first).

#include <string>

namespace win {

// Makes `path` a folder that only the calling user can enter: created with
// mode 0700 when missing. An existing one must be a real folder (not a link)
// owned by the user with no rights for group or others; otherwise false,
// with the reason in `reason` when given. Nothing existing is changed.
bool EnsurePrivateFolder(const std::string& path, std::string* reason = nullptr);

// The folder part of a path ("." when it has none).
std::string FolderOfPath(const std::string& path);

}  // namespace win
