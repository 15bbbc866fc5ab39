// U_CapInfo: the name prompt TF_CapInfo, a small modal dialog that asks for a file name.
#pragma once

#include "app/U_CapInfoForm.h"
#include "win/Form.h"

namespace velmo::app {

// Exchanges its data through PromptText and PromptMode (Globals.h).
class TF_CapInfo : public win::FormWindow {
public:
    TF_CapInfo();

    // Creates the hidden dialog centred on the screen; FormCreate puts PromptText into the name.
    void Create();

    // 0 while the dialog runs, 1 after OK, 2 after Cancel, the close box or the end of the application.
    int PromptResult = 0;

    bool WantsDialogKeys() const override { return true; }

protected:
    void FormActivate() override;
    // The close box ends the prompt and leaves PromptText as the caller set it; the caller frees the dialog.
    bool FormCloseQuery() override;

private:
    void FormCreate();
    void Button1Click();
    void Button2Click();
};

// The name prompt: proposes PromptText, shows PromptMode's wording, and leaves the confirmed text in PromptText
// (empty after Cancel). The program's other windows take no input meanwhile; the dialog is freed on every path.
void ShowNamePrompt();

}  // namespace velmo::app
