#include "list_reading.h"

#include "platform.h"

#include <atomic>
#include <new>

struct ListReading {
    SettingsList List;
    SaverSettings Record;
    ListFileStates States;
    uint32_t Result;
    HANDLE Thread;
    // Two while both the thread and its starter hold the reading; the last one releases it.
    std::atomic<int> Holders;
};

namespace {

std::atomic<int> ReadersRunning{0};

struct ReaderStart {
    LPTHREAD_START_ROUTINE Read;
    void* Parameter;
};

DWORD WINAPI CountedRead(LPVOID parameter) {
    ReaderStart start = *static_cast<ReaderStart*>(parameter);
    HeapRelease(parameter);
    DWORD result = start.Read(start.Parameter);
    // The last step, so that a process that sees no reader left has none inside the heap either.
    ReadersRunning--;
    return result;
}

void Release(ListReading* reading) {
    if (reading->Holders.fetch_sub(1) > 1) {
        return;
    }
    ReleaseSettingsLists(reading->Record);
    if (reading->Thread != nullptr) {
        CloseHandle(reading->Thread);
    }
    reading->~ListReading();
    HeapRelease(reading);
}

DWORD WINAPI ReadList(LPVOID parameter) {
    ListReading* reading = static_cast<ListReading*>(parameter);
    reading->Result = LoadSettingsList(reading->List, reading->Record, reading->States);
    Release(reading);
    return 0;
}

} // namespace

HANDLE StartListReader(LPTHREAD_START_ROUTINE read, void* parameter) {
    auto* start = static_cast<ReaderStart*>(HeapAllocZero(sizeof(ReaderStart)));
    if (start == nullptr) {
        return nullptr;
    }
    *start = {read, parameter};
    ReadersRunning++;
    HANDLE thread = CreateThread(nullptr, 0, CountedRead, start, 0, nullptr);
    if (thread == nullptr) {
        ReadersRunning--;
        HeapRelease(start);
    }
    return thread;
}

bool ListReadStillRunning() {
    return ReadersRunning > 0;
}

ListReading* StartListReading(SettingsList list) {
    void* block = HeapAllocZero(sizeof(ListReading));
    if (block == nullptr) {
        return nullptr;
    }
    ListReading* reading = new (block) ListReading{list, {}, {}, 0, nullptr, {2}};
    reading->Thread = StartListReader(ReadList, reading);
    if (reading->Thread == nullptr) {
        reading->Holders = 1;
        Release(reading);
        return nullptr;
    }
    return reading;
}

bool ListReadingEnded(const ListReading& reading, DWORD wait) {
    return WaitForSingleObject(reading.Thread, wait) == WAIT_OBJECT_0;
}

uint32_t TakeReadList(ListReading*& reading, SaverSettings& record, ListFileStates& states) {
    SaverSettings& read = reading->Record;
    if (reading->List == SettingsList::Texts) {
        HeapRelease(record.Texts);
        record.Texts = read.Texts;
        record.TextCount = read.TextCount;
        read.Texts = nullptr;
        states.Texts = reading->States.Texts;
    } else {
        HeapRelease(record.Fonts);
        record.Fonts = read.Fonts;
        record.FontCount = read.FontCount;
        read.Fonts = nullptr;
        states.Fonts = reading->States.Fonts;
    }
    uint32_t result = reading->Result;
    Release(reading);
    reading = nullptr;
    return result;
}

void AbandonListReading(ListReading*& reading) {
    if (reading != nullptr) {
        Release(reading);
        reading = nullptr;
    }
}
