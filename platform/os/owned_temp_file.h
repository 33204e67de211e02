#pragma once

// The temporary copy a save writes beside a document before renaming it over
// the document: "<document>.<12 hexadecimal digits>.tmp". While the save
// runs, the copy carries a lock that the system drops when the process ends,
// so a copy left behind by a save that was killed can be told from one that
// is still being written, and removed.

#include <cstdio>
#include <filesystem>

namespace win {

class OwnedTempFile {
public:
    // Creates a new temporary copy beside `target` (never an existing file)
    // and takes its lock. File() is null when that fails.
    explicit OwnedTempFile(const std::filesystem::path& target);
    // Closes the stream if still open and gives up the lock (after the
    // rename, the file no longer has a temporary name).
    ~OwnedTempFile();
    OwnedTempFile(const OwnedTempFile&) = delete;
    OwnedTempFile& operator=(const OwnedTempFile&) = delete;

    std::FILE* File() const { return file_; }
    const std::filesystem::path& Path() const { return path_; }
    // Closes the stream (the lock stays); true when it closed cleanly.
    bool CloseFile();

private:
    std::FILE* file_ = nullptr;
    int lockFd_ = -1;
    std::filesystem::path path_;
};

// Removes the temporary copies of `target` that no running save owns; files
// of any other name are never touched. Returns how many were removed.
int RemoveStaleTempFiles(const std::filesystem::path& target);

}  // namespace win
