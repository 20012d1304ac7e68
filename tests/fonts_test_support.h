#pragma once
// Helpers for the tests of the typefaces dialog and the font sample under Wine.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Error boxes are modal message boxes: a test that provoked one would wait on it for ever. While
// a MessageBoxWatch lives, every message box the thread opens is closed as soon as it shows
// and its text is kept for the test to check.
class MessageBoxWatch {
  public:
    MessageBoxWatch();
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    // The texts of the boxes closed so far, oldest first.
    const std::vector<std::string>& Texts() const;

  private:
    HHOOK hook_ = nullptr;
};

// The system's text for an error code, as an error box shows it.
std::string SystemErrorText(DWORD code);

// Every typeface name with the ANSI character set, as the typefaces dialog enumerates them, in
// the order the system gives them.
std::vector<std::string> InstalledTypefaces();

// Registers the font sample's class for this program, once per process.
void RegisterSampleClass();

// The pixels of a window's client area as 0x00RRGGBB values, row by row from the top.
std::vector<uint32_t> CaptureClient(HWND window);
// The same for the bitmap selected into a memory DC, width x height.
std::vector<uint32_t> CapturePixels(HDC dc, int width, int height);
