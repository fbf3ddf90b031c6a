#include "form1_controls.h"

#include "encoding_windows.h"
#include "form1_layout.h"

#include <commctrl.h>

namespace win32ui {
namespace {

// Ids clear of IDOK and IDCANCEL, which the dialog keys send for Enter and
// Escape: neither may ever be taken for the exit button.
constexpr int kFirstControlId = 100;

struct Kind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

// WS_CLIPSIBLINGS throughout: List1 and Text1 overlap labels, and each
// control must paint only where it is on top.
Kind kindOf(app::ControlKind kind) {
    constexpr DWORD base = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
    case app::ControlKind::Label:
        // No word wrap: a caption too long is clipped, never folded.
        return {L"STATIC", base | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case app::ControlKind::ListBox:
        return {L"LISTBOX",
                base | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    case app::ControlKind::CommandButton:
        // A plain push button: only a click or Space presses it.
        return {L"BUTTON", base | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case app::ControlKind::TextBox:
        return {L"EDIT", base | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case app::ControlKind::CheckBox:
        return {L"BUTTON", base | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    }
    return {L"STATIC", base, 0};
}

// The dialog keys press a focused push button on Enter, on Windows and Wine
// alike. Asking for Enter itself takes it away from them, and a button
// does nothing with it: leaving is always deliberate (a click or Space).
LRESULT CALLBACK keepEnterFromButton(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const LRESULT code = ::DefSubclassProc(button, message, wParam, lParam);
        if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_RETURN)
            return code | DLGC_WANTMESSAGE;
        return code;
    }
    return ::DefSubclassProc(button, message, wParam, lParam);
}

HWND* slotFor(Form1Controls& controls, std::string_view name) {
    for (auto [slotName, slot] : {std::pair{"Label1", &controls.Label1}, {"Label2", &controls.Label2},
                                  {"Label3", &controls.Label3}, {"Label4", &controls.Label4},
                                  {"Label5", &controls.Label5}, {"List1", &controls.List1},
                                  {"Command1", &controls.Command1}, {"Text1", &controls.Text1},
                                  {"Check1", &controls.Check1}}) {
        if (name == slotName)
            return slot;
    }
    return nullptr;
}

} // namespace

HWND Form1Controls::byName(std::string_view name) const {
    HWND* slot = slotFor(const_cast<Form1Controls&>(*this), name);
    return slot ? *slot : nullptr;
}

Form1Controls createForm1Controls(HWND form) {
    const HINSTANCE instance = HINSTANCE(::GetWindowLongPtrW(form, GWLP_HINSTANCE));
    Form1Controls controls;
    int id = kFirstControlId;
    for (const app::ControlLayout& layout : app::kForm1Controls) {
        const Kind kind = kindOf(layout.kind);
        // Each new child goes below the ones before it, so the z-order, and
        // with it the dialog keys' tab order, is the table's order.
        const HWND control = ::CreateWindowExW(kind.exStyle, kind.className, text::toWide(layout.content).c_str(),
                                               kind.style, 0, 0, 0, 0, form,
                                               reinterpret_cast<HMENU>(INT_PTR(id++)), instance, nullptr);
        if (HWND* slot = slotFor(controls, layout.name))
            *slot = control;
        if (layout.kind == app::ControlKind::TextBox)
            ::SendMessageW(control, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);  // as long as the user likes
        if (layout.kind == app::ControlKind::CommandButton)
            ::SetWindowSubclass(control, keepEnterFromButton, 0, 0);
    }
    // Then every label goes to the bottom: the list and the text box are
    // drawn over the labels they overlap. Labels take no focus, so the tab
    // order of the rest stays as created.
    for (const app::ControlLayout& layout : app::kForm1Controls) {
        if (layout.kind == app::ControlKind::Label)
            ::SetWindowPos(controls.byName(layout.name), HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return controls;
}

void layOutForm1Controls(const Form1Controls& controls, UINT dpi, const Form1Fonts& fonts) {
    for (const app::ControlLayout& layout : app::kForm1Controls) {
        const HWND control = controls.byName(layout.name);
        if (!control)
            continue;
        const int d = int(dpi);
        ::SetWindowPos(control, nullptr, app::twipsToPixels(layout.left, d), app::twipsToPixels(layout.top, d),
                       app::twipsToPixels(layout.width, d), app::twipsToPixels(layout.height, d),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        const HFONT font = control == controls.Label1 || control == controls.Label3 ? fonts.reading()
                         : control == controls.Text1                                ? fonts.textBox()
                                                                                    : fonts.control();
        ::SendMessageW(control, WM_SETFONT, WPARAM(font), TRUE);
    }
}

} // namespace win32ui
