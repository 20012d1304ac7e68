#include "verse_draw.h"

#include "saver_clock.h"
#include "system_library.h"

#include <algorithm>
#include <cwchar>

namespace {

// The fade on the window: the performance counter as its clock, frames drawn by DrawFrame.
class WindowFade final : public FadeTarget {
  public:
    WindowFade(HDC windowDc, const FrameSurface& surface, const VerseRunPlan& plan)
        : windowDc_(windowDc), surface_(surface), plan_(plan) {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    uint32_t Elapsed() override {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<uint32_t>((now.QuadPart - start_.QuadPart) * 1000 / frequency_.QuadPart);
    }
    void Wait(uint32_t milliseconds) override { Sleep(milliseconds); }
    void DrawFrame(uint32_t colourRef) override {
        ::DrawFrame(windowDc_, surface_, plan_, colourRef);
    }

  private:
    HDC windowDc_;
    const FrameSurface& surface_;
    const VerseRunPlan& plan_;
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

// The font a run draws a face in: only the cell height and the face name set.
HFONT MakeVerseFont(const WideChar* face, int32_t height) {
    LOGFONTW description{};
    description.lfHeight = height;
    // Any character set lets a face be found by its name, also one (a localized or a symbol
    // face) that has no Western character set; the wide text draws every letter the face has.
    description.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectW(&description);
}

// Whether Windows' "Animation effects" are on; a system that cannot tell has them on.
bool AnimationsOn() {
    BOOL on = TRUE;
    if (!SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &on, 0)) {
        return true;
    }
    return on != FALSE;
}

// winmm's timeBeginPeriod and timeEndPeriod, from the system folder (winmm is no DLL that Windows
// always takes from there, so the program does not import it). Loaded by the first run and kept;
// without them the fade runs at the default resolution.
struct TimerResolution {
    using Function = UINT(WINAPI*)(UINT milliseconds);
    Function Begin;
    Function End;
};

TimerResolution LoadTimerResolution() {
    HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
    TimerResolution resolution = {FindEntry<TimerResolution::Function>(winmm, "timeBeginPeriod"),
                                  FindEntry<TimerResolution::Function>(winmm, "timeEndPeriod")};
    if (resolution.Begin == nullptr || resolution.End == nullptr) {
        resolution = {};
    }
    return resolution;
}

// Loaded once, by the window thread before its first run (PrepareDrawingRuns).
const TimerResolution& FineTimer() {
    static const TimerResolution resolution = LoadTimerResolution();
    return resolution;
}

void FadeIn(HDC windowDc, const VerseRunPlan& plan, HFONT font,
            const std::atomic<uint32_t>& running) {
    if (!plan.Complete) {
        return;
    }
    FrameSurface surface = MakeFrameSurface(windowDc, plan, font);
    // A user who asked for calm gets the verse at its colour at once.
    FadeSchedule schedule = AnimationsOn() ? plan.Fade : InstantFade;
    // The default timer resolution (15.6 ms) would round every pause up to a whole tick and miss
    // most frames' deadlines; a fade lasts a few seconds at most.
    const TimerResolution& timer = FineTimer();
    if (timer.Begin != nullptr) {
        timer.Begin(1);
    }
    {
        WindowFade target(windowDc, surface, plan);
        RunFade(plan.Colour, schedule, target, running);
    }
    if (timer.End != nullptr) {
        timer.End(1);
    }
    ReleaseFrameSurface(surface);
}

struct MonitorSearch {
    ScreenRect client;
    ClientAreas areas;
};

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT monitor, LPARAM search) {
    MonitorSearch& found = *reinterpret_cast<MonitorSearch*>(search);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    bool main = GetMonitorInfoW(handle, &info) && (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    AddMonitorArea(found.areas, found.client,
                   {monitor->left, monitor->top, monitor->right, monitor->bottom}, main);
    return TRUE;
}

} // namespace

FrameSurface MakeFrameSurface(HDC windowDc, const VerseRunPlan& plan, HFONT font) {
    FrameSurface surface;
    surface.Dc = CreateCompatibleDC(windowDc);
    surface.Bitmap = CreateCompatibleBitmap(windowDc, plan.Block.Width, plan.Block.Height);
    if (surface.Dc == nullptr) {
        return surface;
    }
    if (surface.Bitmap != nullptr) {
        surface.KeptBitmap = SelectObject(surface.Dc, surface.Bitmap);
    }
    if (font != nullptr) {
        surface.KeptFont = SelectObject(surface.Dc, font);
    }
    SetBkColor(surface.Dc, RGB(0, 0, 0));
    SelectObject(surface.Dc, GetStockObject(BLACK_BRUSH));
    return surface;
}

// Nothing of the run may stay current on the surface when it is released.
void ReleaseFrameSurface(FrameSurface& surface) {
    if (surface.Dc != nullptr) {
        if (surface.KeptFont != nullptr) {
            SelectObject(surface.Dc, surface.KeptFont);
        }
        if (surface.KeptBitmap != nullptr) {
            SelectObject(surface.Dc, surface.KeptBitmap);
        }
        DeleteDC(surface.Dc);
    }
    if (surface.Bitmap != nullptr) {
        DeleteObject(surface.Bitmap);
    }
}

RECT FrameTextRect(const VerseRunPlan& plan) {
    // The lines are broken at the width the layout was measured at, centred on the block, so
    // they break as measured: given exactly the measured block's width, Wine's DrawText breaks
    // some verses into one line more and the block cuts the last line off. Each line stays
    // centred on the block, as in a rectangle of the block's own width.
    int32_t width = std::max(plan.BlockLayoutWidth, plan.Block.Width);
    int32_t left = (plan.Block.Width - width) / 2;
    return {left, 0, left + width, plan.Block.Height};
}

void DrawFrame(HDC windowDc, const FrameSurface& surface, const VerseRunPlan& plan,
               uint32_t colourRef) {
    PatBlt(surface.Dc, 0, 0, plan.Block.Width, plan.Block.Height, PATCOPY);
    SetTextColor(surface.Dc, colourRef);
    RECT block = FrameTextRect(plan);
    DrawTextW(surface.Dc, ShownText(plan), static_cast<int>(plan.Length), &block, VerseTextFormat);
    BitBlt(windowDc, plan.X, plan.Y, plan.Block.Width, plan.Block.Height, surface.Dc, 0, 0,
           SRCCOPY);
    // Wine puts another thread's drawing on screen only once a thread of the process looks at
    // its messages; without this the fade would stay invisible until the next window message.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

GdiMeasurer::~GdiMeasurer() {
    RestoreSurfaceFont();
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void GdiMeasurer::UseFont(const WideChar* face, int32_t height) {
    HFONT font = MakeVerseFont(face, height);
    if (font == nullptr) {
        return;
    }
    HGDIOBJ replaced = SelectObject(dc_, font);
    if (kept_ == nullptr) {
        kept_ = replaced;
    }
    // The earlier font is no longer current anywhere.
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = font;
}

TextExtent GdiMeasurer::MeasureLine(const WideChar* text, uint32_t length) {
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc_, text, static_cast<int>(length), &size);
    return {size.cx, size.cy};
}

TextExtent GdiMeasurer::MeasureWrapped(const WideChar* text, uint32_t length, int32_t width,
                                       int32_t height) {
    RECT area = {0, 0, width, height};
    DrawTextW(dc_, text, static_cast<int>(length), &area, DT_CALCRECT | VerseTextFormat);
    return {area.right, area.bottom};
}

bool GdiMeasurer::HasGlyphs(const WideChar* face, const WideChar* text, uint32_t length) {
    HFONT font = MakeVerseFont(face, BaseFontHeight);
    if (font == nullptr) {
        return false;
    }
    WORD glyphs[TextSlotWidth];
    uint32_t count = length < TextSlotWidth ? length : TextSlotWidth;
    HGDIOBJ replaced = SelectObject(dc_, font);
    DWORD result =
        GetGlyphIndicesW(dc_, text, static_cast<int>(count), glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc_, replaced);
    DeleteObject(font);
    return result != GDI_ERROR && std::find(glyphs, glyphs + count, 0xFFFF) == glyphs + count;
}

void GdiMeasurer::RestoreSurfaceFont() {
    if (kept_ != nullptr) {
        SelectObject(dc_, kept_);
        kept_ = nullptr;
    }
}

void PaintClientBlack(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    PatBlt(dc, 0, 0, client.right, client.bottom, PATCOPY);
}

ClientAreas WindowAreas(HWND window) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    MonitorSearch search{};
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0) {
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        search.client = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&search));
    }
    if (search.areas.Count == 0) {
        search.areas.Area[0] = {0, 0, client.right, client.bottom};
        search.areas.Count = 1;
        search.areas.Main = 0;
    }
    return search.areas;
}

void PrepareDrawingRuns() {
    FineTimer();
}

DWORD WINAPI DrawVerseThread(LPVOID parameter) {
    const ScreenRun& run = *static_cast<const ScreenRun*>(parameter);
    SaverSettings& record = *run.Record;
    HWND window = record.SaverWindow;
    HDC windowDc = GetDC(window);
    {
        GdiMeasurer measurer(windowDc);
        VerseRunPlan plan = PlanVerseRun(record, run.Area, run.Start, measurer);
        measurer.RestoreSurfaceFont();
        SelectObject(windowDc, GetStockObject(BLACK_BRUSH));
        const ClientArea& black = run.Blackout;
        PatBlt(windowDc, black.Left, black.Top, black.Width, black.Height, PATCOPY);
        // A block larger than its screen is cut at the screen's edge, not drawn on the next one.
        IntersectClipRect(windowDc, run.Area.Left, run.Area.Top, run.Area.Left + run.Area.Width,
                          run.Area.Top + run.Area.Height);
        FadeIn(windowDc, plan, measurer.Font(), record.Running);
    }
    ReleaseDC(window, windowDc);
    return 0;
}
