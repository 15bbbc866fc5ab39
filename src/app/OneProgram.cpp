#include "app/OneProgram.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/SettingsFile.h"
#include "app/Unit1Form.h"
#include "win/Text.h"

namespace velmo::app {

namespace {

// A named file mapping of one 64-bit slot, the main window's handle, named after the settings file.
// Kernel object names take no "\", so the lowercased path goes in as its FNV-1a hash; "Local\" keeps the claim
// to the user's session.
std::wstring ClaimName() {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : win::LowerAcp(SettingsFile())) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Velmo-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

// The running program's main window, when it has told it yet and it is one.
HWND RunningMainWindow(HANDLE mapping) {
    win::UniqueMappedView view(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(uint64_t)));
    if (!view)
        return nullptr;
    const uint64_t value = *static_cast<const volatile uint64_t*>(view.get());
    HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    wchar_t className[32] = L"";
    if (!hwnd || !IsWindow(hwnd) || !GetClassNameW(hwnd, className, 32) ||
        std::wstring(className) != form1::kForm.className)
        return nullptr;
    return hwnd;
}

}  // namespace

UINT ShowStripMessage() {
    static const UINT message = RegisterWindowMessageW(L"Velmo.ShowStrip");
    return message;
}

bool OneProgram::Claim() {
    const std::wstring name = ClaimName();
    SetLastError(ERROR_SUCCESS);
    mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(uint64_t),
                                      name.c_str()));
    const DWORD error = GetLastError();
    if (!mapping_)
        return true;  // without the claim the program still runs, as it would alone
    if (error != ERROR_ALREADY_EXISTS)
        return true;
    // A start that came a moment too early finds no window yet and simply ends.
    if (HWND running = RunningMainWindow(mapping_.get()))
        PostMessageW(running, ShowStripMessage(), 0, 0);
    mapping_.reset();
    return false;
}

void OneProgram::SetMainWindow(HWND main) {
    if (!mapping_)
        return;
    win::UniqueMappedView view(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(uint64_t)));
    if (view)
        *static_cast<volatile uint64_t*>(view.get()) = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(main));
}

}  // namespace velmo::app
