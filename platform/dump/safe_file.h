#pragma once

// File operations that are safe inside a signal handler (plain system calls
// on caller-owned buffers). Paths are UTF-8 with '/' separators.

namespace platform::dump {

// Creates the folder and every missing parent. True when the path is a
// folder afterwards.
bool MakeDirectories(const char* path);

enum class NewFileResult { Created, Exists, Failed };

// Creates a file that must not exist yet, for writing (mode 0644). On
// Created, *fd is the open descriptor.
NewFileResult CreateNewFile(const char* path, int* fd);

void CloseFile(int fd);

}  // namespace platform::dump
