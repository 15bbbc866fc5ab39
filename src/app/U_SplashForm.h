// Form description of the splash window TF_Splash: a blue panel with the product label.
#pragma once

#include "win/Form.h"

namespace velmo::app::splash {

inline constexpr wchar_t kClassName[] = L"TF_Splash";
inline constexpr wchar_t kCaption[] = L" ";
inline constexpr Size kClientSize{204, 38};

enum Id : int { kPanel1 = 1, kLabel1 = 2, kLabel2 = 3 };

inline constexpr win::ControlDesc kPanel1Desc{
    win::ControlKind::Panel, kPanel1, "Panel1", {0, 0, 204, 38}, win::Align::Client, L"", true};
inline constexpr win::ControlDesc kLabel1Desc{
    win::ControlKind::Label, kLabel1, "Label1", {19, 8, 81, 25}, win::Align::None, L"VELMO", true};
inline constexpr win::ControlDesc kLabel2Desc{
    win::ControlKind::Label, kLabel2, "Label2", {104, 17, 84, 13}, win::Align::None, L"Version 1.50", true};

inline constexpr COLORREF kPanelColor = RGB(0, 0, 255);      // blue
inline constexpr COLORREF kLabel1Color = RGB(255, 255, 255);  // white
inline constexpr COLORREF kLabel2Color = RGB(0, 255, 255);    // aqua
inline constexpr int kBevelWidth = 2;

// "ＭＳ 明朝" and "ＭＳ Ｐ明朝", bold italic, character heights 24 and 13 pixels.
inline constexpr wchar_t kLabel1Font[] = L"ＭＳ 明朝";
inline constexpr int kLabel1Height = 24;
inline constexpr wchar_t kLabel2Font[] = L"ＭＳ Ｐ明朝";
inline constexpr int kLabel2Height = 13;

}  // namespace velmo::app::splash
