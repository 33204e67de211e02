#include "shell/controls/format_number.h"

#include <string>

DuiLib::CDuiString FormatWithNumber(const DuiLib::CDuiString& text, int number) {
    std::wstring result(text.GetData());
    const std::size_t at = result.find(L"%d");
    if (at != std::wstring::npos) result.replace(at, 2, std::to_wstring(number));
    return DuiLib::CDuiString(result);
}
