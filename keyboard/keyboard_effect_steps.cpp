// The keyboard's own effect steps, the playlist, the key overlays and the
// mode entry hooks. They get their effects with the keyboard's lighting
// effects; until then a mode that uses one shows nothing new.
#include "keyboard/corvane_keyboard_device.h"

int CCorvaneKeyboardDevice::StepStatic() { return 0; }
int CCorvaneKeyboardDevice::StepBreathing() { return 0; }
int CCorvaneKeyboardDevice::StepReactiveKeys() { return 0; }
int CCorvaneKeyboardDevice::StepRandomBreathing() { return 0; }
int CCorvaneKeyboardDevice::StepReactiveRipple() { return 0; }
int CCorvaneKeyboardDevice::StepStarlight() { return 0; }
int CCorvaneKeyboardDevice::StepKeyPressFade() { return 0; }
int CCorvaneKeyboardDevice::StepColumnSpectrum() { return 0; }
int CCorvaneKeyboardDevice::StepColumnWave() { return 0; }
int CCorvaneKeyboardDevice::StepPairSequence() { return 0; }
int CCorvaneKeyboardDevice::StepRippleFromCentre() { return 0; }
int CCorvaneKeyboardDevice::StepSequenceFlow() { return 0; }
int CCorvaneKeyboardDevice::StepRowWave() { return 0; }
int CCorvaneKeyboardDevice::StepKeyColorCycle() { return 0; }
int CCorvaneKeyboardDevice::StepRippleFromLeft() { return 0; }
int CCorvaneKeyboardDevice::StepPresetHue() { return 0; }
int CCorvaneKeyboardDevice::StepRings() { return 0; }
int CCorvaneKeyboardDevice::StepCustomColors() { return 0; }
int CCorvaneKeyboardDevice::StepSweep() { return 0; }
int CCorvaneKeyboardDevice::StepRunningKeys() { return 0; }
int CCorvaneKeyboardDevice::StepPhasedBreathing() { return 0; }

void CCorvaneKeyboardDevice::RunEffectPlaylist() {}
void CCorvaneKeyboardDevice::ApplyKeyOverlays() {}
void CCorvaneKeyboardDevice::OnKeyEvent(int, int) {}

void CCorvaneKeyboardDevice::InitKeyBreathing() {}
void CCorvaneKeyboardDevice::SeedRippleCentre() {}
void CCorvaneKeyboardDevice::InitColorOffsets() {}
void CCorvaneKeyboardDevice::SeedRippleLeft() {}
void CCorvaneKeyboardDevice::LoadCustomColors() {}
void CCorvaneKeyboardDevice::ReadDeviceCustomColors() {}
void CCorvaneKeyboardDevice::InitPhasedBreathing() {}
