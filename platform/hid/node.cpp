#include "platform/hid/hid_backend.h"
#include "platform/hid/open_state.h"

#include <algorithm>

namespace tavrik::hid {

Node::Node(NodeInfo info) : info_(std::move(info)), descriptor_(ParseReportDescriptor(info_.descriptor)) {
    for (const auto& c : descriptor_.collections) collections_.push_back(std::make_shared<const TopCollection>(c));
}

Node::~Node() = default;

std::wstring Node::Path(std::size_t i) const {
    return FormatInterfacePath(info_, static_cast<int>(i + 1), collections_.size() > 1);
}

bool Node::Present() const {
    std::lock_guard lock(mutex_);
    return present_;
}

void Node::DeliverInput(const std::uint8_t* report, std::size_t length) {
    if (!report || length == 0) return;
    const std::uint8_t id = descriptor_.usesReportIds ? report[0] : 0;
    const int col = descriptor_.CollectionOfReport(win::HidP_Input, id);
    if (col < 0) return;
    const std::size_t full = collections_[col]->reportLength[win::HidP_Input];
    std::vector<std::uint8_t> framed(full, 0);
    std::copy_n(report, std::min(length, full), framed.begin());
    framed[0] = id;
    std::vector<std::shared_ptr<OpenState>> targets;
    {
        std::lock_guard lock(mutex_);
        if (!present_) return;
        for (const auto& w : opens_) {
            auto s = w.lock();
            if (s && s->CollectionIndex() == static_cast<std::size_t>(col) && (s->Access() & win::GENERIC_READ))
                targets.push_back(std::move(s));
        }
    }
    for (const auto& s : targets) s->Push(framed);
}

void Node::MarkGone() {
    std::vector<std::shared_ptr<OpenState>> targets;
    {
        std::lock_guard lock(mutex_);
        present_ = false;
        for (const auto& w : opens_)
            if (auto s = w.lock()) targets.push_back(std::move(s));
    }
    for (const auto& s : targets) s->Gone();
}

namespace {

bool Conflicts(win::DWORD accessA, win::DWORD shareB) {
    return ((accessA & win::GENERIC_READ) && !(shareB & win::FILE_SHARE_READ)) ||
           ((accessA & win::GENERIC_WRITE) && !(shareB & win::FILE_SHARE_WRITE));
}

}  // namespace

bool Node::AddOpen(const std::shared_ptr<OpenState>& state, win::DWORD* error) {
    std::size_t readers = 0;
    {
        std::lock_guard lock(mutex_);
        if (!present_) {
            *error = win::ERROR_FILE_NOT_FOUND;
            return false;
        }
        const win::DWORD access = state->Access() & (win::GENERIC_READ | win::GENERIC_WRITE);
        opens_.erase(std::remove_if(opens_.begin(), opens_.end(), [](const auto& w) { return w.expired(); }),
                     opens_.end());
        if (access != 0) {
            for (const auto& w : opens_) {
                auto other = w.lock();
                if (!other || other->CollectionIndex() != state->CollectionIndex()) continue;
                const win::DWORD otherAccess = other->Access() & (win::GENERIC_READ | win::GENERIC_WRITE);
                if (otherAccess == 0) continue;
                if (Conflicts(access, other->Share()) || Conflicts(otherAccess, state->Share())) {
                    *error = win::ERROR_SHARING_VIOLATION;
                    return false;
                }
            }
        }
        opens_.push_back(state);
        for (const auto& w : opens_)
            if (auto s = w.lock(); s && (s->Access() & win::GENERIC_READ)) ++readers;
    }
    if (state->Access() & win::GENERIC_READ) OnReadersChanged(readers);
    return true;
}

void Node::RemoveOpen(const OpenState* state) {
    std::size_t readers = 0;
    bool wasReader = false;
    {
        std::lock_guard lock(mutex_);
        opens_.erase(std::remove_if(opens_.begin(), opens_.end(),
                                    [&](const auto& w) {
                                        auto s = w.lock();
                                        if (s.get() == state) wasReader = state->Access() & win::GENERIC_READ;
                                        return !s || s.get() == state;
                                    }),
                     opens_.end());
        for (const auto& w : opens_)
            if (auto s = w.lock(); s && (s->Access() & win::GENERIC_READ)) ++readers;
    }
    if (wasReader) OnReadersChanged(readers);
}

}  // namespace tavrik::hid
