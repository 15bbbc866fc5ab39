// The handle owners and guards against real GDI objects.
#include "win/Handles.h"

#include <gtest/gtest.h>

namespace velmo::win {
namespace {

TEST(Handles, OwnersMoveAndCloseOnce) {
    UniqueBrush a(CreateSolidBrush(RGB(1, 2, 3)));
    HBRUSH raw = a.get();
    ASSERT_TRUE(a);
    UniqueBrush b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), raw);
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
    b.reset();
    EXPECT_EQ(GetObjectType(raw), 0u);  // deleted

    UniqueFile none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);

    UniqueBitmap bitmap(CreateBitmap(4, 4, 1, 32, nullptr));
    HBITMAP released = bitmap.release();
    EXPECT_FALSE(bitmap);
    EXPECT_EQ(GetObjectType(released), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(released);

    // Owners and guards that clean up after a failed call leave its error for the caller to read.
    {
        UniqueFile file(CreateFileA("NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        WindowDc screen(nullptr);
        UniqueDc memory(CreateCompatibleDC(screen.get()));
        SelectGuard select(memory.get(), GetStockObject(BLACK_BRUSH));
        SetLastError(ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(Handles, GuardsRestoreWhatWasSelected) {
    UniqueDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ originalBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    HGDIOBJ originalPalette = GetCurrentObject(dc.get(), OBJ_PAL);

    UniqueBitmap bitmap(CreateCompatibleBitmap(dc.get(), 8, 8));
    struct {
        WORD version, count;
        PALETTEENTRY entries[2];
    } logical{0x300, 2, {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    UniquePalette palette(CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical)));
    {
        SelectGuard select(dc.get(), bitmap.get());
        PaletteGuard pal(dc.get(), palette.get());
        EXPECT_TRUE(pal);
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PAL), palette.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), originalBitmap);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PAL), originalPalette);

    // Once deselected the objects can be deleted.
    HBITMAP rawBitmap = bitmap.get();
    bitmap.reset();
    palette.reset();
    EXPECT_EQ(GetObjectType(rawBitmap), 0u);
}

TEST(Handles, WindowDcIsLentForItsWindowAndGivenBack) {
    // A hidden popup of a class without CS_OWNDC or CS_CLASSDC: GetDC lends it a DC of the common cache,
    // which can be given back only once.
    WNDCLASSW info{};
    info.lpfnWndProc = DefWindowProcW;
    info.hInstance = GetModuleHandleW(nullptr);
    info.lpszClassName = L"VelmoHandlesTest";
    ASSERT_TRUE(RegisterClassW(&info) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    UniqueHwnd window(CreateWindowExW(0, info.lpszClassName, L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                      info.hInstance, nullptr));
    ASSERT_TRUE(window);

    HDC raw = nullptr;
    {
        WindowDc dc(window.get());
        ASSERT_TRUE(dc);
        raw = dc.get();
        EXPECT_EQ(WindowFromDC(raw), window.get());
    }
    // The guard gave it back: a second release finds nothing lent.
    EXPECT_EQ(ReleaseDC(window.get(), raw), 0);
}

}  // namespace
}  // namespace velmo::win
