// What the parts of e2e_driver share (driver.cpp tells how it is used): a step
// and its parameters, how a step fails, the text helpers, and the driver whose
// members carry the steps out, each kind of step in a driver_*.cpp of its own.
#pragma once
#include <windows.h>

#include <cwchar>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/win_handles.h"

// ---------------------------------------------------------------- text out

// A console gets wide text; a pipe or file (the runner's case) gets UTF-8.
void write(DWORD which, const std::wstring& line);

inline std::wstring quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
inline std::wstring num(long long v) { return std::to_wstring(v); }
inline std::wstring hex(unsigned long v) { wchar_t b[16]; swprintf(b, 16, L"0x%lX", v); return b; }

struct StepFailed : std::runtime_error {
    explicit StepFailed(std::wstring m) : std::runtime_error("step failed"), message(std::move(m)) {}
    std::wstring message;
};
struct BadCommandLine : StepFailed { using StepFailed::StepFailed; };

[[noreturn]] inline void fail(const std::wstring& m) { throw StepFailed(m); }

inline void expectText(const std::wstring& what, const std::wstring& got, const std::wstring& want) {
    if (got != want) fail(what + L" is " + quoted(got) + L", expected " + quoted(want));
}

inline void expectState(const std::wstring& what, bool got, bool want, const wchar_t* yes, const wchar_t* no) {
    if (got != want) fail(what + L" is " + (got ? yes : no) + L", expected " + (want ? yes : no));
}

// ---------------------------------------------------------------- polling

constexpr DWORD kDefaultTimeout = 20000;
constexpr DWORD kCheckTimeout = 3000;
constexpr DWORD kPollInterval = 25;
constexpr UINT kMessageTimeout = 5000;

// Asks done() every kPollInterval until it holds (true) or ms have passed.
bool pollUntil(DWORD ms, const std::function<bool()>& done);
// Dispatches what waits in this thread's queue: the events heard, the decoy's messages.
void takeMessages();

// ---------------------------------------------------------------- windows

std::wstring className(HWND w);
std::wstring windowText(HWND w);
// The visible top-level windows of one process with one class.
std::vector<HWND> topLevelWindows(DWORD pid, const wchar_t* cls);
std::vector<HWND> descendants(HWND parent);
std::wstring rectText(const RECT& r);
// A message box as a failure names it: its caption and its text.
std::wstring describeBox(HWND box);
// Which standard icon a message box shows (stop, info, warning, question, none
// or unknown); detail, when given, gets how far it is from each.
std::wstring iconKind(HWND box, std::wstring* detail);
// Fails unless an owner-drawn button's caption stands out from its face.
void checkLegible(HWND c, const std::wstring& name);
// Tahoma at a height in pixels (negative: the character height) and a weight.
UniqueFont tahoma(int height, int weight);

// ---------------------------------------------------------------- layout scale

// The layout is stored for 96 dpi and a text height of 13; on another screen the
// tool measures Tahoma at its scaled height and scales every edge by
// textHeight / 13. The driver measures the same font to know what to expect.
struct LayoutScale {
    int dpi = 96;
    int textHeight = 13;
    std::wstring face;

    static LayoutScale measure();
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
