// The control window's rules over the settings record: its edits, its radio group, its corrections on opening
// and its caption. Each editor changes the record in memory only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/PathParts.h"
#include "core/Settings.h"

namespace velmo {

// The start edit's rule for its new text: an integer (ParseInt32) is stored; on the left and right edges a value
// beyond the last known screen height MH becomes 200; below 4 becomes 4. Returns false, changing nothing, for a
// text that is no integer.
bool ApplyStartPositionText(Settings& settings, std::string_view text);

// The length edit's rule: an integer is stored, below 4 becomes 4. False, changing nothing, for any other text.
bool ApplyLengthText(Settings& settings, std::string_view text);

// When the window opens, Adj is brought into the combo box's items: below 0 it becomes 3, above 5 it becomes 5.
void CorrectAdjForEditor(Settings& settings);

// The radio item that shows an edge letter: "t" 0, "b" 1, "l" 2, "r" 3, compared byte for byte; any other
// letter, the empty one included, shows item 0.
int EdgeItem(std::string_view position);

// The edge letter an item stands for; item 0 and no item at all (-1) give "t".
std::string EdgeOfItem(int item);

// " Velmo - " followed by the file-name part of the shown picture's path; " Velmo - " alone when none is shown.
std::string ControlWindowCaption(std::string_view currentPicture, const LeadBytes& lead);

}  // namespace velmo
