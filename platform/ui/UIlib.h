#pragma once

// The whole UI library in one include, for the program's code.

#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/dui_string.h"
#include "platform/ui/menu.h"
#include "platform/ui/notify_pump.h"
#include "platform/ui/paint_manager.h"
#include "platform/ui/render_engine.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/web_browser_event_handler.h"
#include "platform/ui/win_window_api.h"
#include "platform/ui/window.h"
#include "platform/ui/window_impl_base.h"
