#include "pages/profile_names.h"

#include <string>

using DuiLib::CDuiString;

bool IsProfileNameTaken(const std::vector<CDuiString>& taken, const CDuiString& name) {
    for (const CDuiString& t : taken)
        if (t.CompareNoCase(name.GetData()) == 0) return true;
    return false;
}

CDuiString MakeNewProfileName(const std::vector<CDuiString>& taken) {
    for (int n = 1;; ++n) {
        CDuiString name = CDuiString(L"profile") + std::to_wstring(n).c_str();
        if (!IsProfileNameTaken(taken, name)) return name;
    }
}

CDuiString MakeCopyProfileName(const std::vector<CDuiString>& taken, const CDuiString& base) {
    CDuiString name = base + L" copy";
    while (IsProfileNameTaken(taken, name)) name += L" copy";
    return name;
}

CDuiString MakeImportProfileName(const std::vector<CDuiString>& taken, const CDuiString& base) {
    CDuiString name = base;
    for (int n = 1; IsProfileNameTaken(taken, name); ++n) name += (L"(" + std::to_wstring(n) + L")").c_str();
    return name;
}
