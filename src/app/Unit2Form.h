// Form description of the control window TF_Control: the strip editors and command buttons on the left, the
// picture list over the about panel on the right.
#pragma once

#include "core/FormDesc.h"

namespace velmo::app::form2 {

enum Id : int {
    kSwitchPanel = form::kFirstControlId,
    kF_PositionRadioGroup,
    kLabel1,
    kL_StartPositionEdit,
    kLabel2,
    kL_LengthEdit,
    kLabel8,
    kL_AdjComboBox,
    kMax_SOT_CheckBox,
    kBevel1,
    kSpeedButton4,
    kSpeedButton7,
    kSpeedButton8,
    kVelmoPaperButton,
    kWallPaperButton,
    kCaptureButton,
    kSpeedButton1,
    kSpeedButton5,
    kSpeedButton6,
    kList1Button,
    kList2Button,
    kList3Button,
    kSpeedButton2,
    kSpeedButton3,
    kSpeedButton9,
    kPanel1,
    kLabel3,
    kLabel6,
    kLabel4,
    kLabel5,
    kLabel7,
    kHeaderControl1,
    kListBox1,
};

enum Font : int { kText, kBoldNavy, kBoldRed, kTitle, kYellowP, kFuchsia, kYellow };

inline constexpr form::Color kNavy = form::Rgb(0, 0, 128);
inline constexpr form::Color kRed = form::Rgb(255, 0, 0);
inline constexpr form::Color kBlue = form::Rgb(0, 0, 255);
inline constexpr form::Color kAqua = form::Rgb(0, 255, 255);
inline constexpr form::Color kYellowColor = form::Rgb(255, 255, 0);
inline constexpr form::Color kFuchsiaColor = form::Rgb(255, 0, 255);

inline constexpr form::FontDesc kFonts[] = {
    {L"ＭＳ Ｐゴシック", 12, false, false, form::kSystemColor},  // the window's font
    {L"ＭＳ Ｐゴシック", 12, true, false, kNavy},               // "close", "ver"
    {L"ＭＳ Ｐゴシック", 12, true, false, kRed},                // "exit"
    {L"ＭＳ 明朝", 21, true, false, kAqua},                     // Label3
    {L"ＭＳ Ｐ明朝", 13, false, false, kYellowColor},           // Label6, Label4
    {L"ＭＳ Ｐゴシック", 15, true, false, kFuchsiaColor},       // Label5
    {L"ＭＳ 明朝", 13, false, false, kYellowColor},             // Label7
};

inline constexpr form::ItemDesc kEdges[] = {{L"top", 0}, {L"bottom", 0}, {L"left", 0}, {L"right", 0}};
inline constexpr form::ItemDesc kAdjItems[] = {{L"0", 0}, {L"1", 0}, {L"2", 0}, {L"3", 0}, {L"4", 0}, {L"5", 0}};
inline constexpr form::ItemDesc kSections[] = {{L"Path", 50}, {L"FileName", 1000}};

using form::ControlKind;
using form::Dock;
inline constexpr form::Color kSys = form::kSystemColor;
inline constexpr form::Items kNone{};

// A speed button of the SwitchPanel: a raised frame, no keyboard focus.
constexpr form::ControlDesc Speed(int id, const char* name, Rect bounds, const wchar_t* text, int font = kText,
                                 uint32_t flags = 0) {
    return {kSwitchPanel, ControlKind::SpeedButton, id, name, bounds, Dock::None, text, font, kSys,
            flags | form::kNoFocus, kNone, 0, 0};
}

// Table order is the tab order: the radio group, the two edits, the drop-down list, the check box. Labels
// without a size size themselves to their text. HeaderControl1 and ListBox1 are docked so that they cover
// Panel1, which hides the about labels until "ver" hides them.
inline constexpr form::ControlDesc kControls[] = {
    {form::kFormClient, ControlKind::Panel, kSwitchPanel, "SwitchPanel", {0, 0, 191, 165}, Dock::Left, L"", kText,
     kSys, 0, kNone, 0, -1},
    {kSwitchPanel, ControlKind::RadioGroup, kF_PositionRadioGroup, "F_PositionRadioGroup", {3, 2, 77, 74},
     Dock::None, L"Positon", kText, kSys, 0, form::ItemsOf(kEdges), 0, 0},
    {kSwitchPanel, ControlKind::Label, kLabel1, "Label1", {6, 83, 0, 0}, Dock::None, L"Start", kText, kSys, 0,
     kNone, 0, 0},
    {kSwitchPanel, ControlKind::Edit, kL_StartPositionEdit, "L_StartPositionEdit", {42, 79, 38, 20}, Dock::None,
     L"0", kText, kSys, 0, kNone, 0, 0},
    {kSwitchPanel, ControlKind::Label, kLabel2, "Label2", {5, 103, 0, 0}, Dock::None, L"Length", kText, kSys, 0,
     kNone, 0, 0},
    {kSwitchPanel, ControlKind::Edit, kL_LengthEdit, "L_LengthEdit", {42, 100, 38, 20}, Dock::None, L"0", kText,
     kSys, 0, kNone, 0, 0},
    {kSwitchPanel, ControlKind::Label, kLabel8, "Label8", {6, 123, 0, 0}, Dock::None, L"Adjust", kText, kSys, 0,
     kNone, 0, 0},
    {kSwitchPanel, ControlKind::DropDownList, kL_AdjComboBox, "L_AdjComboBox", {42, 121, 38, 20}, Dock::None, L"",
     kText, kSys, 0, form::ItemsOf(kAdjItems), 12, 0},
    {kSwitchPanel, ControlKind::CheckBox, kMax_SOT_CheckBox, "Max_SOT_CheckBox", {5, 143, 76, 17}, Dock::None,
     L"StayOnTop", kText, kSys, 0, kNone, 0, 0},
    {kSwitchPanel, ControlKind::Bevel, kBevel1, "Bevel1", {83, 2, 106, 161}, Dock::None, L"", kText, kSys,
     form::kNoFocus, kNone, 0, 0},
    Speed(kSpeedButton4, "SpeedButton4", {85, 4, 63, 18}, L"close", kBoldNavy),
    Speed(kSpeedButton7, "SpeedButton7", {85, 23, 63, 18}, L"minimize"),
    Speed(kSpeedButton8, "SpeedButton8", {85, 42, 63, 18}, L"save"),
    Speed(kVelmoPaperButton, "VelmoPaperButton", {85, 64, 63, 18}, L"velmo bmp"),
    Speed(kWallPaperButton, "WallPaperButton", {85, 83, 63, 18}, L"wall paper"),
    Speed(kCaptureButton, "CaptureButton", {85, 102, 63, 18}, L"capture"),
    Speed(kSpeedButton1, "SpeedButton1", {149, 4, 38, 18}, L"file"),
    Speed(kSpeedButton5, "SpeedButton5", {149, 23, 38, 18}, L"add"),
    Speed(kSpeedButton6, "SpeedButton6", {149, 42, 38, 18}, L"del"),
    Speed(kList1Button, "List1Button", {149, 64, 38, 18}, L"List1", kText, form::kBold),
    Speed(kList2Button, "List2Button", {149, 83, 38, 18}, L"List2"),
    Speed(kList3Button, "List3Button", {149, 102, 38, 18}, L"List3"),
    Speed(kSpeedButton2, "SpeedButton2", {149, 124, 38, 18}, L"ver", kBoldNavy),
    Speed(kSpeedButton3, "SpeedButton3", {149, 143, 38, 18}, L"exit", kBoldRed),
    Speed(kSpeedButton9, "SpeedButton9", {85, 143, 63, 18}, L"WP_name", kText, form::kHidden),
    {form::kFormClient, ControlKind::Panel, kPanel1, "Panel1", {191, 0, 229, 165}, Dock::Client, L"", kText, kBlue,
     form::kBorder, kNone, 0, 0},
    {kPanel1, ControlKind::Label, kLabel3, "Label3", {76, 30, 61, 21}, Dock::None, L"VELMO", kTitle, kSys, 0, kNone,
     0, 0},
    {kPanel1, ControlKind::Label, kLabel6, "Label6", {81, 55, 49, 13}, Dock::None, L"Ver 1.50", kYellowP, kSys, 0,
     kNone, 0, 0},
    {kPanel1, ControlKind::Label, kLabel4, "Label4", {35, 97, 116, 13}, Dock::None, L"画面の縁の小窓", kYellowP,
     kSys, 0, kNone, 0, 0},
    {kPanel1, ControlKind::Label, kLabel5, "Label5", {152, 95, 36, 15}, Dock::None, L"Free", kFuchsia, kSys, 0,
     kNone, 0, 0},
    {kPanel1, ControlKind::Label, kLabel7, "Label7", {27, 121, 175, 13}, Dock::None, L"(C) 2026 Velmo developers",
     kYellow, kSys, 0, kNone, 0, 0},
    {kPanel1, ControlKind::Header, kHeaderControl1, "HeaderControl1", {176, 8, 217, 17}, Dock::Top, L"", kText, kSys,
     0, form::ItemsOf(kSections), 0, 0},
    {kPanel1, ControlKind::ListBox, kListBox1, "ListBox1", {192, 25, 217, 88}, Dock::Client, L"", kText, kSys,
     form::kOwnerDraw, kNone, 12, 0},
};

// A dialog frame with the close box only; the window is not scaled. Its caption follows the shown picture.
inline constexpr Point kDesignPosition{148, 195};
inline constexpr form::FormDesc kForm{L"TF_Control",
                                     L" Velmo",
                                     {420, 165},
                                     kFonts,
                                     static_cast<int>(std::size(kFonts)),
                                     kControls,
                                     static_cast<int>(std::size(kControls))};

// FC_PopupMenu, the menu of ListBox1. The copy and move items are not shown.
enum MenuId : int {
    kRename1 = 200,
    kdelete1,
    kK1,
    kK2,
};
inline constexpr form::MenuItemDesc kFC_PopupMenu[] = {
    {kRename1, "Rename1", L"ファイル名変更", false, false},
    {kdelete1, "delete1", L"ファイルを削除", false, false},
    {kK1, "K1", L"ファイルコピー", false, true},
    {kK2, "K2", L"ファイル移動", false, true},
};

}  // namespace velmo::app::form2
