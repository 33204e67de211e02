#pragma once

// Registers the image buttons, drawing controls and other custom controls of
// this folder with the UI's control factory under their builder names
// ("CCircleProgressUI", "CChartViewUI", "CWndUI", "CCloudShareListItemUI",
// "CComboEditContainerElementUI", "CHandImgButtonUI",
// "CHandImgSelectButtonUI", "CRedioMacroButtonUI", "CAudioRecordUI"), so
// that any skin can use the tags "CircleProgress", "ChartView", "Wnd",
// "CloudShareListItem", "ComboEditContainerElement", "HandImgButton",
// "HandImgSelectButton", "RedioMacroButton" and "AudioRecord" (or the
// registered names themselves). Called once at start-up, before the first
// skin is built.
void RegisterCustomControls();
