// Unit1: the main window TForm1, the strip on the screen edge that reveals the picture.
#pragma once

#include <string>

#include "win/Controls.h"
#include "win/Handles.h"
#include "win/Window.h"

namespace velmo::app {

// Put the main window (and, while it is open, the control window) into the topmost band or back into the
// normal band; windows are found by class name on every call. The check mark of K1 follows.
void MakeTopmost();
void DropTopmost();

class TForm1 : public win::Window {
public:
    // Creates the hidden window and its controls, then runs FormCreate.
    void Create(HWND owner);

    void EnterStandby();
    void RevealPicture();
    void LoadPicture(const std::string& fileName);

    bool K1Checked() const;
    void SetK1Checked(bool checked);

    win::Panel Panel1;
    win::Picture Image1;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormCreate();
    bool FormCloseQuery();
    void FormActivate();
    void ApplicationActivate();
    void Panel1MouseMove();
    void Image1DblClick();
    void ShowPopupMenu(int x, int y);
    void minimize1Click();
    void K1Click();
    void setting1Click();
    void K2Click();
    void Exit1Click();
    void LayoutChildren();
    void RealizePictureIn(HWND hwnd);

    win::UniqueMenu PopupMenu1;
    bool activateInstalled_ = false;
};

}  // namespace velmo::app
