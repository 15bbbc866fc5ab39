// U_Splash: the splash window TF_Splash, shown at start-up with the product label.
#pragma once

#include "win/Controls.h"
#include "win/Handles.h"
#include "win/Window.h"

namespace velmo::app {

class TF_Splash : public win::Window {
public:
    // The window goes before the fonts and brush its labels use.
    ~TF_Splash() override {
        if (Exists())
            DestroyWindow(hwnd());
    }

    // Creates the window centred on the screen, shows it in front and paints it at once.
    void Create(HWND owner);

    // Asks the window to free itself once the messages already queued have been handled; more than one
    // request destroys it once.
    void Release();

    win::Panel Panel1;
    HWND Label1 = nullptr;  // not owned: destroyed with Panel1
    HWND Label2 = nullptr;  // not owned: destroyed with Panel1

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormDestroy();

    win::UniqueFont font1_;
    win::UniqueFont font2_;
    win::UniqueBrush panelBrush_;
};

// Posts the release request to the splash window while it exists.
void PostSplashRelease();

}  // namespace velmo::app
