#include "platform/os/library.h"

#include <dlfcn.h>

#include "platform/files/utf8.h"

namespace win {

HMODULE LoadLibraryExW(const wchar_t* path, HANDLE, DWORD) {
    if (!path || !*path) return nullptr;
    // The library's own dependencies are looked up beside it (its RUNPATH) and
    // then as usual: the same as the altered search path.
    return dlopen(ToUtf8(path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(module, name);
}

BOOL FreeLibrary(HMODULE module) { return module && dlclose(module) == 0 ? TRUE : FALSE; }

}  // namespace win
