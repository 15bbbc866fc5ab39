// What one window of the program does to another. The window units include this unit instead of each other;
// the windows acted on are always this process's own.
#pragma once

#include <windows.h>

#include <string>

#include "win/Controls.h"

namespace velmo::app {

// Put the main window (and, while it is open, the control window) into the topmost band or back into the
// normal band, without activating, moving or resizing them; the windows are looked up on every call.
// The check mark of the main window's menu item K1 follows.
void MakeTopmost();
void DropTopmost();

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

// The name prompt: proposes PromptText, shows PromptMode's wording, and leaves the confirmed text in PromptText
// (empty after Cancel). The program's other windows take no input meanwhile; the dialog is freed on every path.
void ShowNamePrompt();

// The splash window's transition into the main window's bounds (the strip), while the splash exists; and the
// request that frees it once the messages already queued are handled (more than one destroys it once).
void SplashTransition();
void PostSplashRelease();

// The main window's standby, and its close request (which ends the program unless the settings cannot be saved).
void StandbyMainWindow();
void CloseMainWindow();

}  // namespace velmo::app
