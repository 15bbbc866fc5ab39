// State shared by the program's windows, one instance per process, used on the GUI thread only.
#pragma once

#include <string>

#include "core/Settings.h"

namespace velmo::app {

class TForm1;
class TF_CapInfo;
class TF_Control;
class TF_Splash;

inline velmo::Settings Settings;        // the settings record, loaded once at start-up
inline std::string CurrentPicture;      // full path of the shown picture; empty when none
inline bool PaletteMode = false;        // a 256-entry palette display with Palette_use on
inline bool ForcePalette = false;       // Palette_C: palette steps on any display
inline bool ControlWindowOpen = false;  // the control window exists
inline bool SplashWindowOpen = false;   // the splash window exists

inline TForm1* Form1 = nullptr;       // the main window; set before its creation handler runs
inline TF_Control* F_Control = nullptr;  // the control window while it exists; it frees itself when closed
inline TF_Splash* F_Splash = nullptr;    // the splash window while it exists; it frees itself when released
inline TF_CapInfo* F_CapInfo = nullptr;  // the name prompt while ShowNamePrompt runs

// The name prompt's exchange: the proposed text in, the confirmed text out (empty after Cancel), and the
// wording ("cap" or "ren"; empty while no prompt is shown).
inline std::string PromptText;
inline std::string PromptMode;

inline constexpr const wchar_t* kAppTitle = L"Velmo";

}  // namespace velmo::app
