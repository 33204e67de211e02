#pragma once

// CNotifyPump: routes notifications to member functions through message
// maps (by type, or by type and control name) and to named virtual windows.

#include "platform/ui/ui_types.h"

#include <map>

namespace DuiLib {

class CNotifyPump;
// Calls one handler of a message map on the pump object.
using DUI_PMSG = void (*)(CNotifyPump* pump, TNotifyUI& msg);

template <typename>
struct DuiMemberClass;
template <typename C>
struct DuiMemberClass<void (C::*)(TNotifyUI&)> {
    using type = C;
};
// The handler thunk for a member function `F` of a class derived from
// CNotifyPump (virtual handlers dispatch as usual).
template <auto F>
void DuiNotifyThunk(CNotifyPump* pump, TNotifyUI& msg) {
    using C = typename DuiMemberClass<decltype(F)>::type;
    (static_cast<C*>(pump)->*F)(msg);
}

struct DUI_MSGMAP_ENTRY {
    const wchar_t* sMsgType;
    const wchar_t* sCtrlName;  // empty: any control
    UINT nSig;
    DUI_PMSG pfn;
};

struct DUI_MSGMAP {
    const DUI_MSGMAP* (*pfnGetBaseMap)();
    const DUI_MSGMAP_ENTRY* lpEntries;
};

class CNotifyPump {
public:
    virtual ~CNotifyPump() = default;
    bool AddVirtualWnd(CDuiString strName, CNotifyPump* pObject);
    bool RemoveVirtualWnd(CDuiString strName);
    // Virtual window of the notification first, then this object's maps.
    void NotifyPump(TNotifyUI& msg);
    // This object's maps only; true when an entry handled the notification.
    bool LoopDispatch(TNotifyUI& msg);

protected:
    static const DUI_MSGMAP_ENTRY _messageEntries[];
    static const DUI_MSGMAP messageMap;
    static const DUI_MSGMAP* _GetBaseMessageMap();
    virtual const DUI_MSGMAP* GetMessageMap() const;

private:
    std::map<CDuiString, CNotifyPump*> m_VirtualWndMap;
};

}  // namespace DuiLib

#define DUI_DECLARE_MESSAGE_MAP()                             \
private:                                                      \
    static const DuiLib::DUI_MSGMAP_ENTRY _messageEntries[];  \
                                                              \
protected:                                                    \
    static const DuiLib::DUI_MSGMAP messageMap;               \
    static const DuiLib::DUI_MSGMAP* _GetBaseMessageMap();    \
    const DuiLib::DUI_MSGMAP* GetMessageMap() const override; \
                                                              \
private:

#define DUI_BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                  \
    const DuiLib::DUI_MSGMAP* theClass::_GetBaseMessageMap() { return &baseClass::messageMap; }                     \
    const DuiLib::DUI_MSGMAP* theClass::GetMessageMap() const { return &theClass::messageMap; }                     \
    const DuiLib::DUI_MSGMAP theClass::messageMap = {&theClass::_GetBaseMessageMap, &theClass::_messageEntries[0]}; \
    const DuiLib::DUI_MSGMAP_ENTRY theClass::_messageEntries[] = {
#define DUI_END_MESSAGE_MAP()        \
    { nullptr, nullptr, 0, nullptr } \
    }                                \
    ;

// memberFxn is a qualified member name, e.g. CMainWnd::OnClick.
#define DUI_ON_MSGTYPE(msgtype, memberFxn) {msgtype, L"", 1, &DuiLib::DuiNotifyThunk<&memberFxn>},
#define DUI_ON_MSGTYPE_CTRNAME(msgtype, ctrname, memberFxn) {msgtype, ctrname, 2, &DuiLib::DuiNotifyThunk<&memberFxn>},
#define DUI_ON_CLICK_CTRNAME(ctrname, memberFxn) DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, ctrname, memberFxn)
#define DUI_ON_SELECTCHANGED_CTRNAME(ctrname, memberFxn) \
    DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_SELECTCHANGED, ctrname, memberFxn)
#define DUI_ON_KILLFOCUS_CTRNAME(ctrname, memberFxn) DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_KILLFOCUS, ctrname, memberFxn)
#define DUI_ON_MENU_CTRNAME(ctrname, memberFxn) DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_MENU, ctrname, memberFxn)
