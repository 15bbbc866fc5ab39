// Form description of the splash window TF_Splash: a blue panel with the product label.
#pragma once

#include "core/FormDesc.h"

namespace velmo::app::splash {

enum Id : int {
    kPanel1 = form::kFirstControlId,
    kLabel1,
    kLabel2,
};

inline constexpr form::Color kBlue = form::Rgb(0, 0, 255);

inline constexpr form::FontDesc kFonts[] = {
    {L"ＭＳ Ｐゴシック", 12, false, false, form::kSystemColor},
    {L"ＭＳ 明朝", 24, true, true, form::Rgb(255, 255, 255)},    // Label1: white
    {L"ＭＳ Ｐ明朝", 13, true, true, form::Rgb(0, 255, 255)},    // Label2: aqua
};

inline constexpr form::ControlDesc kControls[] = {
    {form::kFormClient, form::ControlKind::Panel, kPanel1, "Panel1", {0, 0, 204, 38}, form::Dock::Client, L"", 0, kBlue,
     0, {}, 0, 2},
    {kPanel1, form::ControlKind::Label, kLabel1, "Label1", {19, 8, 81, 25}, form::Dock::None, L"VELMO", 1,
     form::kSystemColor, 0, {}, 0, 0},
    {kPanel1, form::ControlKind::Label, kLabel2, "Label2", {104, 17, 84, 13}, form::Dock::None, L"Version 1.50", 2,
     form::kSystemColor, 0, {}, 0, 0},
};

// No border: the client size is the window size. The caption is one blank.
inline constexpr form::FormDesc kForm{
    L"TF_Splash", L" ", {204, 38}, kFonts, static_cast<int>(std::size(kFonts)), kControls,
    static_cast<int>(std::size(kControls))};

}  // namespace velmo::app::splash
