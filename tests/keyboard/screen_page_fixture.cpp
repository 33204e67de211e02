#include "tests/keyboard/screen_page_fixture.h"

#include "link/json_file_util.h"
#include "platform/files/folders.h"
#include "tests/keyboard/keyboard_test_support.h"

namespace kbtest {

using namespace DuiLib;

namespace {

const char* const kSkinWithStrip = R"(<Window size="800,600"><VerticalLayout>
  <CorvaneKeyboardDevice name="page">
    <HorizontalLayout name="screen_view_tab" height="140"/>
    <TabLayout name="screen_function_switch" height="30"><Control/><Control/></TabLayout>
    <HorizontalLayout height="30">
      <Option name="frame_option" width="80"/><Option name="uploading_option" width="80"/>
      <Label name="frame_count_label" width="40"/>
      <Edit name="frame_interval_time_edit" width="80"/>
      <Combo name="screen_mode_combo_Select" width="80">
        <ListLabelElement text="small"/><ListLabelElement text="large"/>
      </Combo>
      <Button name="screen_undo_btn" width="40"/>
    </HorizontalLayout>
  </CorvaneKeyboardDevice></VerticalLayout></Window>)";

const char* const kSkinWithoutStrip = R"(<Window size="800,600"><VerticalLayout>
  <CorvaneKeyboardDevice name="page">
    <Label name="frame_count_label" width="40"/>
  </CorvaneKeyboardDevice></VerticalLayout></Window>)";

}  // namespace

void ScreenPageTest::SetUp() {
    DeviceUiTest::SetUp();
    RegisterCorvaneKeyboardDevice();
}

CCorvaneKeyboardDevice* ScreenPageTest::Build(bool withStrip, int width, int height, int rotate) {
    main_ = new devtest::SkinWindow(win::FromUtf8(withStrip ? kSkinWithStrip : kSkinWithoutStrip));
    windows_.push_back(main_);
    main_->Create(nullptr, L"screen test", UI_WS_POPUP | UI_WS_VISIBLE, 0, 0, 0, 800, 600);
    devtest::Pump();
    page_ = main_->Find<CCorvaneKeyboardDevice>(L"page");
    EXPECT_NE(page_, nullptr);
    if (!page_) return nullptr;
    SetUpPage(*page_);
    page_->UpdateProfilePaths();
    page_->SetScreenGeometry(width, height, rotate);
    return page_;
}

void ScreenPageTest::ChooseMode(int mode) {
    auto* combo = Find<CComboUI>(L"screen_mode_combo_Select");
    ASSERT_NE(combo, nullptr);
    combo->SelectItem(mode, false, false);
    page_->OnScreenModeSelected();
}

std::wstring ScreenPageTest::LabelText(const wchar_t* name) {
    CControlUI* control = main_->pm().FindControl(name);
    return control ? std::wstring(control->GetText().GetData()) : std::wstring(L"<missing>");
}

std::filesystem::path ScreenPageTest::DataFolder() const { return UserFolder(*page_); }

std::filesystem::path ScreenPageTest::BitmapPath(int index) const {
    return DataFolder() / "ScreenFamres" / (std::to_string(index) + ".bmp");
}

Json::Value ScreenPageTest::ReadDocument() const {
    return CJsonFileUtil::LoadJson(CDuiString(win::FromUtf8(DocumentPath().string()).c_str()));
}

void ScreenPageTest::WriteDocument(const Json::Value& document) const {
    ASSERT_TRUE(CJsonFileUtil::SaveJson(CDuiString(win::FromUtf8(DocumentPath().string()).c_str()), document));
}

ScreenCell Marker(int frame, int column, int row) {
    return ScreenCell{static_cast<uint8_t>(frame * 40 + 7), static_cast<uint8_t>(column), static_cast<uint8_t>(row), 1};
}

void PaintFrame(CScreenViewControlUI& frame, int id) {
    for (int r = 0; r < frame.GetRows(); ++r)
        for (int c = 0; c < frame.GetColumns(); ++c) frame.Cell(c, r) = Marker(id, c, r);
}

}  // namespace kbtest
