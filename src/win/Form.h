// The form builder: creates a window's controls from its table, answers what the table decides (fonts, colours,
// speed-button drawing, item heights), applies the docks, and routes notifications to handlers bound by id.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/FormDesc.h"
#include "win/Controls.h"
#include "win/Handles.h"
#include "win/Views.h"
#include "win/Window.h"

namespace velmo::win {

class Form {
public:
    explicit Form(const FormDesc& desc) : desc_(desc) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormDesc& desc() const { return desc_; }

    // Makes the fonts and creates every control of the table inside `window`, in table order, which is also
    // the tab order; then applies the docks. Throws AppError when a control cannot be created.
    void Build(HWND window);

    HWND Control(int id) const;  // not owned; null for an id the table does not have
    template <typename View>
    View Get(int id) const {
        return View(Control(id));
    }
    // The objects behind the controls of our own classes; throws std::logic_error for another kind.
    Panel& PanelOf(int id);
    Picture& PictureOf(int id);

    // Font `index` of the table, or its bold form.
    HFONT Font(int index, bool bold = false) const;

    // Moves every docked control to the place that its parent's current client area gives it.
    void ApplyDocks();

    // The bold mark of a speed button: its caption is drawn bold, the rest of its font kept.
    void SetBold(int id, bool bold);
    bool IsBold(int id) const;

    // Answers WM_CTLCOLOR* from the table's colours, WM_DRAWITEM for speed buttons and WM_MEASUREITEM from the
    // item heights. Returns false for a message that the table leaves to someone else.
    bool Answer(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // The table row of a control window, or of the nearest table control that contains it; null for none.
    const ControlDesc* RowOf(HWND hwnd) const;

private:
    struct Entry {
        HWND hwnd = nullptr;              // not owned: destroyed with the window
        std::unique_ptr<Window> object;   // Panel, Picture or RadioGroup
        bool bold = false;
    };
    void Create(const ControlDesc& control, HWND parent, Entry& entry);
    void StackDecorationsBelow();
    COLORREF BackgroundOf(int index) const;
    HBRUSH BrushFor(COLORREF color);
    void DrawSpeedButton(const DRAWITEMSTRUCT& draw, int index);

    const FormDesc& desc_;
    HWND window_ = nullptr;  // not owned
    std::vector<UniqueFont> fonts_;
    mutable std::vector<UniqueFont> boldFonts_;  // made on first use
    std::vector<Entry> entries_;
    std::vector<std::pair<COLORREF, UniqueBrush>> brushes_;
};

// A pop-up menu with the visible items of a menu table, in order. Throws AppError when it cannot be made.
UniqueMenu BuildPopupMenu(const MenuItemDesc* items, size_t count);
template <size_t N>
UniqueMenu BuildPopupMenu(const MenuItemDesc (&items)[N]) {
    return BuildPopupMenu(items, N);
}

// Shows a pop-up menu for a WM_CONTEXTMENU of `owner` and returns the id of the chosen item, or 0. The menu opens
// at the screen point of the message's lParam, or at the top-left corner of `from` (the window the message names)
// when the keyboard asked for it.
int TrackContextMenu(HMENU menu, HWND owner, HWND from, LPARAM at);

// Whether a font face is installed; and the face itself when `installed` says so, otherwise the nearest Japanese
// face of the same kind that is (the designs use the serif Mincho faces and the sans-serif Gothic ones,
// proportional or not), otherwise the face itself, for the font mapper to replace.
bool FaceInstalled(const wchar_t* face);
const wchar_t* NearestFace(const wchar_t* face, const std::function<bool(const wchar_t*)>& installed);

// What a handler is bound to.
enum class Event {
    Click,          // buttons, check boxes, radio groups
    Change,         // an edit's text, a drop-down list's selection by the user
    DblClick,       // list boxes, pictures
    SelChange,      // list boxes
    MouseMove,      // panels
    SectionResize,  // headers
};

// A top-level window built from a form table. Its handlers are bound by control id; Enter and Escape (IDOK,
// IDCANCEL) reach no handler, since control ids start at 100.
class FormWindow : public Window {
public:
    explicit FormWindow(const FormDesc& desc) : form_(desc) {}
    // The window goes before the form's fonts and brushes.
    ~FormWindow() override { DestroyDetached(); }

    Form& form() { return form_; }
    const Form& form() const { return form_; }

    // One handler per control and event; binding again replaces it.
    void Bind(int id, Event event, std::function<void()> handler);
    void BindDrawItem(int id, std::function<void(const DRAWITEMSTRUCT&)> handler);

    // The close sequence, as a close request (WM_CLOSE) runs it: FormCloseQuery, then FormClose when it allowed
    // the close. An error of either goes to the caller, and the window stays.
    void Close();

protected:
    // The window's own events, dispatched here once: a unit overrides only those it handles. Each does nothing
    // by default, and a close request is allowed.
    virtual void FormActivate() {}       // the window became the active one (WM_ACTIVATE)
    virtual bool FormCloseQuery() { return true; }
    virtual void FormClose() { Destroy(); }  // after an allowed close request; by default the window goes now
    virtual void FormDestroy() {}        // the window is being destroyed (WM_DESTROY)

    // Creates the window (class and caption from the table, the size from its client size and `style`) at
    // (left, top), then its controls.
    void CreateForm(DWORD style, DWORD exStyle, Point position, HWND owner, UINT classStyle = 0);
    // The same, centred on the screen (never above or left of its top-left corner).
    void CreateFormCentred(DWORD style, DWORD exStyle, HWND owner);
    // Routes notifications to the bound handlers and lets the form answer; the rest goes to the default.
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct Binding {
        int id;
        Event event;
        std::function<void()> handler;
    };
    bool Dispatch(int id, Event event);

    Form form_;
    std::vector<Binding> bindings_;
    std::vector<std::pair<int, std::function<void(const DRAWITEMSTRUCT&)>>> drawers_;
};

}  // namespace velmo::win
