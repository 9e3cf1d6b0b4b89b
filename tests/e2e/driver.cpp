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
#include "driver.h"

#include <set>

#include "common/utf.h"

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

namespace {

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
