// Form description of the main window TForm1: a black panel, the picture over it, and the pop-up menu.
#pragma once

#include "core/FormDesc.h"

namespace velmo::app::form1 {

enum Id : int {
    kPanel1 = form::kFirstControlId,
    kImage1,
};

// Menu commands arrive as WM_COMMAND from no control, so their ids may not meet a control's.
enum MenuId : int {
    kMinimize1 = 200,
    kK1,
    kSetting1,
    kN1,
    kK2,
    kExit1,
};

inline constexpr form::FontDesc kFonts[] = {
    {L"ＭＳ Ｐゴシック", 12, false, false, form::kSystemColor},
};

// Panel1 is silver in the design; the window's creation blanks its caption and paints it black.
inline constexpr form::ControlDesc kControls[] = {
    {form::kFormClient, form::ControlKind::Panel, kPanel1, "Panel1", {0, 0, 640, 461}, form::Dock::Client, L"Panel1", 0,
     form::Rgb(192, 192, 192), 0, {}, 0, 0},
    {kPanel1, form::ControlKind::Image, kImage1, "Image1", {0, 0, 640, 461}, form::Dock::Client, L"", 0,
     form::kSystemColor, form::kHidden, {}, 0, 0},
};

// Design bounds left 15, top 195, client 640 x 461; the strip geometry replaces them while the window is created.
inline constexpr Point kDesignPosition{15, 195};
inline constexpr form::FormDesc kForm{
    L"TForm1", L"Velmo", {640, 461}, kFonts, static_cast<int>(std::size(kFonts)), kControls, static_cast<int>(std::size(kControls))};

// PopupMenu1, the menu of Panel1 and Image1.
inline constexpr form::MenuItemDesc kPopupMenu1[] = {
    {kMinimize1, "minimize1", L"待機", false},
    {kK1, "K1", L"常に前面に表示", true},
    {kSetting1, "setting1", L"設定", false},
    {kN1, "N1", L"-", false},
    {kK2, "K2", L"ヘルプ", false},
    {kExit1, "Exit1", L"終了", false},
};

}  // namespace velmo::app::form1
