#include "display_win_support.h"

#include <cstdio>

#include <tlhelp32.h>
#include <winternl.h>

#include <gtest/gtest.h>

HWND MakeTestWindow(const char* className, WNDPROC procedure, int left, int top, int width,
                    int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, className, "", WS_POPUP | WS_VISIBLE, left, top, width,
                        height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(window, nullptr) << "cannot create the test window";
    return window;
}

namespace {

Pixels ReadRect(HDC source, int left, int top, int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.values.assign(static_cast<size_t>(width) * height, 0);
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copy = CreateCompatibleDC(source);
    HGDIOBJ kept = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, source, left, top, SRCCOPY);
    GdiFlush();
    const uint32_t* row = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.values.size(); i++) {
        pixels.values[i] = row[i] & 0xFFFFFF;
    }
    SelectObject(copy, kept);
    DeleteDC(copy);
    DeleteObject(bitmap);
    return pixels;
}

} // namespace

Pixels ReadClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Pixels pixels = ReadRect(dc, 0, 0, client.right, client.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

Pixels ReadScreen(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    Pixels pixels = ReadRect(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void FillClient(HWND window, COLORREF colour) {
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

void PumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

namespace {

// Wine's layout of an entry of the GDI handle table that the PEB points to; a free entry has
// type 0.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t GdiHandleCount = 0x10000;

// Wine's 32-bit programs find no table pointer in their PEB; the table is then the committed
// region whose entry of a fresh object carries that object's handle and type.
const GdiHandleEntry* FindGdiHandleTable() {
    HDC probe = CreateCompatibleDC(nullptr);
    size_t index = reinterpret_cast<UINT_PTR>(probe) & 0xFFFF;
    USHORT unique = static_cast<USHORT>(reinterpret_cast<UINT_PTR>(probe) >> 16);
    const GdiHandleEntry* found = nullptr;
    MEMORY_BASIC_INFORMATION region{};
    const BYTE* address = nullptr;
    while (found == nullptr && VirtualQuery(address, &region, sizeof region) != 0) {
        const BYTE* base = static_cast<const BYTE*>(region.BaseAddress);
        if (region.State == MEM_COMMIT && (region.Protect & (PAGE_READWRITE | PAGE_READONLY)) &&
            region.RegionSize >= GdiHandleCount * sizeof(GdiHandleEntry)) {
            const GdiHandleEntry* table = reinterpret_cast<const GdiHandleEntry*>(base);
            if (table[index].unique == unique && table[index].type != 0) {
                found = table;
            }
        }
        if (base + region.RegionSize <= address) {
            break;
        }
        address = base + region.RegionSize;
    }
    DeleteDC(probe);
    return found;
}

const GdiHandleEntry* GdiHandleTable() {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic,
                                  sizeof basic, nullptr) != 0) {
        return nullptr;
    }
    const BYTE* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    // PEB's GdiSharedHandleTable.
    const GdiHandleEntry* table =
        *reinterpret_cast<GdiHandleEntry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    return table != nullptr ? table : FindGdiHandleTable();
}

} // namespace

size_t GdiObjectCount() {
    const GdiHandleEntry* table = GdiHandleTable();
    if (table == nullptr) {
        return 0;
    }
    size_t count = 0;
    for (size_t i = 0; i < GdiHandleCount; i++) {
        if (table[i].type != 0) {
            count++;
        }
    }
    return count;
}

size_t OpenHandleCount() {
    size_t count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            count++;
        }
    }
    return count;
}

std::vector<DWORD> ProcessThreads() {
    std::vector<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return threads;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD process = GetCurrentProcessId();
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == process) {
            threads.push_back(entry.th32ThreadID);
        }
    }
    CloseHandle(snapshot);
    return threads;
}

Installed::Installed(int verses) {
    std::string lines;
    for (int i = 0; i < verses; i++) {
        char line[80];
        snprintf(line, sizeof line, "Versetul %d, pe ecran. (Test %d)\r\n", i, i);
        lines += line;
    }
    WriteBytes(texts, lines);
    WriteBytes(fonts, verses == 0 ? "" : "Tahoma\r\n");
    key.SetString("TextsFile", texts);
    key.SetString("FontsFile", fonts);
    key.SetDword("FadeSpeed", 10);
}
