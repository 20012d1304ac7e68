#pragma once
// One drawing run on the saver window: the layout measured with GDI, then the fade-in frame by
// frame through an off-screen bitmap.

#include "verse_layout.h"

#include <windows.h>

// How a verse is broken into lines and drawn, measured alike: centred lines broken at words, and
// every character shown as it is ("&" is no mnemonic prefix).
inline constexpr UINT VerseTextFormat = DT_WORDBREAK | DT_CENTER | DT_NOPREFIX;

// Fills the window's whole client area on dc with the stock black brush, which stays selected.
void PaintClientBlack(HWND window, HDC dc);

// The off-screen surface of a run's frames, with what its bitmap and font replaced on it.
struct FrameSurface {
    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ KeptBitmap = nullptr;
    HGDIOBJ KeptFont = nullptr;
};

// A bitmap of the block's size on a surface matching the window's, with the run's font, a black
// background and the black brush.
FrameSurface MakeFrameSurface(HDC windowDc, const VerseRunPlan& plan, HFONT font);
void ReleaseFrameSurface(FrameSurface& surface);

// Where a frame's text is drawn on the block's surface: the width the layout was measured at,
// centred on the block.
RECT FrameTextRect(const VerseRunPlan& plan);

// A frame of the fade: the block filled black, the verse drawn in the frame's colour (a
// COLORREF), the block copied to the window at the planned place.
void DrawFrame(HDC windowDc, const FrameSurface& surface, const VerseRunPlan& plan,
               uint32_t colourRef);

// One screen's run of a tick, as its thread is handed it: the saver's record (the window, the
// lists, FadeSpeed, Running), the area its verse stays in, what it blacks out first (nothing
// when empty), its start.
struct ScreenRun {
    SaverSettings* Record;
    ClientArea Area;
    ClientArea Blackout;
    RunStart Start;
};

// Thread routine of a run; parameter: its ScreenRun. Fades the verse in over the plan's time,
// or shows it in one frame when Windows' animations are off, drawing nothing outside its area;
// stops within one frame once Running drops to 0. Returns 0.
DWORD WINAPI DrawVerseThread(LPVOID parameter);

// Loads what every run uses from the system folder, on the calling thread: a run never loads a
// library itself, so that it never holds the loader's lock while it is being stopped.
void PrepareDrawingRuns();

// The parts of the window's client area that each monitor shows. A preview is a child window
// picturing the screen in the settings: it is one area, as is a window that no monitor shows.
ClientAreas WindowAreas(HWND window);

// The layout measured on a window's surface, as a run measures it. Keeps the font it replaced
// and puts it back when it goes; owns the fonts it makes.
class GdiMeasurer final : public TextMeasurer {
  public:
    explicit GdiMeasurer(HDC dc) : dc_(dc) {}
    ~GdiMeasurer();
    GdiMeasurer(const GdiMeasurer&) = delete;
    GdiMeasurer& operator=(const GdiMeasurer&) = delete;

    void UseFont(const WideChar* face, int32_t height) override;
    TextExtent MeasureLine(const WideChar* text, uint32_t length) override;
    TextExtent MeasureWrapped(const WideChar* text, uint32_t length, int32_t width,
                              int32_t height) override;
    // Asks the face for the glyph of every unit; the surface's font stays current.
    bool HasGlyphs(const WideChar* face, const WideChar* text, uint32_t length) override;

    // The font made last (the scaled one after a complete layout), or none.
    HFONT Font() const { return font_; }
    // Makes the surface's own font current again; the fonts made stay alive.
    void RestoreSurfaceFont();

  private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ kept_ = nullptr;
};
