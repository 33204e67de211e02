#include <gtest/gtest.h>

#include <optional>

#include "shell/controls/mp_device_power_ui.h"
#include "tests/shell/device_ui_fixture.h"

namespace {

using namespace devtest;

// The tile's children start in a known state so that a part the block must
// not touch can be told from one it sets: logo hidden, bar hidden, charge
// icon "old", phone tool tip "untouched".
const char* const kTileSkin = R"(<Window size="300,60">
    <MpDevicePower name="tile">
      <HorizontalLayout name="device_power_Layout">
        <Label name="device_power_value" width="40"/>
        <Control name="device_wuxian_logo" width="20" visible="false"/>
        <Control name="device_power_status" width="20" bkimage="file='old.png'"/>
        <Progress name="device_Power_progress" width="60" visible="false"/>
        <Control name="device_phone_type" width="20" tooltip="untouched" bkimage="file='none.png'"/>
      </HorizontalLayout>
    </MpDevicePower></Window>)";

class PowerTileTest : public DeviceUiTest {
protected:
    CMpDevicePowerUI* OpenTile(const char* skin = kTileSkin) {
        window_ = Open(skin, 300, 60);
        auto* tile = window_->Find<CMpDevicePowerUI>(L"tile");
        EXPECT_NE(tile, nullptr);
        return tile;
    }
    CControlUI* Child(const wchar_t* name) { return window_->Find<CControlUI>(name); }

    SkinWindow* window_ = nullptr;
};

TEST_F(PowerTileTest, ShowsEachStatusByteCombination) {
    struct Case {
        const char* what;
        int kind;
        std::vector<uint8_t> block;
        std::wstring label;
        int bar;
        bool logoShown;
        bool barShown;
        std::wstring chargeImage;
        std::wstring phoneTip;
        std::wstring phoneImage;
    };
    const Case cases[] = {
        {"mouse on the receiver, powered",
         2,
         {85, 0, 0, 1, 0, 0},
         L"85%",
         15,
         true,
         true,
         L"file='power/powered.png'",
         L"untouched",
         L"file='none.png'"},
        {"keyboard wired, charging",
         1,
         {40, 1, 0, 0, 0, 3},
         L"40%",
         60,
         false,
         true,
         L"file='power/powering.png'",
         L"untouched",
         L"file='none.png'"},
        {"keyboard on battery",
         1,
         {100, 2, 0, 1, 0, 0},
         L"100%",
         0,
         true,
         true,
         L"file='power/power.png'",
         L"untouched",
         L"file='none.png'"},
        {"unknown charge state keeps icon and bar",
         2,
         {50, 7, 0, 1, 0, 0},
         L"50%",
         50,
         true,
         false,
         L"file='old.png'",
         L"untouched",
         L"file='none.png'"},
        {"mouse pad, iPhone; the link byte is not its",
         3,
         {30, 0, 0, 1, 0, 1},
         L"30%",
         70,
         false,
         true,
         L"file='power/powered.png'",
         L"Phone_type_iphone",
         L"file='power/Phone_type_iphone.png'"},
        {"mouse pad, Samsung",
         3,
         {30, 0, 0, 0, 0, 2},
         L"30%",
         70,
         false,
         true,
         L"file='power/powered.png'",
         L"Phone_type_samsung",
         L"file='power/Phone_type_samsung.png'"},
        {"mouse pad, other phone",
         3,
         {30, 0, 0, 0, 0, 3},
         L"30%",
         70,
         false,
         true,
         L"file='power/powered.png'",
         L"Phone_type_other",
         L"file='power/Phone_type_other.png'"},
        {"mouse pad, no phone",
         3,
         {30, 0, 0, 0, 0, 9},
         L"30%",
         70,
         false,
         true,
         L"file='power/powered.png'",
         L"Phone_type_no_device",
         L"file='power/Phone_type_no_device.png'"},
        {"headset: link and phone bytes untouched",
         7,
         {10, 0, 0, 1, 0, 1},
         L"10%",
         90,
         false,
         true,
         L"file='power/powered.png'",
         L"untouched",
         L"file='none.png'"},
        {"three bytes for a mouse pad: phone reads 0",
         3,
         {20, 2, 0},
         L"20%",
         80,
         false,
         true,
         L"file='power/power.png'",
         L"Phone_type_no_device",
         L"file='power/Phone_type_no_device.png'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMpDevicePowerUI* tile = OpenTile();
        ASSERT_NE(tile, nullptr);
        tile->SetDeviceKind(c.kind, 0);
        tile->SetPowerInfo(c.block.data(), int(c.block.size()));
        EXPECT_EQ(Child(L"device_power_value")->GetText(), c.label);
        auto* bar = static_cast<CProgressUI*>(Child(L"device_Power_progress"));
        EXPECT_EQ(bar->GetValue(), c.bar);
        EXPECT_EQ(bar->IsVisible(), c.barShown);
        EXPECT_EQ(Child(L"device_wuxian_logo")->IsVisible(), c.logoShown);
        EXPECT_EQ(CDuiString(Child(L"device_power_status")->GetBkImage()), c.chargeImage);
        EXPECT_EQ(Child(L"device_phone_type")->GetToolTip(), c.phoneTip);
        EXPECT_EQ(CDuiString(Child(L"device_phone_type")->GetBkImage()), c.phoneImage);
    }
}

TEST_F(PowerTileTest, ShortBlockReadsTheLinkByteAsZero) {
    CMpDevicePowerUI* tile = OpenTile();
    tile->SetDeviceKind(2, 0);
    const uint8_t online[] = {60, 0, 0, 1, 0, 0};
    tile->SetPowerInfo(online, 6);
    ASSERT_TRUE(Child(L"device_wuxian_logo")->IsVisible());
    const uint8_t shortBlock[] = {61, 0, 0, 1};  // byte 3 lies past the length
    tile->SetPowerInfo(shortBlock, 3);
    EXPECT_FALSE(Child(L"device_wuxian_logo")->IsVisible());
    EXPECT_EQ(Child(L"device_power_value")->GetText(), L"61%");
    // No block at all, or a negative length, reads as all zero.
    tile->SetPowerInfo(nullptr, 6);
    EXPECT_EQ(Child(L"device_power_value")->GetText(), L"0%");
    tile->SetPowerInfo(online, -5);
    EXPECT_EQ(Child(L"device_power_value")->GetText(), L"0%");
}

TEST_F(PowerTileTest, TileWithoutAStatusChildIgnoresEveryBlock) {
    CMpDevicePowerUI* tile = OpenTile(R"(<Window size="300,60">
        <MpDevicePower name="tile">
          <Label name="device_power_value" text="--"/>
          <Control name="device_wuxian_logo"/>
          <Control name="device_power_status"/>
          <Progress name="device_Power_progress" value="33"/>
        </MpDevicePower></Window>)");
    tile->SetDeviceKind(2, 0);
    const uint8_t block[] = {85, 0, 0, 0, 0, 0};
    tile->SetPowerInfo(block, 6);
    EXPECT_EQ(Child(L"device_power_value")->GetText(), L"--");
    EXPECT_EQ(static_cast<CProgressUI*>(Child(L"device_Power_progress"))->GetValue(), 33);
    EXPECT_TRUE(Child(L"device_wuxian_logo")->IsVisible());
}

TEST_F(PowerTileTest, ThePhoneIconShowsOnAMousePadOnly) {
    const struct {
        int kind;
        bool phoneShown;
    } cases[] = {{1, false}, {2, false}, {3, true}, {7, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        CMpDevicePowerUI* tile = OpenTile();
        tile->SetDeviceKind(c.kind, 0);
        const uint8_t block[] = {60, 0, 0, 0, 0, 1};
        tile->SetPowerInfo(block, 6);
        EXPECT_EQ(Child(L"device_phone_type")->IsVisible(), c.phoneShown);
        EXPECT_EQ(Child(L"device_power_value")->GetText(), L"60%");
    }
}

TEST_F(PowerTileTest, PowerLayoutFollowsTheFlagAndActivationNotifies) {
    CMpDevicePowerUI* tile = OpenTile();
    EXPECT_STREQ(tile->GetClass(), L"MpDevicePower");
    tile->ShowPowerLayout(0);
    EXPECT_FALSE(Child(L"device_power_Layout")->IsVisible());
    tile->ShowPowerLayout(5);
    EXPECT_TRUE(Child(L"device_power_Layout")->IsVisible());

    tile->SetDeviceKind(3, 1);
    EXPECT_EQ(tile->GetDeviceKind(), 3);
    EXPECT_EQ(tile->GetDeviceSubKind(), 1);
    EXPECT_TRUE(tile->Activate());
    EXPECT_EQ(window_->Count(L"selectchanged", L"tile"), 1);
    tile->SetEnabled(false);
    EXPECT_FALSE(tile->Activate());
    EXPECT_EQ(window_->Count(L"selectchanged", L"tile"), 1);
}

}  // namespace
