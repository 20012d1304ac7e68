#include "list_box.h"

#include "error_codes.h"
#include "platform.h"

LRESULT ToList(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(list, message, wParam, lParam);
}

uint32_t AppendListEntry(HWND list, const WideChar* text) {
    LRESULT added = ToList(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    return added == LB_ERRSPACE ? ErrorOutOfMemory : added == LB_ERR ? ErrorInvalidParameter : 0;
}

bool ReadListEntry(HWND list, WPARAM index, WideChar* buffer, size_t width) {
    LRESULT length = ToList(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length >= static_cast<LRESULT>(width)) {
        return false;
    }
    return ToList(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer)) != LB_ERR;
}

uint32_t CollectListEntries(HWND list, size_t width, WideChar*& block, uint32_t& count) {
    LRESULT entries = ToList(list, LB_GETCOUNT, 0, 0);
    if (entries < 0) {
        return ErrorInvalidData;
    }
    WideChar* collected = nullptr;
    if (entries > 0) {
        collected = static_cast<WideChar*>(
            HeapAllocZero(static_cast<size_t>(entries) * width * sizeof(WideChar)));
        if (collected == nullptr) {
            return ErrorOutOfMemory;
        }
        for (LRESULT i = 0; i < entries; ++i) {
            if (!ReadListEntry(list, i, collected + static_cast<size_t>(i) * width, width)) {
                HeapRelease(collected);
                return ErrorInvalidData;
            }
        }
    }
    HeapRelease(block);
    block = collected;
    count = static_cast<uint32_t>(entries);
    return 0;
}
