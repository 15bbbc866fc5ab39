// The program's modal message dialog: caption "Velmo", no icon, word-wrapped text, centred on the screen.
#pragma once

#include <windows.h>

#include <string>

namespace velmo::win {

enum class DialogButtons { Ok, YesNo };

// Answers: IDOK (1) for "OK"; IDYES (6) or IDNO (7) for a question, whose default button "はい(&Y)" takes
// Enter and whose "いいえ(&N)" takes Escape. Closing through the caption's close box answers IDCANCEL (2).
int ShowMessageDialog(const std::wstring& text, DialogButtons buttons = DialogButtons::Ok);

// The dialog's own caption; the program sets it to its title.
void SetMessageDialogCaption(const std::wstring& caption);

}  // namespace velmo::win
