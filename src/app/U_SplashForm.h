// Form description of the splash window TF_Splash: a blue panel with the product label.
#pragma once

#include "win/FormDesc.h"

namespace velmo::app::splash {

enum Id : int {
    kPanel1 = win::kFirstControlId,
    kLabel1,
    kLabel2,
};

inline constexpr win::Color kBlue = win::Rgb(0, 0, 255);

inline constexpr win::FontDesc kFonts[] = {
    {L"ＭＳ Ｐゴシック", 12, false, false, win::kSystemColor},
    {L"ＭＳ 明朝", 24, true, true, win::Rgb(255, 255, 255)},    // Label1: white
    {L"ＭＳ Ｐ明朝", 13, true, true, win::Rgb(0, 255, 255)},    // Label2: aqua
};

inline constexpr win::ControlDesc kControls[] = {
    {win::kFormClient, win::ControlKind::Panel, kPanel1, "Panel1", {0, 0, 204, 38}, win::Dock::Client, L"", 0, kBlue,
     0, {}, 0, 2},
    {kPanel1, win::ControlKind::Label, kLabel1, "Label1", {19, 8, 81, 25}, win::Dock::None, L"VELMO", 1,
     win::kSystemColor, 0, {}, 0, 0},
    {kPanel1, win::ControlKind::Label, kLabel2, "Label2", {104, 17, 84, 13}, win::Dock::None, L"Version 1.50", 2,
     win::kSystemColor, 0, {}, 0, 0},
};

// No border: the client size is the window size. The caption is one blank.
inline constexpr win::FormDesc kForm{
    L"TF_Splash", L" ", {204, 38}, kFonts, static_cast<int>(std::size(kFonts)), kControls,
    static_cast<int>(std::size(kControls))};

}  // namespace velmo::app::splash
