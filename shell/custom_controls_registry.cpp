#include "shell/custom_controls_registry.h"

#include "platform/ui/dialog_builder.h"
#include "shell/audio_record_ui.h"
#include "shell/chart_view_ui.h"
#include "shell/circle_progress_ui.h"
#include "shell/cloud_share_list_item_ui.h"
#include "shell/combo_edit_container_element_ui.h"
#include "shell/hand_img_button_ui.h"
#include "shell/hand_img_select_button_ui.h"
#include "shell/redio_macro_button_ui.h"
#include "shell/wnd_ui.h"

void RegisterCustomControls() {
    DuiLib::CControlFactory* factory = DuiLib::CControlFactory::GetInstance();
    factory->RegistControl(L"CCircleProgressUI", &CCircleProgressUI::CreateInstance);
    factory->RegistControl(L"CChartViewUI", &CChartViewUI::CreateInstance);
    factory->RegistControl(L"CWndUI", &CWndUI::CreateInstance);
    factory->RegistControl(L"CCloudShareListItemUI", &CCloudShareListItemUI::CreateInstance);
    factory->RegistControl(L"CComboEditContainerElementUI", &CComboEditContainerElementUI::CreateInstance);
    factory->RegistControl(L"CHandImgButtonUI", &CHandImgButtonUI::CreateInstance);
    factory->RegistControl(L"CHandImgSelectButtonUI", &CHandImgSelectButtonUI::CreateInstance);
    factory->RegistControl(L"CRedioMacroButtonUI", &CRedioMacroButtonUI::CreateInstance);
    factory->RegistControl(L"CAudioRecordUI", &CAudioRecordUI::CreateInstance);
}
