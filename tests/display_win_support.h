#pragma once
// Windows, pixels, threads and GDI objects for the display's tests under Wine.

#include "test_support.h"
#include "win_test_support.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A visible top-level popup with its client area at (left, top) of the given size, of a class
// registered here with the given procedure.
HWND MakeTestWindow(const char* className, WNDPROC procedure, int left, int top, int width,
                    int height);

// Pixels as 0x00RRGGBB, row by row: of a window's client area read through its own surface,
// and of the same rectangle of the X screen (what a person sees).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};
Pixels ReadClient(HWND window);
Pixels ReadScreen(HWND window);

// Fills the client area with one colour.
void FillClient(HWND window, COLORREF colour);

// Handles the thread's messages for the given time.
void PumpMessages(DWORD milliseconds);

// Objects in the process's GDI handle table, and open kernel handles (Wine's GetGuiResources
// and GetProcessHandleCount give 0).
size_t GdiObjectCount();
size_t OpenHandleCount();

// Threads of this process.
std::vector<DWORD> ProcessThreads();

// The installer's part for the saver: the key naming a verses file of the given number of
// numbered verses and a typefaces file ("Tahoma", none when there are no verses), FadeSpeed 10.
struct Installed {
    ScratchDir dir;
    SettingsKey key;
    std::string texts = dir.File("versete.txt");
    std::string fonts = dir.File("fonturi.txt");

    explicit Installed(int verses);
};
