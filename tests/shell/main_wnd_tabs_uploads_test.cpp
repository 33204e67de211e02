// Function tabs with their guard for unsaved screen frames, and the results
// of the screen-frame uploads and saves as the user sees them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/resource_manager.h"
#include "shell/controls/process_state.h"
#include "platform/files/utf8.h"
#include "tests/shell/dispatch_fixture.h"

namespace dispatchtest {
namespace {

using Calls = std::vector<std::string>;
constexpr int kKeyboard = CCorvaneUSBDevice::kTypeKeyboard;
constexpr int kHeadset = CCorvaneUSBDevice::kTypeHeadset;

struct Flags {
    int isFirst;
    int screenTab;
    int unsaved;
    int undo;
};

Flags Now() { return {isFirst.load(), ScreenTabActive.load(), ScreenFramesUnsaved.load(), ScreenUndoPosition.load()}; }

void Set(const Flags& f) {
    isFirst = static_cast<std::uint8_t>(f.isFirst);
    ScreenTabActive = f.screenTab;
    ScreenFramesUnsaved = f.unsaved;
    ScreenUndoPosition = f.undo;
}

bool operator==(const Flags& a, const Flags& b) {
    return a.isFirst == b.isFirst && a.screenTab == b.screenTab && a.unsaved == b.unsaved && a.undo == b.undo;
}

std::ostream& operator<<(std::ostream& out, const Flags& f) {
    return out << "{isFirst " << f.isFirst << ", screen tab " << f.screenTab << ", unsaved " << f.unsaved << ", undo "
               << f.undo << "}";
}

const Calls kSwitchTo2 = {"DeviceTab(2)", "SelectProfileBarTab(2)", "CloseScreenEditor()"};

TEST_F(DispatchTest, FunctionTabsSetTheirFlagsAndSwitchTheCurrentPage) {
    struct Case {
        const wchar_t* name;
        Flags before;
        Flags after;
        Calls calls;
    } cases[] = {
        {L"deng_Op_tab", {0, 1, 0, 0}, {1, 0, 0, 0}, {"DeviceTab(1)", "SelectProfileBarTab(1)", "CloseScreenEditor()"}},
        {L"key_Op_tab", {0, 1, 0, 0}, {1, 0, 0, 0}, kSwitchTo2},
        {L"macro_Op_tab",
         {0, 1, 0, 0},
         {1, 0, 0, 0},
         {"DeviceTab(3)", "SelectProfileBarTab(3)", "CloseScreenEditor()"}},
        {L"system_Op_tab",
         {0, 1, 0, 0},
         {1, 0, 0, 0},
         {"DeviceTab(4)", "SelectProfileBarTab(4)", "CloseScreenEditor()"}},
        // No guard, isFirst unchanged, even with unsaved frames.
        {L"cursor_Op_tab",
         {0, 1, 1, 3},
         {0, 0, 1, 3},
         {"DeviceTab(5)", "SelectProfileBarTab(5)", "CloseScreenEditor()"}},
        {L"6533_voice_Op_tab",
         {1, 1, 0, 0},
         {1, 0, 0, 0},
         {"DeviceTab(6)", "SelectProfileBarTab(6)", "CloseScreenEditor()"}},
        {L"magic_Op_tab",
         {0, 1, 0, 0},
         {0, 0, 0, 0},
         {"DeviceTab(7)", "SelectProfileBarTab(7)", "CloseScreenEditor()"}},
        {L"Virtual7.1_Op_tab",
         {0, 1, 0, 0},
         {0, 1, 0, 0},
         {"DeviceTab(8)", "SelectProfileBarTab(8)", "CloseScreenEditor()"}},
        {L"screen_Op_tab",
         {1, 0, 0, 0},
         {0, 1, 0, 0},
         {"DeviceTab(9)", "SelectProfileBarTab(9)", "ShowScreenEditor()", "ShowScreenFramesPage()"}},
    };
    for (const Case& c : cases) {
        UseDevice(kHeadset);
        Set(c.before);
        wnd_->Clear();
        Send(L"selectchanged", c.name);
        EXPECT_EQ(Now(), c.after) << win::ToUtf8(c.name);
        EXPECT_EQ(wnd_->calls, c.calls) << win::ToUtf8(c.name);
    }
}

TEST_F(DispatchTest, FunctionTabWithoutDeviceOnlyKeepsTheFlags) {
    UseDevice(0);
    Set({0, 1, 0, 0});
    Send(L"selectchanged", L"key_Op_tab");
    EXPECT_EQ(Now(), (Flags{1, 0, 0, 0}));
    EXPECT_EQ(wnd_->calls, (Calls{"CloseScreenEditor()"}));
}

TEST_F(DispatchTest, LeavingUnsavedScreenFramesAsksFirst) {
    struct Case {
        Flags before;
        int answer;
        Flags after;
        Calls calls;
    } cases[] = {
        // Cancel: the screen tab comes back and nothing else runs.
        {{0, 1, 1, 0}, 0, {0, 1, 1, 0}, {"Message(message_text_33,1,1)", "DeviceTab(9)", "SelectProfileBarTab(9)"}},
        {{0, 1, 0, 2}, 0, {0, 1, 0, 2}, {"Message(message_text_33,1,1)", "DeviceTab(9)", "SelectProfileBarTab(9)"}},
        // Confirm: both marks are cleared and the tab switches.
        {{0, 1, 1, 2},
         1,
         {1, 0, 0, 0},
         Calls{"Message(message_text_33,1,1)", "DeviceTab(2)", "SelectProfileBarTab(2)", "CloseScreenEditor()"}},
        // Nothing unsaved: no question.
        {{0, 1, 0, 0}, 0, {1, 0, 0, 0}, kSwitchTo2},
    };
    for (const Case& c : cases) {
        UseDevice(kKeyboard);
        Set(c.before);
        wnd_->Clear();
        wnd_->messageAnswers = {c.answer};
        Send(L"selectchanged", L"key_Op_tab");
        EXPECT_EQ(Now(), c.after) << c.before;
        EXPECT_EQ(wnd_->calls, c.calls) << c.before;
    }
}

TEST_F(DispatchTest, UploadResultsAreShownAsTheirMessages) {
    struct Case {
        const wchar_t* button;
        PageOperation operation;
        int result;
        Calls calls;
    } cases[] = {
        {L"uploading_frame_btn",
         PageOperation::UploadCurrentFrame,
         -1,
         {"UploadCurrentFrame(0)", "Message(upload_erro_text,1,1)"}},
        {L"uploading_frame_btn", PageOperation::UploadCurrentFrame, 1, {"UploadCurrentFrame(0)"}},
        {L"uploading_all_frame_btn",
         PageOperation::UploadAllFrames,
         -1,
         {"UploadAllFrames(0)", "Message(upload_erro_text,1,1)"}},
        {L"uploading_all_frame_btn", PageOperation::UploadAllFrames, 1, {"UploadAllFrames(0)"}},
        {L"add_frame_btn", PageOperation::AddFrame, -1, {"AddFrame(0)", "Message(message_erro_over_text,1,1)"}},
        {L"add_frame_btn", PageOperation::AddFrame, 0, {"AddFrame(0)"}},
        {L"delete_frame_btn", PageOperation::DeleteFrame, -1, {"DeleteFrame(0)", "Message(delete_erro_text,1,1)"}},
        {L"delete_frame_btn", PageOperation::DeleteFrame, 1, {"DeleteFrame(0)"}},
    };
    UseDevice(kKeyboard);
    for (const Case& c : cases) {
        wnd_->Clear();
        wnd_->operationResults = {{c.operation, c.result}};
        Send(L"click", c.button);
        EXPECT_EQ(wnd_->calls, c.calls) << win::ToUtf8(c.button) << " " << c.result;
    }
}

TEST_F(DispatchTest, TooManyFramesTellsTheLimitInTheChosenLanguage) {
    UseDevice(kKeyboard);
    struct Case {
        const wchar_t* language;
        std::string text;
    } cases[] = {
        {L"lan_en.xml", "Too many frames: the keyboard takes at most 40."},
        {L"lan_cn.xml", "帧数过多：键盘最多支持 40 帧。"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(CResourceManager::GetInstance()->LoadLanguage(c.language));
        wnd_->Clear();
        wnd_->operationResults = {{PageOperation::UploadAllFrames, -2}};
        Send(L"click", L"uploading_all_frame_btn");
        EXPECT_EQ(wnd_->calls, (Calls{"UploadAllFrames(0)", "Message(" + c.text + ",0,0)"}));
    }
    CResourceManager::GetInstance()->LoadLanguage(L"lan_en.xml");
}

TEST_F(DispatchTest, LongUploadAsksAndRetriesOnlyWhenConfirmed) {
    UseDevice(kKeyboard);
    struct Case {
        int answer;
        int retry;
        int waitFlag;
        Calls calls;
    } cases[] = {
        {0, 0, 0, {"UploadAllFrames(0)", "Message(message_wait_text,1,1)"}},
        {1, 1, 1, {"UploadAllFrames(0)", "Message(message_wait_text,1,1)", "UploadAllFrames(0)"}},
        // The retry's failure is reported as the first attempt's would be.
        {1,
         -1,
         1,
         {"UploadAllFrames(0)", "Message(message_wait_text,1,1)", "UploadAllFrames(0)",
          "Message(upload_erro_text,1,1)"}},
        // A second "long upload" answer asks no more.
        {1, -3, 1, {"UploadAllFrames(0)", "Message(message_wait_text,1,1)", "UploadAllFrames(0)"}},
    };
    CDeviceProtocol& channel = page_->CommandChannel();
    for (const Case& c : cases) {
        channel.SetLongWait(false);
        wnd_->Clear();
        wnd_->messageAnswers = {c.answer};
        wnd_->operationResults = {{PageOperation::UploadAllFrames, -3}, {PageOperation::UploadAllFrames, c.retry}};
        Send(L"click", L"uploading_all_frame_btn");
        EXPECT_EQ(channel.IsLongWait(), c.waitFlag == 1) << c.answer << " " << c.retry;
        EXPECT_EQ(wnd_->calls, c.calls) << c.answer << " " << c.retry;
    }
}

TEST_F(DispatchTest, SavedFramesClearTheUnsavedMarkOnlyWhenWritten) {
    UseDevice(kKeyboard);
    struct Case {
        const wchar_t* button;
        PageOperation operation;
        int result;
        const char* message;
        int unsavedAfter;
    } cases[] = {
        {L"save_frame_btn", PageOperation::SaveFrame, 1, "save_succeed", 0},
        {L"save_frame_btn", PageOperation::SaveFrame, 0, "save_erro_text", 1},
        {L"save_all_frame_btn", PageOperation::SaveAllFrames, 1, "save_succeed", 0},
        {L"save_all_frame_btn", PageOperation::SaveAllFrames, 0, "save_erro_text", 1},
    };
    for (const Case& c : cases) {
        ScreenFramesUnsaved = 1;
        wnd_->Clear();
        wnd_->operationResults = {{c.operation, c.result}};
        Send(L"click", c.button);
        EXPECT_EQ(wnd_->calls,
                  (Calls{OperationName(c.operation) + "(0)", std::string("Message(") + c.message + ",1,1)"}));
        EXPECT_EQ(ScreenFramesUnsaved.load(), c.unsavedAfter);
    }
    // On a mouse page nothing is saved and nothing shown.
    UseDevice(CCorvaneUSBDevice::kTypeMouse);
    wnd_->Clear();
    ScreenFramesUnsaved = 1;
    Send(L"click", L"save_frame_btn");
    EXPECT_TRUE(wnd_->calls.empty());
    EXPECT_EQ(ScreenFramesUnsaved.load(), 1);
}

TEST_F(DispatchTest, ClearingAllFramesForgetsTheUnsavedMark) {
    UseDevice(kKeyboard);
    ScreenFramesUnsaved = 1;
    Send(L"click", L"clear_all_frame_btn");
    EXPECT_EQ(ScreenFramesUnsaved.load(), 0);
}

}  // namespace
}  // namespace dispatchtest
