#include "shell/main/name_routing.h"

#include <climits>
#include <cwchar>
#include <string>

namespace name_routing {

std::optional<int> FamilyIndex(const DuiLib::CDuiString& name, const wchar_t* prefix) {
    const std::wstring text(name.GetData());
    const std::size_t prefixLength = std::wcslen(prefix);
    if (text.size() <= prefixLength) return std::nullopt;
    if (DuiLib::DuiCompareNoCase(text.substr(0, prefixLength).c_str(), prefix) != 0) return std::nullopt;
    long long value = 0;
    for (std::size_t i = prefixLength; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > INT_MAX) return std::nullopt;
    }
    return static_cast<int>(value);
}

bool NameMatches(const DuiLib::CDuiString& name, const wchar_t* rowName, bool exactCase) {
    return exactCase ? name.Compare(rowName) == 0 : name.CompareNoCase(rowName) == 0;
}

}  // namespace name_routing
