#include "shell/controls/skin_observer.h"

SkinObserver* GetSkinObserver() {
    // Never freed: receivers may still leave it while the process ends.
    static SkinObserver* observer = new SkinObserver();
    return observer;
}
