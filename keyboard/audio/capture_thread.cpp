#include "keyboard/audio/capture_thread.h"

#include <algorithm>
#include <cctype>

#include "keyboard/audio/fix_capture_format.h"
#include "platform/os/event.h"
#include "platform/os/message_queue.h"

using tavrik::audio::ReadStatus;

namespace {

// Reads taken in one go before the stop event is looked at again.
constexpr int kReadsPerWake = 64;

class Worker {
public:
    explicit Worker(CaptureWorkerParam& param) : param_(param) {}

    void Run() {
        bool stopped = Capture();
        if (recording_) {
            Notify({CaptureNotice::Kind::Stopped});
        }
        param_.source.reset();
        if (!stopped) {
            Notify({CaptureNotice::Kind::Ended});
        }
    }

private:
    // True when the stop event ended the capture.
    bool Capture() {
        auto& source = *param_.source;
        if (!source.Connect(param_.stopEvent, param_.timing.connectTimeoutMs)) {
            return StopRequested();
        }
        tavrik::audio::WaveFormat format = source.MixFormat();
        if (!FixCaptureFormat(format)) {
            return false;
        }
        CaptureNotice formatNotice{CaptureNotice::Kind::Format};
        formatNotice.format = format;
        Notify(std::move(formatNotice));
        if (!source.StartRecording(format, param_.timing.periodMs)) {
            return StopRequested();
        }
        recording_ = true;
        Notify({CaptureNotice::Kind::Started, param_.timing.periodMs});

        win::WaitDescriptor descriptor{source.Descriptor(), false};
        for (;;) {
            win::DWORD r = win::WaitForObjectsAndDescriptors(1, &param_.stopEvent, 1, &descriptor, win::INFINITE);
            if (r == win::WAIT_OBJECT_0) {
                return true;
            }
            if (r != win::WAIT_OBJECT_0 + 1) {
                return false;
            }
            for (int i = 0; i < kReadsPerWake; ++i) {
                std::vector<std::uint8_t> packet;
                ReadStatus status = source.Read(packet);
                if (status == ReadStatus::Empty) {
                    break;
                }
                if (status == ReadStatus::Failed) {
                    return StopRequested();
                }
                if (status == ReadStatus::ServerChanged) {
                    // A device that cannot be checked counts as changed.
                    auto current = source.QueryDefaultDevice();
                    if (!current || !SameDeviceName(*current, source.DeviceName())) {
                        return StopRequested();
                    }
                    continue;
                }
                if (!packet.empty()) {
                    CaptureNotice data{CaptureNotice::Kind::Data};
                    data.data = std::move(packet);
                    Notify(std::move(data));
                }
            }
        }
    }

    // A step that gave up may have done so because the worker was told to stop.
    bool StopRequested() const { return win::WaitForSingleObject(param_.stopEvent, 0) == win::WAIT_OBJECT_0; }

    void Notify(CaptureNotice notice) {
        if (param_.mailbox->Add(std::move(notice))) {
            win::PostMessageW(param_.window, WM_CAPTURE_EVENT, 0, 0);
        }
    }

    CaptureWorkerParam& param_;
    bool recording_ = false;
};

}  // namespace

void CaptureThreadProc(CaptureWorkerParam& param) { Worker(param).Run(); }

bool SameDeviceName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}
