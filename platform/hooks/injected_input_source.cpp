#include "platform/hooks/injected_input_source.h"

#include "platform/hooks/input_vocabulary.h"

namespace tavrik::hooks {

struct InjectedInput::State {
    // Held while the sink runs, so that Stop returns only when it is done.
    std::mutex deliver;
    mutable std::mutex mutex;
    InputSink sink;
    RepeatFolder folder;
    bool available = true;
    bool grabbable = true;
    bool grabbed = false;
    int starts = 0;
};

namespace {

class InjectedInputSource : public InputSource {
public:
    explicit InjectedInputSource(std::shared_ptr<InjectedInput::State> state) : state_(std::move(state)) {}
    ~InjectedInputSource() override { Stop(); }

    bool Start(InputSink sink, std::string& error) override {
        std::lock_guard lock(state_->mutex);
        if (!state_->available) {
            error = "the injected desktop reports no input";
            return false;
        }
        state_->sink = std::move(sink);
        state_->folder = RepeatFolder();
        ++state_->starts;
        return true;
    }

    void Stop() override {
        std::lock_guard deliver(state_->deliver);
        std::lock_guard lock(state_->mutex);
        state_->sink = nullptr;
        state_->grabbed = false;
    }

    bool GrabKeyboard(std::string& error) override {
        std::lock_guard lock(state_->mutex);
        if (!state_->grabbable) {
            error = "another client holds the injected keyboard";
            return false;
        }
        state_->grabbed = true;
        return true;
    }

    void ReleaseKeyboard() override {
        std::lock_guard lock(state_->mutex);
        state_->grabbed = false;
    }

private:
    std::shared_ptr<InjectedInput::State> state_;
};

}  // namespace

InjectedInput::InjectedInput() : state_(std::make_shared<State>()) {
    SetInputSourceFactory([state = state_] { return std::make_unique<InjectedInputSource>(state); });
}

InjectedInput::~InjectedInput() { SetInputSourceFactory(nullptr); }

bool InjectedInput::Inject(const std::vector<InputEvent>& batch) {
    std::lock_guard deliver(state_->deliver);
    InputSink sink;
    std::vector<InputEvent> due;
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->sink) return false;
        sink = state_->sink;
        for (const InputEvent& e : batch) {
            for (const InputEvent& d : state_->folder.Feed(e)) due.push_back(d);
        }
        for (const InputEvent& d : state_->folder.Flush()) due.push_back(d);
    }
    for (const InputEvent& e : due) sink(e);
    return true;
}

void InjectedInput::SetRecordingAvailable(bool available) {
    std::lock_guard lock(state_->mutex);
    state_->available = available;
}

void InjectedInput::SetKeyboardGrabbable(bool grabbable) {
    std::lock_guard lock(state_->mutex);
    state_->grabbable = grabbable;
}

bool InjectedInput::Running() const {
    std::lock_guard lock(state_->mutex);
    return static_cast<bool>(state_->sink);
}

bool InjectedInput::KeyboardGrabbed() const {
    std::lock_guard lock(state_->mutex);
    return state_->grabbed;
}

int InjectedInput::Starts() const {
    std::lock_guard lock(state_->mutex);
    return state_->starts;
}

InputEvent KeyEvent(bool press, unsigned keycode, unsigned long keysym, std::uint32_t time, unsigned state) {
    InputEvent e;
    e.kind = press ? InputKind::KeyDown : InputKind::KeyUp;
    e.detail = keycode;
    e.keysym = keysym;
    e.serverTime = time;
    e.state = state;
    return e;
}

InputEvent ButtonEvent(bool press, unsigned button, int rootX, int rootY, std::uint32_t time) {
    InputEvent e;
    e.kind = press ? InputKind::ButtonDown : InputKind::ButtonUp;
    e.detail = button;
    e.rootX = rootX;
    e.rootY = rootY;
    e.serverTime = time;
    return e;
}

}  // namespace tavrik::hooks
