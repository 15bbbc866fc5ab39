// Form description of the main window TForm1: a black panel, the picture over it, and the pop-up menu.
#pragma once

#include "win/Form.h"

namespace velmo::app::form1 {

inline constexpr wchar_t kClassName[] = L"TForm1";
inline constexpr wchar_t kCaption[] = L"Velmo";
// Design bounds; the strip geometry replaces them while the window is created.
inline constexpr Rect kDesignBounds{15, 195, 640, 461};

enum Id : int {
    kPanel1 = 1,
    kImage1 = 2,
    kMinimize1 = 101,
    kK1 = 102,
    kSetting1 = 103,
    kN1 = 104,
    kK2 = 105,
    kExit1 = 106,
};

inline constexpr win::ControlDesc kPanel1Desc{
    win::ControlKind::Panel, kPanel1, "Panel1", {0, 0, 640, 461}, win::Align::Client, L"Panel1", true};
inline constexpr win::ControlDesc kImage1Desc{
    win::ControlKind::Image, kImage1, "Image1", {0, 0, 640, 461}, win::Align::Client, L"", false};

// PopupMenu1, the menu of Panel1 and Image1.
inline constexpr win::MenuItemDesc kPopupMenu1[] = {
    {kMinimize1, "minimize1", L"待機", false},
    {kK1, "K1", L"常に前面に表示", true},
    {kSetting1, "setting1", L"設定", false},
    {kN1, "N1", L"-", false},
    {kK2, "K2", L"ヘルプ", false},
    {kExit1, "Exit1", L"終了", false},
};

}  // namespace velmo::app::form1
