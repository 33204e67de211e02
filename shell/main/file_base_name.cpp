#include "shell/main/file_base_name.h"

#include <string>

DuiLib::CDuiString GetFileBaseName(const DuiLib::CDuiString& path) {
    const std::wstring text(path.GetData());
    const std::size_t slash = text.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? text : text.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos || dot == 0) return DuiLib::CDuiString(name);
    return DuiLib::CDuiString(name.substr(0, dot));
}
