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
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FormCreate();
    void FormActivate();
    void Button1Click();
    void Button2Click();
};

// ShowNamePrompt (AppWindows.h) runs it.

}  // namespace velmo::app
