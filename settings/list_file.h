#pragma once
// Lists of fixed-width strings kept one entry per line in plain text files.
//
// In memory a list is one zero-filled heap block of count slots of width bytes each; slot i
// starts at i * width and holds a NUL-terminated entry of at most width - 1 bytes. An empty
// list has no block.

#include "error_codes.h"

#include <cstdint>

// Reads the file at path into a new block and stores the number of entries in count. Returns
// none with count 0 when there is no entry, leaving in the thread's last-error value 0 (no
// entry), ErrorFileNotFound (cannot open) or ErrorOutOfMemory.
char* ReadListFile(const char* path, uint32_t width, uint32_t& count);

// Writes count slots of block, each followed by CR LF, in place of the file at path. Returns 0,
// ErrorFileNotFound when the file cannot be created or replaced, or ErrorWriteFault when a write
// failed. The old file stays whole unless every write succeeded. With count 0 block may be none.
uint32_t WriteListFile(const char* path, const char* block, uint32_t count, uint32_t width);
