#include "shell/controls/combo_edit_container_element_ui.h"

#include "platform/ui/dialog_builder.h"
#include "platform/ui/input_state.h"
#include "platform/ui/paint_manager.h"

using namespace DuiLib;

namespace {
constexpr WPARAM kVkReturn = 0x0D;
constexpr UINT kVkControl = 0x11;
}  // namespace

CControlUI* CComboEditContainerElementUI::CreateInstance() { return new CComboEditContainerElementUI(); }

LPCTSTR CComboEditContainerElementUI::GetClass() const { return kClassName; }

LPVOID CComboEditContainerElementUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && CDuiString(pstrName) == kClassName) return this;
    return CListContainerElementUI::GetInterface(pstrName);
}

void CComboEditContainerElementUI::DoInit() {
    CDialogBuilder builder;
    CControlUI* content = builder.Create(kSkin, nullptr, nullptr, m_pManager, nullptr);
    RemoveAll();
    m_pText1 = m_pText2 = m_pDelayEdit = nullptr;
    if (content) Add(content);
    // Looked up inside this row: every row has controls of these names.
    m_pText1 = FindSubControl(L"text1");
    m_pText2 = FindSubControl(L"text2");
    m_pDelayEdit = FindSubControl(L"delay_edit");
}

void CComboEditContainerElementUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    const CDuiString name(pstrName ? pstrName : L"");
    if (name == L"normalimage" || name == L"hotimage" || name == L"selectedimage") return;
    CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CComboEditContainerElementUI::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_SELECTCHANGED ||
        (msg.sType == DUI_MSGTYPE_RETURN && m_pDelayEdit && msg.pSender == m_pDelayEdit))
        m_bModified = true;
}

void CComboEditContainerElementUI::DoEvent(TEventUI& event) {
    auto toOwner = [this](TEventUI& e, bool container) {
        if (m_pOwner)
            m_pOwner->DoEvent(e);
        else if (container)
            CContainerUI::DoEvent(e);
        else
            CControlUI::DoEvent(e);
    };
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        toOwner(event, true);
        return;
    }
    switch (event.Type) {
        case UIEVENT_DBLCLICK:
            if (IsEnabled()) {
                Activate();
                Invalidate();
            }
            return;
        case UIEVENT_KEYDOWN:
            if (IsEnabled() && event.wParam == kVkReturn) {
                Activate();
                Invalidate();
                if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_RETURN);
                return;
            }
            break;
        case UIEVENT_BUTTONDOWN:
            if (IsEnabled()) {
                if (m_pOwner && m_pOwner->IsMultiSelect() && IsKeyDownUI(kVkControl)) {
                    if (IsSelected())
                        m_pOwner->UnSelectItem(GetIndex());
                    else
                        m_pOwner->SelectMultiItem(GetIndex(), true);
                } else {
                    Select(true, true);
                }
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if (IsEnabled() && m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_ITEMCLICK);
            return;
        case UIEVENT_MOUSEMOVE:
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            if (m_uButtonState & UISTATE_HOT) {
                m_uButtonState &= ~UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_TIMER:
            if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
            return;
        case UIEVENT_CONTEXTMENU:
            if (IsContextMenuUsed()) {
                if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_MENU, event.wParam, event.lParam);
                return;
            }
            break;
        default:
            break;
    }
    toOwner(event, false);
}
