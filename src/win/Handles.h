// RAII owners and guards for Win32 handles.
#pragma once

#include <windows.h>

#include <utility>

namespace velmo::win {

// Keeps the thread's last error across a clean-up: an owner or guard that closes or restores something on the way
// out of a failed call must leave that call's error for the code that reads it.
class KeepLastError {
public:
    KeepLastError() : error_(GetLastError()) {}
    ~KeepLastError() { SetLastError(error_); }
    KeepLastError(const KeepLastError&) = delete;
    KeepLastError& operator=(const KeepLastError&) = delete;

private:
    DWORD error_;
};

// Move-only owner of one handle; Traits give the type, the invalid value and how to close it.
template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    Type release() {
        Type handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }

    void reset(Type handle = Traits::Invalid()) {
        Type old = handle_;
        handle_ = handle;
        if (old != Traits::Invalid()) {
            const KeepLastError keep;
            Traits::Close(old);
        }
    }

private:
    Type handle_ = Traits::Invalid();
};

template <typename T>
struct GdiObjectTraits {
    using Type = T;
    static constexpr Type Invalid() { return nullptr; }
    static void Close(Type handle) { DeleteObject(handle); }
};

struct WindowTraits {
    using Type = HWND;
    static constexpr Type Invalid() { return nullptr; }
    static void Close(Type handle) { DestroyWindow(handle); }
};

struct MemoryDcTraits {
    using Type = HDC;
    static constexpr Type Invalid() { return nullptr; }
    static void Close(Type handle) { DeleteDC(handle); }
};

struct FileTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { CloseHandle(handle); }
};

struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { FindClose(handle); }
};

struct MenuTraits {
    using Type = HMENU;
    static constexpr Type Invalid() { return nullptr; }
    static void Close(Type handle) { DestroyMenu(handle); }
};

// A kernel object that CreateXxx gives as null on failure (a file mapping, a mutex).
struct KernelObjectTraits {
    using Type = HANDLE;
    static constexpr Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};

struct MappedViewTraits {
    using Type = void*;
    static constexpr Type Invalid() { return nullptr; }
    static void Close(Type view) { UnmapViewOfFile(view); }
};

using UniqueHwnd = UniqueHandle<WindowTraits>;
using UniqueDc = UniqueHandle<MemoryDcTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePalette = UniqueHandle<GdiObjectTraits<HPALETTE>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueKernelObject = UniqueHandle<KernelObjectTraits>;
using UniqueMappedView = UniqueHandle<MappedViewTraits>;

// A window's (or, with a null HWND, the screen's) DC from GetDC, given back with ReleaseDC on the same HWND.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), hdc_(GetDC(hwnd)) {}
    ~WindowDc() {
        const KeepLastError keep;
        if (hdc_)
            ReleaseDC(hwnd_, hdc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return hdc_; }
    explicit operator bool() const { return hdc_ != nullptr; }

private:
    HWND hwnd_;  // not owned
    HDC hdc_;
};

// BeginPaint/EndPaint; keeps the PAINTSTRUCT that EndPaint needs.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
    ~PaintDc() {
        const KeepLastError keep;
        EndPaint(hwnd_, &ps_);
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return ps_.hdc; }
    const RECT& dirty() const { return ps_.rcPaint; }

private:
    HWND hwnd_;  // not owned
    PAINTSTRUCT ps_{};
};

// Selects a GDI object and puts the previous one back. Declare it after the owner of the object, so it
// deselects first: an object still selected into a DC cannot be deleted.
class SelectGuard {
public:
    SelectGuard(HDC hdc, HGDIOBJ object) : hdc_(hdc), previous_(SelectObject(hdc, object)) {}
    ~SelectGuard() {
        const KeepLastError keep;
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(hdc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC hdc_;           // not owned
    HGDIOBJ previous_;  // not owned
};

// SelectPalette as a foreground palette; the previous palette is restored with SelectPalette, which is the
// only call that may select a palette.
class PaletteGuard {
public:
    PaletteGuard(HDC hdc, HPALETTE palette) : hdc_(hdc), previous_(SelectPalette(hdc, palette, FALSE)) {}
    ~PaletteGuard() {
        const KeepLastError keep;
        if (previous_)
            SelectPalette(hdc_, previous_, FALSE);
    }
    PaletteGuard(const PaletteGuard&) = delete;
    PaletteGuard& operator=(const PaletteGuard&) = delete;

    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC hdc_;             // not owned
    HPALETTE previous_;   // not owned
};

}  // namespace velmo::win
