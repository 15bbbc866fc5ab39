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
//
// Lifetime: a window must be gone before its object is, so that every message, WM_DESTROY included, reaches
// the complete object and the handles the object owns (fonts, brushes) outlive the window. Two ways hold that:
// - an object whose owner keeps it (a member, a local) is declared as Owned<T>, which destroys the window
//   first; the base destructor only backs that up, unlinking the object before it destroys a window it finds;
// - a top-level window that closes itself is made with `new` and FreeWithWindow(): its object is deleted right
//   after the window's last message, WM_NCDESTROY. Release() asks for that once the current event is handled.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr && IsWindow(hwnd_); }

    // Destroys the window now (the object stays).
    void Destroy();
    // Destroys the window once the messages already queued have been handled, so that a handler of this
    // window can close it and return safely. More than one request destroys it once.
    void Release();
    // The object is deleted after its window's last message. Only for objects made with `new`.
    void FreeWithWindow() { deleteWithWindow_ = true; }

    // The object of one of the program's windows, or null for any other window.
    static Window* FromHandle(HWND hwnd);
    // Whether the message loops should give this top-level window the dialog keys (Tab, arrows).
    virtual bool WantsDialogKeys() const { return false; }

    // Marks a command of the program as running for its lifetime. Handlers of the program's windows count as
    // running commands by themselves; code that runs a nested message loop outside any handler opens one.
    //
    // While a command runs, the windows it uses must stay: a Release() that comes meanwhile, and a close request
    // (WM_CLOSE) to a window that DefersClose(), are carried out once the last command has returned (they are
    // posted again then). A close request that a nested loop (a dialog, a wait) delivers thus never frees a
    // window under the command that is still using it.
    class Busy {
    public:
        Busy();
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
    };

    // Called for an AppError (or any other exception) that a message handler let escape. The program
    // installs its top-level error report here.
    using ErrorReporter = void (*)(HWND hwnd, const AppError& error);
    static void SetErrorReporter(ErrorReporter reporter);
    // Reports through the installed reporter. An error raised while a report is on the screen (its message
    // loop paints and moves windows, whose handlers may fail again) is logged instead of stacking a second one.
    static void Report(HWND hwnd, const AppError& error);

protected:
    // Registers the class on first use (checked) and creates the window; throws AppError on failure.
    void Create(const WindowClass& windowClass, const CreateArgs& args);
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Whether a WM_CLOSE that comes while a command runs waits for it (see Busy). Dialogs that answer their
    // close box themselves leave it off.
    virtual bool DefersClose() const { return false; }
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }
    // Unlinks the object from its window and destroys the window; no handler of the object runs any more.
    void DestroyDetached();

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    bool deleteWithWindow_ = false;
    bool releasePosted_ = false;
};

// A window object whose window goes first: its destructor destroys the window while the whole object, the
// handlers of T included, is still alive.
template <typename T>
class Owned final : public T {
public:
    using T::T;
    ~Owned() override { this->Destroy(); }
};

// Makes a T that frees itself with its window, stores it in `slot` and runs `create` on it. When `create` fails
// before a window exists nothing would ever free the object, so it is deleted here and `slot` emptied; the error
// goes on. A window that exists keeps its object, which it frees when it goes.
template <typename T, typename Create>
void CreateFreedWithWindow(T*& slot, Create&& create) {
    T* object = new T();
    object->FreeWithWindow();
    slot = object;
    try {
        create(*object);
    } catch (...) {
        if (!object->Exists()) {
            slot = nullptr;
            delete object;
        }
        throw;
    }
}

// Registers a window class once per process; the ATOM is checked.
void EnsureWindowClass(const WindowClass& windowClass, WNDPROC proc);

// CreateWindowExW with `args` (a child window gets `args.id` as its id) and `param` as its creation parameter;
// null on failure, with the thread's last error set. Every window of the program is made here.
HWND CreateWindowFrom(const wchar_t* className, const CreateArgs& args, void* param = nullptr);

// A standard child control ("STATIC", "BUTTON", …); it is destroyed with its parent. Throws on failure.
HWND CreateControl(const wchar_t* className, const CreateArgs& args);

// The primary screen's size, as GetSystemMetrics gives it now.
Size ScreenSize();

// The top-left corner that centres a window of `size` on the screen, never above or left of the screen's own.
Point CentredOnScreen(Size size);

// Gives the dialog keys (Tab, Shift+Tab, arrows) to the top-level window of `msg` when it wants them; true when
// the message was handled that way and must not be dispatched.
bool HandleDialogKeys(MSG& msg);

}  // namespace velmo::win
