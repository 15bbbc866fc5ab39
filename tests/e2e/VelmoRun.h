// One run of Velmo.exe in a program folder of its own: the folder with its settings file and pictures, the
// process, and its main window.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Desktop.h"

namespace velmo::e2e {

// The Velmo.exe that the build produced, as a Windows path.
std::string BuiltVelmoPath();

// A fresh, uniquely named folder under the temporary folder, deleted with everything in it at the end.
class TempFolder {
public:
    // `suffix` (system-code-page bytes) ends the folder's name.
    explicit TempFolder(const std::string& suffix = "");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // without a trailing backslash
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool RemoveTree(const std::string& path);

// Every file below `folder` with its bytes, and every sub-folder with a trailing backslash (and no bytes); names
// relative to `folder`, as they are on disk.
using Files = std::map<std::string, std::string>;
Files ReadTree(const std::string& folder);

// A 24-bit bottom-up BMP file whose pixel (x, y), counted from the top-left, has the colour color(x, y).
void WriteBmp(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& color);

// A picture file written by the system's encoder: a JPEG (its colours approximate; `orientation` 2 to 8 puts an Exif
// orientation tag into it, which says how the stored pixels are to be turned for showing) or a PNG (exact, with
// its alpha). argb(x, y) gives the stored pixel (x, y) as 0xAARRGGBB. False when it could not be written.
enum class Encoded { Jpeg, Png };
bool WriteEncoded(const std::string& path,
                  Encoded format,
                  int width,
                  int height,
                  const std::function<uint32_t(int, int)>& argb,
                  int orientation = 1);

// A JPEG file's bytes with an Exif block that holds only `orientation` put in front (none for 1).
std::string JpegWithOrientation(std::string jpeg, int orientation);

// A colour that tells where in a picture a pixel came from: red the low byte of x, green the low byte of y,
// blue the high bits of both (plus `tag` in bit 7, so two pictures of one size differ everywhere).
COLORREF PositionColor(int x, int y, bool tag = false);

// A program folder with a copy of Velmo.exe; the settings file is Velmo.ini beside it.
class ProgramFolder {
public:
    // `suffix` ends the folder's name: a folder whose path holds double-byte characters, for example.
    explicit ProgramFolder(const std::string& suffix = "");
    const TempFolder& folder() const { return folder_; }
    std::string File(const std::string& name) const { return folder_.File(name); }
    const std::string& exe() const { return exe_; }
    std::string ini() const { return File("Velmo.ini"); }

    // Writes Velmo.ini with the given lines under a [Velmo] header.
    void WriteSettings(const std::vector<std::string>& lines) const;
    // The value of a key in [Velmo], or "<missing>".
    std::string Setting(const std::string& key) const;

private:
    TempFolder folder_;
    std::string exe_;
};

// A started Velmo.exe; killed at the end if it is still running.
class VelmoProcess {
public:
    explicit VelmoProcess(const ProgramFolder& folder);
    ~VelmoProcess();
    VelmoProcess(const VelmoProcess&) = delete;
    VelmoProcess& operator=(const VelmoProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }
    std::chrono::steady_clock::time_point startTime() const { return startTime_; }

    // Waits for the visible main window (class TForm1) of this process; null on timeout.
    HWND WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    HWND mainWindow() const { return main_; }
    Box box() const { return WindowBox(main_); }
    bool running() const;

    // Asks the main window to close, as the system would.
    void RequestClose() const;
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    long WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // RequestClose plus WaitForExit.
    long Close();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    std::chrono::steady_clock::time_point startTime_;
};

}  // namespace velmo::e2e
