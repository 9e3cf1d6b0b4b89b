// The main window and its controls: where they are, what they say and show,
// which has the focus, and clicks, a close and messages sent to them.
#include "driver.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// A message the window must answer within kMessageTimeout; a failure names the
// message by name, or by its number where name is null.
LRESULT sendQuery(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, const wchar_t* name = nullptr) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, kMessageTimeout, &r))
        fail(L"the window " + hex(ULONG_PTR(w)) + L" does not answer " + (name ? name : L"message " + hex(msg)));
    return LRESULT(r);
}

DWORD windowPid(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

struct TopLevelQuery {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTopLevel(HWND w, LPARAM lp) {
    auto& q = *reinterpret_cast<TopLevelQuery*>(lp);
    if (windowPid(w) == q.pid && IsWindowVisible(w) && className(w) == q.cls) q.found.push_back(w);
    return TRUE;
}

BOOL CALLBACK collectChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

RECT rectInParent(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(HWND_DESKTOP, GetAncestor(w, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Brings w to the front and waits until it is there, taking this thread's
// messages meanwhile, since the decoy is one of its windows.
void bringToFront(HWND w, const std::wstring& name) {
    SetForegroundWindow(w);
    if (!pollUntil(kCheckTimeout, [&] { takeMessages(); return GetForegroundWindow() == w; }))
        fail(name + L" did not come to the front");
}

}  // namespace

std::wstring className(HWND w) {
    wchar_t b[256] = {};
    GetClassNameW(w, b, 256);
    return b;
}

// WM_GETTEXT rather than GetWindowTextW: the status bar answers it with its
// first part's text, and it reaches windows of another process alike.
std::wstring windowText(HWND w) {
    const LRESULT length = sendQuery(w, WM_GETTEXTLENGTH, 0, 0, L"WM_GETTEXTLENGTH");
    std::vector<wchar_t> b(size_t(length) + 64, L'\0');
    const LRESULT got = sendQuery(w, WM_GETTEXT, b.size(), LPARAM(b.data()), L"WM_GETTEXT");
    return std::wstring(b.data(), std::min<size_t>(size_t(got), b.size() - 1));
}

std::vector<HWND> topLevelWindows(DWORD pid, const wchar_t* cls) {
    TopLevelQuery q{pid, cls, {}};
    EnumWindows(collectTopLevel, LPARAM(&q));
    return q.found;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, collectChild, LPARAM(&all));
    return all;
}

std::wstring rectText(const RECT& r) {
    return num(r.left) + L"," + num(r.top) + L" " + num(r.right - r.left) + L"x" + num(r.bottom - r.top);
}

void Driver::waitWindow(const Step& s) {
    needProcess();
    HWND found = nullptr;
    pollUntil(s.timeout(), [&] {
        for (HWND w : topLevelWindows(pid_, L"TKvt")) {
            wchar_t caption[64] = {};
            GetWindowTextW(w, caption, 64);
            if (std::wstring(caption) == L"VONU11 XQ") { found = w; return true; }
        }
        return WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
    });
    if (!found) {
        DWORD code = 0;
        if (GetExitCodeProcess(process_.Get(), &code) && code != STILL_ACTIVE)
            fail(L"the tool ended with exit code " + num(code) + L" before its window appeared");
        auto boxes = topLevelWindows(pid_, L"#32770");
        fail(L"no visible TKvt window \"VONU11 XQ\" of process " + num(pid_) + L" within " + num(s.timeout()) + L" ms" +
             (boxes.empty() ? L"" : L" (a message box is up: " + describeBox(boxes.front()) + L")"));
    }
    main_ = found;
}

void Driver::checkMain(const Step& s) {
    HWND w = mainWindow();
    if (!IsWindow(w)) fail(L"the main window is gone");
    if (s.has(L"caption")) expectText(L"the caption", windowText(w), s.text(L"caption"));
    if (s.has(L"client")) {
        auto wh = s.numbers(L"client", L'x', 2);
        RECT want = scale().rect(0, 0, int(wh[0]), int(wh[1]));
        RECT got{};
        GetClientRect(w, &got);
        if (got.right != want.right || got.bottom != want.bottom)
            fail(L"the client area is " + num(got.right) + L"x" + num(got.bottom) + L", expected " + num(want.right) +
                 L"x" + num(want.bottom) + L" (" + scale().describe() + L")");
    }
    LONG style = GetWindowLongW(w, GWL_STYLE);
    LONG exStyle = GetWindowLongW(w, GWL_EXSTYLE);
    if (s.has(L"fixed") && s.flag(L"fixed")) {
        struct Bit { LONG bit; bool want; const wchar_t* name; };
        for (const Bit& b : {Bit{WS_CAPTION, true, L"WS_CAPTION"}, Bit{WS_SYSMENU, true, L"WS_SYSMENU"},
                             Bit{WS_MINIMIZEBOX, true, L"WS_MINIMIZEBOX"}, Bit{WS_THICKFRAME, false, L"WS_THICKFRAME"},
                             Bit{WS_MAXIMIZEBOX, false, L"WS_MAXIMIZEBOX"}}) {
            if (((style & b.bit) == b.bit) != b.want)
                fail(std::wstring(b.name) + (b.want ? L" is missing" : L" is set") + L" (style " + hex(ULONG(style)) + L")");
        }
    }
    if (s.has(L"alpha")) {
        if (!(exStyle & WS_EX_LAYERED)) fail(L"the window is not layered (extended style " + hex(ULONG(exStyle)) + L")");
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        if (!GetLayeredWindowAttributes(w, &key, &alpha, &flags))
            fail(L"GetLayeredWindowAttributes failed with error " + num(GetLastError()));
        if (!(flags & LWA_ALPHA) || (flags & LWA_COLORKEY))
            fail(L"layered flags are " + hex(flags) + L", expected LWA_ALPHA alone");
        if (alpha != s.integer(L"alpha")) fail(L"alpha is " + num(alpha) + L", expected " + s.text(L"alpha"));
    }
    if (s.has(L"centred") && s.flag(L"centred")) {
        RECT r{};
        GetWindowRect(w, &r);
        int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        long left = std::max(0L, (cx - (r.right - r.left)) / 2), top = std::max(0L, (cy - (r.bottom - r.top)) / 2);
        if (r.left != left || r.top != top)
            fail(L"the window is at " + rectText(r) + L", expected its top-left at " + num(left) + L"," + num(top) +
                 L" on a " + num(cx) + L"x" + num(cy) + L" screen");
    }
    if (s.has(L"enabled")) expectState(L"the main window", IsWindowEnabled(w), s.flag(L"enabled"), L"enabled", L"disabled");
    if (s.has(L"active")) {
        HWND front = GetForegroundWindow();
        if ((front == w) != s.flag(L"active"))
            fail(L"the foreground window is " + (front ? className(front) + L" " + quoted(windowText(front)) : L"none") +
                 (s.flag(L"active") ? L", expected the main window" : L", expected another than the main window"));
    }
}

HWND Driver::control(long id, const Step& s) const {
    HWND parent = mainWindow();
    if (s.has(L"parent")) parent = control(s.integer(L"parent"), Step{});
    std::vector<HWND> matches;
    for (HWND c : descendants(mainWindow()))
        if (GetDlgCtrlID(c) == id) matches.push_back(c);
    if (matches.empty()) fail(L"no control with id " + num(id) + L" in the main window");
    if (matches.size() > 1) fail(num(long(matches.size())) + L" controls have the id " + num(id));
    HWND c = matches.front();
    HWND actual = GetAncestor(c, GA_PARENT);
    if (actual != parent)
        fail(L"control " + num(id) + L" has the parent " + className(actual) + L" id " + num(GetDlgCtrlID(actual)) +
             L", expected " + (parent == mainWindow() ? std::wstring(L"the main window") : L"id " + s.text(L"parent")));
    return c;
}

void Driver::checkControl(const Step& s) {
    long id = s.integer(L"id");
    HWND c = control(id, s);
    std::wstring name = L"control " + num(id);
    if (s.has(L"class")) expectText(name + L"'s class", className(c), s.text(L"class"));
    if (s.has(L"text")) expectText(name + L"'s text", windowText(c), s.text(L"text"));
    if (s.has(L"rect")) {
        auto v = s.numbers(L"rect", L',', 4);
        RECT want = scale().rect(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
        RECT got = rectInParent(c);
        // A control that must show its caption whole may have grown to the right.
        const bool grows = s.has(L"whole");
        const bool right = grows ? got.right >= want.right : got.right == want.right;
        if (got.left != want.left || got.top != want.top || got.bottom != want.bottom || !right)
            fail(name + L" is at " + rectText(got) + L", expected " + rectText(want) + (grows ? L" or wider" : L"") +
                 L" (" + scale().describe() + L")");
    }
    if (s.has(L"whole")) expectWholeCaption(c, name, s.text(L"whole"));
    if (s.has(L"kind")) {
        LONG type = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
        const std::wstring& kind = s.text(L"kind");
        LONG want = kind == L"ownerdraw" ? BS_OWNERDRAW : kind == L"radio" ? BS_RADIOBUTTON : -1;
        if (want < 0) throw BadCommandLine(L"kind= takes ownerdraw or radio");
        if (type != want) fail(name + L"'s button type is " + hex(ULONG(type)) + L", expected " + kind + L" (" + hex(ULONG(want)) + L")");
    }
    if (s.has(L"visible")) expectState(name, IsWindowVisible(c), s.flag(L"visible"), L"visible", L"hidden");
    if (s.has(L"enabled")) expectState(name, IsWindowEnabled(c), s.flag(L"enabled"), L"enabled", L"disabled");
    if (s.has(L"checked")) {
        LRESULT state = sendQuery(c, BM_GETCHECK);
        bool want = s.flag(L"checked");
        if ((state == BST_CHECKED) != want)
            fail(name + L"'s check state is " + num(long(state)) + L", expected " + (want ? L"checked" : L"unchecked"));
    }
    if (s.has(L"parts")) {
        // With no array to fill, SB_GETPARTS just answers the count.
        LRESULT parts = sendQuery(c, SB_GETPARTS, 0, 0);
        if (parts != s.integer(L"parts")) fail(name + L" has " + num(long(parts)) + L" parts, expected " + s.text(L"parts"));
    }
    if (s.has(L"focused")) {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(c, nullptr), &gui))
            fail(L"GetGUIThreadInfo failed with error " + num(GetLastError()));
        if ((gui.hwndFocus == c) != s.flag(L"focused"))
            fail(L"the focus is on " + (gui.hwndFocus ? className(gui.hwndFocus) + L" id " + num(GetDlgCtrlID(gui.hwndFocus))
                                                      : std::wstring(L"no window")) +
                 (s.flag(L"focused") ? L", expected " + name : L", expected another than " + name));
    }
    if (s.has(L"legible") && s.flag(L"legible")) checkLegible(c, name);
}

// The caption fits in the room the control gives its text, as Wine's controls
// lay it out: a label has its whole width; a radio button draws a check box
// 12/96 inch plus a pixel wide, a gap of half a digit's width, and its text a
// pixel further in. The font is made here as the layout makes it: a font
// handle of the tool's means nothing in this process.
void Driver::expectWholeCaption(HWND c, const std::wstring& name, const std::wstring& weight) {
    if (weight != L"bold" && weight != L"regular") throw BadCommandLine(L"whole= takes bold or regular");
    const bool radio = className(c) == L"Button" && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_RADIOBUTTON;
    if (!radio && className(c) != L"Static") throw BadCommandLine(L"whole= takes radio buttons and labels");
    const std::wstring text = windowText(c);
    WindowDc screen(nullptr);
    const UniqueFont font = tahoma(scale().fontHeight(-13), weight == L"bold" ? FW_BOLD : FW_NORMAL);
    SelectedObject selected(screen.Get(), font.Get());
    SIZE extent{};
    GetTextExtentPoint32W(screen.Get(), text.c_str(), int(text.size()), &extent);
    int inset = 0;
    if (radio) {
        int digit = 0;
        GetCharWidthW(screen.Get(), L'0', L'0', &digit);
        inset = 12 * GetDeviceCaps(screen.Get(), LOGPIXELSX) / 96 + 1 + digit / 2 + 1;
    }
    RECT client{};
    GetClientRect(c, &client);
    if (client.right - inset < extent.cx)
        fail(name + L"'s caption " + quoted(text) + L" needs " + num(extent.cx) + L" pixels, the control gives it " +
             num(client.right - inset) + L" of its " + num(client.right) + L" (" + scale().describe() + L")");
}

void Driver::click(const Step& s) {
    HWND c = control(s.integer(L"id"), s);
    std::wstring how = s.has(L"how") ? s.text(L"how") : L"message";
    if (how == L"message") {
        // Posted, not sent: the click handler may open a modal box and not return for a while.
        if (!PostMessageW(c, BM_CLICK, 0, 0)) fail(L"PostMessageW(BM_CLICK) failed with error " + num(GetLastError()));
    } else if (how == L"mouse") {
        RECT r{};
        GetWindowRect(c, &r);
        POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        SetForegroundWindow(mainWindow());
        if (WindowFromPoint(at) != c) fail(L"the control's centre is covered by " + className(WindowFromPoint(at)));
        // Every event carries the position, so the press and the release land on
        // the control wherever the pointer was.
        int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        auto event = [&](DWORD flags) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dx = LONG((at.x * 65536LL + cx - 1) / cx);
            in.mi.dy = LONG((at.y * 65536LL + cy - 1) / cy);
            in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            if (SendInput(1, &in, sizeof in) != 1) fail(L"SendInput failed with error " + num(GetLastError()));
        };
        event(0);
        if (!pollUntil(2000, [&] { POINT p{}; GetCursorPos(&p); return p.x == at.x && p.y == at.y; }))
            fail(L"the pointer did not reach the control's centre " + num(at.x) + L"," + num(at.y));
        event(MOUSEEVENTF_LEFTDOWN);
        event(MOUSEEVENTF_LEFTUP);
    } else {
        throw BadCommandLine(L"how= takes message or mouse");
    }
}

void Driver::close(const Step&) {
    if (!PostMessageW(mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0))
        fail(L"PostMessageW(SC_CLOSE) failed with error " + num(GetLastError()));
}

// A plain top-level window of the driver, brought to the front: whatever is in
// front afterwards was brought there by someone else.
void Driver::decoy(const Step&) {
    if (!decoy_) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"E2eDecoy";
        RegisterClassW(&wc);
        decoy_ = CreateWindowExW(0, wc.lpszClassName, L"decoy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        if (!decoy_) fail(L"CreateWindowExW(decoy) failed with error " + num(GetLastError()));
    }
    bringToFront(decoy_, L"the decoy window");
}

// Another program's messages, sent: the call returns once the tool has
// answered, so it also tells whether the tool answers while it works.
void Driver::send(const Step& s) {
    const std::wstring what = s.text(L"what");
    HWND c = what == L"close" ? mainWindow() : control(s.integer(L"id"), s);
    HWND to = c;
    UINT message = BM_CLICK;
    WPARAM wp = 0;
    LPARAM lp = 0;
    if (what == L"clicked") {
        to = GetParent(c);
        message = WM_COMMAND, wp = MAKEWPARAM(GetDlgCtrlID(c), BN_CLICKED), lp = LPARAM(c);
    } else if (what == L"close") {
        message = WM_CLOSE;
    } else if (what != L"click") {
        throw BadCommandLine(L"what= takes click, clicked or close");
    }
    const DWORD limit = DWORD(s.integer(L"timeout", 1000));
    DWORD_PTR result = 0;
    const ULONGLONG began = GetTickCount64();
    if (!SendMessageTimeoutW(to, message, wp, lp, SMTO_NORMAL, limit, &result))
        fail(L"the tool did not answer the sent " + what + L" within " + num(long(limit)) + L" ms (error " +
             num(GetLastError()) + L")");
    write(STD_OUTPUT_HANDLE, L"sent " + what + L" answered in " + num(long(GetTickCount64() - began)) + L" ms");
}

void Driver::activate(const Step&) {
    bringToFront(mainWindow(), L"the main window");
}
