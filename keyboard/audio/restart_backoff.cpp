#include "keyboard/audio/restart_backoff.h"

#include <algorithm>

std::uint32_t RestartBackoff::Next() {
    std::uint32_t delay = std::min(next_, max_);
    next_ = delay > max_ / 2 ? max_ : delay * 2;
    return delay;
}
