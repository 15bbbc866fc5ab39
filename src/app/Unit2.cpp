// Unit2: the control window TF_Control, the editors of the strip settings and the picture tools.
#include "app/Unit2.h"

#include <windowsx.h>

#include <string>

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "core/ControlRules.h"
#include "win/Text.h"

namespace velmo::app {

using namespace form2;

TF_Control::TF_Control() : FormWindow(kForm) {
    FreeWithWindow();
    Bind(kF_PositionRadioGroup, win::Event::Click, [this] { F_PositionRadioGroupClick(); });
    Bind(kL_StartPositionEdit, win::Event::Change, [this] { L_StartPositionEditChange(); });
    Bind(kL_LengthEdit, win::Event::Change, [this] { L_LengthEditChange(); });
    Bind(kL_AdjComboBox, win::Event::Change, [this] { L_AdjComboBoxChange(); });
    Bind(kMax_SOT_CheckBox, win::Event::Click, [this] { Max_SOT_CheckBoxClick(); });
    Bind(kSpeedButton4, win::Event::Click, [this] { SpeedButton4Click(); });
    Bind(kSpeedButton7, win::Event::Click, [this] { SpeedButton7Click(); });
    Bind(kSpeedButton8, win::Event::Click, [this] { SpeedButton8Click(); });
    Bind(kSpeedButton2, win::Event::Click, [this] { SpeedButton2Click(); });
    Bind(kSpeedButton3, win::Event::Click, [this] { SpeedButton3Click(); });
}

void TF_Control::Create() {
    // A dialog frame with the close box only. No Win32 owner: an owned window that entered the topmost band
    // while hidden could not leave it again under Wine.
    CreateForm(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME, kDesignPosition, nullptr);
    FormCreate();
}

void TF_Control::FormCreate() {
    ControlWindowOpen = true;
    PromptText.clear();
    CurrentListFile = "P_List1.dat";
    FC_PopupMenu.reset(CreatePopupMenu());
}

void TF_Control::Initialize() {
    const Point position = ReadControlWindowPosition();
    SetWindowPos(hwnd(), nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyCaption();
    form().ApplyDocks();
    // Each edit's change rule runs when its text changes, as if typed: an edit that already shows the value
    // runs none.
    form().Get<win::EditView>(kL_StartPositionEdit).SetText(std::to_wstring(Settings.StartPosition));
    form().Get<win::EditView>(kL_LengthEdit).SetText(std::to_wstring(Settings.Length));
    CorrectAdjForEditor(Settings);
    form().Get<win::DropDownListView>(kL_AdjComboBox).SetItemIndex(Settings.Adj);
    form().Get<win::RadioGroupView>(kF_PositionRadioGroup).SetItemIndex(EdgeItem(Settings.Position));
    form().Get<win::CheckBoxView>(kMax_SOT_CheckBox).SetChecked(Settings.Max_SOT);
}

void TF_Control::ShowInFront() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    BringWindowToTop(hwnd());
}

void TF_Control::ApplyCaption() {
    SetWindowTextW(hwnd(), win::AcpToWide(ControlWindowCaption(CurrentPicture, win::SystemLeadBytes())).c_str());
}

// Each time the window becomes the active one it enters the topmost band, and the combo box shows Adj, which
// the strip's own correction may have changed since the window opened.
void TF_Control::FormActivate() {
    if (HWND self = FindWindowW(kForm.className, nullptr))
        SetWindowPos(self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    form().Get<win::DropDownListView>(kL_AdjComboBox).SetItemIndex(Settings.Adj);
    ControlWindowOpen = true;
}

void TF_Control::Close() {
    FormCloseQuery();
    FormClose();
}

void TF_Control::FormCloseQuery() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    WriteControlWindowPosition(rc.left, rc.top);
    ControlWindowOpen = false;
}

void TF_Control::FormClose() {
    Release();
}

void TF_Control::FormDestroy() {
    ControlWindowOpen = false;
    F_Control = nullptr;
}

void TF_Control::F_PositionRadioGroupClick() {
    Settings.Position = EdgeOfItem(form().Get<win::RadioGroupView>(kF_PositionRadioGroup).ItemIndex());
}

void TF_Control::L_StartPositionEditChange() {
    ApplyStartPositionText(Settings, form().Get<win::EditView>(kL_StartPositionEdit).TextAcp(nullptr));
}

void TF_Control::L_LengthEditChange() {
    ApplyLengthText(Settings, form().Get<win::EditView>(kL_LengthEdit).TextAcp(nullptr));
}

void TF_Control::L_AdjComboBoxChange() {
    const int index = form().Get<win::DropDownListView>(kL_AdjComboBox).ItemIndex();
    if (index >= 0)
        Settings.Adj = index;
}

void TF_Control::Max_SOT_CheckBoxClick() {
    Settings.Max_SOT = form().Get<win::CheckBoxView>(kMax_SOT_CheckBox).Checked();
}

// "close"
void TF_Control::SpeedButton4Click() {
    Close();
}

// "minimize": the strip comes back, whatever happens to it, and the window closes.
void TF_Control::SpeedButton7Click() {
    try {
        StandbyMainWindow();
    } catch (...) {
        DropTopmost();
    }
    if (ControlWindowOpen)
        Close();
}

// "save"
void TF_Control::SpeedButton8Click() {
    SaveSettings();
}

// "ver": the list and its header hide and uncover the about panel, or come back with their items.
void TF_Control::SpeedButton2Click() {
    const win::ControlView list = form().Get<win::ControlView>(kListBox1);
    const bool show = !list.Visible();
    list.Show(show);
    form().Get<win::ControlView>(kHeaderControl1).Show(show);
}

// "exit": the main window closes and the program ends; this window goes with the application, without its
// close sequence, so its position is not written.
void TF_Control::SpeedButton3Click() {
    CloseMainWindow();
}

void TF_Control::ShowListMenu(HWND from, int x, int y) {
    if (!FC_PopupMenu || GetMenuItemCount(FC_PopupMenu.get()) <= 0)
        return;
    if (x == -1 && y == -1) {
        RECT rc;
        GetWindowRect(from, &rc);
        x = rc.left;
        y = rc.top;
    }
    TrackPopupMenuEx(FC_PopupMenu.get(), TPM_RIGHTBUTTON, x, y, hwnd(), nullptr);
}

LRESULT TF_Control::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE)
                FormActivate();
            return FormWindow::OnMessage(msg, wp, lp);
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            FormDestroy();
            return 0;
        case WM_CONTEXTMENU: {
            HWND from = reinterpret_cast<HWND>(wp);
            if (from == form().Control(kListBox1))
                ShowListMenu(from, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        }
    }
    return FormWindow::OnMessage(msg, wp, lp);
}

void OpenControlWindow() {
    auto* window = new TF_Control();
    F_Control = window;
    try {
        window->Create();
    } catch (...) {
        if (!window->Exists()) {
            // No window was made, so nothing will free the object.
            F_Control = nullptr;
            ControlWindowOpen = false;
            delete window;
        }
        throw;
    }
    window->Initialize();
    window->ShowInFront();
}

}  // namespace velmo::app
