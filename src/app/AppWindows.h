// What one window of the program does to another. The window units include this unit instead of each other;
// the windows acted on are always this process's own.
#pragma once

#include <windows.h>

#include <string>

#include "win/Controls.h"

namespace velmo::app {

// Shows the message of GuardWithMessage in the program's message dialog.
void ShowGuardMessage(const wchar_t* message);

// Put the main window (and, while it is open, the control window) into the topmost band or back into the
// normal band, without activating, moving or resizing them; the windows are looked up on every call.
// The check mark of the main window's menu item K1 follows.
void MakeTopmost();
void DropTopmost();

// The guard around a command: when `command` fails, the program's windows leave the topmost band and nothing
// is said. Returns whether the command ran to its end.
template <typename Command>
bool GuardSilently(Command&& command) {
    try {
        command();
        return true;
    } catch (...) {
        DropTopmost();
        return false;
    }
}

// The guard around a command that tells of its failure: the program's windows leave the topmost band, then
// `message` is shown. Returns whether the command ran to its end.
template <typename Command>
bool GuardWithMessage(const wchar_t* message, Command&& command) {
    if (GuardSilently(command))
        return true;
    ShowGuardMessage(message);
    return false;
}

// The main window's settings command: shows the control window and brings it to the front while it is open,
// opens it otherwise. Failures go to the caller.
void ShowControlWindow();

// Runs the control window's close sequence while it is open (its position is written; a refused write throws
// and leaves it open).
void CloseControlWindow();

// Gives the control window, while it is open, the caption of the shown picture.
void ApplyControlWindowCaption();

// Destroys the control window without its close sequence, as the application does when it ends.
void DestroyControlWindow();

// The main window, the owner of the program's file dialogs; null while it does not exist.
HWND MainWindowHandle();

// Loads a picture into the main window (LoadPicture: an unreadable file is reported there). With `show`, the
// picture control is made visible first.
void LoadPictureInMainWindow(const std::string& path, bool show);

// The main window's picture control Image1, for the capture that fills it.
win::Picture& MainPicture();

// Takes every window of the program off the screen, and brings back what it took. The top-level windows have no
// common owner that could be minimised for all of them, so each visible one is hidden and remembered. Restoring
// does nothing when nothing was taken.
void MinimizeApplication();
void RestoreApplication();

// The main window's standby, and its close request (which ends the program unless the settings cannot be saved).
void StandbyMainWindow();
void CloseMainWindow();

}  // namespace velmo::app
