#include "shell/main/dispatch_rows.h"

#include "link/device/corvane_usb_device.h"
#include "shell/main/main_wnd.h"
#include "shell/main/name_routing.h"

namespace dispatch {
namespace {

DuiLib::CDuiString SenderName(const DuiLib::TNotifyUI& msg) {
    return msg.pSender != nullptr ? msg.pSender->GetName() : DuiLib::CDuiString();
}

bool Holds(Needs needs, const CCorvaneUSBDevice* page) {
    switch (needs) {
        case Needs::Always:
            return true;
        case Needs::Keyboard:
            return page != nullptr && page->GetDeviceType() == CCorvaneUSBDevice::kTypeKeyboard;
        case Needs::Mouse:
            return page != nullptr && page->GetDeviceType() == CCorvaneUSBDevice::kTypeMouse;
        case Needs::Never:
            return false;
    }
    return false;
}

bool WithinBound(Bound bound, int index, const CCorvaneUSBDevice* page) {
    switch (bound) {
        case Bound::Any:
            return true;
        case Bound::DpiStage:
            return index < kDpiStageCount;
        case Bound::PageKeys:
            return page != nullptr && index < page->GetKeyCount();
    }
    return false;
}

TableListener tableListener = nullptr;

}  // namespace

void SetTableListener(TableListener listener) { tableListener = listener; }

bool RunFamily(CMainWnd& wnd, const std::vector<FamilyRow>& rows, DuiLib::TNotifyUI& msg) {
    if (tableListener != nullptr)
        for (const FamilyRow& row : rows) tableListener(row.prefix, true);
    const DuiLib::CDuiString name = SenderName(msg);
    for (const FamilyRow& row : rows) {
        const std::optional<int> index = name_routing::FamilyIndex(name, row.prefix);
        if (!index) continue;
        // Rows of one prefix for different kinds ("polling_rate_option_")
        // follow each other: the first whose condition holds acts.
        CCorvaneUSBDevice* page = wnd.GetCurrentDevice();
        if (!Holds(row.needs, page) || !WithinBound(row.bound, *index, page)) continue;
        row.run(wnd, page, *index, msg);
        return true;
    }
    return false;
}

bool RunChain(CMainWnd& wnd, const std::vector<NameRow>& chain, DuiLib::TNotifyUI& msg) {
    if (tableListener != nullptr)
        for (const NameRow& row : chain)
            for (const wchar_t* rowName : row.names) tableListener(rowName, false);
    const DuiLib::CDuiString name = SenderName(msg);
    for (const NameRow& row : chain) {
        for (const wchar_t* rowName : row.names) {
            if (!name_routing::NameMatches(name, rowName, row.exactCase)) continue;
            CCorvaneUSBDevice* page = wnd.GetCurrentDevice();
            if (!Holds(row.needs, page)) return false;
            row.run(wnd, page, 0, msg);
            return true;
        }
    }
    return false;
}

}  // namespace dispatch
