// The headset's equaliser/microphone panel and voice-changer panel.
#include <gtest/gtest.h>

#include <memory>

#include "tests/devices/headset_panels.h"

namespace {

using namespace devicestest;

TEST(VoicePanel, OptionOutsideTheRangeDeselectsAllAndRemembersNone) {
    std::unique_ptr<CVoice6533ControlUI> panel(MakeVoicePanel());
    panel->SelectEqOption(4);
    EXPECT_EQ(panel->GetSelectedEqOption(), 4);
    auto* four = static_cast<DuiLib::COptionUI*>(panel->FindSubControl(L"6533_eq_option_4"));
    EXPECT_TRUE(four->IsSelected());
    panel->SelectEqOption(14);
    EXPECT_EQ(panel->GetSelectedEqOption(), 0);
    for (int i = 1; i <= 13; ++i) {
        auto* o =
            static_cast<DuiLib::COptionUI*>(panel->FindSubControl((L"6533_eq_option_" + std::to_wstring(i)).c_str()));
        EXPECT_FALSE(o->IsSelected()) << i;
    }
}

TEST(VoicePanel, SelectingACustomRowAlwaysEmptiesTheNameEdit) {
    std::unique_ptr<CVoice6533ControlUI> panel(MakeVoicePanel());
    panel->AddCustomEqItem(L"Bass");
    panel->AddCustomEqItem(L"Voice");
    EXPECT_EQ(panel->GetCustomEqCount(), 2);
    EXPECT_EQ(panel->GetCustomEqItemText(1), DuiLib::CDuiString(L"Voice"));
    for (int row : {1, -1}) {
        panel->SetCustomEqName(L"typed");
        panel->SelectCustomEqItem(row);
        EXPECT_EQ(panel->GetCustomEqSelection(), row);
        EXPECT_TRUE(panel->GetCustomEqName().IsEmpty());
    }
    panel->RemoveCustomEqItem(0);
    EXPECT_EQ(panel->GetCustomEqItemText(0), DuiLib::CDuiString(L"Voice"));
    panel->RemoveAllCustomEqItems();
    EXPECT_EQ(panel->GetCustomEqCount(), 0);
}

TEST(VoicePanel, MissingControlsAnswerWithNeutralValues) {
    std::unique_ptr<CVoice6533ControlUI> panel(
        MakeVoicePanel({L"6533_eq_hz_slider_3", L"custom_eq_name_combo", L"custom_eq_name_edit", L"6533_MicIn_slider",
                        L"6533_MicMoniter_slider", L"custom_eq_option_layout", L"6533_eq_option_2"}));
    EXPECT_EQ(panel->GetEqBandValue(3), -1);
    EXPECT_EQ(panel->GetMicInValue(), -1);
    EXPECT_EQ(panel->GetMicMonitorValue(), -1);
    EXPECT_EQ(panel->GetCustomEqSelection(), -1);
    EXPECT_EQ(panel->GetCustomEqCount(), 0);
    EXPECT_TRUE(panel->GetCustomEqName().IsEmpty());
    EXPECT_TRUE(panel->GetCustomEqItemText(0).IsEmpty());
    panel->AddCustomEqItem(L"x");
    panel->SetEqBandValue(3, 7);
    panel->EnableCustomEqLayout(true);
    panel->SelectEqOption(2);
    EXPECT_EQ(panel->GetSelectedEqOption(), 2);
    panel->SetEqBandValue(4, 7);
    EXPECT_EQ(panel->GetEqBandValue(4), 7);
}

TEST(MagicPanel, SwitchEnablesTheVoicesAndVoiceZeroSelectsNone) {
    std::unique_ptr<CMagicControlUI> panel(MakeMagicPanel());
    panel->SetMagicEnabled(true);
    EXPECT_EQ(panel->IsMagicEnabled(), 1);
    EXPECT_TRUE(panel->FindSubControl(L"magic_option_layout")->IsEnabled());
    panel->SelectMagicOption(3);
    EXPECT_EQ(panel->GetSelectedMagicOption(), 3);
    panel->SelectMagicOption(0);
    EXPECT_EQ(panel->GetSelectedMagicOption(), 0);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(
            static_cast<DuiLib::COptionUI*>(panel->FindSubControl((L"magic_option_" + std::to_wstring(i)).c_str()))
                ->IsSelected());
    panel->SetMagicEnabled(false);
    EXPECT_FALSE(panel->FindSubControl(L"magic_option_layout")->IsEnabled());
}

TEST(MagicPanel, WithoutItsSwitchTheChangerReadsOff) {
    std::unique_ptr<CMagicControlUI> panel(MakeMagicPanel({L"magic_enable_option", L"magic_option_layout"}));
    panel->SetMagicEnabled(true);
    EXPECT_EQ(panel->IsMagicEnabled(), 0);
}

}  // namespace
