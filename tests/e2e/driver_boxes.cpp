// The tool's message boxes: waited for, read, answered, and their absence.
#include "driver.h"

namespace {

// The box's message is the static text with id 0xFFFF; some window systems number
// it otherwise, so fall back to the one static that holds no icon.
HWND boxTextControl(HWND box) {
    if (HWND t = GetDlgItem(box, 0xFFFF)) return t;
    for (HWND c : descendants(box))
        if (className(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return c;
    return nullptr;
}

// The box's message, or a failure where it has none.
std::wstring boxText(HWND box) {
    HWND t = boxTextControl(box);
    if (!t) fail(L"the box has no text control");
    return windowText(t);
}

}  // namespace

std::wstring describeBox(HWND box) {
    HWND t = boxTextControl(box);
    return quoted(windowText(box)) + L" saying " + quoted(t ? windowText(t) : L"?");
}

void Driver::waitBox(const Step& s) {
    needProcess();
    box_ = nullptr;
    if (!pollUntil(s.timeout(), [&] {
            auto boxes = topLevelWindows(pid_, L"#32770");
            if (!boxes.empty()) box_ = boxes.front();
            return box_ != nullptr || WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
        }) || !box_)
        fail(L"no message box of the tool's process appeared within " + num(s.timeout()) + L" ms");
    if (s.has(L"caption")) expectText(L"the box's caption", windowText(box_), s.text(L"caption"));
    if (s.has(L"text")) expectText(L"the box's text", boxText(box_), s.text(L"text"));
    if (s.has(L"has")) {
        const std::wstring text = boxText(box_);
        if (text.find(s.text(L"has")) == std::wstring::npos)
            fail(L"the box's text " + quoted(text) + L" does not contain " + quoted(s.text(L"has")));
    }
    if (s.has(L"lacks")) {
        const std::wstring text = boxText(box_);
        if (text.find(s.text(L"lacks")) != std::wstring::npos)
            fail(L"the box's text " + quoted(text) + L" contains " + quoted(s.text(L"lacks")));
    }
    if (s.has(L"icon")) {
        const std::wstring& want = s.text(L"icon");
        std::wstring got, detail;
        // The box may not have painted yet when it first shows.
        pollUntil(s.timeout(), [&] { detail.clear(); got = iconKind(box_, &detail); return got == want; });
        if (got != want) fail(L"the box's icon looks like " + got + L", expected " + want + L" (distances: " + detail + L")");
    }
    if (s.has(L"fits") && s.flag(L"fits")) {
        RECT r{}, screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, on{};
        GetWindowRect(box_, &r);
        if (!IntersectRect(&on, &r, &screen) || !EqualRect(&on, &r))
            fail(L"the box " + rectText(r) + L" does not fit on the " + num(screen.right) + L"x" + num(screen.bottom) +
                 L" screen");
        HWND ok = GetDlgItem(box_, IDOK);
        RECT b{};
        if (!ok || !GetWindowRect(ok, &b) || !IntersectRect(&on, &b, &screen) || !EqualRect(&on, &b))
            fail(L"the box's OK button is not on the screen");
    }
    if (s.has(L"stays")) {
        HWND t = boxTextControl(box_);
        const std::wstring text = t ? windowText(t) : L"";
        Sleep(DWORD(s.integer(L"stays")));
        if (!IsWindow(box_) || !IsWindowVisible(box_))
            fail(L"the box " + quoted(text) + L" went away within " + s.text(L"stays") + L" ms");
        if (windowText(boxTextControl(box_)) != text) fail(L"the box's text changed while it was up");
    }
}

void Driver::answerBox(const Step& s) {
    if (!box_ || !IsWindow(box_)) fail(L"no message box to answer (use the step 'box' first)");
    const std::wstring name = s.has(L"button") ? s.text(L"button") : L"ok";
    int id = name == L"yes" ? IDYES : name == L"no" ? IDNO : IDOK;
    // What Enter presses: the box's default push button.
    if (name == L"default") {
        id = 0;
        for (int candidate : {IDOK, IDYES, IDNO, IDCANCEL}) {
            HWND b = GetDlgItem(box_, candidate);
            if (b && (GetWindowLongW(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) id = candidate;
        }
        if (!id) fail(L"the box has no default button");
    }
    HWND button = GetDlgItem(box_, id);
    if (!button) fail(L"the box has no " + name + L" button");
    HWND box = box_;
    box_ = nullptr;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
    if (!pollUntil(s.timeout(), [&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        fail(L"the box is still up " + num(s.timeout()) + L" ms after pressing " + name);
}

void Driver::noBox(const Step& s) {
    needProcess();
    DWORD span = DWORD(s.integer(L"for", 1500));
    HWND seen = nullptr;
    pollUntil(span, [&] {
        auto boxes = topLevelWindows(pid_, L"#32770");
        if (!boxes.empty()) seen = boxes.front();
        return seen != nullptr;
    });
    if (seen) fail(L"a message box appeared: " + describeBox(seen));
}
