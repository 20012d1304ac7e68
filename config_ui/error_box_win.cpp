#include "error_box.h"

#include "program_module.h"
#include "resource_ids.h"

namespace {

constexpr int BoxTextSize = 2048;

// The text of an error box, put together from the program's strings and the system's texts.
struct BoxText {
    wchar_t Text[BoxTextSize];
    int Length;

    void Add(const wchar_t* part) {
        for (; *part != L'\0' && Length < BoxTextSize - 1; part++) {
            Text[Length++] = *part;
        }
        Text[Length] = L'\0';
    }
    void AddString(UINT id) {
        Length += LoadStringW(ProgramModule(), id, Text + Length, BoxTextSize - Length);
    }
    void AddPath(const char* path) {
        wchar_t wide[ListPathSize];
        if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, ListPathSize) > 0) {
            Add(wide);
        }
    }
    void AddSystemText(uint32_t code) {
        Length += static_cast<int>(FormatMessageW(
            FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
            Text + Length, static_cast<DWORD>(BoxTextSize - Length), nullptr));
    }
};

} // namespace

void ShowErrorMessage(HWND owner, uint32_t code) {
    if (code == 0) {
        return;
    }
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 32, nullptr);
    if (length == 0 || text == nullptr) {
        return;
    }
    MessageBoxA(owner, text, nullptr, MB_ICONERROR);
    LocalFree(text);
}

void ShowListsSavedBeside(HWND owner, const ListFileState& texts, const ListFileState& fonts) {
    const struct {
        UINT Line;
        const ListFileState& List;
    } lists[] = {{IDS_TEXTS_SAVED_BESIDE, texts}, {IDS_FONTS_SAVED_BESIDE, fonts}};
    BoxText box{};
    for (const auto& list : lists) {
        if (list.List.SavedBeside[0] != '\0') {
            box.AddString(list.Line);
            box.Add(L"\r\n");
            box.AddPath(list.List.File);
            box.Add(L"\r\n");
            box.AddString(IDS_YOURS_SAVED_IN);
            box.Add(L"\r\n");
            box.AddPath(list.List.SavedBeside);
            box.Add(L"\r\n\r\n");
        }
    }
    if (box.Length == 0) {
        return;
    }
    MessageBoxW(owner, box.Text, nullptr, MB_ICONWARNING);
}

void ShowListSaveErrors(HWND owner, uint32_t textsCode, uint32_t fontsCode) {
    const struct {
        UINT Line;
        uint32_t Code;
    } lists[] = {{IDS_TEXTS_NOT_SAVED, textsCode}, {IDS_FONTS_NOT_SAVED, fontsCode}};
    BoxText box{};
    for (const auto& list : lists) {
        if (list.Code != 0) {
            box.AddString(list.Line);
            box.Add(L"\r\n");
            box.AddSystemText(list.Code);
            box.Add(L"\r\n");
        }
    }
    if (box.Length == 0) {
        return;
    }
    box.AddString(IDS_SAVE_AGAIN);
    MessageBoxW(owner, box.Text, nullptr, MB_ICONERROR);
}
