// U_Splash: the splash window TF_Splash, shown at start-up with the product label.
#pragma once

#include "app/U_SplashForm.h"
#include "win/Form.h"

namespace velmo::app {

// Made with `new`; the object frees itself with its window.
class TF_Splash : public win::FormWindow {
public:
    TF_Splash();

    // Creates the window centred on the screen, shows it in front and paints it at once.
    void Create();

    win::Panel& Panel1() { return form().PanelOf(splash::kPanel1); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormDestroy();
};

// Asks the splash window to free itself once the messages already queued have been handled, while it exists;
// more than one request destroys it once.
void PostSplashRelease();

}  // namespace velmo::app
