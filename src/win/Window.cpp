#include "win/Window.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>
#include <vector>

namespace velmo::win {

namespace {

// Posted by Release(); private to the program's window classes, which all share Window::Thunk.
constexpr UINT kReleaseMessage = WM_APP + 0x3F00;

void LogError(HWND, const AppError& error) {
    char line[256];
    std::snprintf(line, sizeof(line), "Velmo: unhandled error in %s (code %lu)\n", error.api(),
                  static_cast<unsigned long>(error.code()));
    OutputDebugStringA(line);
}

Window::ErrorReporter g_reporter = &LogError;
bool g_reporting = false;

// Commands running now (see Window::Busy), and the close requests and releases that wait for them to end.
int g_busy = 0;
std::vector<std::pair<HWND, UINT>> g_deferred;  // not owned

// What a message returns when its handler failed. The default action is not taken: after a failed close
// request it would destroy the window, after a failed command it might act anyway.
LRESULT FailedResult(HWND hwnd, UINT msg) {
    switch (msg) {
        case WM_NCCREATE:
            return FALSE;  // the creation fails
        case WM_CREATE:
            return -1;  // the creation fails
        case WM_PAINT:
            // Validate, or the failing paint comes back at once and forever.
            ValidateRect(hwnd, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_QUERYENDSESSION:
            return TRUE;
    }
    return 0;
}

}  // namespace

Window::Busy::Busy() {
    ++g_busy;
}

Window::Busy::~Busy() {
    if (--g_busy > 0)
        return;
    // Every command has returned: what waited for them is posted again, to be handled by the outer loop.
    std::vector<std::pair<HWND, UINT>> deferred;
    deferred.swap(g_deferred);
    for (const auto& [hwnd, msg] : deferred) {
        if (IsWindow(hwnd))
            PostMessageW(hwnd, msg, 0, 0);
    }
}

void Window::SetErrorReporter(ErrorReporter reporter) {
    g_reporter = reporter ? reporter : &LogError;
}

void Window::Report(HWND hwnd, const AppError& error) {
    if (g_reporting) {
        LogError(hwnd, error);
        return;
    }
    g_reporting = true;
    try {
        g_reporter(hwnd, error);
    } catch (...) {
    }
    g_reporting = false;
}

Window::~Window() {
    DestroyDetached();
}

void Window::DestroyDetached() {
    if (hwnd_ && IsWindow(hwnd_)) {
        HWND hwnd = hwnd_;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
    hwnd_ = nullptr;
}

void Window::Destroy() {
    if (Exists())
        DestroyWindow(hwnd_);
}

void Window::Release() {
    if (Exists() && !releasePosted_)
        releasePosted_ = PostMessageW(hwnd_, kReleaseMessage, 0, 0) != FALSE;
}

Window* Window::FromHandle(HWND hwnd) {
    if (!hwnd || reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &Window::Thunk)
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void EnsureWindowClass(const WindowClass& windowClass, WNDPROC proc) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    if (GetClassInfoExW(instance, windowClass.name, &info))
        return;
    info.style = windowClass.style;
    info.lpfnWndProc = proc;
    info.hInstance = instance;
    info.hCursor = windowClass.cursor ? windowClass.cursor : LoadCursorW(nullptr, IDC_ARROW);
    info.hbrBackground = windowClass.background;
    info.lpszClassName = windowClass.name;
    info.hIcon = LoadIconW(instance, L"MAINICON");
    if (!RegisterClassExW(&info))
        throw AppError(L"", "RegisterClassExW", GetLastError());
}

HWND CreateWindowFrom(const wchar_t* className, const CreateArgs& args, void* param) {
    // For a child window the menu argument is its id.
    HMENU menuOrId = (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)) : nullptr;
    return CreateWindowExW(args.exStyle, className, args.text, args.style, args.bounds.left, args.bounds.top,
                           args.bounds.width, args.bounds.height, args.parent, menuOrId, GetModuleHandleW(nullptr),
                           param);
}

Size ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Point CentredOnScreen(Size size) {
    const Size screen = ScreenSize();
    return {std::max(0, (screen.width - size.width) / 2), std::max(0, (screen.height - size.height) / 2)};
}

void Window::Create(const WindowClass& windowClass, const CreateArgs& args) {
    EnsureWindowClass(windowClass, &Window::Thunk);
    if (!CreateWindowFrom(windowClass.name, args, this))
        throw AppError(L"", "CreateWindowExW", GetLastError());
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return Default(msg, wp, lp);
}

// lpCreateParams first arrives with WM_NCCREATE; from then on the object is found through GWLP_USERDATA.
// WM_NCDESTROY is the last message a window gets, so the link is cut there.
LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);

    // A release or close request that a nested loop delivers while a command runs waits for the command.
    if (g_busy > 0 && (msg == kReleaseMessage || (msg == WM_CLOSE && self->DefersClose()))) {
        const std::pair<HWND, UINT> request{hwnd, msg};
        if (std::find(g_deferred.begin(), g_deferred.end(), request) == g_deferred.end())
            g_deferred.push_back(request);
        return 0;
    }

    LRESULT result = 0;
    {
        const Busy busy;  // ends after the error report too, which runs a loop of its own
        // No exception may cross into user32: an escaped error goes to the program's error report.
        try {
            if (msg == kReleaseMessage) {
                DestroyWindow(hwnd);
                return 0;
            }
            result = self->OnMessage(msg, wp, lp);
        } catch (const AppError& error) {
            result = FailedResult(hwnd, msg);
            Report(hwnd, error);
        } catch (const std::exception& error) {
            result = FailedResult(hwnd, msg);
            Report(hwnd, AppError(L"", error.what(), 0));
        } catch (...) {
            result = FailedResult(hwnd, msg);
            Report(hwnd, AppError(L"", "unknown", 0));
        }
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        if (self->deleteWithWindow_)
            delete self;
    }
    return result;
}

HWND CreateControl(const wchar_t* className, const CreateArgs& args) {
    CreateArgs child = args;
    child.style |= WS_CHILD;
    HWND hwnd = CreateWindowFrom(className, child);
    if (!hwnd)
        throw AppError(L"", "CreateWindowExW", GetLastError());
    return hwnd;
}

bool HandleDialogKeys(MSG& msg) {
    if (!msg.hwnd || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    Window* window = Window::FromHandle(root);
    return window && window->WantsDialogKeys() && IsDialogMessageW(root, &msg);
}

}  // namespace velmo::win
