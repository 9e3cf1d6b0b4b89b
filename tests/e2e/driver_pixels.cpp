// What the screen shows: the pixels of the tool's windows, the icon of a box,
// the gauge at 100 %, and the screen's own measure (its dots per inch and
// Tahoma's height on it).
#include "driver.h"

#include <algorithm>
#include <cstdlib>

namespace {

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

HWND boxIconControl(HWND box) {
    for (HWND c : descendants(box))
        if (className(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(c))
            return c;
    return nullptr;
}

}  // namespace

UniqueFont tahoma(int height, int weight) {
    return UniqueFont(CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
}

LayoutScale LayoutScale::measure() {
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

void Driver::checkScreen(const Step& s) {
    const LayoutScale& sc = scale();
    if (s.has(L"dpi") && sc.dpi != s.integer(L"dpi")) fail(L"the screen has " + num(sc.dpi) + L" dpi, expected " + s.text(L"dpi"));
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (s.has(L"height") && height != s.integer(L"height"))
        fail(L"the screen is " + num(height) + L" pixels high, expected " + s.text(L"height"));
    if (sc.face != L"Tahoma") fail(L"Tahoma is not installed (the font mapper chose " + quoted(sc.face) + L")");
    write(STD_OUTPUT_HANDLE, sc.describe());
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
