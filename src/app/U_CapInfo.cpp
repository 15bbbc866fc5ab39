// U_CapInfo: the name prompt TF_CapInfo, a small modal dialog that asks for a file name.
#include "app/U_CapInfo.h"

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "win/MessageDialog.h"
#include "win/Modal.h"
#include "win/Text.h"

namespace velmo::app {

using namespace capinfo;

TF_CapInfo::TF_CapInfo() : FormWindow(kForm) {
    Bind(kButton1, win::Event::Click, [this] { Button1Click(); });
    Bind(kButton2, win::Event::Click, [this] { Button2Click(); });
}

void TF_CapInfo::Create() {
    CreateFormCentred(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, nullptr);
    FormCreate();
}

void TF_CapInfo::FormCreate() {
    form().Get<win::EditView>(kFileNameEdit).SetText(win::AcpToWide(PromptText));
}

// Runs at every activation and writes the same texts each time.
void TF_CapInfo::FormActivate() {
    if (PromptMode == "ren") {
        SetWindowTextW(hwnd(), L"ファイル名変更");
        form().Get<win::ControlView>(kLabel1).SetText(L"ファイル名を入力して下さい。");
    }
}

// OK: the name exactly as typed. A name that the system code page cannot hold would reach the file system with
// "?" in place of its characters, so it is refused and the dialog stays open.
void TF_CapInfo::Button1Click() {
    bool lossy = false;
    const std::string text = form().Get<win::EditView>(kFileNameEdit).TextAcp(&lossy);
    if (lossy) {
        win::ShowMessageDialog(L"ファイル名に使えない文字が含まれています。");
        SetFocus(form().Control(kFileNameEdit));
        return;
    }
    PromptText = text;
    PromptResult = 1;
}

void TF_CapInfo::Button2Click() {
    PromptText.clear();
    PromptResult = 2;
}

bool TF_CapInfo::FormCloseQuery() {
    PromptResult = 2;
    return false;
}

void ShowNamePrompt() {
    win::Owned<TF_CapInfo> dialog;
    F_CapInfo = &dialog;
    struct Forget {
        ~Forget() { F_CapInfo = nullptr; }
    } forget;
    dialog.Create();
    if (win::RunModal(dialog, dialog.form().Control(kFileNameEdit), [&] { return dialog.PromptResult != 0; }))
        dialog.PromptResult = 2;  // the application is ending
}

}  // namespace velmo::app
