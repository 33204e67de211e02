#pragma once

namespace tavrik::dialogs {

// A wait for the file dialogs (SetFileDialogWait) that keeps the calling
// thread's message queue served while the dialog program runs, as the
// platform's modal dialogs do: posted and sent messages, timers and display
// events go on.  A quit message that arrives meanwhile is kept and posted
// again once the dialog's answer is there.  Always true: the dialog is waited
// for.
bool ServeMessagesUntilReadable(int fd);

}  // namespace tavrik::dialogs
