#include "support/records.h"
#include "support/text_conversion.h"
#include "support/texts_dialog_harness.h"

#include "platform.h"
#include "resource_ids.h"
#include "texts_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

void InitDialogControls() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
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
        if (fault.times > 0 && --fault.times == 0) {
            fault.control = 0; // spent
        }
        return fault.reply;
    }
    LRESULT result = CallWindowProcW(spied.original, window, message, wParam, lParam);
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
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyProc)));
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        int id = static_cast<int>(reinterpret_cast<INT_PTR>(create->hMenu));
        if ((create->style & WS_CHILD) != 0 && (id == IDC_TEXTS_TOOLBAR || id == IDC_TEXTS_LIST ||
                                                id == IDC_TEXTS_EDIT || id == IDC_FONTS_SELECTED)) {
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

Editor::Editor(SaverSettings& record)
    : ModelessDialog(L"TEXTSDLG", TextsDialogProc, reinterpret_cast<LPARAM>(&record)) {}

int Editor::Selection() const {
    return static_cast<int>(Send(IDC_TEXTS_LIST, LB_GETCURSEL));
}

std::string Editor::Field() const {
    wchar_t text[1024] = {};
    GetDlgItemTextW(Window(), IDC_TEXTS_EDIT, text, 1024);
    return Utf8FromWide(text);
}

void Editor::Type(const std::string& text) {
    SetDlgItemTextW(Window(), IDC_TEXTS_EDIT, WideFromUtf8(text).c_str());
}

void Editor::Press(int command) {
    if (command == IDOK || command == IDCANCEL) {
        Command(command);
        return;
    }
    // The toolbar's buttons are no windows: their commands come from the toolbar.
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(IDC_TEXTS_TOOLBAR)));
}

void Editor::Choose(int position) {
    Send(IDC_TEXTS_LIST, LB_SETCURSEL, static_cast<WPARAM>(position));
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_TEXTS_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(IDC_TEXTS_LIST)));
}

bool EditList(HWND configuration, int button, const std::function<void(HWND)>& play) {
    // The button is disabled while its list is still being read.
    PumpUntil([&] { return IsWindowEnabled(GetDlgItem(configuration, button)) != FALSE; });
    bool ended = false;
    OpenedDialog opened = DriveOpenedDialog(
        button == IDC_CONFIG_VERSES ? "Versete" : "Fonturi",
        [&] { SendDlgItemMessageW(configuration, button, BM_CLICK, 0, 0); },
        [&](HWND shown) {
            if (play) {
                play(shown);
            }
            ModelessDialog(shown).Command(IDOK);
            ended = IsWindowVisible(shown) == FALSE;
        });
    EXPECT_EQ(opened.Owner, configuration);
    EXPECT_TRUE(IsWindowVisible(configuration)) << "its OK leaves the configuration open";
    return opened.Window != nullptr && ended;
}
