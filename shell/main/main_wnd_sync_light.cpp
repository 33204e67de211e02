// The main window's lighting sync: its worker and its steps forward to the
// window's LightingSync.
#include <algorithm>

#include "shell/main/main_wnd.h"
#include "shell/main/sync_light_thread.h"

win::DWORD SyncLightThreadProc(void* parameter) {
    auto* param = static_cast<win::WorkerParam*>(parameter);
    static_cast<CMainWnd*>(param->owner)->LightSync().Run(param->stopEvent);
    return 0;
}

void CMainWnd::SyncLightBreathingStep() { m_lightingSync.BreathingStep(); }
void CMainWnd::SyncLightStaticStep() { m_lightingSync.StaticStep(); }
void CMainWnd::SyncLightFlashStep() { m_lightingSync.FlashStep(); }
void CMainWnd::SyncLightColorCycleStep() { m_lightingSync.ColorCycleStep(); }
void CMainWnd::SyncLightOffStep() { m_lightingSync.OffStep(); }

void CMainWnd::BroadcastSyncColor(int red, int green, int blue, int level) {
    auto byte = [](int v) { return uint8_t(std::clamp(v, 0, 255)); };
    m_lightingSync.Broadcast(byte(red), byte(green), byte(blue), byte(level));
}
