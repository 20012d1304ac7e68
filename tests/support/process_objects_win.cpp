#include "support/process_objects.h"

#include <tlhelp32.h>
#include <winternl.h>

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
