#include "link/data_folders.h"

#include "platform/files/folders.h"
#include "platform/ui/paint_manager.h"

using DuiLib::CDuiString;

namespace {

// Creates one folder level when it is missing; failures show up later.
void EnsureFolder(const CDuiString& path) {
    if (!win::PathFileExistsW(path.GetData())) {
        win::CreateDirectoryW(path.GetData(), nullptr);
    }
}

}  // namespace

CDuiString GetDefaultDataPath() { return DuiLib::CPaintManagerUI::GetInstancePath() + L"DefaultData\\"; }

CDuiString GetUserDataPath() {
    const std::wstring appData = win::GetLocalAppDataFolder();
    win::CreateDirectoryTree(appData);
    const CDuiString product = CDuiString(appData) + L"\\" + kProductString;
    EnsureFolder(product);
    return product + L"\\";
}

CDuiString GetDeviceDataPath(const wchar_t* kindName) {
    const CDuiString folder = GetUserDataPath() + (kindName != nullptr ? kindName : L"");
    EnsureFolder(folder);
    return folder + L"\\";
}
