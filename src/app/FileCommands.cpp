// The control window's commands on the file of the selected list entry: rename and delete, from the list's menu.
// The file that is shown and the file that is the wallpaper are guarded.
#include <exception>
#include <string>

#include "app/AppWindows.h"
#include "app/Globals.h"
#include "app/U_CapInfo.h"
#include "app/Unit2.h"
#include "app/Wallpaper.h"
#include "win/Files.h"
#include "win/Handles.h"
#include "win/MessageDialog.h"
#include "win/Text.h"

namespace velmo::app {

namespace {

bool Ask(const std::wstring& question) {
    return win::ShowMessageDialog(question, win::DialogButtons::YesNo) == IDYES;
}

constexpr wchar_t kChangeFailed[] = L"変更に失敗しました。";

// A rename step failed after a file had been moved aside: it goes back from `aside` to `home`, and the user is
// told that the change failed and, when it could not go back, where the file is.
void PutBackAndTell(const std::string& aside, const std::string& home, const LeadBytes& lead) {
    std::wstring text = kChangeFailed;
    if (!MoveFileA(aside.c_str(), home.c_str())) {
        text += L"\r\n" + win::AcpToWide(FileNamePart(home, lead)) + L" は " + win::AcpToWide(aside) +
                L" に残っています。";
    }
    win::ShowMessageDialog(text);
}

// The parked name of an overwritten target: its extension replaced by "._-_".
std::string ParkedName(const std::string& path) {
    return ReplaceExtension(path, "._-_", win::SystemLeadBytes());
}

// What a rename finds at its target.
enum class Target {
    Unusable,  // the name is empty, or no file can be made under it
    Free,      // no file is there and one can be made (the probe leaves none behind)
    Taken,     // a file is there
};

Target ProbeTarget(const std::string& name) {
    if (name.empty())
        return Target::Unusable;
    if (win::FileExists(name))
        return Target::Taken;
    {
        win::UniqueFile probe(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe)
            return Target::Unusable;
    }
    DeleteFileA(name.c_str());
    return Target::Free;
}

}  // namespace

// "ファイルを削除": the selected entry's file, after a question; the shown picture and the wallpaper are refused.
void TF_Control::delete1Click() {
    DropTopmost();
    const std::optional<Entry> entry = SelectedEntry();
    if (!entry)
        return;
    if (entry->path == CurrentPicture) {
        win::ShowMessageDialog(L"このファイルは現在使用中です。");
        return;
    }
    if (win::LowerAcp(entry->path) == ReadDesktopWallpaper()) {
        win::ShowMessageDialog(L"このファイルは壁紙に使用中です。");
        return;
    }
    if (!win::FileExists(entry->path)) {
        win::ShowMessageDialog(L"既にファイルは存在しません。\r\nリストから削除します。");
    } else {
        if (!Ask(win::AcpToWide(FileNamePart(entry->path, win::SystemLeadBytes())) + L"\r\n削除しますか？"))
            return;
        if (!DeleteFileA(entry->path.c_str())) {
            win::ShowMessageDialog(L"削除に失敗しました。");
            return;
        }
    }
    list_.Remove(entry->index);
    ShowRemoved(entry->index);
    SaveActiveList();
}

// Moves a listed file to its new name. Every file that was there before is still there afterwards under one of
// its names; a step that failed is told, and the result is false.
bool TF_Control::MoveListedFile(const std::string& old, const std::string& renamed) {
    const LeadBytes& lead = win::SystemLeadBytes();
    if (win::LowerAcp(renamed) == win::LowerAcp(old)) {
        // Only the letter case differs: the same file, which a plain move onto an existing name would refuse.
        // It goes through a temporary name of its own, and back when the second step fails.
        const std::string between = old + ".~case";
        if (!MoveFileA(old.c_str(), between.c_str())) {
            win::ShowMessageDialog(kChangeFailed);
            return false;
        }
        if (!MoveFileA(between.c_str(), renamed.c_str())) {
            PutBackAndTell(between, old, lead);
            return false;
        }
        return true;
    }
    switch (ProbeTarget(renamed)) {
        case Target::Taken: {
            if (!Ask(L"同名ﾌｧｲﾙが存在します。上書きしますか？"))
                return false;
            const std::string parked = ParkedName(renamed);
            if (!MoveFileA(renamed.c_str(), parked.c_str())) {
                win::ShowMessageDialog(kChangeFailed);
                return false;
            }
            if (!MoveFileA(old.c_str(), renamed.c_str())) {
                PutBackAndTell(parked, renamed, lead);
                return false;
            }
            if (!DeleteFileA(parked.c_str()))
                win::ShowMessageDialog(L"上書きしたファイルは " + win::AcpToWide(parked) + L" に残っています。");
            return true;
        }
        case Target::Free:
            if (MoveFileA(old.c_str(), renamed.c_str()))
                return true;
            break;
        case Target::Unusable:
            break;
    }
    win::ShowMessageDialog(kChangeFailed);
    return false;
}

// "ファイル名変更": the selected entry's file gets the typed name in its folder; the entry, the shown picture and
// the wallpaper follow it.
void TF_Control::Rename1Click() {
    DropTopmost();
    const std::optional<Entry> entry = SelectedEntry();
    if (!entry)
        return;
    const std::string& old = entry->path;
    if (!win::FileExists(old)) {
        win::ShowMessageDialog(L"このファイルは存在しません。");
        return;
    }
    const LeadBytes& lead = win::SystemLeadBytes();
    PromptText = FileNamePart(old, lead);
    PromptMode = "ren";
    ShowNamePrompt();
    PromptMode.clear();
    if (PromptText.empty())
        return;
    const std::string renamed = FolderPart(old, lead) + PromptText;
    PromptText.clear();
    if (renamed == old || !MoveListedFile(old, renamed))
        return;  // the name as it was changes nothing; a failed move was told

    list_.Replace(entry->index, renamed);
    ShowReplaced(entry->index);
    if (old == CurrentPicture) {
        CurrentPicture = renamed;
        ApplyCaption();
    }
    // The list file follows the file before the wallpaper does: a wallpaper that cannot be set again (a file our
    // reader does not take) is reported, and must not leave the list naming a file that is gone. A list file that
    // cannot be saved must not keep the wallpaper from following either: that error is reported after it.
    std::exception_ptr saveError;
    try {
        SaveActiveList();
    } catch (...) {
        saveError = std::current_exception();
    }
    form().Get<win::ListBoxView>(form2::kListBox1).SetItemIndex(entry->index);
    if (win::LowerAcp(old) == ReadDesktopWallpaper()) {
        try {
            SetDesktopWallpaper(renamed);
            win::ShowMessageDialog(L"壁紙に使用中のファイルなので\r\n壁紙登録ファイル名も変更しました。");
        } catch (const win::AppError& error) {
            if (!saveError)
                throw;
            Report(hwnd(), error);  // both are told, the list file's last
        }
    }
    if (saveError)
        std::rethrow_exception(saveError);
}

}  // namespace velmo::app
