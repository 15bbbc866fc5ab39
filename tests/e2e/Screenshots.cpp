// Not a test: takes the README's pictures of every window by driving a real Velmo.exe as the tests do.
//   velmo_e2e_screenshots OUT_FOLDER SAMPLE.bmp [PHOTO]
// Writes strip, revealed, control-window, about-panel, message, name-prompt, captured and error-report as BMP
// files into OUT_FOLDER (the script that runs it turns them into PNG); with PHOTO (a JPEG larger than the
// screen) also revealed-photo, the photo fitted to the screen.
#include <cstdio>
#include <optional>

#include "E2eTest.h"
#include "core/Bmp.h"

namespace velmo::e2e {
namespace {

std::string g_out;

// Saves the screen area `box` as OUT_FOLDER\name.bmp, written by our own BMP writer; nothing when there is no
// box (the window to be saved has gone).
bool Save(const char* name, const std::optional<Box>& found) {
    if (!found) {
        std::fprintf(stderr, "%s: the window has gone\n", name);
        return false;
    }
    const Box& box = *found;
    const ScreenShot shot;
    bmp::Layout layout;
    layout.width = box.width;
    layout.height = box.height;
    layout.topDown = true;
    layout.bitsPerPixel = 24;
    layout.stride = bmp::RowBytes(box.width, 24);
    std::vector<uint8_t> pixels(layout.stride * static_cast<size_t>(box.height));
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) {
            const COLORREF c = shot.At(box.left + x, box.top + y);
            uint8_t* p = pixels.data() + layout.stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 3;
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    }
    const std::vector<uint8_t> file = bmp::Encode(layout, pixels.data());
    WriteFileBytes(g_out + "\\" + name + ".bmp", std::string(file.begin(), file.end()));
    std::printf("%s\n", name);
    return true;
}

HWND WaitForWindow(const VelmoProcess& velmo, const wchar_t* className) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindTopLevel(velmo.pid(), className)) != nullptr; });
    if (window) {
        Settle(window);
        Sleep(300);  // painted
    }
    return window;
}

int Take(const std::string& sample) {
    ProgramFolder folder;
    const std::string picture = folder.File("sea.bmp");
    WriteFileBytes(picture, ReadFileBytes(sample));
    folder.WriteSettings({"Photo_1=" + picture});
    WriteFileBytes(folder.File("P_List1.dat"),
                   picture + "\r\nC:\\\x83\x5C\\\x95\x5C.bmp\r\nC:\\pics\\a&b.bmp\r\n");
    VelmoProcess velmo(folder);
    if (!Started(velmo))
        return 1;
    Save("strip", Box{0, 0, 512, 24});
    if (!Revealed(velmo))
        return 1;
    Sleep(300);
    Save("revealed", Box{0, 0, kScreenWidth, kScreenHeight});

    HWND control = OpenControlWindow(velmo, kOnRevealedWindow);
    if (!control)
        return 1;
    HWND list = FindChild(control, L"ListBox", L"");
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    Sleep(300);
    Save("control-window", TryWindowBox(control));
    ClickButton(control, L"ver");
    Sleep(400);
    Save("about-panel", TryWindowBox(control));
    ClickButton(control, L"ver");

    // "velmo bmp" on an entry whose file is not there: the program's message dialog.
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    ClickButton(control, L"velmo bmp");
    if (HWND message = WaitForWindow(velmo, L"VelmoMessage")) {
        Save("message", TryWindowBox(message));
        PressKey(VK_RETURN);
        WaitUntil([&] { return !IsWindow(message); });
    }

    // The capture: its name prompt, then the file it writes.
    ClickButton(control, L"capture");
    if (HWND prompt = WaitForWindow(velmo, L"TF_CapInfo")) {
        Save("name-prompt", TryWindowBox(prompt));
        ClickButton(prompt, L"OK");
        WaitUntil([&] { return ReadFileBytes(folder.File("Capture0.bmp")).size() > 54; });
        Sleep(500);
        WriteFileBytes(g_out + "\\captured.bmp", ReadFileBytes(folder.File("Capture0.bmp")));
        std::printf("captured\n");
    }

    // The error report: the settings file cannot be written (a folder stands in its place).
    control = WaitForWindow(velmo, L"TF_Control");
    DeleteFileA(folder.ini().c_str());
    CreateDirectoryA(folder.ini().c_str(), nullptr);
    ClickButton(control, L"close");
    if (HWND report = WaitForWindow(velmo, L"#32770")) {
        Save("error-report", TryWindowBox(report));
        PressKey(VK_RETURN);
    }
    RemoveDirectoryA(folder.ini().c_str());
    velmo.Close();
    return 0;
}

// A photo as a person has it, revealed: shrunk to fit the screen and turned the right way up.
int TakePhoto(const std::string& photo) {
    ProgramFolder folder;
    const std::string picture = folder.File("photo.jpg");
    // Stored sideways, as a camera held upright stores it: the tag says to turn it a quarter clockwise.
    WriteFileBytes(picture, JpegWithOrientation(ReadFileBytes(photo), 6));
    folder.WriteSettings({"Photo_1=" + picture});
    VelmoProcess velmo(folder);
    if (!StartedAndRevealed(velmo))
        return 1;
    Sleep(300);
    Save("revealed-photo", Box{0, 0, kScreenWidth, kScreenHeight});
    velmo.Close();
    return 0;
}

}  // namespace
}  // namespace velmo::e2e

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: velmo_e2e_screenshots OUT_FOLDER SAMPLE.bmp [PHOTO]\n");
        return 2;
    }
    velmo::e2e::g_out = argv[1];
    velmo::e2e::ParkPointer();
    const int result = velmo::e2e::Take(argv[2]);
    return result != 0 || argc == 3 ? result : velmo::e2e::TakePhoto(argv[3]);
}
