// A thin base for the program's windows: one object per HWND, messages routed to a virtual OnMessage.
#pragma once

#include <windows.h>

#include "core/Geometry.h"
#include "win/Error.h"

namespace velmo::win {

struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    HBRUSH background = nullptr;  // not owned; nullptr: the window paints its whole background
    HCURSOR cursor = nullptr;     // nullptr: the arrow
};

struct CreateArgs {
    const wchar_t* text = L"";
    DWORD style = 0;
    DWORD exStyle = 0;
    Rect bounds{};
    HWND parent = nullptr;  // the owner for a top-level window
    UINT id = 0;            // for a child window
};

// Neither copyable nor movable: the HWND stores this object's address.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    // Called for an AppError (or any other exception) that a message handler let escape. The program
    // installs its top-level error report here.
    using ErrorReporter = void (*)(HWND hwnd, const AppError& error);
    static void SetErrorReporter(ErrorReporter reporter);
    static void Report(HWND hwnd, const AppError& error);

protected:
    // Registers the class on first use (checked) and creates the window; throws AppError on failure.
    void Create(const WindowClass& windowClass, const CreateArgs& args);
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// Registers a window class once per process; the ATOM is checked.
void EnsureWindowClass(const WindowClass& windowClass, WNDPROC proc);

// A standard child control ("STATIC", "BUTTON", …); it is destroyed with its parent.
HWND CreateControl(const wchar_t* className, const CreateArgs& args);

}  // namespace velmo::win
