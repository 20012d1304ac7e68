#pragma once
// The program's own handling of the saver window's messages: settings at creation, one drawing
// run per timer tick, the black background, and the position in the verse list stored at close.

// The window reads its lists with StartListReader: ListReadStillRunning tells whether that is
// still going after the window is gone.
#include "list_reading.h"
#include "saver_settings.h"

#include <windows.h>

// The saver's settings record, shared by the window thread and the drawing runs.
extern SaverSettings SaverRecord;

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
