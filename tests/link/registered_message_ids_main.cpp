// Prints every registered message identifier of this process, one per line, so
// that a test can compare them with another process's.
#include <cstdio>
#include <initializer_list>

#include "link/registered_messages.h"

int main() {
    for (int i = 0; i < kHookMessageCount; ++i) {
        std::printf("%u\n", HookMessageId(i));
    }
    std::printf("%u\n", RegisterActivationMessage());
    RegisterGuidMessages();
    for (const win::UINT id :
         {WM_UPDATER_PROGRESS, WM_LIGHTING_STATE, WM_LIGHTING_REQUEST, WM_VEXMAR_QUERY, WM_RGB_CHANNEL}) {
        std::printf("%u\n", id);
    }
    return 0;
}
