// Until the verses are shown the saver window only stays black.
#include "saver_window.h"

#include "saver_shell.h"

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        HDC dc = GetDC(window);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ReleaseDC(window, dc);
        return 0;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
