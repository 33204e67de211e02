#include "platform/ui/ui_probe.h"

#include <string>

#include "platform/ui/container.h"
#include "platform/ui/control.h"
#include "platform/ui/list.h"

namespace DuiLib {

namespace {

std::wstring ProbeName(CControlUI* control) {
    std::wstring name = control->GetName().GetData();
    if (!name.empty()) return name;
    auto* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"));
    if (row == nullptr) return name;
    auto* owner = dynamic_cast<CControlUI*>(row->GetOwner());
    if (owner == nullptr || owner->GetName().IsEmpty()) return name;
    return std::wstring(owner->GetName().GetData()) + L"/" + std::to_wstring(row->GetIndex());
}

void Collect(CControlUI* control, const RECT& clip, std::vector<BackendProbeEntry>& out) {
    if (control == nullptr || !control->IsVisible()) return;
    RECT shown{};
    if (!IntersectRectUI(shown, control->GetPos(), clip)) return;
    const std::wstring name = ProbeName(control);
    if (!name.empty()) {
        out.push_back({name, {shown.left, shown.top, shown.right, shown.bottom}, control->GetText().GetData()});
    }
    // A combo's rows are drawn in its drop window, not inside the combo.
    if (control->GetInterface(L"Combo") != nullptr) return;
    auto* container = dynamic_cast<CContainerUI*>(control);
    if (container == nullptr) return;
    for (int i = 0; i < container->GetCount(); ++i) Collect(container->GetItemAt(i), shown, out);
}

}  // namespace

std::vector<BackendProbeEntry> CollectProbeEntries(CControlUI* root, const RECT& client) {
    std::vector<BackendProbeEntry> entries;
    Collect(root, client, entries);
    return entries;
}

}  // namespace DuiLib
