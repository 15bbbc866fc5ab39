// Unit2: the control window TF_Control, the editors of the strip settings and the picture tools.
#include "app/Unit2.h"

#include <commdlg.h>

#include <string>

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "core/ControlRules.h"
#include "core/ListFile.h"
#include "win/Files.h"
#include "win/MessageDialog.h"
#include "win/Modal.h"
#include "win/Text.h"

namespace velmo::app {

using namespace form2;

TF_Control::TF_Control() : FormWindow(kForm) {
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
    Bind(kList1Button, win::Event::Click, [this] { List1ButtonClick(); });
    Bind(kList2Button, win::Event::Click, [this] { List2ButtonClick(); });
    Bind(kList3Button, win::Event::Click, [this] { List3ButtonClick(); });
    Bind(kSpeedButton1, win::Event::Click, [this] { SpeedButton1Click(); });
    Bind(kSpeedButton5, win::Event::Click, [this] { SpeedButton5Click(); });
    Bind(kSpeedButton6, win::Event::Click, [this] { SpeedButton6Click(); });
    Bind(kVelmoPaperButton, win::Event::Click, [this] { VelmoPaperButtonClick(); });
    Bind(kListBox1, win::Event::DblClick, [this] { VelmoPaperButtonClick(); });
    Bind(kHeaderControl1, win::Event::SectionResize, [this] { HeaderControl1SectionResize(); });
    Bind(kCaptureButton, win::Event::Click, [this] { CaptureButtonClick(); });
    Bind(kWallPaperButton, win::Event::Click, [this] { WallPaperButtonClick(); });
    Bind(kSpeedButton9, win::Event::Click, [this] { SpeedButton9Click(); });
    BindDrawItem(kListBox1, [this](const DRAWITEMSTRUCT& draw) { ListBox1DrawItem(draw); });
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
    FC_PopupMenu = win::BuildPopupMenu(kFC_PopupMenu);
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
    SwitchList(kList1Button, "P_List1.dat");
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
// the strip's own correction may have changed since the window opened. Not while a dialog of the program has
// it disabled: an activation that comes late (under Wine the system's focus change arrives after the next dialog
// has opened) must not raise it over that dialog.
void TF_Control::FormActivate() {
    if (IsWindowEnabled(hwnd()))
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    form().Get<win::DropDownListView>(kL_AdjComboBox).SetItemIndex(Settings.Adj);
    ControlWindowOpen = true;
}

bool TF_Control::FormCloseQuery() {
    RECT rc;
    GetWindowRect(hwnd(), &rc);
    WriteControlWindowPosition(rc.left, rc.top);
    ControlWindowOpen = false;
    return true;
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
    GuardSilently([] { StandbyMainWindow(); });
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

// The list's menu opens where the pointer is; a right click leaves the selection as it was.
void TF_Control::ShowListMenu(HWND from, LPARAM at) {
    if (!FC_PopupMenu)
        return;
    const int command = win::TrackContextMenu(FC_PopupMenu.get(), hwnd(), from, at);
    if (command == kRename1)
        Rename1Click();
    else if (command == kdelete1)
        delete1Click();
}

LRESULT TF_Control::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CONTEXTMENU: {
            HWND from = reinterpret_cast<HWND>(wp);
            if (from == form().Control(kListBox1))
                ShowListMenu(from, lp);
            return 0;
        }
    }
    return FormWindow::OnMessage(msg, wp, lp);
}

namespace {

// A list file's bytes; no file is an empty list. Throws "ﾌｧｲﾙ %s は開けません" for a file that exists but cannot
// be read.
std::string ReadListBytes(const std::string& path) {
    if (!win::FileExists(path))
        return std::string();
    const std::vector<uint8_t> bytes = win::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

// The list box shows what the list holds and is never read back: its texts pass through the code page's
// conversion to UTF-16, which does not keep every byte a list file may hold.
void TF_Control::ShowList(const PictureList& list) {
    const win::ListBoxView view = form().Get<win::ListBoxView>(kListBox1);
    // One repaint for the whole list, however long, and the room for its items made at once.
    SendMessageW(view.hwnd(), WM_SETREDRAW, FALSE, 0);
    struct Redraw {
        HWND hwnd;
        ~Redraw() {
            SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
    } redraw{view.hwnd()};
    size_t bytes = 0;
    for (size_t i = 0; i < list.size(); ++i)
        bytes += list[i].size() + 1;
    view.Clear();
    SendMessageW(view.hwnd(), LB_INITSTORAGE, list.size(), static_cast<LPARAM>(bytes));
    try {
        for (size_t i = 0; i < list.size(); ++i)
            view.Add(list.CString(i));
    } catch (...) {
        // Half a list is never shown: the box goes back to the active list, as far as it can.
        view.Clear();
        for (size_t i = 0; i < list_.size(); ++i) {
            if (SendMessageA(view.hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list_.CString(i))) < 0)
                break;
        }
        throw;
    }
}

void TF_Control::ShowRemoved(int index) {
    SendMessageW(form().Control(kListBox1), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TF_Control::ShowAdded() {
    form().Get<win::ListBoxView>(kListBox1).Add(list_.CString(list_.size() - 1));
}

void TF_Control::ShowReplaced(int index) {
    const win::ListBoxView view = form().Get<win::ListBoxView>(kListBox1);
    ShowRemoved(index);
    SendMessageA(view.hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(list_.CString(static_cast<size_t>(index))));
}

// The file is replaced whole or not at all: after a failed save it keeps its previous content, and the list
// keeps the change.
void TF_Control::SaveActiveList() {
    const std::string text = list_.Format();
    win::WriteFileReplacing(ProgramFolder() + list_.file(), text.data(), text.size());
}

// The list is read and shown before it becomes the active one: a list file that exists but cannot be read, or
// a list the box cannot show whole, leaves the previous list active, its mark, items and file, so that the next
// change is never saved into the file that failed.
void TF_Control::SwitchList(int button, const char* file) {
    PictureList list(file, ReadListBytes(ProgramFolder() + file));
    ShowList(list);
    list_ = std::move(list);
    for (int id : {kList1Button, kList2Button, kList3Button})
        form().SetBold(id, id == button);
}

std::optional<TF_Control::Entry> TF_Control::SelectedEntry() const {
    const int index = form().Get<win::ListBoxView>(kListBox1).ItemIndex();
    if (!list_.Has(index))
        return std::nullopt;
    return Entry{index, std::string(list_[static_cast<size_t>(index)])};
}

void TF_Control::List1ButtonClick() {
    SwitchList(kList1Button, "P_List1.dat");
}

void TF_Control::List2ButtonClick() {
    SwitchList(kList2Button, "P_List2.dat");
}

void TF_Control::List3ButtonClick() {
    SwitchList(kList3Button, "P_List3.dat");
}

// "file": a picture chosen in the file dialog is remembered and shown; it is not added to the list.
void TF_Control::SpeedButton1Click() {
    DropTopmost();
    std::string chosen;
    const bool asked = GuardSilently([&] {
        std::string folder;
        if (!CurrentPicture.empty() && win::FileExists(CurrentPicture))
            folder = FolderPart(CurrentPicture, win::SystemLeadBytes());
        // BMP files (chosen at first) and all files, as ever, then every picture format the program reads.
        std::string filter;
        for (const auto& [name, pattern] :
             {std::pair<const wchar_t*, const char*>{L"bmpﾌｧｲﾙ(*.bmp)", "*.bmp"},
              {L"すべてのﾌｧｲﾙ(*.*)", "*.*"},
              {L"画像ﾌｧｲﾙ(*.bmp;*.jpg;*.jpeg;*.png;*.gif;*.tif;*.tiff)",
               "*.bmp;*.jpg;*.jpeg;*.png;*.gif;*.tif;*.tiff"}}) {
            filter += win::WideToAcp(name);
            filter += '\0';
            filter += pattern;
            filter += '\0';
        }
        filter += '\0';
        const std::string title = win::WideToAcp(L"画像ﾌｧｲﾙ を 選択する。");
        std::string file(32768, '\0');

        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof(dialog);
        // Owned by this window, whose button opened it: the dialog stays above it, and when it closes the system
        // enables this window again and activates it before anything else.
        dialog.hwndOwner = hwnd();
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = file.data();
        dialog.nMaxFile = static_cast<DWORD>(file.size());
        dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        dialog.lpstrTitle = title.c_str();
        // The current folder stays the program's: the dialog would otherwise move it to the chosen file's.
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
        // The dialog disables only its owner; the program's other windows take no input either while it is up.
        win::DisabledWindows disabled(hwnd());
        win::DialogOpening();
        if (GetOpenFileNameA(&dialog))
            chosen = file.c_str();
        else if (CommDlgExtendedError() != 0)
            DropTopmost();
    });
    if (!asked || chosen.empty() || !win::FileExists(chosen))
        return;
    GuardSilently([&] {
        WritePhotoSetting(chosen);
        LoadPictureInMainWindow(chosen, false);
    });
}

// "add": the shown picture becomes the list's last entry, also when it is listed already.
void TF_Control::SpeedButton5Click() {
    if (CurrentPicture.empty() || !win::FileExists(CurrentPicture))
        return;
    list_.Add(CurrentPicture);
    ShowAdded();
    SaveActiveList();
}

// "del": the selected entry leaves the list; the picture file stays.
void TF_Control::SpeedButton6Click() {
    const std::optional<Entry> entry = SelectedEntry();
    if (!entry)
        return;
    list_.Remove(entry->index);
    ShowRemoved(entry->index);
    SaveActiveList();
}

// "velmo bmp" and a double-click on an entry: the selected picture is remembered and shown.
void TF_Control::VelmoPaperButtonClick() {
    const std::optional<Entry> entry = SelectedEntry();
    if (!entry)
        return;
    if (!win::FileExists(entry->path)) {
        DropTopmost();
        win::ShowMessageDialog(L"ファイルが存在しません。");
        return;
    }
    WritePhotoSetting(entry->path);
    GuardSilently([&] { LoadPictureInMainWindow(entry->path, true); });
}

// Two columns: the folder part up to W0 - 8, a separator line at W0 - 3 over the list's whole height, and the
// file name from W0 to the header's right end. The texts are system-code-page bytes, drawn as they are.
void TF_Control::ListBox1DrawItem(const DRAWITEMSTRUCT& draw) {
    HDC hdc = draw.hDC;
    RECT item = draw.rcItem;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    SetBkColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    HBRUSH brush = GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    FillRect(hdc, &item, brush);

    if (list_.Has(static_cast<int>(draw.itemID))) {
        HWND header = form().Control(kHeaderControl1);
        const int w0 = form().Get<win::HeaderView>(kHeaderControl1).SectionWidth(0);
        RECT listClient{};
        GetClientRect(draw.hwndItem, &listClient);
        RECT headerClient{};
        GetClientRect(header, &headerClient);

        win::SelectGuard font(hdc, reinterpret_cast<HGDIOBJ>(SendMessageW(draw.hwndItem, WM_GETFONT, 0, 0)));
        {
            win::SelectGuard pen(hdc, GetStockObject(BLACK_PEN));
            win::SelectGuard fill(hdc, brush);
            Rectangle(hdc, w0 - 3, 0, w0 - 2, listClient.bottom);
        }
        const ListColumns columns = ListItemColumns(list_[draw.itemID], win::SystemLeadBytes());
        RECT folder{0, item.top, w0 - 8, item.bottom};
        DrawTextA(hdc, columns.folder.c_str(), -1, &folder, DT_SINGLELINE | DT_VCENTER);
        RECT file{w0, item.top, headerClient.right, item.bottom};
        DrawTextA(hdc, columns.file.c_str(), -1, &file, DT_SINGLELINE | DT_VCENTER);
    }
    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(hdc, &item);
}

void TF_Control::HeaderControl1SectionResize() {
    InvalidateRect(form().Control(kListBox1), nullptr, TRUE);
}

void OpenControlWindow() {
    win::CreateFreedWithWindow(F_Control, [](TF_Control& window) { window.Create(); });
    F_Control->Initialize();
    F_Control->ShowInFront();
}

}  // namespace velmo::app
