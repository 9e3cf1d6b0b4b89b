// What a screen reader hears of the tool: a control's accessible object read
// from outside, and the value changes the tool tells of (WinEvents), counted
// or followed as a screen reader follows them.
#include "driver.h"

#include <oleacc.h>

namespace {

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

}  // namespace

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
