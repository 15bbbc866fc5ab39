// Form description of the name prompt TF_CapInfo: a label, the name, OK and Cancel.
#pragma once

#include "core/FormDesc.h"

namespace velmo::app::capinfo {

enum Id : int {
    kLabel1 = form::kFirstControlId,
    kFileNameEdit,
    kButton1,
    kButton2,
};

inline constexpr form::FontDesc kFonts[] = {
    {L"ＭＳ Ｐゴシック", 12, false, false, form::kSystemColor},
};

// The name comes first in the tab order and holds the focus when the prompt opens. Neither button is a default
// or a cancel button: Enter and Escape close nothing.
inline constexpr form::ControlDesc kControls[] = {
    {form::kFormClient, form::ControlKind::Label, kLabel1, "Label1", {8, 4, 144, 12}, form::Dock::None,
     L"キャプチャリングしますか ？", 0, form::kSystemColor, 0, {}, 0, 0},
    {form::kFormClient, form::ControlKind::Edit, kFileNameEdit, "FileNameEdit", {4, 19, 210, 20}, form::Dock::None, L"",
     0, form::kSystemColor, 0, {}, 0, 0},
    {form::kFormClient, form::ControlKind::PushButton, kButton1, "Button1", {41, 45, 65, 21}, form::Dock::None, L"OK", 0,
     form::kSystemColor, 0, {}, 0, 0},
    {form::kFormClient, form::ControlKind::PushButton, kButton2, "Button2", {113, 45, 65, 21}, form::Dock::None,
     L"Cancel", 0, form::kSystemColor, 0, {}, 0, 0},
};

// A dialog frame with the close box; centred on the screen.
inline constexpr form::FormDesc kForm{L"TF_CapInfo",
                                     L"Caputure",
                                     {219, 69},
                                     kFonts,
                                     static_cast<int>(std::size(kFonts)),
                                     kControls,
                                     static_cast<int>(std::size(kControls))};

}  // namespace velmo::app::capinfo
