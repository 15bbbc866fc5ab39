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

TEST(Handles, ScreenDcIsReleasedToTheSameWindow) {
    HDC raw = nullptr;
    {
        WindowDc screen(nullptr);
        ASSERT_TRUE(screen);
        raw = screen.get();
        EXPECT_GT(GetDeviceCaps(raw, HORZRES), 0);
    }
    // A released common DC answers no more calls for its window.
    WindowDc again(nullptr);
    EXPECT_TRUE(again);
    (void)raw;
}

}  // namespace
}  // namespace velmo::win
