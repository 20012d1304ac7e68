#pragma once
// Reading the lists off a window's thread: a list file on a hung network path, or a pipe nobody
// writes to, may never answer, and no window waits for one.

#include "registry_store.h"

#include <windows.h>

// Runs read(parameter) on a thread of its own, counted as a list reading until it returns. None
// when no thread could be made.
HANDLE StartListReader(LPTHREAD_START_ROUTINE read, void* parameter);

// Whether a list reading of the process is still going. It may hold locks of the C runtime that
// a normal exit would wait for without end, so the process is then ended at once instead.
bool ListReadStillRunning();

// One list of the settings, read into a record of the reading's own, so that whoever started the
// reading may go before it ends.
struct ListReading;

// None when no thread or memory could be had: the caller then reads the list itself.
ListReading* StartListReading(SettingsList list);
// Whether the reading has ended, after waiting at most wait ms.
bool ListReadingEnded(const ListReading& reading, DWORD wait);
// Once the reading has ended: its list goes into record, and what its file went through into
// states. Returns the reading's code, as LoadSettingsList's, and releases the reading.
uint32_t TakeReadList(ListReading*& reading, SaverSettings& record, ListFileStates& states);
// Leaves the reading to release itself and its list when it ends.
void AbandonListReading(ListReading*& reading);
