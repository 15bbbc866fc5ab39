// A modal message loop for the program's own dialogs (the message dialog, the name prompt).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "win/Window.h"

namespace velmo::win {

// Disables the thread's other visible, enabled top-level windows for its lifetime and enables them again when
// it ends. Declared before the dialog is destroyed, it hands the activation back to those windows: Windows
// activates another window when the active one goes, and a disabled window cannot take it.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND except);
    ~DisabledWindows();
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
    std::vector<HWND> windows_;  // not owned
};

// What the program does as each of its modal dialogs opens, before the dialog is shown: it takes its windows out
// of the topmost band, so that the dialog, the newest window of the normal band, lies above all of them. A window
// that an earlier dialog's end activated may have raised itself in between, so this runs at every opening.
void SetDialogOpening(void (*opening)());
// Runs it: RunModal does, and so does the code that opens a dialog of the system (the file dialog, a message box).
void DialogOpening();

// Waits on the tick counter while the thread's messages keep moving: every pending message is handled, without
// blocking. A WM_QUIT ends the wait early and is posted again for the outer loop.
void WaitPumping(DWORD milliseconds);

// Handles every message that is pending now, without waiting. A WM_QUIT ends it and is posted again for the outer
// loop; the result tells whether it came.
bool HandlePending();

// Waits on the tick counter and handles no message meanwhile.
void WaitBusy(DWORD milliseconds);

// Shows `dialog`, disables the program's other windows and runs messages until `finished()` holds or the
// dialog's window is gone. Tab and the other dialog keys move the focus inside the dialog; Enter and Escape
// become WM_COMMAND IDOK and IDCANCEL for the dialog to take or ignore. The other windows are enabled again
// and then the dialog is destroyed, on every path. A WM_QUIT ends the loop and is posted again for the outer
// loop; the result tells whether it came.
bool RunModal(Window& dialog, HWND focus, const std::function<bool()>& finished);

}  // namespace velmo::win
