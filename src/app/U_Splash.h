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
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormDestroy();

    bool closed_ = false;  // a close request came: the transition ends early
};

// SplashTransition and PostSplashRelease (AppWindows.h) run it.

}  // namespace velmo::app
