// What one window of the program does to another: the z-order band shared by the main and the control window.
// The window units include this unit instead of each other, and windows are found by the class names of their
// form descriptions.
#pragma once

namespace velmo::app {

// Put the main window (and, while it is open, the control window) into the topmost band or back into the
// normal band, without activating, moving or resizing them; windows are found by class name on every call.
// The check mark of the main window's menu item K1 follows.
void MakeTopmost();
void DropTopmost();

}  // namespace velmo::app
