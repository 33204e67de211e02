#pragma once

namespace tavrik::dialogs {

// A wait for the file dialogs (SetFileDialogWait) that gives the dialog up
// as soon as the session asks the program to end (a termination signal is
// pending, platform/os/termination_signals.h): the dialog's program is ended
// and the signal stays pending, so the message loop the dialog's caller
// returns to serves it as it serves any other. Without one, a logout would
// wait for the user to close the dialog.
bool WaitReadableUnlessTerminated(int fd);

}  // namespace tavrik::dialogs
