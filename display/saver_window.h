#pragma once
// The program's own handling of the saver window's messages: settings at creation, one drawing
// run per timer tick, the black background, and the position in the verse list stored at close.

#include "saver_settings.h"

#include <windows.h>

// The saver's settings record, shared by the window thread and the drawing runs.
extern SaverSettings SaverRecord;

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether a saver window's reading of the list files is still going after the window is gone
// (a hung network path, a pipe nobody writes to). The reader then holds locks of the C runtime
// that a normal exit would wait for without end.
bool ListReadStillRunning();
