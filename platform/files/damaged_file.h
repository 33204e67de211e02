#pragma once

// The one rule for a document that cannot be read as what it should be: it
// is kept, byte for byte, as "<name>.bad" before defaults take its place, and
// nothing kept that way is ever overwritten by a later failure (the next one
// is "<name>.bad.1", then ".bad.2", ...). A link is set aside as the link
// itself, so the file it points to is neither moved nor written into.

#include <filesystem>

namespace win {

// Moves whatever is at `path` (a file, a link, anything but a folder) to the
// first free name of "<path>.bad", "<path>.bad.1", ... True when nothing is
// at `path` any more (also when nothing was there).
bool SetDamagedFileAside(const std::filesystem::path& path);

// Where a save of the document at `path` writes. `readable`: whether what is
// at `path` could be read as the document (ignored when nothing is there).
// Not readable: it is set aside first and the save creates a new file at
// `path`. Readable and a link: the link is followed, so a document the user
// linked elsewhere on purpose keeps being the one saved. Empty when the
// damaged entry could not be set aside (the save must not go ahead then).
std::filesystem::path PrepareDocumentSave(const std::filesystem::path& path, bool readable);

}  // namespace win
