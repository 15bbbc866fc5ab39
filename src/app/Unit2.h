// Unit2: the control window TF_Control, the editors of the strip settings and the picture tools.
#pragma once

#include <optional>
#include <string>

#include "app/Unit2Form.h"
#include "core/PictureList.h"
#include "win/Form.h"
#include "win/Handles.h"

namespace velmo::app {

// Made by CreateFreedWithWindow: the object frees itself when the window is closed, or with the application.
// Its commands live in rooms of their own: the capture in ScreenCapture.cpp, rename and delete in
// FileCommands.cpp, the wallpaper button in Wallpaper.cpp.
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

    // " Velmo - " and the file name of the shown picture.
    void ApplyCaption();

    // The active list, as the list box shows it.
    const PictureList& ActiveList() const { return list_; }

    bool WantsDialogKeys() const override { return true; }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // A close request that comes while a command of the program runs (a prompt or a message is open, the capture
    // waits) closes the window after the command.
    bool DefersClose() const override { return true; }
    void FormActivate() override;
    // The close sequence (Close): the position is written to the settings file, then the window is freed once
    // the current event has been handled. A refused write throws, and the window stays open.
    bool FormCloseQuery() override;
    void FormClose() override;
    void FormDestroy() override;

private:
    void FormCreate();
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
    void ShowListMenu(HWND from, LPARAM at);

    // The active list: read from the file of its name in the program folder, shown whole, and written back
    // whole after each change.
    void SwitchList(int button, const char* file);
    void SaveActiveList();
    // The list box shows `list` from its first entry; throws when it cannot, leaving the box as it was.
    void ShowList(const PictureList& list);
    // The list box follows one change of the active list: entry `index` gone, added or replaced.
    void ShowRemoved(int index);
    void ShowAdded();
    void ShowReplaced(int index);

    // The list's selected entry: its index and its path as the list file holds it; none without a selection.
    struct Entry {
        int index;
        std::string path;
    };
    std::optional<Entry> SelectedEntry() const;

    void List1ButtonClick();
    void List2ButtonClick();
    void List3ButtonClick();
    void SpeedButton1Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void VelmoPaperButtonClick();
    void ListBox1DrawItem(const DRAWITEMSTRUCT& draw);
    void HeaderControl1SectionResize();

    // ScreenCapture.cpp
    void CaptureButtonClick();
    void CaptureScreen();
    // Wallpaper.cpp
    void WallPaperButtonClick();
    void SpeedButton9Click();
    // FileCommands.cpp
    void delete1Click();
    void Rename1Click();
    // Moves a listed file to its new name; false when nothing was to be done or a step failed (and was told).
    bool MoveListedFile(const std::string& old, const std::string& renamed);

    win::UniqueMenu FC_PopupMenu;
    PictureList list_;
};

// Creates, initialises and shows the control window. A failure goes to the caller; the window then stays
// created but hidden, and ControlWindowOpen true.
void OpenControlWindow();

}  // namespace velmo::app
