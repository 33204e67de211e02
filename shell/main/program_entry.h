#pragma once

// The program's entry: start-up, the main window's message loop and the
// teardown. Every path ends with exit code 0.

// Points the UI at the skin folder beside the program, reads its resource
// index and registers the custom control classes with the control factory.
void SetupResources();

// The whole run of the program (the executable's main calls it).
int TavrikMain();
