// The keyboard's music and screen-colour steps. They get their effects with
// the music and screen lighting; until then those modes show nothing new.
#include "keyboard/corvane_keyboard_device.h"

int CCorvaneKeyboardDevice::StepMusic() { return 0; }
int CCorvaneKeyboardDevice::StepScreenSync() { return 0; }

