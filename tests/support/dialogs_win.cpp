#include "support/dialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

constexpr char DialogClass[] = "#32770";
// The program's dialogs; any other dialog window is an error box.
const char* const ProgramDialogTitles[] = {"Verselume", "Despre Verselume", "Versete", "Fonturi"};

// Reads a dialog template: WORD-aligned fields, strings as UTF-16 or 0xFFFF plus an ordinal.
class TemplateReader {
  public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }

    template <typename T> T Read() {
        T value{};
        if (offset_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    // A string field; an ordinal comes back in ordinal and the text stays empty.
    std::wstring ReadField(WORD* ordinal = nullptr) {
        if (ordinal != nullptr) {
            *ordinal = 0;
        }
        WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            WORD value = Read<WORD>();
            if (ordinal != nullptr) {
                *ordinal = value;
            }
            return {};
        }
        std::wstring text;
        for (WORD c = first; ok_ && c != 0; c = Read<WORD>()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }

    void AlignTo(size_t alignment) { offset_ = (offset_ + alignment - 1) / alignment * alignment; }
    void Skip(size_t bytes) { offset_ += bytes; }

  private:
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

std::string PredefinedClass(WORD atom) {
    switch (atom) {
    case 0x80:
        return "BUTTON";
    case 0x81:
        return "EDIT";
    case 0x82:
        return "STATIC";
    case 0x83:
        return "LISTBOX";
    case 0x84:
        return "SCROLLBAR";
    case 0x85:
        return "COMBOBOX";
    default: {
        char name[8];
        std::snprintf(name, sizeof name, "#%u", atom);
        return name;
    }
    }
}

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

bool ReadDialogTemplate(HMODULE module, const char* name, DialogTemplateData& data) {
    HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(5)); // RT_DIALOG
    if (resource == nullptr) {
        return false;
    }
    HGLOBAL loaded = LoadResource(module, resource);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(loaded));
    if (bytes == nullptr) {
        return false;
    }
    TemplateReader reader(bytes, SizeofResource(module, resource));
    data = DialogTemplateData{};
    if (reader.Read<WORD>() == 1 && reader.Read<WORD>() == 0xFFFF) {
        return false; // DIALOGEX templates are not used by the program
    }
    reader = TemplateReader(bytes, SizeofResource(module, resource));
    data.Style = reader.Read<DWORD>();
    reader.Read<DWORD>(); // extended style
    WORD count = reader.Read<WORD>();
    data.X = reader.Read<short>();
    data.Y = reader.Read<short>();
    data.Width = reader.Read<short>();
    data.Height = reader.Read<short>();
    reader.ReadField(); // menu
    reader.ReadField(); // class
    data.Title = Utf8FromWide(reader.ReadField());
    if ((data.Style & DS_SETFONT) != 0) {
        data.PointSize = reader.Read<WORD>();
        data.FontName = Utf8FromWide(reader.ReadField());
    }
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        reader.AlignTo(4);
        TemplateControl control{};
        control.Style = reader.Read<DWORD>();
        reader.Read<DWORD>(); // extended style
        control.X = reader.Read<short>();
        control.Y = reader.Read<short>();
        control.Width = reader.Read<short>();
        control.Height = reader.Read<short>();
        control.Id = reader.Read<short>();
        WORD atom = 0;
        std::wstring className = reader.ReadField(&atom);
        control.ClassName = atom != 0 ? PredefinedClass(atom) : Utf8FromWide(className);
        control.Text = Utf8FromWide(reader.ReadField());
        reader.Skip(reader.Read<WORD>()); // creation data
        data.Controls.push_back(control);
    }
    return reader.Ok();
}

void ExpectTemplate(const char* name, const DialogTemplateData& wanted) {
    DialogTemplateData data;
    ASSERT_TRUE(ReadDialogTemplate(GetModuleHandleA(nullptr), name, data))
        << (IS_INTRESOURCE(name) ? std::to_string(LOWORD(name)) : std::string(name));
    EXPECT_EQ(data.Style, wanted.Style);
    EXPECT_EQ(data.X, wanted.X);
    EXPECT_EQ(data.Y, wanted.Y);
    EXPECT_EQ(data.Width, wanted.Width);
    EXPECT_EQ(data.Height, wanted.Height);
    EXPECT_EQ(data.Title, wanted.Title);
    EXPECT_EQ(data.PointSize, wanted.PointSize);
    EXPECT_EQ(data.FontName, wanted.FontName);
    ASSERT_EQ(data.Controls.size(), wanted.Controls.size());
    for (size_t i = 0; i < wanted.Controls.size(); ++i) {
        const TemplateControl& got = data.Controls[i];
        const TemplateControl& want = wanted.Controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + ", id " + std::to_string(want.Id) + " " +
                     want.Text);
        EXPECT_EQ(got.Id, want.Id);
        EXPECT_EQ(_stricmp(got.ClassName.c_str(), want.ClassName.c_str()), 0)
            << got.ClassName << " is not " << want.ClassName;
        EXPECT_EQ(got.Text, want.Text);
        EXPECT_EQ(got.Style, want.Style);
        EXPECT_EQ(got.X, want.X);
        EXPECT_EQ(got.Y, want.Y);
        EXPECT_EQ(got.Width, want.Width);
        EXPECT_EQ(got.Height, want.Height);
    }
}

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size);
    return result;
}

std::string CodePageFromUtf8(const std::string& text, UINT codePage) {
    std::wstring wide = WideFromUtf8(text);
    if (wide.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), result.data(),
                        size, nullptr, nullptr);
    return result;
}

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

bool IsProcessHeapBlock(const void* block) {
    HANDLE heap = GetProcessHeap();
    bool found = false;
    if (!HeapLock(heap)) {
        return false;
    }
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 && entry.lpData == block) {
            found = true;
        }
    }
    HeapUnlock(heap);
    return found;
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
