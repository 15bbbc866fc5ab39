// Unit1: the main window TForm1, the strip on the screen edge that reveals the picture.
#pragma once

#include <string>

#include "app/Unit1Form.h"
#include "win/Form.h"
#include "win/Handles.h"

namespace velmo::app {

class TForm1 : public win::FormWindow {
public:
    TForm1();

    // Creates the hidden window and its controls, then runs FormCreate.
    void Create();

    void EnterStandby();
    void RevealPicture();
    void LoadPicture(const std::string& fileName);

    bool K1Checked() const;
    void SetK1Checked(bool checked);

    win::Panel& Panel1() { return form().PanelOf(form1::kPanel1); }
    win::Picture& Image1() { return form().PictureOf(form1::kImage1); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // A close request that comes during a command (a capture, a rename) ends the program after it.
    bool DefersClose() const override { return true; }
    bool FormCloseQuery() override;
    void FormActivate() override;
    void FormDestroy() override;

private:
    void FormCreate();
    void ApplicationActivate();
    void Panel1MouseMove();
    void Image1DblClick();
    void ShowPopupMenu(LPARAM at);
    void minimize1Click();
    void K1Click();
    void setting1Click();
    void K2Click();
    void Exit1Click();
    void RealizePictureIn(HWND hwnd);
    // Reads the file into Image1 and makes it the shown picture; throws when it cannot be read.
    void ShowPictureFile(const std::string& fileName);

    win::UniqueMenu PopupMenu1;
    bool activateInstalled_ = false;
};

}  // namespace velmo::app
