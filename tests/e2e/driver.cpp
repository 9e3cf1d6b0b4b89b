// e2e_driver: drives the tool's window from beside it, under Wine or on Windows.
//
// The command line is a list of steps run in order. A word without '=' starts a
// step; the words after it that hold '=' are its parameters (split at the first
// '=', so texts may hold '=' too):
//
//   e2e_driver start exe=Z:\...\vonu11xq.exe  window  main caption="VONU11 XQ"
//              control id=101 class=Button text=Alkalmaz rect=264,24,108,26 enabled=1
//              close  exit code=0
//
// The first failing step prints "step N (verb): what differs" on stderr and the
// driver exits with 1; a malformed command line exits with 2 before any step
// runs. Every wait polls against a deadline (parameter timeout=ms), and so do
// the checks 'main' and 'control' (3 s unless timeout= says otherwise), so that
// a posted click may take effect a little later. Geometry is given as the
// layout states it at 96 dpi; the driver scales it the way the tool must on
// this screen, from its own measurement of Tahoma.
//
// Steps:
//   start exe=PATH [cwd=DIR]            start the tool (cwd defaults to C:\)
//   window                               wait for its main window (TKvt, "VONU11 XQ")
//   main [caption=] [client=WxH] [fixed=1] [alpha=N] [centred=1] [enabled=0|1] [active=0|1]
//                                        the main window; enabled=0 while a box is up;
//                                        active=1: it is the foreground window
//   control id=N [parent=ID] [class=] [text=] [rect=L,T,W,H] [kind=ownerdraw|radio]
//           [visible=0|1] [enabled=0|1] [checked=0|1] [parts=N] [whole=bold|regular]
//           [focused=0|1] [legible=1]
//                                        a control of the main window (parent= for
//                                        one inside another control); whole=: a radio
//                                        button or label whose caption, in the layout's
//                                        Tahoma 13 of that weight scaled, is drawn whole
//                                        (with rect=, its right edge may lie further right);
//                                        focused=1: it has the tool's keyboard focus;
//                                        legible=1: an owner-drawn button's caption
//                                        stands out from its face on the screen
//   activate                             the main window is brought to the front
//   click id=N [how=message|mouse]       BM_CLICK posted, or a real mouse click
//   close                                the close box (SC_CLOSE)
//   box [caption=] [text=] [has=] [lacks=] [icon=stop|info|warning|question|none] [fits=1] [stays=ms]
//                                        wait for a message box of the tool's process
//                                        (has=: a piece of its text; lacks=: a piece
//                                        its text must not hold; fits=1: the whole
//                                        box lies on the screen; stays=: it is still up,
//                                        with the same text, that long afterwards)
//   answer [button=ok|yes|no]            press that button of the box, wait until it goes
//   no-box [for=ms]                      no message box appears within that time
//   exit [code=N]                        wait for the tool to end, check its exit code
//   screen [dpi=N] [height=N]            the screen's dots per inch, its height in pixels
//   reg-volatile key=PATH                create a volatile key under HKLM (32-bit view)
//   kill name=FILE.exe                   end every process of that image name
//   decoy                                a window of the driver's own takes the
//                                        foreground (it lasts as long as the driver)
//   attach name=FILE.exe                 take over a running tool that an earlier
//                                        driver started (one process of that name)
//   wait-file path=PATH [min-size=N]     wait until a file of at least N bytes exists
//   stamp name=WORD                      print "WORD <ms since 1970>" on stdout (a
//                                        benchmark times the steps between two stamps)
//   gauge-full host=ID rect=L,T,W,H      the windowless gauge drawn on the control
//                                        ID shows 100 %: a black frame, a black bar
//                                        and the text inverted to white in the middle
//   accessible id=N [parent=ID] [role=progressbar|pushbutton|radiobutton|client|N]
//           [name=] [value=] [busy=0|1] [checked=0|1] [rising=1]
//                                        what a screen reader hears of a control: its
//                                        client object read from this process
//                                        (AccessibleObjectFromWindow); rising=1: the
//                                        value, a percent, grows while it is watched
//                                        (up to timeout=)
//   listen                               from here on, count the tool's value changes
//                                        (EVENT_OBJECT_VALUECHANGE)
//   follow                               listen as a screen reader does: on each value
//                                        change, ask for the object at once
//                                        (AccessibleObjectFromEvent) and read its
//                                        name and value
//   followed id=N [parent=ID] values=A-B,C,... [name=]
//                                        control N's value changes since 'follow' read,
//                                        one event each, a percent in each range in turn
//                                        (and that name)
//   send id=N [parent=ID] what=click|clicked|close [timeout=ms]
//                                        sent, not posted, and answered within timeout=
//                                        (1 s): BM_CLICK to the control; its BN_CLICKED
//                                        to its parent; WM_CLOSE to the main window
//   heard id=N [parent=ID] [min=A] [max=B]
//                                        control N's client object told of between A
//                                        and B value changes since 'listen'
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/utf.h"
#include "common/win_handles.h"

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740
#endif

namespace {

// ---------------------------------------------------------------- text out

// A console gets wide text; a pipe or file (the runner's case) gets UTF-8.
void write(DWORD which, const std::wstring& line) {
    HANDLE h = GetStdHandle(which);
    DWORD mode = 0, done = 0;
    std::wstring text = line + L"\n";
    if (GetConsoleMode(h, &mode)) {
        WriteConsoleW(h, text.data(), DWORD(text.size()), &done, nullptr);
    } else {
        std::string bytes = Narrow(text);
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &done, nullptr);
    }
}

std::wstring quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
std::wstring num(long long v) { return std::to_wstring(v); }
std::wstring hex(unsigned long v) { wchar_t b[16]; swprintf(b, 16, L"0x%lX", v); return b; }

struct StepFailed : std::runtime_error {
    explicit StepFailed(std::wstring m) : std::runtime_error("step failed"), message(std::move(m)) {}
    std::wstring message;
};
struct BadCommandLine : StepFailed { using StepFailed::StepFailed; };

[[noreturn]] void fail(const std::wstring& m) { throw StepFailed(m); }

// ---------------------------------------------------------------- polling

constexpr DWORD kDefaultTimeout = 20000;
constexpr DWORD kCheckTimeout = 3000;
constexpr DWORD kPollInterval = 25;
constexpr UINT kMessageTimeout = 5000;

// The value changes heard since 'listen', by window and object. The system
// delivers them as messages to the thread that listens, so every wait takes
// its messages while it listens.
struct HeardEvent {
    HWND window;
    LONG object;
};
std::vector<HeardEvent> heard;
bool listening = false;

// What a screen reader that follows the events read on each: the object's
// name and value as the tool answered them right after the event, or the
// failure that stood for them.
struct FollowedEvent {
    HWND window;
    LONG object;
    std::wstring name, value, failure;
};
std::vector<FollowedEvent> followed;
bool following = false;

std::wstring readText(IAccessible* a, const VARIANT& child,
                      HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), std::wstring& failure) {
    BSTR out = nullptr;
    const HRESULT hr = (a->*get)(child, &out);
    if (FAILED(hr) && failure.empty()) failure = L"read failed with " + hex(ULONG(hr));
    std::wstring text = out ? std::wstring(out, SysStringLen(out)) : std::wstring();
    SysFreeString(out);
    return text;
}

void CALLBACK hearEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    heard.push_back({window, object});
    if (!following) return;
    FollowedEvent e{window, object, L"", L"", L""};
    IAccessible* a = nullptr;
    VARIANT which;
    VariantInit(&which);
    const HRESULT hr = AccessibleObjectFromEvent(window, DWORD(object), DWORD(child), &a, &which);
    if (FAILED(hr) || !a) {
        e.failure = L"AccessibleObjectFromEvent failed with " + hex(ULONG(hr));
    } else {
        e.name = readText(a, which, &IAccessible::get_accName, e.failure);
        e.value = readText(a, which, &IAccessible::get_accValue, e.failure);
        a->Release();
    }
    VariantClear(&which);
    followed.push_back(e);
}

void takeMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// While listening, an event is taken the moment it arrives, as a screen
// reader takes it.
bool pollUntil(DWORD ms, const std::function<bool()>& done) {
    ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (listening) takeMessages();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        if (listening) MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollInterval, QS_ALLINPUT);
        else Sleep(kPollInterval);
    }
}

// ---------------------------------------------------------------- windows

std::wstring className(HWND w) {
    wchar_t b[256] = {};
    GetClassNameW(w, b, 256);
    return b;
}

// A message the window must answer within kMessageTimeout; a failure names the
// message by name, or by its number where name is null.
LRESULT sendQuery(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0, const wchar_t* name = nullptr) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, kMessageTimeout, &r))
        fail(L"the window " + hex(ULONG_PTR(w)) + L" does not answer " + (name ? name : L"message " + hex(msg)));
    return LRESULT(r);
}

// WM_GETTEXT rather than GetWindowTextW: the status bar answers it with its
// first part's text, and it reaches windows of another process alike.
std::wstring windowText(HWND w) {
    const LRESULT length = sendQuery(w, WM_GETTEXTLENGTH, 0, 0, L"WM_GETTEXTLENGTH");
    std::vector<wchar_t> b(size_t(length) + 64, L'\0');
    const LRESULT got = sendQuery(w, WM_GETTEXT, b.size(), LPARAM(b.data()), L"WM_GETTEXT");
    return std::wstring(b.data(), std::min<size_t>(size_t(got), b.size() - 1));
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

// The visible top-level windows of one process with one class.
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

RECT rectInParent(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(HWND_DESKTOP, GetAncestor(w, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring rectText(const RECT& r) {
    return num(r.left) + L"," + num(r.top) + L" " + num(r.right - r.left) + L"x" + num(r.bottom - r.top);
}

// The box's message is the static text with id 0xFFFF; some window systems number
// it otherwise, so fall back to the one static that holds no icon.
HWND boxTextControl(HWND box) {
    if (HWND t = GetDlgItem(box, 0xFFFF)) return t;
    for (HWND c : descendants(box))
        if (className(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return c;
    return nullptr;
}

HWND boxIconControl(HWND box) {
    for (HWND c : descendants(box))
        if (className(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(c))
            return c;
    return nullptr;
}

// The box's message, or a failure where it has none.
std::wstring boxText(HWND box) {
    HWND t = boxTextControl(box);
    if (!t) fail(L"the box has no text control");
    return windowText(t);
}

std::wstring describeBox(HWND box) {
    HWND t = boxTextControl(box);
    return quoted(windowText(box)) + L" saying " + quoted(t ? windowText(t) : L"?");
}

// ---------------------------------------------------------------- pixels

// A bitmap of 32-bit pixels, top row first, selected into a memory device
// context: GDI draws into it, and the driver reads its pixels directly once
// GdiFlush has run.
class Canvas {
public:
    Canvas(int w, int h) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(dc_.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<DWORD*>(bits);
        selected_.Select(dc_.Get(), bitmap_.Get());
    }
    HDC dc() const { return dc_.Get(); }
    DWORD* bits() const { return bits_; }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    SelectedObject selected_;
    DWORD* bits_ = nullptr;
};

// The pixels of a w x h piece of the screen whose top-left is x, y. Under Wine
// a window's device context gives no pixels to another process, so the tool's
// windows are read from the screen.
std::vector<DWORD> screenPixels(int x, int y, int w, int h) {
    WindowDc screen(nullptr);
    Canvas canvas(w, h);
    BitBlt(canvas.dc(), 0, 0, w, h, screen.Get(), x, y, SRCCOPY);
    GdiFlush();
    return std::vector<DWORD>(canvas.bits(), canvas.bits() + size_t(w) * size_t(h));
}

// Tahoma at a height in pixels (negative: the character height) and a weight.
UniqueFont tahoma(int height, int weight) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

// ---------------------------------------------------------------- layout scale

// The layout is stored for 96 dpi and a text height of 13; on another screen the
// tool measures Tahoma at its scaled height and scales every edge by
// textHeight / 13. The driver measures the same font to know what to expect.
struct LayoutScale {
    int dpi = 96;
    int textHeight = 13;
    std::wstring face;

    static LayoutScale measure() {
        LayoutScale s;
        WindowDc screen(nullptr);
        s.dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        const UniqueFont font = tahoma(MulDiv(-11, s.dpi, 96), FW_NORMAL);
        SelectedObject selected(screen.Get(), font.Get());
        TEXTMETRICW tm{};
        GetTextMetricsW(screen.Get(), &tm);
        s.textHeight = tm.tmHeight;
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(screen.Get(), LF_FACESIZE, face);
        s.face = face;
        return s;
    }
    int edge(int v) const { return textHeight == 13 ? v : MulDiv(v, textHeight, 13); }
    // A control's own font height, scaled as the control is.
    int fontHeight(int designed) const { return edge(designed); }
    RECT rect(int l, int t, int w, int h) const { return {edge(l), edge(t), edge(l + w), edge(t + h)}; }
    std::wstring describe() const {
        return L"layout at " + num(dpi) + L" dpi, " + face + L" text height " + num(textHeight) + L" (13 at 96 dpi)";
    }
};

// ---------------------------------------------------------------- steps

struct Step {
    int index = 0;
    std::wstring verb;
    std::map<std::wstring, std::wstring> params;

    bool has(const wchar_t* k) const { return params.count(k) != 0; }
    const std::wstring& text(const wchar_t* k) const {
        auto it = params.find(k);
        if (it == params.end()) throw BadCommandLine(L"needs " + std::wstring(k) + L"=");
        return it->second;
    }
    long integer(const wchar_t* k) const {
        const std::wstring& s = text(k);
        wchar_t* end = nullptr;
        long v = wcstol(s.c_str(), &end, 0);
        if (s.empty() || *end) throw BadCommandLine(std::wstring(k) + L"=" + s + L" is not a number");
        return v;
    }
    long integer(const wchar_t* k, long dflt) const { return has(k) ? integer(k) : dflt; }
    bool flag(const wchar_t* k) const {
        long v = integer(k);
        if (v != 0 && v != 1) throw BadCommandLine(std::wstring(k) + L"= takes 0 or 1");
        return v == 1;
    }
    std::vector<long> numbers(const wchar_t* k, wchar_t sep, size_t count) const {
        std::vector<long> out;
        const std::wstring& s = text(k);
        size_t pos = 0;
        while (pos <= s.size()) {
            size_t next = s.find(sep, pos);
            std::wstring part = s.substr(pos, next == std::wstring::npos ? std::wstring::npos : next - pos);
            wchar_t* end = nullptr;
            long v = wcstol(part.c_str(), &end, 10);
            if (part.empty() || *end) break;
            out.push_back(v);
            if (next == std::wstring::npos) break;
            pos = next + 1;
        }
        if (out.size() != count)
            throw BadCommandLine(std::wstring(k) + L"=" + s + L" wants " + num(long(count)) + L" numbers separated by '" + sep + L"'");
        return out;
    }
    DWORD timeout() const { return DWORD(integer(L"timeout", long(kDefaultTimeout))); }
};

class Driver {
public:
    void run(const Step& s);

    void start(const Step& s);
    void waitWindow(const Step& s);
    void checkMain(const Step& s);
    void checkControl(const Step& s);
    void expectWholeCaption(HWND c, const std::wstring& name, const std::wstring& weight);
    void click(const Step& s);
    void close(const Step& s);
    void waitBox(const Step& s);
    void answerBox(const Step& s);
    void noBox(const Step& s);
    void waitExit(const Step& s);
    void checkScreen(const Step& s);
    void stamp(const Step& s);
    void makeVolatileKey(const Step& s);
    void killByName(const Step& s);
    void attach(const Step& s);
    void waitFile(const Step& s);
    void checkFullGauge(const Step& s);
    void decoy(const Step& s);
    void activate(const Step& s);
    void checkAccessible(const Step& s);
    void listen(const Step& s);
    void checkHeard(const Step& s);
    void follow(const Step& s);
    void checkFollowed(const Step& s);
    void send(const Step& s);

private:
    HWND mainWindow() const { if (!main_) fail(L"no main window yet (use the step 'window' first)"); return main_; }
    HWND control(long id, const Step& s) const;
    const LayoutScale& scale() { if (!scale_.face.size()) scale_ = LayoutScale::measure(); return scale_; }
    void needProcess() const { if (!process_) fail(L"no tool started (use the step 'start' first)"); }

    UniqueHandle process_;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    HWND box_ = nullptr;
    HWND decoy_ = nullptr;
    LayoutScale scale_{96, 13, L""};
};

void expectText(const std::wstring& what, const std::wstring& got, const std::wstring& want) {
    if (got != want) fail(what + L" is " + quoted(got) + L", expected " + quoted(want));
}

void expectState(const std::wstring& what, bool got, bool want, const wchar_t* yes, const wchar_t* no) {
    if (got != want) fail(what + L" is " + (got ? yes : no) + L", expected " + (want ? yes : no));
}

void Driver::start(const Step& s) {
    std::wstring exe = s.text(L"exe");
    std::wstring cwd = s.has(L"cwd") ? s.text(L"cwd") : L"C:\\";
    std::wstring cmd = quoted(exe);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        process_ = UniqueHandle(pi.hProcess);
        pid_ = pi.dwProcessId;
        return;
    }
    DWORD err = GetLastError();
    if (err != ERROR_ELEVATION_REQUIRED) fail(L"CreateProcessW(" + quoted(exe) + L") failed with error " + num(err));
    // The tool asks for elevation in its manifest; where that is honoured, go through the shell.
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    sei.lpVerb = L"runas";
    sei.lpFile = exe.c_str();
    sei.lpDirectory = cwd.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&sei) || !sei.hProcess)
        fail(L"starting " + quoted(exe) + L" elevated failed with error " + num(GetLastError()));
    process_ = UniqueHandle(sei.hProcess);
    pid_ = GetProcessId(sei.hProcess);
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

void checkLegible(HWND c, const std::wstring& name);

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

// The caption of an owner-drawn button with its picture on the left lies in
// its right half: there, inside the frame and the focus outline, some pixels
// must differ from the system's button-face colour, which the face is filled
// with.
void checkLegible(HWND c, const std::wstring& name) {
    RECT r{};
    GetWindowRect(c, &r);
    const int inset = 6, w = (r.right - r.left) / 2 - inset, h = r.bottom - r.top - 2 * inset;
    const std::vector<DWORD> px = screenPixels((r.left + r.right) / 2, r.top + inset, w, h);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const DWORD faceRgb = DWORD(GetRValue(face)) << 16 | DWORD(GetGValue(face)) << 8 | GetBValue(face);
    long differing = 0;
    for (DWORD p : px) differing += (p & 0xFFFFFF) != faceRgb;
    if (differing < 10)
        fail(name + L"'s caption does not stand out from its face " + hex(faceRgb) + L": " + num(differing) +
             L" pixels of its right half differ from it");
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

// Which standard icon the box shows: the icon control's pixels on the screen are
// compared with each standard icon drawn on the same background.
std::wstring iconKind(HWND box, std::wstring* detail) {
    HWND icon = boxIconControl(box);
    if (!icon) return L"none";
    RECT r{};
    GetWindowRect(icon, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return L"none";
    const std::vector<DWORD> shown = screenPixels(r.left, r.top, w, h);
    struct Candidate { const wchar_t* kind; LPCWSTR id; };
    const Candidate candidates[] = {{L"stop", IDI_HAND}, {L"info", IDI_ASTERISK},
                                    {L"warning", IDI_EXCLAMATION}, {L"question", IDI_QUESTION}};
    std::wstring best = L"unknown";
    unsigned long long bestDistance = ~0ULL;
    Canvas canvas(w, h);
    for (const Candidate& c : candidates) {
        HICON h_icon = LoadIconW(nullptr, c.id);
        std::fill_n(canvas.bits(), size_t(w) * size_t(h), shown.front());
        DrawIconEx(canvas.dc(), 0, 0, h_icon, 0, 0, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const DWORD* drawn = canvas.bits();
        unsigned long long d = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            for (int ch = 0; ch < 24; ch += 8)
                d += unsigned(std::abs(int((shown[i] >> ch) & 0xFF) - int((drawn[i] >> ch) & 0xFF)));
        if (detail) *detail += std::wstring(detail->empty() ? L"" : L", ") + c.kind + L" " + num(static_cast<long long>(d));
        if (d < bestDistance) { bestDistance = d; best = c.kind; }
    }
    return best;
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

// Brings w to the front and waits until it is there, taking this thread's
// messages meanwhile, since the decoy is one of its windows.
void bringToFront(HWND w, const std::wstring& name) {
    SetForegroundWindow(w);
    if (!pollUntil(kCheckTimeout, [&] { takeMessages(); return GetForegroundWindow() == w; }))
        fail(name + L" did not come to the front");
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

// ---------------------------------------------------------------- accessibility

// What a screen reader asks of one object: its own answers (CHILDID_SELF).
class Accessible {
public:
    explicit Accessible(HWND w) {
        static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        (void)com;
        HRESULT hr = AccessibleObjectFromWindow(w, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&a_));
        if (FAILED(hr) || !a_) fail(L"AccessibleObjectFromWindow(" + className(w) + L" id " + num(GetDlgCtrlID(w)) +
                                    L") failed with " + hex(ULONG(hr)));
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;
    ~Accessible() { a_->Release(); }

    long role() const { return number(&IAccessible::get_accRole, L"role"); }
    long state() const { return number(&IAccessible::get_accState, L"state"); }
    std::wstring name() const { return text(&IAccessible::get_accName, L"name"); }
    std::wstring value() const { return text(&IAccessible::get_accValue, L"value"); }

private:
    static VARIANT self() { VARIANT v; VariantInit(&v); v.vt = VT_I4; v.lVal = CHILDID_SELF; return v; }
    long number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), const wchar_t* what) const {
        VARIANT out;
        VariantInit(&out);
        HRESULT hr = (a_->*get)(self(), &out);
        if (FAILED(hr) || out.vt != VT_I4) {
            VariantClear(&out);
            fail(std::wstring(L"the accessible ") + what + L" could not be read (" + hex(ULONG(hr)) + L", type " + num(out.vt) + L")");
        }
        return out.lVal;
    }
    std::wstring text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), const wchar_t* what) const {
        BSTR out = nullptr;
        HRESULT hr = (a_->*get)(self(), &out);
        if (FAILED(hr)) fail(std::wstring(L"the accessible ") + what + L" could not be read (" + hex(ULONG(hr)) + L")");
        std::wstring s = out ? std::wstring(out, SysStringLen(out)) : std::wstring();
        SysFreeString(out);
        return s;
    }
    IAccessible* a_ = nullptr;
};

// "42%" -> 42; -1 for anything else.
long percentIn(const std::wstring& v) {
    if (v.size() < 2 || v.back() != L'%') return -1;
    long n = 0;
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        if (v[i] < L'0' || v[i] > L'9') return -1;
        n = n * 10 + (v[i] - L'0');
    }
    return n;
}

void Driver::checkAccessible(const Step& s) {
    HWND c = control(s.integer(L"id"), s);
    const std::wstring what = L"control " + s.text(L"id") + L"'s accessible object";
    Accessible a(c);
    if (s.has(L"role")) {
        static const std::map<std::wstring, long> roles = {
            {L"progressbar", ROLE_SYSTEM_PROGRESSBAR}, {L"pushbutton", ROLE_SYSTEM_PUSHBUTTON},
            {L"radiobutton", ROLE_SYSTEM_RADIOBUTTON}, {L"client", ROLE_SYSTEM_CLIENT}};
        const std::wstring& r = s.text(L"role");
        auto it = roles.find(r);
        long want = it != roles.end() ? it->second : s.integer(L"role");
        long got = a.role();
        if (got != want) fail(what + L" has the role " + hex(ULONG(got)) + L", expected " + r + L" (" + hex(ULONG(want)) + L")");
    }
    if (s.has(L"name")) expectText(what + L"'s name", a.name(), s.text(L"name"));
    if (s.has(L"value")) expectText(what + L"'s value", a.value(), s.text(L"value"));
    if (s.has(L"busy")) {
        expectState(what, (a.state() & STATE_SYSTEM_BUSY) != 0, s.flag(L"busy"), L"busy", L"not busy");
    }
    if (s.has(L"checked")) {
        expectState(what, (a.state() & STATE_SYSTEM_CHECKED) != 0, s.flag(L"checked"), L"checked", L"unchecked");
    }
    if (s.has(L"rising") && s.flag(L"rising")) {
        const std::wstring first = a.value();
        const long from = percentIn(first);
        if (from < 0) fail(what + L"'s value " + quoted(first) + L" is not a percent");
        std::wstring last = first;
        const bool rose = pollUntil(s.timeout(), [&] {
            last = Accessible(c).value();
            if (percentIn(last) < 0) fail(what + L"'s value " + quoted(last) + L" is not a percent");
            return percentIn(last) > from;
        });
        if (!rose) fail(what + L"'s value stayed at " + quoted(last) + L" for " + num(s.timeout()) + L" ms");
        write(STD_OUTPUT_HANDLE, L"accessible value rose from " + first + L" to " + last);
    }
}

void Driver::listen(const Step&) {
    needProcess();
    if (!SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, hearEvent, pid_, 0,
                         WINEVENT_OUTOFCONTEXT))
        fail(L"SetWinEventHook failed with error " + num(GetLastError()));
    heard.clear();
    listening = true;
}

void Driver::follow(const Step& s) {
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    listen(s);
    followed.clear();
    following = true;
}

// "1-3,30-32,100" -> {{1,3},{30,32},{100,100}}
std::vector<std::pair<long, long>> percentRanges(const std::wstring& text) {
    std::vector<std::pair<long, long>> ranges;
    size_t at = 0;
    while (at <= text.size()) {
        size_t comma = text.find(L',', at);
        if (comma == std::wstring::npos) comma = text.size();
        const std::wstring piece = text.substr(at, comma - at);
        const size_t dash = piece.find(L'-');
        wchar_t* end = nullptr;
        const long low = std::wcstol(piece.c_str(), &end, 10);
        const long high = dash == std::wstring::npos ? low : std::wcstol(piece.c_str() + dash + 1, &end, 10);
        if (piece.empty() || *end != L'\0' || high < low) throw BadCommandLine(L"values= takes ranges such as 1-3,30,100");
        ranges.emplace_back(low, high);
        at = comma + 1;
    }
    return ranges;
}

void Driver::checkFollowed(const Step& s) {
    if (!following) fail(L"not following (use the step 'follow' first)");
    const auto ranges = percentRanges(s.text(L"values"));
    HWND c = control(s.integer(L"id"), s);
    pollUntil(300, [] { return false; });  // the last events may still be on their way
    std::vector<const FollowedEvent*> mine;
    std::wstring read;
    for (const FollowedEvent& e : followed) {
        if (e.window != c || e.object != OBJID_CLIENT) continue;
        mine.push_back(&e);
        read += (read.empty() ? L"" : L", ") + (e.failure.empty() ? e.value : e.failure);
    }
    const std::wstring what = L"control " + s.text(L"id") + L"'s value changes read [" + read + L"]";
    if (mine.size() != ranges.size())
        fail(what + L": " + num(long(mine.size())) + L" events, expected " + num(long(ranges.size())));
    for (size_t i = 0; i < mine.size(); ++i) {
        const FollowedEvent& e = *mine[i];
        if (!e.failure.empty()) fail(what + L": event " + num(long(i) + 1) + L": " + e.failure);
        const long percent = percentIn(e.value);
        if (percent < ranges[i].first || percent > ranges[i].second)
            fail(what + L": event " + num(long(i) + 1) + L" read " + quoted(e.value) + L", expected " +
                 num(ranges[i].first) + L"-" + num(ranges[i].second) + L"%");
        if (s.has(L"name")) expectText(L"the name read on event " + num(long(i) + 1), e.name, s.text(L"name"));
    }
    write(STD_OUTPUT_HANDLE, what);
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

void Driver::checkHeard(const Step& s) {
    if (!listening) fail(L"not listening (use the step 'listen' first)");
    HWND c = control(s.integer(L"id"), s);
    pollUntil(300, [] { return false; });  // the last events may still be on their way
    long count = 0;
    for (const HeardEvent& e : heard) count += e.window == c && e.object == OBJID_CLIENT;
    const long least = s.integer(L"min", 0), most = s.integer(L"max", 1000000);
    if (count < least || count > most)
        fail(L"control " + s.text(L"id") + L" told of " + num(count) + L" value changes, expected " + num(least) +
             L" to " + num(most) + L" (" + num(long(heard.size())) + L" heard from the tool in all)");
}

void Driver::activate(const Step&) {
    bringToFront(mainWindow(), L"the main window");
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

void Driver::waitExit(const Step& s) {
    needProcess();
    DWORD r = WaitForSingleObject(process_.Get(), s.timeout());
    if (r != WAIT_OBJECT_0) fail(L"the tool is still running " + num(s.timeout()) + L" ms later");
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    if (s.has(L"code") && long(code) != s.integer(L"code"))
        fail(L"the tool ended with exit code " + num(code) + L", expected " + s.text(L"code"));
    main_ = nullptr;
}

void Driver::checkScreen(const Step& s) {
    const LayoutScale& sc = scale();
    if (s.has(L"dpi") && sc.dpi != s.integer(L"dpi")) fail(L"the screen has " + num(sc.dpi) + L" dpi, expected " + s.text(L"dpi"));
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (s.has(L"height") && height != s.integer(L"height"))
        fail(L"the screen is " + num(height) + L" pixels high, expected " + s.text(L"height"));
    if (sc.face != L"Tahoma") fail(L"Tahoma is not installed (the font mapper chose " + quoted(sc.face) + L")");
    write(STD_OUTPUT_HANDLE, sc.describe());
}

void Driver::stamp(const Step& s) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const unsigned long long unixEpoch = 116444736000000000ull;  // 1970-01-01 in 100 ns ticks since 1601
    write(STD_OUTPUT_HANDLE, s.text(L"name") + L" " + std::to_wstring((ticks - unixEpoch) / 10000));
}

void Driver::makeVolatileKey(const Step& s) {
    const std::wstring& path = s.text(L"key");
    HKEY created = nullptr;
    DWORD disposition = 0;
    LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                             KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &created, &disposition);
    const UniqueKey key(created);
    if (r != ERROR_SUCCESS) fail(L"RegCreateKeyExW(" + quoted(path) + L", volatile) failed with error " + num(r));
    if (disposition != REG_CREATED_NEW_KEY) fail(L"the key " + quoted(path) + L" already existed, so it is not volatile");
}

// The ids of the processes that run an image of this name (FILE.exe).
std::vector<DWORD> processesNamed(const std::wstring& name) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap) fail(L"CreateToolhelp32Snapshot failed with error " + num(GetLastError()));
    std::vector<DWORD> found;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL more = Process32FirstW(snap.Get(), &pe); more; more = Process32NextW(snap.Get(), &pe))
        if (lstrcmpiW(pe.szExeFile, name.c_str()) == 0) found.push_back(pe.th32ProcessID);
    return found;
}

void Driver::killByName(const Step& s) {
    for (DWORD pid : processesNamed(s.text(L"name"))) {
        UniqueHandle p(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (p && TerminateProcess(p.Get(), 1)) WaitForSingleObject(p.Get(), kMessageTimeout);
    }
}

void Driver::attach(const Step& s) {
    const std::wstring& name = s.text(L"name");
    const std::vector<DWORD> found = processesNamed(name);
    if (found.size() != 1) fail(num(long(found.size())) + L" processes named " + quoted(name) + L" run, expected one");
    UniqueHandle p(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, found.front()));
    if (!p) fail(L"OpenProcess(" + num(found.front()) + L") failed with error " + num(GetLastError()));
    process_ = std::move(p);
    pid_ = found.front();
    main_ = nullptr;
    box_ = nullptr;
}

void Driver::waitFile(const Step& s) {
    const std::wstring& path = s.text(L"path");
    long long minSize = s.integer(L"min-size", 0);
    long long size = -1;
    bool there = pollUntil(s.timeout(), [&] {
        WIN32_FILE_ATTRIBUTE_DATA a{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return false;
        size = (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
        return size >= minSize;
    });
    if (!there)
        fail(quoted(path) + (size < 0 ? L" did not appear" : L" has " + num(size) + L" bytes, expected at least " +
                                                              num(minSize)) + L" within " + num(s.timeout()) + L" ms");
}

// The gauge at 100 %: its frame (the outermost columns and rows) and the whole
// bar inside are black, and the percentage, drawn by inverting what lies under
// it, shows as white glyphs near the middle. Every pixel is pure black or pure
// white: the text is not smoothed and nothing of the background shows through.
// The tool's message boxes are moved off the main window first, as the pixels
// come from the screen. (The translucency is the window manager's business; a
// bare X server shows the window opaque.)
void Driver::checkFullGauge(const Step& s) {
    HWND host = control(s.integer(L"host"), Step{});
    auto v = s.numbers(L"rect", L',', 4);
    RECT r = scale().rect(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT mainRect{};
    GetWindowRect(mainWindow(), &mainRect);
    for (HWND box : topLevelWindows(pid_, L"#32770")) {
        RECT b{}, overlap{};
        GetWindowRect(box, &b);
        if (!IntersectRect(&overlap, &b, &mainRect)) continue;
        const int bh = b.bottom - b.top;
        const int y = mainRect.top >= bh ? 0 : GetSystemMetrics(SM_CYSCREEN) - bh;
        SetWindowPos(box, nullptr, 0, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(box, &b);
        if (IntersectRect(&overlap, &b, &mainRect))
            fail(L"the message box " + rectText(b) + L" cannot be moved off the main window " + rectText(mainRect));
    }
    MapWindowPoints(host, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    const std::vector<DWORD> px = screenPixels(r.left, r.top, w, h);
    auto at = [&](int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF; };
    // A picture of what was read, for the failure message: # black, . white, ? other.
    auto picture = [&] {
        std::wstring out;
        for (int y = 0; y < h; ++y) {
            out += L"\n  ";
            for (int x = 0; x < w; ++x) out += at(x, y) == 0 ? L'#' : at(x, y) == 0xFFFFFF ? L'.' : L'?';
        }
        return out;
    };
    auto bad = [&](const std::wstring& what, int x, int y) {
        fail(what + L" at " + num(x) + L"," + num(y) + L" is " + hex(at(x, y)) + L" (read from the screen at " +
             rectText(r) + L"):" + picture());
    };
    for (int x = 0; x < w; ++x) {
        if (at(x, 0) != 0) bad(L"the frame's top row", x, 0);
        if (at(x, h - 1) != 0) bad(L"the frame's bottom row", x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        if (at(0, y) != 0) bad(L"the frame's left column", 0, y);
        if (at(w - 1, y) != 0) bad(L"the frame's right column", w - 1, y);
    }
    int white = 0, minX = w, maxX = -1, minY = h, maxY = -1;
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) {
            DWORD c = at(x, y);
            if (c == 0) continue;
            if (c != 0xFFFFFF) bad(L"the bar holds a pixel neither black nor white", x, y);
            ++white;
            minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    // "100%" in Tahoma 8 pt is some 25 pixels wide and 8 high at 96 dpi.
    const int midX = w / 2, midY = h / 2;
    if (white < 20 || maxX - minX < w / 20 || maxY - minY < h / 4)
        fail(L"no inverted text in the bar: " + num(white) + L" white pixels:" + picture());
    if (maxX - minX > w / 4 || std::abs((minX + maxX) / 2 - midX) > 3 || std::abs((minY + maxY) / 2 - midY) > 3)
        fail(L"the white pixels span " + num(minX) + L".." + num(maxX) + L" x " + num(minY) + L".." + num(maxY) +
             L", expected a short text centred on " + num(midX) + L"," + num(midY) + L":" + picture());
}

struct Verb {
    void (Driver::*act)(const Step&);
    std::set<std::wstring> keys;
};

const std::map<std::wstring, Verb>& verbs() {
    static const std::map<std::wstring, Verb> table = {
        {L"start", {&Driver::start, {L"exe", L"cwd"}}},
        {L"window", {&Driver::waitWindow, {L"timeout"}}},
        {L"main", {&Driver::checkMain, {L"caption", L"client", L"fixed", L"alpha", L"centred", L"enabled", L"active",
                                           L"timeout"}}},
        {L"control", {&Driver::checkControl, {L"id", L"parent", L"class", L"text", L"rect", L"kind", L"visible",
                                              L"enabled", L"checked", L"parts", L"whole", L"focused",
                                              L"legible", L"timeout"}}},
        {L"click", {&Driver::click, {L"id", L"parent", L"how"}}},
        {L"close", {&Driver::close, {}}},
        {L"box", {&Driver::waitBox, {L"caption", L"text", L"has", L"lacks", L"icon", L"fits", L"stays", L"timeout"}}},
        {L"answer", {&Driver::answerBox, {L"button", L"timeout"}}},
        {L"no-box", {&Driver::noBox, {L"for"}}},
        {L"exit", {&Driver::waitExit, {L"code", L"timeout"}}},
        {L"screen", {&Driver::checkScreen, {L"dpi", L"height"}}},
        {L"reg-volatile", {&Driver::makeVolatileKey, {L"key"}}},
        {L"kill", {&Driver::killByName, {L"name"}}},
        {L"attach", {&Driver::attach, {L"name"}}},
        {L"wait-file", {&Driver::waitFile, {L"path", L"min-size", L"timeout"}}},
        {L"stamp", {&Driver::stamp, {L"name"}}},
        {L"gauge-full", {&Driver::checkFullGauge, {L"host", L"rect", L"timeout"}}},
        {L"decoy", {&Driver::decoy, {}}},
        {L"activate", {&Driver::activate, {}}},
        {L"listen", {&Driver::listen, {}}},
        {L"heard", {&Driver::checkHeard, {L"id", L"parent", L"min", L"max"}}},
        {L"follow", {&Driver::follow, {}}},
        {L"followed", {&Driver::checkFollowed, {L"id", L"parent", L"values", L"name"}}},
        {L"send", {&Driver::send, {L"id", L"parent", L"what", L"timeout"}}},
        {L"accessible", {&Driver::checkAccessible, {L"id", L"parent", L"role", L"name", L"value", L"busy", L"checked",
                                                    L"rising", L"timeout"}}},
    };
    return table;
}

// A typo in a late step is reported before the first step runs.
void validate(const Step& s) {
    auto it = verbs().find(s.verb);
    if (it == verbs().end()) throw BadCommandLine(L"unknown step");
    for (const auto& p : s.params)
        if (!it->second.keys.count(p.first)) throw BadCommandLine(L"takes no parameter " + p.first + L"=");
}

// Checks are retried until they hold or their deadline passes, since what they
// look at may still be on its way (a posted click, a repaint); waits poll by themselves.
void Driver::run(const Step& s) {
    auto act = verbs().at(s.verb).act;
    bool isCheck = s.verb == L"main" || s.verb == L"control" || s.verb == L"gauge-full" || s.verb == L"accessible";
    ULONGLONG end = GetTickCount64() + DWORD(s.integer(L"timeout", long(kCheckTimeout)));
    for (;;) {
        try {
            (this->*act)(s);
            return;
        } catch (const BadCommandLine&) {
            throw;
        } catch (const StepFailed&) {
            if (!isCheck || GetTickCount64() >= end) throw;
        }
        Sleep(kPollInterval);
    }
}

std::vector<Step> parse(int argc, wchar_t** argv) {
    std::vector<Step> steps;
    for (int i = 1; i < argc; ++i) {
        std::wstring word = argv[i];
        size_t eq = word.find(L'=');
        if (eq == std::wstring::npos) {
            steps.push_back(Step{int(steps.size()) + 1, word, {}});
        } else if (steps.empty()) {
            throw BadCommandLine(L"the parameter " + quoted(word) + L" comes before any step");
        } else if (!steps.back().params.emplace(word.substr(0, eq), word.substr(eq + 1)).second) {
            throw BadCommandLine(L"step " + num(steps.back().index) + L" (" + steps.back().verb + L") has " +
                                 word.substr(0, eq) + L"= twice");
        }
    }
    return steps;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Coordinates must be the tool's own, not scaled for a dpi-unaware caller.
    SetProcessDPIAware();
    std::vector<Step> steps;
    const Step* current = nullptr;
    try {
        steps = parse(argc, argv);
        for (const Step& s : steps) {
            current = &s;
            validate(s);
        }
    } catch (const StepFailed& e) {
        write(STD_ERROR_HANDLE, L"usage: " +
              (current ? L"step " + num(current->index) + L" (" + current->verb + L"): " : std::wstring()) + e.message);
        return 2;
    }
    if (steps.empty()) {
        write(STD_ERROR_HANDLE, L"usage: e2e_driver STEP [key=value ...] ... (see the top of driver.cpp)");
        return 2;
    }
    Driver driver;
    for (const Step& s : steps) {
        try {
            driver.run(s);
        } catch (const BadCommandLine& e) {
            write(STD_ERROR_HANDLE, L"usage: step " + num(s.index) + L" (" + s.verb + L"): " + e.message);
            return 2;
        } catch (const StepFailed& e) {
            write(STD_ERROR_HANDLE, L"step " + num(s.index) + L" (" + s.verb + L"): " + e.message);
            return 1;
        }
    }
    return 0;
}
