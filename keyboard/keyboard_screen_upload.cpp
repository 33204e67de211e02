// The screen upload: the frames packed into one image on the UI thread, sent
// to the keyboard on a worker thread behind a modal progress window, then
// saved on the UI thread.
#include <fstream>

#include "keyboard/corvane_keyboard_device.h"
#include "keyboard/screen_view_control_ui.h"
#include "link/device_packet.h"
#include "platform/os/event.h"
#include "platform/files/folders.h"
#include "platform/os/handle.h"
#include "platform/os/message_queue.h"
#include "platform/os/messages.h"
#include "platform/os/thread.h"
#include "shell/controls/message_boxes.h"
#include "shell/controls/msg_progress_wnd.h"

using namespace DuiLib;

namespace {

constexpr int kScreenModeLarge = 1;
constexpr int kProgressButtonMode = 100;

ScreenFramePixels FramePixels(const CScreenViewControlUI& frame, int columns, int rows) {
    ScreenFramePixels pixels;
    pixels.reserve(size_t(columns) * size_t(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const ScreenCell& cell = frame.Cell(c, r);
            pixels.push_back({cell.red, cell.green, cell.blue});
        }
    return pixels;
}

// Runs the calling thread's messages until the thread has ended.
void WaitServingMessages(win::HANDLE thread) {
    while (win::WaitForSingleObject(thread, 0) != win::WAIT_OBJECT_0) {
        win::MsgWaitForMultipleObjects(1, &thread, FALSE, win::INFINITE, win::QS_ALLINPUT);
        win::MSG msg;
        while (win::PeekMessageW(&msg, nullptr, 0, 0, win::PM_REMOVE)) {
            if (msg.message == win::WM_QUIT) {
                // Leave the quit for the outer loop once the worker is done.
                win::WaitForSingleObject(thread, win::INFINITE);
                win::PostQuitMessage(int(msg.wParam));
                return;
            }
            win::TranslateMessage(&msg);
            win::DispatchMessageW(&msg);
        }
    }
}

struct ThreadStart {
    CCorvaneKeyboardDevice* page;
    void* job;
};

}  // namespace

std::vector<uint8_t> CCorvaneKeyboardDevice::BuildAnimationImage() {
    std::vector<ScreenFramePixels> frames;
    for (int i = 0; i < GetFrameCount(); ++i)
        if (CScreenViewControlUI* frame = GetFrame(i))
            frames.push_back(FramePixels(*frame, ScreenColumns(), ScreenRows()));
    return BuildScreenUploadImage(frames, ScreenColumns(), ScreenRows());
}

std::vector<uint8_t> CCorvaneKeyboardDevice::BuildCurrentFrameImage() {
    CScreenViewControlUI* frame = GetFrame(GetCurrentFrame());
    if (frame == nullptr) return {};
    return BuildScreenUploadImage({FramePixels(*frame, ScreenColumns(), ScreenRows())}, ScreenColumns(), ScreenRows());
}

int CCorvaneKeyboardDevice::UploadAllFrames() {
    if (GetFrameStrip() == nullptr) return 0;
    if (m_commandChannel.IsReceiverMode()) return -1;
    const int count = GetFrameCount();
    if (count > GetFrameLimit()) return -2;
    if (GetScreenMode() == kScreenModeLarge && !m_commandChannel.IsLongWait() && count > kLongUploadFrames) return -3;

    // What the keyboard is given is fixed before the worker starts: the
    // interval as the edit shows it (never 0 or negative) and the frames now.
    m_frameInterval = GetFrameInterval();
    ScreenUploadJob job;
    job.image = BuildAnimationImage();
    job.frames = count;
    RunScreenUpload(job);
    SaveAllFrames();
    SetScreenUploading(0);
    return job.result;
}

int CCorvaneKeyboardDevice::UploadCurrentFrame() {
    if (m_commandChannel.IsReceiverMode()) return -1;
    if (GetFrameStrip() == nullptr || GetFrame(GetCurrentFrame()) == nullptr) return 0;
    ScreenUploadJob job;
    job.image = BuildCurrentFrameImage();
    job.frames = 1;
    RunScreenUpload(job);
    SaveFrame();
    SetScreenUploading(0);
    return job.result;
}

void CCorvaneKeyboardDevice::SetScreenUploading(int on) {
    m_screenUploading.store(on != 0 ? 1 : 0);
    m_commandChannel.m_restricted.store(on != 0 ? 1 : 0);
    if (on != 0) return;
    m_commandChannel.SetLongWait(false);
    if (const win::HWND progress = GetProgressWindowHwnd()) win::PostMessageW(progress, win::WM_CLOSE, 0, 0);
}

bool CCorvaneKeyboardDevice::DumpUploadImage() {
    if (GetFrameStrip() == nullptr) return false;
    const std::string text = ScreenUploadImageText(BuildAnimationImage());
    std::ofstream out(win::ToFsPath(GetUserDataFolder().str()) / "data.txt", std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    return bool(out);
}

void CCorvaneKeyboardDevice::RunScreenUpload(ScreenUploadJob& job) {
    // The window exists before the worker starts, so even an upload that ends
    // at once finds it and closes it.
    auto* window = new CMsgProgressWnd();
    const win::HWND parent = GetManager() != nullptr ? GetManager()->GetPaintWindow() : nullptr;
    job.progress = window->Create(parent, L"msgprogresswnd", UI_WS_POPUP | UI_WS_CLIPCHILDREN, UI_WS_EX_TOOLWINDOW);
    if (job.progress == nullptr) {
        delete window;
        window = nullptr;
    } else {
        window->SetTitle(L"message_text_38", 1);
        window->SetDPI(GetManager() != nullptr ? GetManager()->GetDPIObj()->GetDPI() : 96);
        window->SetButtonMode(kProgressButtonMode);
        window->CenterWindow();
    }

    ThreadStart start{this, &job};
    const win::HANDLE thread = win::CreateThread(nullptr, 0, &ScreenUploadThreadProc, &start, 0, nullptr);
    if (thread == nullptr) {
        job.result = -1;
        if (job.progress != nullptr) win::PostMessageW(job.progress, win::WM_CLOSE, 0, 0);
    }
    // The window deletes itself when its modal loop has destroyed it.
    if (window != nullptr) window->ShowModal();
    if (thread != nullptr) {
        // A window the user closed early leaves the worker running: wait for
        // it without blocking the UI thread's messages.
        WaitServingMessages(thread);
        win::CloseHandle(thread);
    }
}

win::DWORD CCorvaneKeyboardDevice::ScreenUploadThreadProc(void* parameter) {
    auto* start = static_cast<ThreadStart*>(parameter);
    auto& job = *static_cast<ScreenUploadJob*>(start->job);
    job.result = start->page->SendScreenUpload(job);
    if (job.progress != nullptr) win::PostMessageW(job.progress, win::WM_CLOSE, 0, 0);
    return 0;
}

int CCorvaneKeyboardDevice::SendScreenUpload(ScreenUploadJob& job) {
    if (job.progress != nullptr) win::PostMessageW(job.progress, WM_TRANSFER_PROGRESS, 0, 0);
    if (!m_commandChannel.IsOpen()) return -1;
    if (m_commandChannel.BeginSession() != PROTOCOL_OK) return -1;
    int result = EnsureBlockCopy() == PROTOCOL_OK ? PROTOCOL_OK : -1;
    if (result == PROTOCOL_OK) {
        m_blockCopy[device_block::kFrameCount] = uint8_t(job.frames);
        if (WriteCurrentProfileBlock() != PROTOCOL_OK) result = -1;
    }
    if (result == PROTOCOL_OK) {
        SetScreenUploading(1);
        if (m_commandChannel.BeginScreenUpload() != PROTOCOL_OK ||
            m_commandChannel.UploadScreenData(job.image.data(), uint32_t(job.image.size()), job.progress) !=
                PROTOCOL_OK)
            result = -1;
        // The end command is refused while the channel is screen-only.
        m_commandChannel.m_restricted.store(0);
    }
    m_commandChannel.EndSession();
    return result == PROTOCOL_OK ? 1 : -1;
}
