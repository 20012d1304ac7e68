#include "texts_dialog_harness.h"

#include "platform.h"
#include "resource_ids.h"
#include "texts_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void InitDialogControls() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
}

void FillRecord(SaverSettings& record, const Verses& verses) {
    if (verses.empty()) {
        return;
    }
    record.Texts = static_cast<char*>(HeapAllocZero(verses.size() * TextSlotWidth));
    for (size_t i = 0; i < verses.size(); i++) {
        EXPECT_LT(verses[i].size(), TextSlotWidth);
        memcpy(record.Texts + i * TextSlotWidth, verses[i].c_str(), verses[i].size() + 1);
    }
    record.TextCount = static_cast<uint32_t>(verses.size());
}

Verses RecordVerses(const SaverSettings& record) {
    Verses verses;
    for (uint32_t i = 0; record.Texts != nullptr && i < record.TextCount; i++) {
        const char* slot = record.Texts + static_cast<size_t>(i) * TextSlotWidth;
        verses.emplace_back(slot, strnlen(slot, TextSlotWidth));
    }
    return verses;
}

void ReleaseRecord(SaverSettings& record) {
    HeapRelease(record.Texts);
    record.Texts = nullptr;
    record.TextCount = 0;
}

std::string Ansi(const std::string& utf8) {
    return CodePageFromUtf8(utf8, CP_ACP);
}

namespace {

std::string WithoutLineBreak(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

} // namespace

std::string ErrorText(DWORD code) {
    return WithoutLineBreak(SystemMessage(code));
}

std::vector<std::string> ErrorTexts(MessageBoxWatcher& boxes, HWND owner, size_t first) {
    std::vector<std::string> texts;
    std::vector<SeenMessageBox> seen = boxes.Seen();
    for (size_t i = first; i < seen.size(); i++) {
        const SeenMessageBox& box = seen[i];
        EXPECT_EQ(box.Owner, owner) << box.Text;
        EXPECT_TRUE(box.HasIcon) << box.Text;
        EXPECT_EQ(box.ButtonCount, 1) << box.Text;
        texts.push_back(WithoutLineBreak(box.Text));
    }
    return texts;
}

// ---------------------------------------------------------------------------------------------
// Control spy

namespace {

struct Spied {
    int control;
    WNDPROC original;
};
std::map<HWND, Spied> SpiedControls;
std::vector<ControlFault> PendingFaults;
std::map<int, std::vector<SentMessage>> ReceivedMessages;

bool IsRequest(UINT message) {
    return (message >= LB_ADDSTRING && message <= LB_MSGMAX) || message >= WM_USER;
}

LRESULT CALLBACK SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Spied spied = SpiedControls[window];
    if (IsRequest(message)) {
        ReceivedMessages[spied.control].push_back({message, wParam, lParam});
    }
    for (ControlFault& fault : PendingFaults) {
        if (fault.control != spied.control || fault.message != message) {
            continue;
        }
        if (fault.passFirst > 0) {
            fault.passFirst--;
            break;
        }
        if (fault.lastError != 0) {
            SetLastError(fault.lastError);
        }
        return fault.reply;
    }
    LRESULT result = CallWindowProcA(spied.original, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SpiedControls.erase(window);
    }
    return result;
}

void Spy(HWND control, int id) {
    if (SpiedControls.count(control) != 0) {
        return;
    }
    SpiedControls[control] = {id, nullptr};
    SpiedControls[control].original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyProc)));
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        int id = static_cast<int>(reinterpret_cast<INT_PTR>(create->hMenu));
        if ((create->style & WS_CHILD) != 0 &&
            (id == IDC_TEXTS_TOOLBAR || id == IDC_TEXTS_LIST || id == IDC_TEXTS_EDIT)) {
            Spy(reinterpret_cast<HWND>(wParam), id);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

ControlSpy::ControlSpy(std::vector<ControlFault> faults) {
    PendingFaults = std::move(faults);
    ReceivedMessages.clear();
    hook_ = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook_, nullptr);
}

ControlSpy::~ControlSpy() {
    UnhookWindowsHookEx(hook_);
    PendingFaults.clear();
}

void ControlSpy::Add(HWND dialog, const ControlFault& fault) {
    Spy(GetDlgItem(dialog, fault.control), fault.control);
    PendingFaults.push_back(fault);
}

std::vector<SentMessage> ControlSpy::Received(int control) const {
    auto found = ReceivedMessages.find(control);
    return found == ReceivedMessages.end() ? std::vector<SentMessage>{} : found->second;
}

// ---------------------------------------------------------------------------------------------
// Editor

Editor::Editor(SaverSettings& record) {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), "TEXTSDLG", nullptr, TextsDialogProc,
                                 reinterpret_cast<LPARAM>(&record));
    EXPECT_NE(dialog_, nullptr) << "TEXTSDLG did not open: " << GetLastError();
}

Editor::~Editor() {
    if (owned_ && dialog_ != nullptr) {
        DestroyWindow(dialog_);
    }
}

Verses Editor::Entries() const {
    Verses entries;
    HWND list = Control(IDC_TEXTS_LIST);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        entries.emplace_back(text.c_str());
    }
    return entries;
}

int Editor::Selection() const {
    return static_cast<int>(SendMessageA(Control(IDC_TEXTS_LIST), LB_GETCURSEL, 0, 0));
}

std::string Editor::Field() const {
    char text[1024] = {};
    GetDlgItemTextA(dialog_, IDC_TEXTS_EDIT, text, sizeof text);
    return text;
}

void Editor::Type(const std::string& text) {
    SetDlgItemTextA(dialog_, IDC_TEXTS_EDIT, text.c_str());
}

void Editor::Press(int command) {
    HWND source = command == IDOK || command == IDCANCEL ? GetDlgItem(dialog_, command)
                                                         : Control(IDC_TEXTS_TOOLBAR);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(source));
}

void Editor::Choose(int position) {
    HWND list = Control(IDC_TEXTS_LIST);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_TEXTS_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

bool Editor::Ended() const {
    return !IsWindowVisible(dialog_);
}
