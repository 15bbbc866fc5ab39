// U_Splash: the splash window TF_Splash, shown at start-up with the product label.
#pragma once

#include <string>

#include "app/U_SplashForm.h"
#include "win/Form.h"

namespace velmo::app {

// Made by CreateFreedWithWindow: the object frees itself with its window.
class TF_Splash : public win::FormWindow {
public:
    TF_Splash();

    // Creates the window centred on the screen, shows it in front and paints it at once.
    void Create();

    win::Panel& Panel1() { return form().PanelOf(splash::kPanel1); }

    // Turns into a plain blue rectangle, takes the size of `target` in steps, then travels to its place;
    // `edge` is the strip's edge letter.
    void Transition(const Rect& target, const std::string& edge);

protected:
    // Alt+F4 or a close request: the splash leaves the screen at once and the transition ends early. The window,
    // and this object that the start-up may still be using, go with the release, which waits for the start-up.
    void FormClose() override;
    void FormDestroy() override;

private:

    bool closed_ = false;  // a close request came: the transition ends early
};

// The splash window's transition into the main window's bounds (the strip), while the splash exists; and the
// request that frees it once the messages already queued are handled (more than one destroys it once).
void SplashTransition();
void PostSplashRelease();

}  // namespace velmo::app
