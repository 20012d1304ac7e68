#include "support/dialogs.h"

#include "support/text_conversion.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace {

constexpr char DialogClass[] = "#32770";
// The program's dialogs; any other dialog window is an error box.
const char* const ProgramDialogTitles[] = {"Verselume", "Despre Verselume", "Versete", "Fonturi"};

bool IsProgramDialog(const std::string& title) {
    for (const char* own : ProgramDialogTitles) {
        if (title == CodePageFromUtf8(own, CP_ACP)) {
            return true;
        }
    }
    return false;
}

struct ThreadWindows {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    reinterpret_cast<ThreadWindows*>(context)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> DialogsOfThread(DWORD threadId) {
    ThreadWindows found;
    EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&found));
    std::vector<HWND> dialogs;
    for (HWND window : found.windows) {
        if (ClassOf(window) == DialogClass && IsWindowVisible(window)) {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

SeenMessageBox DescribeMessageBox(HWND box) {
    SeenMessageBox seen{GetWindow(box, GW_OWNER), TextOf(box), {}, false, 0, nullptr};
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        std::string className = ClassOf(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (_stricmp(className.c_str(), "STATIC") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                seen.HasIcon = true;
                DWORD_PTR icon = 0;
                SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &icon);
                seen.Icon = reinterpret_cast<HICON>(icon);
            } else if (seen.Text.empty()) {
                seen.Text = TextOf(child);
            }
        } else if (_stricmp(className.c_str(), "BUTTON") == 0 && IsWindowVisible(child)) {
            ++seen.ButtonCount;
        }
    }
    return seen;
}

} // namespace

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    // Read from the window itself, without a message: the window's thread may be busy.
    wchar_t text[1024] = {};
    int length = InternalGetWindowText(window, text, 1024);
    return CodePageFromUtf8(Utf8FromWide(std::wstring(text, length > 0 ? length : 0)), CP_ACP);
}

MessageBoxWatcher::MessageBoxWatcher(DWORD threadId)
    : thread_(threadId), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    watcher_ = std::thread([this] { Watch(); });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    SetEvent(stop_);
    watcher_.join();
    CloseHandle(stop_);
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen() {
    std::lock_guard<std::mutex> guard(lock_);
    return seen_;
}

void MessageBoxWatcher::Watch() {
    while (WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT) {
        for (HWND dialog : DialogsOfThread(thread_)) {
            // A message box always has a caption: an empty one is a dialog that went away
            // while it was read, and one that is still there is read again on the next pass.
            std::string title = TextOf(dialog);
            if (title.empty() || IsProgramDialog(title)) {
                continue;
            }
            std::lock_guard<std::mutex> guard(lock_);
            bool known = false;
            for (HWND handled : handled_) {
                known = known || handled == dialog;
            }
            if (!known) {
                SeenMessageBox seen = DescribeMessageBox(dialog);
                if (!IsWindow(dialog)) {
                    continue;
                }
                handled_.push_back(dialog);
                seen_.push_back(seen);
            }
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    }
}

void ExpectErrorBox(const SeenMessageBox& box, HWND owner, DWORD code) {
    EXPECT_EQ(box.Owner, owner) << box.Text;
    EXPECT_EQ(box.Text, SystemMessage(code));
    EXPECT_TRUE(box.HasIcon) << "an error box shows the error icon";
    EXPECT_EQ(box.ButtonCount, 1) << "an error box has only OK";
}

ModelessDialog::ModelessDialog(const wchar_t* name, DLGPROC procedure, LPARAM parameter)
    : window_(CreateDialogParamW(GetModuleHandleW(nullptr), name, nullptr, procedure, parameter)) {
    EXPECT_NE(window_, nullptr) << "the dialog did not open: " << GetLastError();
}

ModelessDialog::~ModelessDialog() {
    if (owned_ && window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void ModelessDialog::Command(int id) const {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
}

std::vector<std::string> ModelessDialog::ListEntries(int list) const {
    std::vector<std::string> entries;
    LRESULT count = Send(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; i++) {
        LRESULT length = Send(list, LB_GETTEXTLEN, i);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        entries.push_back(Utf8FromWide(text.c_str()));
    }
    return entries;
}

HWND WaitForDialog(DWORD threadId, const std::string& title, DWORD timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string wanted = CodePageFromUtf8(title, CP_ACP);
    while (std::chrono::steady_clock::now() < deadline) {
        for (HWND dialog : DialogsOfThread(threadId)) {
            if (TextOf(dialog) == wanted) {
                return dialog;
            }
        }
        Sleep(10);
    }
    return nullptr;
}

OpenedDialog DriveOpenedDialog(const std::string& title, const std::function<void()>& open,
                               const std::function<void(HWND)>& drive) {
    DWORD threadId = GetCurrentThreadId();
    OpenedDialog opened;
    std::thread user([&] {
        opened.Window = WaitForDialog(threadId, title);
        if (opened.Window != nullptr) {
            opened.Owner = GetWindow(opened.Window, GW_OWNER);
            drive(opened.Window);
        }
    });
    open();
    user.join();
    return opened;
}

INT_PTR RunModalDialog(const char* name, DLGPROC procedure, LPARAM parameter, HWND owner,
                       const std::string& title, const std::function<void(HWND)>& drive,
                       bool* driven) {
    DWORD threadId = GetCurrentThreadId();
    bool done = false;
    std::thread player([&] {
        HWND dialog = WaitForDialog(threadId, title);
        if (dialog == nullptr) {
            return;
        }
        drive(dialog);
        for (int i = 0; i < 500 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) {
            Sleep(10);
        }
        done = !IsWindow(dialog) || !IsWindowVisible(dialog);
        if (!done) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    // A Unicode dialog, as the program runs its own.
    std::wstring wideName = IS_INTRESOURCE(name) ? std::wstring() : WideFromUtf8(name);
    const wchar_t* resource =
        IS_INTRESOURCE(name) ? MAKEINTRESOURCEW(LOWORD(name)) : wideName.c_str();
    INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), resource, owner, procedure, parameter);
    player.join();
    if (driven != nullptr) {
        *driven = done;
    }
    return result;
}

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length != 0 && text != nullptr ? std::string(text, length) : std::string();
    LocalFree(text);
    return result;
}
