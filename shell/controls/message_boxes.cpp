#include "shell/controls/message_boxes.h"

#include <atomic>

#include "shell/controls/msg_wnd.h"

using namespace DuiLib;

std::map<CMsgWnd*, win::HWND> OpenMessageBoxes;

namespace {
std::atomic<win::HWND> g_progressWindow{nullptr};
}  // namespace

int ShowMessageBox(win::HWND parent, const wchar_t* title, const wchar_t* text, int dpi, int textIsKey,
                   int buttonMode) {
    auto* box = new CMsgWnd();
    const win::HWND hwnd = box->Create(parent, L"msgwnd", UI_WS_POPUP | UI_WS_CLIPCHILDREN, UI_WS_EX_TOOLWINDOW);
    if (hwnd == nullptr) {
        delete box;
        return 0;
    }
    OpenMessageBoxes[box] = hwnd;
    box->SetTitle(title);
    box->SetText(text, textIsKey);
    box->SetDPI(dpi);
    box->SetButtonMode(buttonMode);
    box->CenterWindow();
    return static_cast<int>(box->ShowModal());
}

void CloseAllMessageBoxes() {
    while (!OpenMessageBoxes.empty()) {
        CMsgWnd* box = OpenMessageBoxes.begin()->first;
        OpenMessageBoxes.erase(OpenMessageBoxes.begin());
        if (box != nullptr) box->Close(0);
    }
}

win::HWND GetProgressWindowHwnd() { return g_progressWindow.load(); }

void PublishProgressWindow(win::HWND hwnd) { g_progressWindow.store(hwnd); }

void WithdrawProgressWindow(win::HWND hwnd) {
    win::HWND expected = hwnd;
    g_progressWindow.compare_exchange_strong(expected, nullptr);
}
