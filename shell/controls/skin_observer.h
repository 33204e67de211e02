#pragma once

// The process-wide observer through which the skin picker tells its
// receivers (the main window) about a new background.

#include "shell/controls/observer_impl.h"
#include "shell/controls/skin_changed_param.h"

using SkinObserver = ObserverImpl<int, SkinChangedParam>;
using SkinReceiver = ReceiverImpl<int, SkinChangedParam>;

// Made on first use and kept until the process ends.
SkinObserver* GetSkinObserver();
