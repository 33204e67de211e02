#include "platform/ui/notify_pump.h"

#include "platform/ui/control.h"

namespace DuiLib {

const DUI_MSGMAP_ENTRY CNotifyPump::_messageEntries[] = {{nullptr, nullptr, 0, nullptr}};
const DUI_MSGMAP CNotifyPump::messageMap = {&CNotifyPump::_GetBaseMessageMap, &CNotifyPump::_messageEntries[0]};
const DUI_MSGMAP* CNotifyPump::_GetBaseMessageMap() { return nullptr; }
const DUI_MSGMAP* CNotifyPump::GetMessageMap() const { return &CNotifyPump::messageMap; }

bool CNotifyPump::AddVirtualWnd(CDuiString strName, CNotifyPump* pObject) {
    if (!pObject || m_VirtualWndMap.count(strName)) return false;
    m_VirtualWndMap[strName] = pObject;
    return true;
}

bool CNotifyPump::RemoveVirtualWnd(CDuiString strName) { return m_VirtualWndMap.erase(strName) > 0; }

void CNotifyPump::NotifyPump(TNotifyUI& msg) {
    if (!msg.sVirtualWnd.IsEmpty()) {
        auto it = m_VirtualWndMap.find(msg.sVirtualWnd);
        if (it != m_VirtualWndMap.end() && it->second->LoopDispatch(msg)) return;
    }
    LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
    CDuiString name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    for (const DUI_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        // Entries for the control's name first, then entries for any control.
        for (int pass = 0; pass < 2; ++pass) {
            for (const DUI_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
                if (msg.sType != e->sMsgType) continue;
                bool named = e->sCtrlName && *e->sCtrlName;
                if (pass == 0 && (!named || name != e->sCtrlName)) continue;
                if (pass == 1 && named) continue;
                e->pfn(this, msg);
                return true;
            }
        }
    }
    return false;
}

}  // namespace DuiLib
