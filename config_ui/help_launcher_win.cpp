#include "help_launcher.h"

#include "error_codes.h"
#include "platform.h"
#include "registry_store.h"
#include "system_library.h"

#include <cstring>

namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The control's loader: the control is loaded once and kept; a failed load is never retried.
struct HtmlHelpLoader {
    HMODULE Module;
    HtmlHelpFunction Entry;
    bool Failed;
};

// Touched only by CallHtmlHelp, on the thread of the dialog that asks for help (every dialog
// runs on the process's one window thread).
HtmlHelpLoader HtmlHelp{};

constexpr WORD HtmlHelpOrdinal = 14; // HtmlHelpA

bool LoadHtmlHelp() {
    RegistryPath path;
    if (ReadHtmlHelpServerPath(path)) {
        HtmlHelp.Module = LoadRegisteredLibrary(path);
    }
    if (HtmlHelp.Module == nullptr) {
        HtmlHelp.Module = LoadSystemLibrary(L"hhctrl.ocx");
    }
    return HtmlHelp.Module != nullptr;
}

} // namespace

uint32_t SetDefaultLastError(uint32_t code) {
    uint32_t pending = GetLastError();
    uint32_t result = pending != 0 ? pending : code;
    SetLastError(result);
    return result;
}

HWND CallHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    if (HtmlHelp.Module == nullptr && !HtmlHelp.Failed && !LoadHtmlHelp()) {
        HtmlHelp.Failed = true;
        return nullptr;
    }
    if (HtmlHelp.Module == nullptr) {
        return nullptr;
    }
    if (HtmlHelp.Entry == nullptr) {
        HtmlHelp.Entry =
            FindEntry<HtmlHelpFunction>(HtmlHelp.Module, MAKEINTRESOURCEA(HtmlHelpOrdinal));
        if (HtmlHelp.Entry == nullptr) {
            HtmlHelp.Failed = true;
            return nullptr;
        }
    }
    // Loading leaves stray codes behind even when it succeeds; what the caller finds after a
    // failure must be the control's own.
    SetLastError(0);
    return HtmlHelp.Entry(owner, file, command, data);
}

HWND OpenHelp(HWND owner, const char* topic) {
    RegistryPath helpFile;
    uint32_t code = ReadHelpFile(helpFile);
    if (code != 0) {
        SetLastError(code);
        return nullptr;
    }

    char* joined = nullptr;
    const char* helpPath = helpFile;
    if (topic != nullptr) {
        static const char separator[] = "::/";
        size_t fileLength = strlen(helpFile);
        size_t topicLength = strlen(topic);
        joined = static_cast<char*>(HeapAllocZero(fileLength + topicLength + 4));
        if (joined == nullptr) {
            SetLastError(ErrorOutOfMemory);
            return nullptr;
        }
        memcpy(joined, helpFile, fileLength);
        memcpy(joined + fileLength, separator, 3);
        memcpy(joined + fileLength + 3, topic, topicLength);
        helpPath = joined;
    }
    // A code left over from an unrelated earlier call must not pass for the reason of a failure
    // (after a failed load the control is not even tried).
    SetLastError(0);
    HWND window = CallHtmlHelp(owner, helpPath, HelpDisplayTopic, 0);
    uint32_t failure = window == nullptr ? SetDefaultLastError(ErrorFileNotFound) : 0;
    HeapRelease(joined);
    if (window == nullptr) {
        SetLastError(failure); // releasing the joined path must not hide the reason
    }
    return window;
}
