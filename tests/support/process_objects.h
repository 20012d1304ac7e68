#pragma once
// What the test process holds, for tests that nothing is left behind.

#include <windows.h>

#include <cstddef>
#include <vector>

// Objects in the process's GDI handle table, and open kernel handles (Wine's GetGuiResources
// and GetProcessHandleCount give 0).
size_t GdiObjectCount();
size_t OpenHandleCount();

// Threads of this process.
std::vector<DWORD> ProcessThreads();
