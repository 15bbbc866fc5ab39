// U_Splash: the splash window TF_Splash, shown at start-up with the product label.
#include "app/U_Splash.h"

#include <algorithm>

#include "app/Globals.h"
#include "app/U_SplashForm.h"

namespace velmo::app {

namespace {

constexpr UINT kReleaseMessage = WM_APP + 1;

win::UniqueFont MakeFont(const wchar_t* face, int height) {
    LOGFONTW font{};
    font.lfHeight = -height;  // character height, without internal leading
    font.lfWeight = FW_BOLD;
    font.lfItalic = TRUE;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return win::UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

void TF_Splash::Create(HWND owner) {
    const int width = splash::kClientSize.width;
    const int height = splash::kClientSize.height;
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    Window::Create({splash::kClassName, 0, nullptr},
                   {splash::kCaption, WS_POPUP | WS_CLIPCHILDREN, 0, {left, top, width, height}, owner, 0});

    Panel1.Create(hwnd(), splash::kPanel1Desc);
    Panel1.SetColor(splash::kPanelColor);
    Panel1.SetBevel(splash::kBevelWidth);
    panelBrush_.reset(CreateSolidBrush(splash::kPanelColor));
    Panel1.onControlColor = [this](HDC hdc, HWND control) -> HBRUSH {
        SetTextColor(hdc, control == Label1 ? splash::kLabel1Color : splash::kLabel2Color);
        SetBkColor(hdc, splash::kPanelColor);
        return panelBrush_.get();
    };

    font1_ = MakeFont(splash::kLabel1Font, splash::kLabel1Height);
    font2_ = MakeFont(splash::kLabel2Font, splash::kLabel2Height);
    auto label = [&](const win::ControlDesc& control, HFONT font) {
        HWND hwnd = win::CreateControl(L"STATIC", {control.text, WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, control.bounds,
                                                   Panel1.hwnd(), static_cast<UINT>(control.id)});
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return hwnd;
    };
    Label1 = label(splash::kLabel1Desc, font1_.get());
    Label2 = label(splash::kLabel2Desc, font2_.get());

    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(hwnd());
}

void TF_Splash::Release() {
    if (Exists())
        PostMessageW(hwnd(), kReleaseMessage, 0, 0);
}

void TF_Splash::FormDestroy() {
    SplashWindowOpen = false;
}

LRESULT TF_Splash::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kReleaseMessage:
            DestroyWindow(hwnd());
            return 0;
        case WM_DESTROY:
            FormDestroy();
            return 0;
    }
    return Default(msg, wp, lp);
}

void PostSplashRelease() {
    if (SplashWindowOpen && F_Splash)
        F_Splash->Release();
}

}  // namespace velmo::app
