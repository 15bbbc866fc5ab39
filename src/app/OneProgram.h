// One program per program folder: a second start in the same folder hands over to the running program and ends.
#pragma once

#include <windows.h>

#include "win/Handles.h"

namespace velmo::app {

class OneProgram {
public:
    // Claims the program folder, named by its settings file (letter case aside). False when a program of this
    // folder runs already: that program was asked to show its strip, and this start must end. Programs of
    // different folders never meet here.
    bool Claim();

    // The main window, which a later start of this folder asks to show its strip.
    void SetMainWindow(HWND main);

private:
    win::UniqueKernelObject mapping_;  // holds the claim for the life of the program
};

// What a later start posts to the running program's main window: put the strip into the topmost band again, so
// that the user sees where it is.
UINT ShowStripMessage();

}  // namespace velmo::app
