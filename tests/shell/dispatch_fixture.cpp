#include "tests/shell/dispatch_fixture.h"

#include "platform/os/messages.h"
#include "platform/files/utf8.h"
#include "shell/controls/process_state.h"

namespace dispatchtest {

namespace {

constexpr const char* kOperationNames[] = {
    "DpiStageEnable",     "DpiStageSelect",     "DpiSliderReleased", "DpiSliderMoving",
    "DpiEditLeft",        "MousePollingRate",   "PointerPrecision",  "ScrollByPage",
    "PointerSpeed",       "ScrollSpeed",        "DoubleClickSpeed",  "KeyboardPollingRate",
    "RepeatDelay",        "RepeatRate",         "WinLock",           "WFlag",
    "Key6Flag",           "KeyShakeEdit",       "FrameIntervalEdit", "ScreenToolSelected",
    "PixelSizeSelected",  "ScreenModeSelected", "SelectFrame",       "ClearRepeatTestBox",
    "UploadCurrentFrame", "UploadAllFrames",    "AddFrame",          "InvertFrame",
    "InvertAllFrames",    "DeleteFrame",        "ClearFrame",        "ClearAllFrames",
    "SaveFrame",          "SaveAllFrames",      "UndoCanvas",        "DumpUploadImage",
};
static_assert(std::size(kOperationNames) == static_cast<std::size_t>(PageOperation::DumpUploadImage) + 1);

}  // namespace

std::string OperationName(PageOperation operation) { return kOperationNames[static_cast<int>(operation)]; }

int FakePage::WriteProfileBlock(int profile, int firstByte, int flag, int width, int height) {
    log_->push_back("Write(" + std::to_string(profile) + "," + std::to_string(firstByte) + "," + std::to_string(flag) +
                    "," + std::to_string(width) + "x" + std::to_string(height) + ")");
    return 1;
}

void FakePage::SelectFunctionTab(int code) { log_->push_back("DeviceTab(" + std::to_string(code) + ")"); }

int DispatchRecorder::ShowMainMessage(const wchar_t* text, int textIsKey, int buttonMode) {
    calls.push_back("Message(" + win::ToUtf8(text) + "," + std::to_string(textIsKey) + "," +
                    std::to_string(buttonMode) + ")");
    if (messageAnswers.empty()) return 0;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

int DispatchRecorder::RunPageOperation(CCorvaneUSBDevice*, PageOperation operation, int index) {
    calls.push_back(OperationName(operation) + "(" + std::to_string(index) + ")");
    for (auto it = operationResults.begin(); it != operationResults.end(); ++it) {
        if (it->first != operation) continue;
        const int result = it->second;
        operationResults.erase(it);
        return result;
    }
    return 0;
}

void DispatchRecorder::SelectKeySetKey(CCorvaneUSBDevice*, int key) { Record("SelectKeySetKey", key); }
void DispatchRecorder::SelectProfileBarTab(CCorvaneUSBDevice*, int tab) { Record("SelectProfileBarTab", tab); }
void DispatchRecorder::ShowMacroActionMenu(TNotifyUI& msg) {
    calls.push_back("ShowMacroActionMenu(" + win::ToUtf8(msg.pSender->GetName().GetData()) + ")");
}
void DispatchRecorder::ApplyKeySelectionLight(CControlUI* panel) {
    calls.push_back("ApplyKeySelectionLight(" + win::ToUtf8(panel->GetName().GetData()) + ")");
}
void DispatchRecorder::ApplyMouseKeySelectionLight(CControlUI* panel) {
    calls.push_back("ApplyMouseKeySelectionLight(" + win::ToUtf8(panel->GetName().GetData()) + ")");
}

void DispatchTest::SetUp() {
    MainWndTest::SetUp();
    isFirst = 0;
    ScreenTabActive = 0;
    ScreenFramesUnsaved = 0;
    ScreenUndoPosition = 0;
    ScreenWidth = 1920;
    ScreenHeight = 1080;
    wnd_ = new DispatchRecorder;
    wnd_->Create(nullptr, kProductString, win::WS_POPUP | win::WS_VISIBLE, 0, 0, 0, 800, 572);
    mainwndtest::Pump();
    wnd_->GetPaintManager()->Invalidate();
    wnd_->GetPaintManager()->Paint();
    mainwndtest::Pump();
    wnd_->Clear();
}

void DispatchTest::TearDown() {
    senders_.clear();
    if (wnd_ != nullptr) {
        if (wnd_->GetHWND() != nullptr) win::DestroyWindow(wnd_->GetHWND());
        mainwndtest::Pump();
        delete wnd_;
        wnd_ = nullptr;
    }
    page_.reset();
    MainWndTest::TearDown();
}

void DispatchTest::UseDevice(int type) {
    wnd_->currentDevice = nullptr;
    page_.reset();
    if (type == 0) return;
    page_ = std::make_unique<FakePage>(type, &wnd_->calls);
    wnd_->currentDevice = page_.get();
}

void DispatchTest::Send(const std::wstring& type, const std::wstring& name, bool fromSkin) {
    CControlUI* sender = nullptr;
    if (fromSkin) {
        sender = wnd_->GetPaintManager()->FindControl(name.c_str());
        ASSERT_NE(sender, nullptr) << win::ToUtf8(name);
    } else {
        senders_.push_back(std::make_unique<CButtonUI>());
        sender = senders_.back().get();
        sender->SetName(name.c_str());
        // As the skin's caption controls: the base window's own click
        // handling never closes the window for them.
        sender->SetVirtualWnd(L"mainpage");
    }
    SendFrom(sender, type);
}

void DispatchTest::SendFrom(CControlUI* sender, const std::wstring& type) {
    wnd_->GetPaintManager()->SendNotify(sender, type.c_str());
}

}  // namespace dispatchtest
