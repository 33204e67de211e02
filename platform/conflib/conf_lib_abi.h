#pragma once

// The audio-chip configuration library's interface ("osConfLib.so"): eleven
// functions with C linkage, property names in UTF-16, the device descriptor
// passed by value. The program resolves them by name at run time.

#include <cstdint>

extern "C" {

// Four 32-bit fields: id, type (render 1, 12, 7, 4; capture 2), second id, state (1 active).
struct AudioDeviceDesc {
    int32_t id;
    int32_t type;
    int32_t id2;
    int32_t state;
};

// Data flows of GetDeviceCount and GetDeviceById.
enum { kConfLibRender = 0, kConfLibCapture = 1 };
// The size of the value and channel buffers the caller passes.
enum { kConfLibBufferBytes = 1024 };

using ConfLibInitFn = int (*)();
using CreateDeviceListFn = int (*)();
using GetDeviceCountFn = int (*)(int flow, unsigned* count);
using GetDeviceByIdFn = int (*)(int flow, unsigned index, AudioDeviceDesc* device);
// Read (write 0): the value as UTF-16 decimal text into *value. Write (1): a
// 32-bit integer, or a 32-bit float for the scalar volumes, at *value. The
// channel, when given, is a 32-bit integer at *channel (three for the surround).
using PropertyControlFn = int (*)(AudioDeviceDesc device, const char16_t* name, void** value, void** channel,
                                  int write);
using RegisterCallbackFunctionFn = int (*)(void* callback);
using ConfLibUnInitFn = int (*)();
using ShowAsioPanelFn = int (*)();
using PlayTestSoundFn = int (*)(const char16_t* file);
using StopTestSoundFn = int (*)();
using CloseTestSoundFn = int (*)();

}  // extern "C"
