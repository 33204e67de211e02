#include "shell/main/program_entry.h"

#include <cstdio>
#include <memory>
#include <string>

#include "crashdump/crash_dump.h"
#include "link/base/product_ids.h"
#include "link/registered_messages.h"
#include "platform/dialogs/file_dialog.h"
#include "platform/dialogs/give_up_on_termination.h"
#include "platform/os/handle.h"
#include "platform/os/instance_lock.h"
#include "platform/os/termination_signals.h"
#include "platform/os/messages.h"
#include "platform/os/power.h"
#include "platform/os/registry.h"
#include "platform/os/remote.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/win_window_api.h"
#include "platform/ui/x11/x11_backend.h"
#include "shell/main/control_tables.h"
#include "shell/main/language_list.h"
#include "shell/main/main_wnd.h"
#include "shell/main/private_font.h"

namespace {

constexpr win::UINT kFirstRegisteredMessage = 0xC000;
constexpr win::UINT kLastRegisteredMessage = 0xFFFF;
constexpr int kCreateWidth = 800;
constexpr int kCreateHeight = 572;

// No installer runs here, so the key that holds the language choice is made
// at the first start (only the key: its value is written on a choice).
void EnsureProductKey() {
    win::HKEY key = nullptr;
    if (win::RegCreateKeyExW(win::HKEY_CURRENT_USER, LanguageRegistryKey().c_str(), 0, nullptr,
                             win::REG_OPTION_NON_VOLATILE, win::KEY_ALL_ACCESS, nullptr, &key,
                             nullptr) == win::ERROR_SUCCESS) {
        win::RegCloseKey(key);
    }
}

// Frees the crash dumper after switching it off.
struct CrashDumpRelease {
    void operator()(corvane::ICrashDump* dump) const {
        dump->Enable(FALSE);
        corvane::FreeCrashDump(dump);
    }
};

}  // namespace

void SetupResources() {
    DuiLib::CPaintManagerUI::SetResourceType(DuiLib::UILIB_FILE);
    DuiLib::CPaintManagerUI::SetResourcePath(DuiLib::CPaintManagerUI::GetInstancePath() + L"skin\\");
    DuiLib::CResourceManager::GetInstance()->LoadResource(L"res.xml", nullptr);
    RegisterCustomControls();
}

int TavrikMain() {
    // Before any thread starts, so that no thread takes the signals: a
    // termination from outside becomes the tray's "exit" on this thread.
    CMainWnd* running = nullptr;
    bool terminated = false;
    const int signals = win::ServeTerminationSignals([&running, &terminated](int) {
        terminated = true;
        if (running != nullptr) running->ExitProgram();
    });
    // A file dialog open at that moment is closed, and the signal served as
    // soon as the dialog's caller is back in the message loop.
    if (signals != 0) tavrik::dialogs::SetFileDialogWait(tavrik::dialogs::WaitReadableUnlessTerminated);
    CPrivateFont font;
    font.Load(L"Font\\ARIALUNI.TTF");

    std::unique_ptr<corvane::ICrashDump, CrashDumpRelease> dumper(corvane::CreateCrashDump());
    if (!dumper) {
        font.Unload();
        return 0;
    }
    dumper->Enable(TRUE);
    dumper->SetTag(L"0104");

    const win::UINT activation = RegisterActivationMessage();
    if (activation < kFirstRegisteredMessage || activation > kLastRegisteredMessage) {
        font.Unload();
        return 0;
    }

    win::HANDLE instanceMutex = win::CreateMutexW(nullptr, TRUE, kProductString);
    if (instanceMutex != nullptr && win::GetLastError() == win::ERROR_ALREADY_EXISTS) {
        // Another instance runs for this user: it shows its window instead.
        win::DWORD recipients = win::BSM_APPLICATIONS;
        win::BroadcastSystemMessageW(win::BSF_POSTMESSAGE, &recipients, activation, 0, 1);
        win::CloseHandle(instanceMutex);
        font.Unload();
        return 0;
    }

    std::string displayError;
    if (!tavrik::x11::UseX11DisplayBackend(&displayError)) {
        std::fprintf(stderr, "Tavrik needs an X display: %s\n", displayError.c_str());
        if (instanceMutex != nullptr) win::CloseHandle(instanceMutex);
        font.Unload();
        return 0;
    }

    EnsureProductKey();
    win::StartPowerNotifications();
    SetupResources();
    RegisterGuidMessages();

    {
        auto window = std::make_unique<CMainWnd>();
        window->Create(nullptr, kProductString,
                       win::WS_POPUP | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN | win::WS_CAPTION | win::WS_SYSMENU |
                           win::WS_MINIMIZEBOX,
                       0, 0, 0, kCreateWidth, kCreateHeight);
        // Fitted to the screen, then set up and drawn once while still hidden,
        // at its final size and DPI: the window first appears, with its
        // picture, when the device scan's first pass raises it.
        window->FitToScreen();
        running = window.get();
        if (terminated) window->ExitProgram();  // came while the window was made
        DuiLib::CPaintManagerUI::MessageLoop();
        running = nullptr;
    }
    win::StopServingTerminationSignals(signals);

    win::StopPowerNotifications();
    DuiLib::CResourceManager::GetInstance()->Release();
    dumper.reset();
    if (instanceMutex != nullptr) win::CloseHandle(instanceMutex);
    font.Unload();
    return 0;
}
