// Unit2: the control window TF_Control, the editors of the strip settings and the picture tools.
#pragma once

#include <string>

#include "app/Unit2Form.h"
#include "win/Form.h"
#include "win/Handles.h"

namespace velmo::app {

// Made by CreateFreedWithWindow: the object frees itself when the window is closed, or with the application.
class TF_Control : public win::FormWindow {
public:
    TF_Control();

    // Creates the hidden window; FormCreate runs during the creation.
    void Create();
    // The initialisation after the creation: position, caption, editors, list. A failure ends it early and
    // leaves the window hidden.
    void Initialize();
    // Shows the window and brings it to the front.
    void ShowInFront();

    // The close sequence: the position is written to the settings file, then the window is freed once the
    // current event has been handled. A refused write throws, and the window stays open.
    void Close();

    // " Velmo - " and the file name of the shown picture.
    void ApplyCaption();

    bool WantsDialogKeys() const override { return true; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // A close request that comes while a command of the program runs (a prompt or a message is open, the capture
    // waits) closes the window after the command.
    bool DefersClose() const override { return true; }

private:
    void FormCreate();
    void FormActivate();
    void FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void F_PositionRadioGroupClick();
    void L_StartPositionEditChange();
    void L_LengthEditChange();
    void L_AdjComboBoxChange();
    void Max_SOT_CheckBoxClick();
    void SpeedButton4Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void ShowListMenu(HWND from, int x, int y);

    // The active list: read from and written to the file CurrentListFile in the program folder.
    void LoadActiveList();
    void SaveActiveList();
    void SwitchList(int button, const char* file);
    void List1ButtonClick();
    void List2ButtonClick();
    void List3ButtonClick();
    void SpeedButton1Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void VelmoPaperButtonClick();
    void ListBox1DrawItem(const DRAWITEMSTRUCT& draw);
    void HeaderControl1SectionResize();
    void CaptureButtonClick();
    void CaptureScreen();
    void WallPaperButtonClick();
    void SpeedButton9Click();
    void delete1Click();
    void Rename1Click();

    win::UniqueMenu FC_PopupMenu;
};

// What a rename finds at its target: 0 the name is empty or no file can be made under it, 1 no file is there and
// one can be made (the probe leaves none behind), 2 a file is there.
int ProbeTargetName(const std::string& name);

// The file of the active list: the program folder and CurrentListFile.
std::string ListFilePath();

// Creates, initialises and shows the control window. A failure goes to the caller; the window then stays
// created but hidden, and ControlWindowOpen true.
void OpenControlWindow();

}  // namespace velmo::app
