#pragma once

// The ways the session ends a program from outside (SIGTERM at logout or from
// a service manager, SIGHUP when the terminal goes, SIGINT from a terminal)
// turned into an ordinary call on the UI thread, inside its message waits, so
// the program leaves the way a user's "exit" does: windows closed, every
// thread joined, then the objects they use destroyed. Without this the
// default action ends the process wherever its threads are.

#include <functional>

namespace win {

// Blocks the three signals in the calling thread and in every thread started
// after it (call it before any other thread starts) and serves them on the
// calling thread: `onSignal(number)` runs inside its message waits. Programs
// started later get a clear signal mask (launch.h). Returns a source id for
// StopServingTerminationSignals, 0 when the signals could not be served (their
// default action is left then).
int ServeTerminationSignals(std::function<void(int signal)> onSignal);
void StopServingTerminationSignals(int id);

// A descriptor that polls readable while a termination signal has come and
// not yet been served (-1 while none are served). Polling it serves nothing:
// a wait that cannot serve the signal itself (a file dialog's, for one) can
// give up and leave it to the message wait it returns to.
int PendingTerminationDescriptor();

}  // namespace win
