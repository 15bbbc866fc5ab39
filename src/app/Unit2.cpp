// Unit2: the control window TF_Control, the editors of the strip settings and the picture tools.
#include "app/Unit2.h"

#include <commdlg.h>
#include <windowsx.h>

#include <exception>
#include <optional>
#include <string>

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/SettingsFile.h"
#include "app/Wallpaper.h"
#include "core/Capture.h"
#include "core/ControlRules.h"
#include "core/ListFile.h"
#include "win/BmpFile.h"
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
    CurrentListFile = "P_List1.dat";
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
    LoadActiveList();
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
    SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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

// The list's menu opens where the pointer is; a right click leaves the selection as it was.
void TF_Control::ShowListMenu(HWND from, int x, int y) {
    if (!FC_PopupMenu)
        return;
    if (x == -1 && y == -1) {
        RECT rc;
        GetWindowRect(from, &rc);
        x = rc.left;
        y = rc.top;
    }
    const int command = static_cast<int>(
        TrackPopupMenuEx(FC_PopupMenu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, hwnd(), nullptr));
    PostMessageW(hwnd(), WM_NULL, 0, 0);
    if (command == kRename1)
        Rename1Click();
    else if (command == kdelete1)
        delete1Click();
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

std::string ListFilePath() {
    return ProgramFolder() + CurrentListFile;
}

namespace {

// The items of a list file; no file is an empty list. Throws "ﾌｧｲﾙ %s は開けません" for a file that exists but
// cannot be read.
std::vector<std::string> ReadListFile(const std::string& path) {
    if (!win::FileExists(path))
        return {};
    const std::vector<uint8_t> bytes = win::ReadWholeFile(path);
    return ParseListFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void FillList(const win::ListBoxView& list, const std::vector<std::string>& items) {
    // One repaint for the whole list, however long.
    SendMessageW(list.hwnd(), WM_SETREDRAW, FALSE, 0);
    list.Clear();
    for (const std::string& item : items)
        list.Add(item);
    SendMessageW(list.hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list.hwnd(), nullptr, TRUE);
}

}  // namespace

void TF_Control::LoadActiveList() {
    FillList(form().Get<win::ListBoxView>(kListBox1), ReadListFile(ListFilePath()));
}

// The file is replaced whole or not at all: after a failed save it keeps its previous content, and the list
// keeps the change.
void TF_Control::SaveActiveList() {
    const win::ListBoxView list = form().Get<win::ListBoxView>(kListBox1);
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Item(i));
    const std::string text = FormatListFile(items);
    win::WriteFileReplacing(ListFilePath(), text.data(), text.size());
}

// The list is read before anything changes: a list file that exists but cannot be read leaves the previous list
// active, its mark, items and file, so that the next change is never saved into the file that failed.
void TF_Control::SwitchList(int button, const char* file) {
    const std::string path = ProgramFolder() + file;
    const std::vector<std::string> items = ReadListFile(path);
    for (int id : {kList1Button, kList2Button, kList3Button})
        form().SetBold(id, id == button);
    CurrentListFile = file;
    FillList(form().Get<win::ListBoxView>(kListBox1), items);
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
    try {
        std::string folder;
        if (!CurrentPicture.empty() && win::FileExists(CurrentPicture))
            folder = FolderPart(CurrentPicture, win::SystemLeadBytes());
        std::string filter = win::WideToAcp(L"bmpﾌｧｲﾙ(*.bmp)");
        filter += std::string("\0*.bmp\0", 7);
        filter += win::WideToAcp(L"すべてのﾌｧｲﾙ(*.*)");
        filter += std::string("\0*.*\0\0", 6);
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
    } catch (...) {
        DropTopmost();
        chosen.clear();
    }
    if (chosen.empty() || !win::FileExists(chosen))
        return;
    try {
        WritePhotoSetting(chosen);
        LoadPictureInMainWindow(chosen, false);
    } catch (...) {
        DropTopmost();
    }
}

// "add": the shown picture becomes the list's last entry, also when it is listed already.
void TF_Control::SpeedButton5Click() {
    if (CurrentPicture.empty() || !win::FileExists(CurrentPicture))
        return;
    form().Get<win::ListBoxView>(kListBox1).Add(CurrentPicture);
    SaveActiveList();
}

// "del": the selected entry leaves the list; the picture file stays.
void TF_Control::SpeedButton6Click() {
    const win::ListBoxView list = form().Get<win::ListBoxView>(kListBox1);
    if (!list.HasSelection())
        return;
    SendMessageW(list.hwnd(), LB_DELETESTRING, static_cast<WPARAM>(list.ItemIndex()), 0);
    SaveActiveList();
}

// "velmo bmp" and a double-click on an entry: the selected picture is remembered and shown.
void TF_Control::VelmoPaperButtonClick() {
    const win::ListBoxView list = form().Get<win::ListBoxView>(kListBox1);
    if (!list.HasSelection())
        return;
    const std::string path = list.Item(list.ItemIndex());
    if (!win::FileExists(path)) {
        DropTopmost();
        win::ShowMessageDialog(L"ファイルが存在しません。");
        return;
    }
    WritePhotoSetting(path);
    try {
        LoadPictureInMainWindow(path, true);
    } catch (...) {
        DropTopmost();
    }
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

    if (draw.itemID != static_cast<UINT>(-1)) {
        const win::ListBoxView list(draw.hwndItem);
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
        const ListColumns columns = ListItemColumns(list.Item(static_cast<int>(draw.itemID)), win::SystemLeadBytes());
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

// "capture": a failure that escapes the capture only leaves the topmost band.
void TF_Control::CaptureButtonClick() {
    try {
        CaptureScreen();
    } catch (...) {
        DropTopmost();
    }
}

namespace {

// While the screen is copied the program's windows are away: the windows beneath get this long to repaint.
constexpr DWORD kCaptureWaitMs = 500;

// Entry i stands for hardware palette index i.
win::UniquePalette ExplicitPalette() {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical{0x300, 256, {}};
    for (int i = 0; i < 256; ++i)
        logical.entries[i] = {static_cast<BYTE>(i), 0, 0, PC_EXPLICIT};
    return win::UniquePalette(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
}

}  // namespace

// The whole screen, with the program's windows out of the way, into a BMP file in the program folder that
// becomes the shown picture. Every way out shows the windows again.
void TF_Control::CaptureScreen() {
    DropTopmost();
    PromptText.clear();
    HWND main = MainWindowHandle();
    ShowWindow(main, SW_HIDE);
    ShowWindow(hwnd(), SW_HIDE);

    bool abandon = false;
    struct Finish {
        HWND main;
        HWND control;
        const bool& abandon;
        ~Finish() {
            try {
                RestoreApplication();
                win::Picture& image = MainPicture();
                image.Show(true);
                // The previous picture replaces the empty bitmap made for the capture.
                if (abandon)
                    LoadPictureInMainWindow(CurrentPicture, false);
            } catch (...) {
            }
            ShowWindow(main, SW_SHOW);
            ShowWindow(control, SW_SHOW);
        }
    } finish{main, hwnd(), abandon};

    const LeadBytes& lead = win::SystemLeadBytes();
    const std::string folder = ProgramFolder();
    const std::string proposed = ProposeCaptureFile(folder, [](const std::string& path) { return win::FileExists(path); });

    std::optional<win::WindowDc> screen;
    screen.emplace(nullptr);
    if (!*screen)
        throw win::AppError(L"", "GetDC", GetLastError());
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    win::Picture& image = MainPicture();
    image.SetPicture(win::UniqueBitmap(CreateCompatibleBitmap(screen->get(), width, height)), win::UniquePalette());
    if (!image.bitmap())
        throw win::AppError(L"", "CreateCompatibleBitmap", GetLastError());

    PromptText = FileNamePart(proposed, lead);
    PromptMode = "cap";
    ShowNamePrompt();
    PromptMode.clear();
    if (PromptText.empty()) {
        abandon = true;
        return;
    }
    const std::string target = CaptureTarget(folder, PromptText, lead);
    PromptText.clear();
    if (!HasBmpExtension(target, lead)) {
        win::ShowMessageDialog(L"拡張子は、.bmp にして下さい。");
        abandon = true;
        return;
    }

    MinimizeApplication();
    win::WaitPumping(kCaptureWaitMs);
    {
        win::UniqueDc memory(CreateCompatibleDC(screen->get()));
        win::SelectGuard select(memory.get(), image.bitmap());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen->get(), 0, 0, SRCCOPY))
            throw win::AppError(L"", "BitBlt", GetLastError());
    }
    screen.reset();

    if (PaletteMode || ForcePalette) {
        image.SetPalette(ExplicitPalette());
        win::WindowDc dc(main);
        win::PaletteGuard palette(dc.get(), image.palette());
        RealizePalette(dc.get());
    }

    try {
        win::SaveBmpFile(image.bitmap(), image.palette(), target);
    } catch (...) {
        // Nothing names a file that is not there: the previous picture, its name and Photo_1 stay, and the
        // previous picture comes back as after Cancel.
        win::ShowMessageDialog(L"ファイル保存に失敗しました。");
        abandon = true;
        return;
    }
    CurrentPicture = target;
    ApplyCaption();
    WritePhotoSetting(CurrentPicture);
}

// "wall paper": the selected entry becomes the desktop wallpaper; a failure only leaves the topmost band.
void TF_Control::WallPaperButtonClick() {
    try {
        const win::ListBoxView list = form().Get<win::ListBoxView>(kListBox1);
        if (list.HasSelection())
            SetDesktopWallpaper(list.Item(list.ItemIndex()));
    } catch (...) {
        DropTopmost();
    }
}

// "WP_name": the wallpaper as recorded. The button is never shown.
void TF_Control::SpeedButton9Click() {
    win::ShowMessageDialog(win::AcpToWide(ReadDesktopWallpaper()));
}

namespace {

bool Ask(const std::wstring& question) {
    return win::ShowMessageDialog(question, win::DialogButtons::YesNo) == IDYES;
}

constexpr wchar_t kChangeFailed[] = L"変更に失敗しました。";

// A rename step failed after a file had been moved aside: it goes back from `aside` to `home`, and the user is
// told that the change failed and, when it could not go back, where the file is.
void PutBackAndTell(const std::string& aside, const std::string& home, const LeadBytes& lead) {
    std::wstring text = kChangeFailed;
    if (!MoveFileA(aside.c_str(), home.c_str())) {
        text += L"\r\n" + win::AcpToWide(FileNamePart(home, lead)) + L" は " + win::AcpToWide(aside) +
                L" に残っています。";
    }
    win::ShowMessageDialog(text);
}

// The parked name of an overwritten target: its extension replaced by "._-_".
std::string ParkedName(const std::string& path) {
    return ReplaceExtension(path, "._-_", win::SystemLeadBytes());
}

}  // namespace

int ProbeTargetName(const std::string& name) {
    if (name.empty())
        return 0;
    if (win::FileExists(name))
        return 2;
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(file);
    DeleteFileA(name.c_str());
    return 1;
}

// "ファイルを削除": the selected entry's file, after a question; the shown picture and the wallpaper are refused.
void TF_Control::delete1Click() {
    DropTopmost();
    const win::ListBoxView list = form().Get<win::ListBoxView>(kListBox1);
    if (!list.HasSelection())
        return;
    const int index = list.ItemIndex();
    const std::string path = list.Item(index);
    if (path == CurrentPicture) {
        win::ShowMessageDialog(L"このファイルは現在使用中です。");
        return;
    }
    if (win::LowerAcp(path) == ReadDesktopWallpaper()) {
        win::ShowMessageDialog(L"このファイルは壁紙に使用中です。");
        return;
    }
    if (!win::FileExists(path)) {
        win::ShowMessageDialog(L"既にファイルは存在しません。\r\nリストから削除します。");
        SendMessageW(list.hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        SaveActiveList();
        return;
    }
    if (!Ask(win::AcpToWide(FileNamePart(path, win::SystemLeadBytes())) + L"\r\n削除しますか？"))
        return;
    if (!DeleteFileA(path.c_str())) {
        win::ShowMessageDialog(L"削除に失敗しました。");
        return;
    }
    SendMessageW(list.hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SaveActiveList();
}

// "ファイル名変更": the selected entry's file gets the typed name in its folder. Every file that was there before
// is still there afterwards under one of its names, and a step that failed is told.
void TF_Control::Rename1Click() {
    DropTopmost();
    const win::ListBoxView list = form().Get<win::ListBoxView>(kListBox1);
    if (!list.HasSelection())
        return;
    const int index = list.ItemIndex();
    const std::string old = list.Item(index);
    if (!win::FileExists(old)) {
        win::ShowMessageDialog(L"このファイルは存在しません。");
        return;
    }
    const LeadBytes& lead = win::SystemLeadBytes();
    PromptText = FileNamePart(old, lead);
    PromptMode = "ren";
    ShowNamePrompt();
    PromptMode.clear();
    if (PromptText.empty())
        return;
    const std::string renamed = FolderPart(old, lead) + PromptText;
    PromptText.clear();
    if (renamed == old)
        return;  // the name as it was: nothing to change

    if (win::LowerAcp(renamed) == win::LowerAcp(old)) {
        // Only the letter case differs: the same file, which a plain move onto an existing name would refuse.
        // It goes through a temporary name of its own, and back when the second step fails.
        const std::string between = old + ".~case";
        if (!MoveFileA(old.c_str(), between.c_str())) {
            win::ShowMessageDialog(kChangeFailed);
            return;
        }
        if (!MoveFileA(between.c_str(), renamed.c_str())) {
            PutBackAndTell(between, old, lead);
            return;
        }
    } else {
        switch (ProbeTargetName(renamed)) {
            case 2: {
                if (!Ask(L"同名ﾌｧｲﾙが存在します。上書きしますか？"))
                    return;
                const std::string parked = ParkedName(renamed);
                if (!MoveFileA(renamed.c_str(), parked.c_str())) {
                    win::ShowMessageDialog(kChangeFailed);
                    return;
                }
                if (!MoveFileA(old.c_str(), renamed.c_str())) {
                    PutBackAndTell(parked, renamed, lead);
                    return;
                }
                if (!DeleteFileA(parked.c_str()))
                    win::ShowMessageDialog(L"上書きしたファイルは " + win::AcpToWide(parked) + L" に残っています。");
                break;
            }
            case 1:
                if (!MoveFileA(old.c_str(), renamed.c_str())) {
                    win::ShowMessageDialog(kChangeFailed);
                    return;
                }
                break;
            default:
                win::ShowMessageDialog(kChangeFailed);
                return;
        }
    }

    SendMessageW(list.hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageA(list.hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(renamed.c_str()));
    if (old == CurrentPicture) {
        CurrentPicture = renamed;
        ApplyCaption();
    }
    // The list file follows the file before the wallpaper does: a wallpaper that cannot be set again (a file our
    // reader does not take) is reported, and must not leave the list naming a file that is gone. A list file that
    // cannot be saved must not keep the wallpaper from following either: that error is reported after it.
    std::exception_ptr saveError;
    try {
        SaveActiveList();
    } catch (...) {
        saveError = std::current_exception();
    }
    list.SetItemIndex(index);
    if (win::LowerAcp(old) == ReadDesktopWallpaper()) {
        try {
            SetDesktopWallpaper(renamed);
            win::ShowMessageDialog(L"壁紙に使用中のファイルなので\r\n壁紙登録ファイル名も変更しました。");
        } catch (const win::AppError& error) {
            if (!saveError)
                throw;
            Report(hwnd(), error);  // both are told, the list file's last
        }
    }
    if (saveError)
        std::rethrow_exception(saveError);
}

void OpenControlWindow() {
    win::CreateFreedWithWindow(F_Control, [](TF_Control& window) { window.Create(); });
    F_Control->Initialize();
    F_Control->ShowInFront();
}

}  // namespace velmo::app
