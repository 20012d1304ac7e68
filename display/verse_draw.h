#pragma once
// One drawing run on the saver window: the layout measured with GDI, the fade-out of the verse
// on screen, then the fade-in frame by frame through an off-screen bitmap.

#include "verse_layout.h"

#include <windows.h>

#include <atomic>

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
// COLORREF), the block copied to the window at the planned place (unless copy is false).
void DrawFrame(HDC windowDc, const FrameSurface& surface, const VerseRunPlan& plan,
               uint32_t colourRef, bool copy = true);
void CopyFrameToWindow(HDC windowDc, const FrameSurface& surface, const VerseRunPlan& plan);

// The verse a screen shows, as the runs left it: the plan it was drawn by, the area it is cut
// to, and the colour of its last frame (a COLORREF), 0 when the screen shows none.
struct ShownVerse {
    VerseRunPlan Plan;
    ClientArea Area;
    uint32_t ColourRef;
};

// One screen's run of a tick, as its thread is handed it: the saver's record (the window, the
// lists, FadeSpeed, TextSpeed, Running), the area its verse stays in, its start, the verse it
// fades out first and then the one it shows (Shown: the window thread hands the run the verse
// its screen's run of the last tick left), and how many runs of the tick are still fading out
// (none to wait for when null).
struct ScreenRun {
    SaverSettings* Record;
    ClientArea Area;
    RunStart Start;
    ShownVerse Shown;
    std::atomic<uint32_t>* FadingOut;
};

// Thread routine of a run; parameter: its ScreenRun. Fades the shown verse out and, once every
// run of the tick has, the new one in, over the times FadeSpeed and the interval give, or each in
// one frame when Windows' animations are off, drawing nothing outside the two verses' areas;
// stops within one frame once Running drops to 0. Returns 0.
DWORD WINAPI DrawVerseThread(LPVOID parameter);

// Blacks out the shown verse's block at once, within its area; the screen then shows none.
void BlackOutShownVerse(HDC windowDc, ShownVerse& shown);

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
