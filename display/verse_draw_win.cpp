#include "verse_draw.h"

#include "saver_clock.h"
#include "system_library.h"

#include <algorithm>
#include <cwchar>

namespace {

// A fade's clock: the performance counter.
class WindowClock : public FadeTarget {
  public:
    WindowClock() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    uint32_t Elapsed() override {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<uint32_t>((now.QuadPart - start_.QuadPart) * 1000 / frequency_.QuadPart);
    }
    void Wait(uint32_t milliseconds) override { Sleep(milliseconds); }

  protected:
    ~WindowClock() = default;

  private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

// The fade-in on the window: frames drawn by DrawFrame, each noted as the colour shown.
class WindowFade final : public WindowClock {
  public:
    WindowFade(HDC windowDc, const FrameSurface& surface, ShownVerse& shown)
        : windowDc_(windowDc), surface_(surface), shown_(shown) {}
    void DrawFrame(uint32_t colourRef) override {
        ::DrawFrame(windowDc_, surface_, shown_.Plan, colourRef);
        shown_.ColourRef = colourRef;
    }

  private:
    HDC windowDc_;
    const FrameSurface& surface_;
    ShownVerse& shown_;
};

// Each byte of a 0x00BBGGRR (or 0x00RRGGBB) value times share / 256.
uint32_t Dimmed(uint32_t value, uint32_t share) {
    return (((value & 0xFF00FF) * share >> 8) & 0xFF00FF) |
           (((value & 0xFF00) * share >> 8) & 0xFF00);
}

// The verse's lit pixels on a bitmap of 32-bit pixels: where each is and its light as shown.
struct LitPixel {
    uint32_t Index;
    uint32_t Value;
};

// The fade-out on the window: the verse drawn once as shown on a bitmap of 32-bit pixels, whose
// lit pixels each frame dims towards black before the bitmap is copied, so that no frame draws
// text. RunFade fades white out: a frame's level is the share of the verse's light, of 255.
class WindowFadeOut final : public WindowClock {
  public:
    WindowFadeOut(HDC windowDc, const FrameSurface& surface, uint32_t* pixels, const LitPixel* lit,
                  size_t count, ShownVerse& shown)
        : windowDc_(windowDc), surface_(surface), pixels_(pixels), lit_(lit), count_(count),
          shown_(shown), colourRef_(shown.ColourRef) {}
    void DrawFrame(uint32_t level) override {
        uint32_t share = (level & 0xFF) + ((level & 0xFF) >> 7);
        for (size_t i = 0; i < count_; i++) {
            pixels_[lit_[i].Index] = Dimmed(lit_[i].Value, share);
        }
        CopyFrameToWindow(windowDc_, surface_, shown_.Plan);
        shown_.ColourRef = Dimmed(colourRef_, share);
    }

  private:
    HDC windowDc_;
    const FrameSurface& surface_;
    uint32_t* pixels_;
    const LitPixel* lit_;
    size_t count_;
    ShownVerse& shown_;
    uint32_t colourRef_;
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

// A surface matching the window's with bitmap and font current, a black background and the
// black brush; it owns the bitmap.
FrameSurface SurfaceOn(HDC windowDc, HBITMAP bitmap, HFONT font) {
    FrameSurface surface;
    surface.Dc = CreateCompatibleDC(windowDc);
    surface.Bitmap = bitmap;
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

// RunFade at a fine timer resolution: the default one (15.6 ms) would round every pause up to a
// whole tick and miss most frames' deadlines; a fade lasts a few seconds at most.
bool RunFadeFinely(const Rgb& colour, const FadeSchedule& schedule, FadeTarget& target,
                   const std::atomic<uint32_t>& running, FadeDirection direction) {
    const TimerResolution& timer = FineTimer();
    if (timer.Begin != nullptr) {
        timer.Begin(1);
    }
    bool ended = RunFade(colour, schedule, target, running, direction);
    if (timer.End != nullptr) {
        timer.End(1);
    }
    return ended;
}

void FadeIn(HDC windowDc, const VerseRunPlan& plan, HFONT font, ShownVerse& shown,
            const std::atomic<uint32_t>& running) {
    if (!plan.Complete) {
        return;
    }
    shown.Plan = plan;
    FrameSurface surface = MakeFrameSurface(windowDc, plan, font);
    // A user who asked for calm gets the verse at its colour at once.
    FadeSchedule schedule = AnimationsOn() ? plan.Fade : InstantFade;
    {
        WindowFade target(windowDc, surface, shown);
        RunFadeFinely(plan.Colour, schedule, target, running, FadeDirection::In);
    }
    ReleaseFrameSurface(surface);
}

// A frame surface on a top-down DIB of 32-bit pixels, and where they are (none without it).
FrameSurface MakePixelSurface(HDC windowDc, const VerseRunPlan& plan, HFONT font,
                              uint32_t*& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = plan.Block.Width;
    info.bmiHeader.biHeight = -plan.Block.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    FrameSurface surface = SurfaceOn(windowDc, bitmap, font);
    pixels = surface.Dc != nullptr && bitmap != nullptr ? static_cast<uint32_t*>(bits) : nullptr;
    return surface;
}

// The shown verse to black in schedule's time, from the colour it shows; false when running
// dropped first. Without its pixels (or with animations off) it goes in one frame.
bool FadeOut(HDC windowDc, ShownVerse& shown, FadeSchedule schedule,
             const std::atomic<uint32_t>& running) {
    if (shown.ColourRef == 0) {
        return true;
    }
    const VerseRunPlan& plan = shown.Plan;
    HFONT font = MakeVerseFont(plan.Face, plan.FontHeight);
    uint32_t* pixels = nullptr;
    FrameSurface surface = MakePixelSurface(windowDc, plan, font, pixels);
    size_t count = size_t(plan.Block.Width) * size_t(plan.Block.Height);
    auto* lit =
        pixels != nullptr && AnimationsOn()
            ? static_cast<LitPixel*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(LitPixel)))
            : nullptr;
    bool ended = true;
    if (lit != nullptr) {
        DrawFrame(surface.Dc, surface, plan, shown.ColourRef, false);
        GdiFlush();
        // Most of a block is black and stays so.
        size_t litCount = 0;
        for (size_t i = 0; i < count; i++) {
            if (pixels[i] != 0) {
                lit[litCount++] = {static_cast<uint32_t>(i), pixels[i]};
            }
        }
        WindowFadeOut target(windowDc, surface, pixels, lit, litCount, shown);
        ended = RunFadeFinely({255, 255, 255}, schedule, target, running, FadeDirection::Out);
        HeapFree(GetProcessHeap(), 0, lit);
    }
    ReleaseFrameSurface(surface);
    if (font != nullptr) {
        DeleteObject(font);
    }
    if (lit == nullptr) {
        BlackOutShownVerse(windowDc, shown);
    }
    return ended;
}

// No run fades in before every run of the tick has faded out: where monitors overlap, the
// last, black frame of a fade-out would cut into a verse already coming in; false when running
// dropped first.
bool AllFadedOut(const ScreenRun& run) {
    const std::atomic<uint32_t>& running = run.Record->Running;
    while (run.FadingOut != nullptr && *run.FadingOut != 0 && running != 0) {
        Sleep(1);
    }
    return running != 0;
}

void CutToArea(HDC windowDc, const ClientArea& area) {
    SelectClipRgn(windowDc, nullptr);
    IntersectClipRect(windowDc, area.Left, area.Top, area.Left + area.Width,
                      area.Top + area.Height);
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
    return SurfaceOn(windowDc,
                     CreateCompatibleBitmap(windowDc, plan.Block.Width, plan.Block.Height), font);
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
               uint32_t colourRef, bool copy) {
    PatBlt(surface.Dc, 0, 0, plan.Block.Width, plan.Block.Height, PATCOPY);
    SetTextColor(surface.Dc, colourRef);
    RECT block = FrameTextRect(plan);
    DrawTextW(surface.Dc, ShownText(plan), static_cast<int>(plan.Length), &block, VerseTextFormat);
    if (copy) {
        CopyFrameToWindow(windowDc, surface, plan);
    }
}

void CopyFrameToWindow(HDC windowDc, const FrameSurface& surface, const VerseRunPlan& plan) {
    BitBlt(windowDc, plan.X, plan.Y, plan.Block.Width, plan.Block.Height, surface.Dc, 0, 0,
           SRCCOPY);
    // Wine puts another thread's drawing on screen only once a thread of the process looks at
    // its messages; without this the fade would stay invisible until the next window message.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

void BlackOutShownVerse(HDC windowDc, ShownVerse& shown) {
    const VerseRunPlan& plan = shown.Plan;
    const ClientArea& area = shown.Area;
    int32_t left = std::max(plan.X, area.Left);
    int32_t top = std::max(plan.Y, area.Top);
    int32_t right = std::min(plan.X + plan.Block.Width, area.Left + area.Width);
    int32_t bottom = std::min(plan.Y + plan.Block.Height, area.Top + area.Height);
    if (shown.ColourRef != 0 && right > left && bottom > top) {
        PatBlt(windowDc, left, top, right - left, bottom - top, BLACKNESS);
    }
    shown.ColourRef = 0;
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
    ScreenRun& run = *static_cast<ScreenRun*>(parameter);
    SaverSettings& record = *run.Record;
    HWND window = record.SaverWindow;
    HDC windowDc = GetDC(window);
    {
        GdiMeasurer measurer(windowDc);
        VerseRunPlan plan = PlanVerseRun(record, run.Area, run.Start, measurer);
        measurer.RestoreSurfaceFont();
        VerseFades fades = ScheduleFades(record.FadeSpeed, DisplayPeriod(record.TextSpeed));
        // Each verse is cut at its screen's edge, not drawn on the next one. A run with no verse
        // of its own to fade out (the first of an activation) blacks its screen out instead.
        bool gone = true;
        if (run.Shown.ColourRef != 0) {
            CutToArea(windowDc, run.Shown.Area);
            gone = FadeOut(windowDc, run.Shown, fades.Out, record.Running);
        } else {
            const ClientArea& area = run.Area;
            PatBlt(windowDc, area.Left, area.Top, area.Width, area.Height, BLACKNESS);
        }
        if (run.FadingOut != nullptr) {
            run.FadingOut->fetch_sub(1);
        }
        if (gone && AllFadedOut(run)) {
            run.Shown.Area = run.Area;
            CutToArea(windowDc, run.Area);
            FadeIn(windowDc, plan, measurer.Font(), run.Shown, record.Running);
        }
    }
    ReleaseDC(window, windowDc);
    return 0;
}
