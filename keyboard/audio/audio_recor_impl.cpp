#include "keyboard/audio/audio_recor_impl.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "keyboard/audio/audio_manager.h"
#include "keyboard/audio/spectrum_frame.h"
#include "platform/os/debug_trace.h"
#include "platform/os/message_queue.h"

namespace {

std::mutex AudioInstanceLock;
std::atomic<CAudioRecorImpl*> g_instance{nullptr};

}  // namespace

void CAudioRecorImpl::Command(std::int32_t magic, std::uint32_t type, std::intptr_t value) {
    if (magic != kMagic) {
        return;
    }
    switch (static_cast<std::uint16_t>(type & 0xFFFF)) {
        case kSetTarget:
            manager_.SetTargetWindow(reinterpret_cast<win::HWND>(value));
            break;
        case kStart:
            StartAudioCapture();
            break;
        case kStop:
            StopAudioCapture();
            break;
        default:
            break;
    }
}

void CAudioRecorImpl::StartAudioCapture() {
    Tell(COPYDATA_CAPTURE_STARTED);
    if (manager_.Start()) {
        win::OutputDebugStringW(L"1123123dadwe");
    }
}

void CAudioRecorImpl::StopAudioCapture() {
    Tell(COPYDATA_CAPTURE_STOPPED);
    manager_.Stop();
}

void CAudioRecorImpl::Tell(std::uintptr_t code) {
    win::HWND target = manager_.TargetWindow();
    if (target == nullptr) {
        return;
    }
    // The notice carries no data but keeps the spectrum's size: a block of
    // zeros, so a receiver that copies cbData bytes reads only real memory.
    SpectrumFrame empty{};
    win::COPYDATASTRUCT block;
    block.dwData = code;
    block.cbData = sizeof empty;
    block.lpData = empty.data();
    win::SendMessageW(target, win::WM_COPYDATA, reinterpret_cast<win::WPARAM>(target),
                      reinterpret_cast<win::LPARAM>(&block));
}

CAudioRecorImpl* CSingleton::GetInstance() {
    CAudioRecorImpl* instance = g_instance.load();
    if (instance == nullptr) {
        std::lock_guard lock(AudioInstanceLock);
        instance = g_instance.load();
        if (instance == nullptr) {
            instance = new CAudioRecorImpl(TheAudioManager());
            g_instance.store(instance);
            std::atexit(&CSingleton::DestroyInstance);
        }
    }
    return instance;
}

void CSingleton::DestroyInstance() {
    std::lock_guard lock(AudioInstanceLock);
    delete g_instance.exchange(nullptr);
}
