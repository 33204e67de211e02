#include "platform/ui/ui_probe.h"

#include <string>

#include "platform/ui/container.h"
#include "platform/ui/control.h"
#include "platform/ui/list.h"
#include "platform/ui/progress.h"

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

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Whether a container shows a scroll bar: what it clips can be scrolled to.
bool Scrolls(CContainerUI* container) {
    const CScrollBarUI* v = container->GetVerticalScrollBar();
    const CScrollBarUI* h = container->GetHorizontalScrollBar();
    return (v && v->IsVisible()) || (h && h->IsVisible());
}

// `clip` is what the ancestors show; `clipScrolls` tells whether the nearest
// clipping ancestor scrolls.
// A bar's text is its value: "value min max" and "h" or "v" for its direction.
std::wstring ProbeText(CControlUI* control) {
    if (auto* bar = static_cast<CProgressUI*>(control->GetInterface(L"Progress")))
        return std::to_wstring(bar->GetValue()) + L" " + std::to_wstring(bar->GetMinValue()) + L" " +
               std::to_wstring(bar->GetMaxValue()) + (bar->IsHorizontal() ? L" h" : L" v");
    return control->GetText().GetData();
}

void Collect(CControlUI* control, const RECT& clip, bool clipScrolls, std::vector<BackendProbeEntry>& out) {
    if (control == nullptr || !control->IsVisible()) return;
    const RECT own = control->GetPos();
    RECT shown{};
    const bool inSight = IntersectRectUI(shown, own, clip);
    const std::wstring name = ProbeName(control);
    if (!name.empty()) {
        if (inSight) out.push_back({name, {shown.left, shown.top, shown.right, shown.bottom}, ProbeText(control)});
        // Cut off by an ancestor that cannot be scrolled: listed once more,
        // whole, for the tests that check that every control can be seen.
        if (!clipScrolls && !Contains(clip, own) && own.right > own.left && own.bottom > own.top)
            out.push_back({name + L"#cut", {own.left, own.top, own.right, own.bottom}, ProbeText(control)});
    }
    // A combo's rows are drawn in its drop window, not inside the combo.
    if (control->GetInterface(L"Combo") != nullptr) return;
    auto* container = dynamic_cast<CContainerUI*>(control);
    if (container == nullptr) return;
    // What is scrolled out of sight is not looked into.
    if (!inSight && clipScrolls) return;
    const bool scrolls = Scrolls(container);
    const RECT childClip = inSight ? shown : RECT{own.left, own.top, own.left, own.top};
    for (int i = 0; i < container->GetCount(); ++i) Collect(container->GetItemAt(i), childClip, scrolls, out);
}

}  // namespace

std::vector<BackendProbeEntry> CollectProbeEntries(CControlUI* root, const RECT& client) {
    std::vector<BackendProbeEntry> entries;
    Collect(root, client, false, entries);
    return entries;
}

}  // namespace DuiLib
