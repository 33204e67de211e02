#pragma once

// Every built-in control of the UI.

#include "platform/ui/button.h"
#include "platform/ui/color_palette.h"
#include "platform/ui/combo.h"
#include "platform/ui/container.h"
#include "platform/ui/edit.h"
#include "platform/ui/label.h"
#include "platform/ui/list.h"
#include "platform/ui/progress.h"
