// What a screen reader hears in the control window, read through the system's accessibility proxies: every edit
// and the drop-down list by the label before it, every button and check box by its caption.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>

#include "Desktop.h"
#include "app/Globals.h"
#include "app/Unit2.h"

namespace velmo::app {
namespace {

std::wstring AccessibleName(HWND hwnd) {
    IAccessible* accessible = nullptr;
    // __uuidof: the static library's IID_IAccessible symbol resolves to an import thunk, not to the GUID.
    if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))) ||
        !accessible)
        return L"<no object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = accessible->get_accName(self, &name);
    std::wstring text = SUCCEEDED(result) && name ? std::wstring(name) : L"<no name>";
    SysFreeString(name);
    accessible->Release();
    return text;
}

TEST(Accessibility, TheControlWindowIsHeardControlByControl) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    OpenControlWindow();
    ASSERT_NE(F_Control, nullptr);
    const win::Form& form = F_Control->form();

    struct Named {
        int label, control;
        const wchar_t* name;
    };
    // Wine's proxy names a drop-down list by its shown item; Windows' by the label before it.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    for (const Named& n : {Named{form2::kLabel1, form2::kL_StartPositionEdit, L"Start"},
                           Named{form2::kLabel2, form2::kL_LengthEdit, L"Length"},
                           Named{form2::kLabel8, form2::kL_AdjComboBox, L"Adjust"}}) {
        const bool byLabel = !wine || n.control != form2::kL_AdjComboBox;
        EXPECT_EQ(AccessibleName(form.Control(n.control)),
                  byLabel ? n.name : e2e::WindowText(form.Control(n.control)));
        // The label lies directly above its control, and does not reach into it.
        EXPECT_EQ(GetWindow(form.Control(n.control), GW_HWNDPREV), form.Control(n.label)) << n.name;
        RECT label{}, control{}, overlap{};
        GetWindowRect(form.Control(n.label), &label);
        GetWindowRect(form.Control(n.control), &control);
        EXPECT_FALSE(IntersectRect(&overlap, &label, &control)) << n.name;
    }

    int buttons = 0;
    for (HWND child : e2e::ChildWindows(F_Control->hwnd())) {
        if (e2e::ClassName(child) != L"Button")
            continue;
        ++buttons;
        EXPECT_EQ(AccessibleName(child), e2e::WindowText(child));
    }
    EXPECT_EQ(buttons, 21);  // 15 speed buttons, the radio group's frame and four buttons, the check box

    // Decorations still lie under the controls that overlap them: the bevel under the buttons inside it.
    HWND bevel = form.Control(form2::kBevel1);
    EXPECT_EQ(GetWindow(bevel, GW_HWNDNEXT), nullptr) << "the bevel is not at the bottom";

    F_Control->Destroy();
    CoUninitialize();
}

}  // namespace
}  // namespace velmo::app
