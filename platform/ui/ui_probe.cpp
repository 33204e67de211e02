#include "platform/ui/ui_probe.h"

#include <string>

#include "platform/ui/button.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/control.h"
#include "platform/ui/label.h"
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

// No bound: what a scrolling container holds can be brought into view.
constexpr long kUnbounded = 1L << 28;
constexpr RECT kEverywhere{-kUnbounded / 2, -kUnbounded / 2, kUnbounded / 2, kUnbounded / 2};

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

// A bar's text is its value: "value min max" and "h" or "v" for its direction.
std::wstring ProbeText(CControlUI* control) {
    if (auto* bar = static_cast<CProgressUI*>(control->GetInterface(L"Progress")))
        return std::to_wstring(bar->GetValue()) + L" " + std::to_wstring(bar->GetMinValue()) + L" " +
               std::to_wstring(bar->GetMaxValue()) + (bar->IsHorizontal() ? L" h" : L" v");
    return control->GetText().GetData();
}

// What a choice shows: an option of a group is listed once more as
// "<name>#group" with the group's name as its text, a chosen option or list
// row as "<name>#chosen", and a drop list as "<name>#list" with its current
// row, its number of rows and whether it can be opened ("3 12 1"), so that
// a test can tell which one of a group or list is shown as chosen.
void AddChoiceEntries(CControlUI* control, const std::wstring& name, const BackendRect& at,
                      std::vector<BackendProbeEntry>& out) {
    if (auto* combo = static_cast<CComboUI*>(control->GetInterface(L"Combo"))) {
        out.push_back({name + L"#list", at,
                       std::to_wstring(combo->GetCurSel()) + L" " + std::to_wstring(combo->GetCount()) +
                           (combo->IsEnabled() ? L" 1" : L" 0")});
        return;
    }
    bool chosen = false;
    if (auto* option = static_cast<COptionUI*>(control->GetInterface(L"Option"))) {
        const CDuiString group = option->GetGroup();
        if (!group.IsEmpty()) out.push_back({name + L"#group", at, group.GetData()});
        chosen = option->IsSelected();
    } else if (auto* row = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"))) {
        chosen = row->IsSelected();
    }
    if (chosen) out.push_back({name + L"#chosen", at, {}});
}

// Whether a control shows a text that does not fit its room (an edit's text
// scrolls instead).
bool TextCut(CControlUI* control) {
    auto* label = static_cast<CLabelUI*>(control->GetInterface(L"Label"));
    return label != nullptr && control->GetInterface(L"Edit") == nullptr && label->IsTextCut();
}

// `clip` is what the ancestors show. `fixed` is what the ancestors that do
// not move with a scrolled content show: the window and the containers down
// to the nearest one that scrolls, then the ones inside that scroll with it.
// Whatever lies outside `fixed` cannot be brought into view.
void Collect(CControlUI* control, const RECT& clip, const RECT& fixed, std::vector<BackendProbeEntry>& out) {
    if (control == nullptr || !control->IsVisible()) return;
    const RECT own = control->GetPos();
    RECT shown{};
    const bool inSight = IntersectRectUI(shown, own, clip);
    const std::wstring name = ProbeName(control);
    if (!name.empty()) {
        if (inSight) {
            const BackendRect at{shown.left, shown.top, shown.right, shown.bottom};
            out.push_back({name, at, ProbeText(control)});
            AddChoiceEntries(control, name, at, out);
        }
        // Cut off by an ancestor that cannot be scrolled: listed once more,
        // whole, for the tests that check that every control can be seen.
        if (!Contains(fixed, own) && own.right > own.left && own.bottom > own.top)
            out.push_back({name + L"#cut", {own.left, own.top, own.right, own.bottom}, ProbeText(control)});
    }
    // A text cut short or ended by an ellipsis, named or not: listed with
    // the part shown.
    if (inSight && TextCut(control))
        out.push_back({name + L"#textcut", {shown.left, shown.top, shown.right, shown.bottom}, ProbeText(control)});
    // A combo's rows are drawn in its drop window, not inside the combo.
    if (control->GetInterface(L"Combo") != nullptr) return;
    auto* container = dynamic_cast<CContainerUI*>(control);
    if (container == nullptr) return;
    const bool scrolls = Scrolls(container);
    // What is scrolled out of sight is not looked into.
    if (!inSight && fixed.right - fixed.left >= kUnbounded) return;
    const RECT childClip = inSight ? shown : RECT{own.left, own.top, own.left, own.top};
    // Children that are not floating are drawn and hit only within the
    // container's client area.
    RECT clientClip{};
    if (!IntersectRectUI(clientClip, childClip, container->GetClientPos()))
        clientClip = RECT{childClip.left, childClip.top, childClip.left, childClip.top};
    // Inside a scrolling container only the containers below it cut.
    RECT childFixed = kEverywhere;
    if (!scrolls && !IntersectRectUI(childFixed, own, fixed)) childFixed = RECT{own.left, own.top, own.left, own.top};
    for (int i = 0; i < container->GetCount(); ++i) {
        CControlUI* child = container->GetItemAt(i);
        Collect(child, child->IsFloat() ? childClip : clientClip, childFixed, out);
    }
}

}  // namespace

std::vector<BackendProbeEntry> CollectProbeEntries(CControlUI* root, const RECT& client) {
    std::vector<BackendProbeEntry> entries;
    Collect(root, client, client, entries);
    return entries;
}

}  // namespace DuiLib
