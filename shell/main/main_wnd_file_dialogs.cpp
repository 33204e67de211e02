#include <string>

#include "link/device/corvane_usb_device.h"
#include "platform/dialogs/file_dialog.h"
#include "platform/files/utf8.h"
#include "platform/ui/resource_manager.h"
#include "shell/main/file_base_name.h"
#include "shell/main/main_wnd.h"

using namespace DuiLib;
namespace dialogs = tavrik::dialogs;

namespace {

dialogs::FileDialogRequest MakeRequest(dialogs::FileDialogKind kind, const CDuiString& filter) {
    dialogs::FileDialogRequest request;
    request.kind = kind;
    // The filter is a list of zero-ended strings held whole by the string.
    request.filters =
        dialogs::ParseFilterList(std::wstring(filter.GetData(), static_cast<std::size_t>(filter.GetLength())));
    request.default_extension = "*.*";
    // The dialog says what it is for, in the language shown.
    const CDuiString title = CResourceManager::GetInstance()->GetText(
        kind == dialogs::FileDialogKind::Save ? L"file_save_title" : L"file_open_title");
    request.title = win::ToUtf8(title.GetData());
    return request;
}

// The extension of the first filter's first pattern ("*.json" gives "json"),
// or "*.*" (none) when that pattern is no plain extension.
std::string FilterExtension(const dialogs::FileDialogRequest& request) {
    if (request.filters.empty() || request.filters.front().patterns.empty()) return "*.*";
    const std::string& pattern = request.filters.front().patterns.front();
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) return "*.*";
    const std::string extension = pattern.substr(2);
    if (extension.find_first_of("*?.") != std::string::npos) return "*.*";
    return extension;
}

}  // namespace

int CMainWnd::ShowOpenFileDialog(const CDuiString& filter, HWND, CDuiString& path, int) {
    const dialogs::FileDialogResult result =
        dialogs::ShowFileDialog(MakeRequest(dialogs::FileDialogKind::Open, filter));
    if (!result.chosen) return 0;
    // The chosen path is already the file's one long name.
    path = CDuiString(win::FromUtf8(result.path));
    m_lastFileBaseName = GetFileBaseName(path);
    return 1;
}

// New files are allowed, replacing one is confirmed first, and a name typed
// without an extension gets the filter's.
int CMainWnd::ShowSaveFileDialog(const CDuiString& filter, HWND, CDuiString& path, int) {
    dialogs::FileDialogRequest request = MakeRequest(dialogs::FileDialogKind::Save, filter);
    request.default_extension = FilterExtension(request);
    request.confirm_overwrite = true;
    const dialogs::FileDialogResult result = dialogs::ShowFileDialog(request);
    if (!result.chosen) return 0;
    path = CDuiString(win::FromUtf8(result.path));
    return 1;
}

void CMainWnd::SelectFunctionTab(int tab) {
    CCorvaneUSBDevice* page = GetCurrentDevice();
    if (page == nullptr) return;
    page->SelectFunctionTab(tab);
    SelectProfileBarTab(page, tab);
}
