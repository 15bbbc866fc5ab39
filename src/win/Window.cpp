#include "win/Window.h"

#include <cstdio>
#include <exception>

namespace velmo::win {

namespace {

void LogError(HWND, const AppError& error) {
    char line[256];
    std::snprintf(line, sizeof(line), "Velmo: unhandled error in %s (code %lu)\n", error.api(),
                  static_cast<unsigned long>(error.code()));
    OutputDebugStringA(line);
}

Window::ErrorReporter g_reporter = &LogError;

}  // namespace

void Window::SetErrorReporter(ErrorReporter reporter) {
    g_reporter = reporter ? reporter : &LogError;
}

void Window::Report(HWND hwnd, const AppError& error) {
    g_reporter(hwnd, error);
}

Window::~Window() {
    if (hwnd_ && IsWindow(hwnd_)) {
        HWND hwnd = hwnd_;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
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

void Window::Create(const WindowClass& windowClass, const CreateArgs& args) {
    EnsureWindowClass(windowClass, &Window::Thunk);
    HWND hwnd = CreateWindowExW(args.exStyle, windowClass.name, args.text, args.style, args.bounds.left,
                                args.bounds.top, args.bounds.width, args.bounds.height, args.parent,
                                (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id))
                                                        : nullptr,
                                GetModuleHandleW(nullptr), this);
    if (!hwnd)
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

    LRESULT result = 0;
    // No exception may cross into user32: an escaped error goes to the program's error report.
    try {
        result = self->OnMessage(msg, wp, lp);
    } catch (const AppError& error) {
        Report(hwnd, error);
        result = DefWindowProcW(hwnd, msg, wp, lp);
    } catch (const std::exception& error) {
        Report(hwnd, AppError(L"", error.what(), 0));
        result = DefWindowProcW(hwnd, msg, wp, lp);
    } catch (...) {
        Report(hwnd, AppError(L"", "unknown", 0));
        result = DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

HWND CreateControl(const wchar_t* className, const CreateArgs& args) {
    HWND hwnd = CreateWindowExW(args.exStyle, className, args.text, args.style | WS_CHILD, args.bounds.left,
                                args.bounds.top, args.bounds.width, args.bounds.height, args.parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd)
        throw AppError(L"", "CreateWindowExW", GetLastError());
    return hwnd;
}

}  // namespace velmo::win
