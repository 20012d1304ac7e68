#include "config_dialog.h"

#include "dialog_frame.h"
#include "error_box.h"
#include "error_codes.h"
#include "fonts_dialog.h"
#include "list_reading.h"
#include "program_module.h"
#include "registry_store.h"
#include "resource_ids.h"
#include "system_library.h"
#include "texts_dialog.h"
#include "user_setup.h"

#include <commctrl.h>

#include <cwchar>

namespace {

constexpr uint32_t MillisecondsPerSecond = 1000;
constexpr WORD MaxSeconds = 60;
constexpr WORD MaxFadeSpeed = 10;
constexpr int EntryTextSize = 255;
constexpr UINT PolicyStrings[] = {IDS_POLICY_EACH_DISPLAY, IDS_POLICY_EACH_ACTIVATION,
                                  IDS_POLICY_EACH_DAY};
// In the order of the Screens values.
constexpr UINT ScreensStrings[] = {IDS_SCREENS_EVERY, IDS_SCREENS_ONE, IDS_SCREENS_MAIN};
// How long the opening waits for the lists, so that lists that read at once show at once; a list
// that takes longer is taken in when its reading ends, looked for at each tick of the timer.
constexpr DWORD ListWaitAtOpening = 300;
constexpr UINT_PTR ListReadingTimer = 1;
constexpr UINT ListReadingTick = 100;
constexpr int ButtonTextSize = 64;
constexpr int QuestionSize = 1024;

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageW(dialog, id, message, wParam, lParam);
}

WPARAM CheckState(bool checked) {
    return checked ? BST_CHECKED : BST_UNCHECKED;
}

// Ranges of the up-down and the trackbar, and the entries of the two combo boxes.
void InitConfigControls(HWND dialog);
// Interval in whole seconds, order, change policy and fade-in speed, to the controls and back.
void SettingsToControls(HWND dialog, const SaverSettings& record);
void ControlsToSettings(HWND dialog, SaverSettings& record);

// The verses and the typefaces, each with the button of its dialog.
constexpr SettingsList Lists[] = {SettingsList::Texts, SettingsList::Fonts};
constexpr int ListButtons[] = {IDC_CONFIG_VERSES, IDC_CONFIG_FONTS};

// The dialog's state: the settings record, which the sub-dialogs are handed, and beside it what
// its list files went through; each list's reading while it goes on, with its button's own
// text, which says meanwhile that the list is being read; and the Screens value as stored.
struct ConfigState {
    SaverSettings Settings;
    ListFileStates Lists;
    ListReading* Readings[2];
    wchar_t ButtonTexts[2][ButtonTextSize];
    uint32_t Screens;
};

ListFileState& FileState(ConfigState& state, size_t list) {
    return list == 0 ? state.Lists.Texts : state.Lists.Fonts;
}

// Asked once, when the key is missing: Yes sets Verselume up for this user as the installer
// would. No, or a set-up that fails (its error box says why), leaves the key missing.
void OfferSetUp(HWND dialog) {
    wchar_t folder[MAX_PATH];
    wchar_t title[ButtonTextSize];
    wchar_t question[QuestionSize];
    HINSTANCE program = ProgramModule();
    if (!UserListsFolder(folder) ||
        LoadStringW(program, IDS_SET_UP_TITLE, title, ButtonTextSize) == 0 ||
        LoadStringW(program, IDS_SET_UP_QUESTION, question, QuestionSize) == 0) {
        return;
    }
    size_t asked = wcslen(question);
    swprintf(question + asked, QuestionSize - asked, L"\n\n%ls", folder);
    if (MessageBoxW(dialog, question, title, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        ShowErrorMessage(dialog, SetUpForUser(folder));
    }
}

// The numbers of the key; with no key, the user is asked to set Verselume up first. 0 or the
// key's error.
uint32_t LoadNumbers(HWND dialog, SaverSettings& record) {
    uint32_t code = LoadSettingsNumbers(record);
    if (code == ErrorFileNotFound) {
        OfferSetUp(dialog);
        code = LoadSettingsNumbers(record);
    }
    return code;
}

void KeepFirstError(uint32_t& result, uint32_t code) {
    if (result == 0) {
        result = code;
    }
}

// Each list is read on a thread of its own. Until its reading ends the list counts, to a save,
// as one that could not be read, which leaves its file as it is. A list for which no thread
// could be had is read here. Returns the first error of those.
uint32_t StartReadingLists(ConfigState& state) {
    uint32_t result = 0;
    for (size_t i = 0; i < 2; i++) {
        state.Readings[i] = StartListReading(Lists[i]);
        if (state.Readings[i] == nullptr) {
            KeepFirstError(result, LoadSettingsList(Lists[i], state.Settings, state.Lists));
            continue;
        }
        ListFileState& file = FileState(state, i);
        file.Stamp.Exists = true;
        file.Stamp.Known = false;
    }
    return result;
}

// Takes in every list whose reading has ended, waiting for them until the time given, and gives
// its button back. Returns the first error, the verses' first.
uint32_t TakeReadLists(HWND dialog, ConfigState& state, DWORD until) {
    uint32_t result = 0;
    for (size_t i = 0; i < 2; i++) {
        DWORD now = GetTickCount();
        DWORD wait = static_cast<int32_t>(until - now) > 0 ? until - now : 0;
        if (state.Readings[i] == nullptr || !ListReadingEnded(*state.Readings[i], wait)) {
            continue;
        }
        KeepFirstError(result, TakeReadList(state.Readings[i], state.Settings, state.Lists));
        if (state.ButtonTexts[i][0] != L'\0') {
            SetDlgItemTextW(dialog, ListButtons[i], state.ButtonTexts[i]);
            EnableWindow(GetDlgItem(dialog, ListButtons[i]), TRUE);
        }
    }
    return result;
}

bool ListsBeingRead(const ConfigState& state) {
    return state.Readings[0] != nullptr || state.Readings[1] != nullptr;
}

// A list still being read cannot be edited yet: its button says so until the list is in.
void ShowListsBeingRead(HWND dialog, ConfigState& state) {
    wchar_t reading[ButtonTextSize];
    if (LoadStringW(ProgramModule(), IDS_LIST_BEING_READ, reading, ButtonTextSize) == 0) {
        reading[0] = L'\0';
    }
    for (size_t i = 0; i < 2; i++) {
        HWND button = GetDlgItem(dialog, ListButtons[i]);
        if (state.Readings[i] != nullptr && button != nullptr) {
            GetWindowTextW(button, state.ButtonTexts[i], ButtonTextSize);
            EnableWindow(button, FALSE);
            SetWindowTextW(button, reading);
        }
    }
    if (ListsBeingRead(state)) {
        SetTimer(dialog, ListReadingTimer, ListReadingTick, nullptr);
    }
}

// The entry of the screens' list for the stored value, and the value to save: none while the
// user leaves the entry shown, so that a value the list does not offer stays.
void ScreensToControl(HWND dialog, uint32_t screens) {
    SendItem(dialog, IDC_CONFIG_SCREENS, CB_SETCURSEL, ScreensChoice(screens), 0);
}

const uint32_t* ScreensFromControl(HWND dialog, uint32_t& screens) {
    LRESULT entry = SendItem(dialog, IDC_CONFIG_SCREENS, CB_GETCURSEL, 0, 0);
    if (entry == CB_ERR || static_cast<uint32_t>(entry) == ScreensChoice(screens)) {
        return nullptr;
    }
    screens = static_cast<uint32_t>(entry);
    return &screens;
}

// Every opening starts from an empty record, so that a missing key shows zeros. Without a
// record nothing was loaded, and OK then saves nothing rather than empty lists over the user's.
// The dialog shows within the opening's wait whatever the list files do.
void OpenConfiguration(HWND dialog, ConfigState* state, LPARAM) {
    InitConfigControls(dialog);
    if (state == nullptr) {
        return;
    }
    uint32_t code = LoadNumbers(dialog, state->Settings);
    if (code == 0) {
        code = StartReadingLists(*state);
        KeepFirstError(code, TakeReadLists(dialog, *state, GetTickCount() + ListWaitAtOpening));
        ShowListsBeingRead(dialog, *state);
    }
    ShowErrorMessage(dialog, code);
    state->Screens = ReadScreens();
    SettingsToControls(dialog, state->Settings);
    ScreensToControl(dialog, state->Screens);
}

// A tick while a list is being read: the lists read by now come in.
void TakeListsReadSince(HWND dialog, ConfigState* state) {
    if (state == nullptr) {
        return;
    }
    uint32_t code = TakeReadLists(dialog, *state, GetTickCount());
    if (!ListsBeingRead(*state)) {
        KillTimer(dialog, ListReadingTimer);
    }
    ShowErrorMessage(dialog, code);
}

// Nothing is written: list edits made in the sub-dialogs are dropped with the lists. A list
// still being read stays with its reading, which ends by itself; the process is not kept
// waiting for it. A dialog destroyed without OK or Cancel gives its lists back too.
void ReleaseConfiguration(HWND dialog, ConfigState* state) {
    KillTimer(dialog, ListReadingTimer);
    if (state != nullptr) {
        AbandonListReading(state->Readings[0]);
        AbandonListReading(state->Readings[1]);
        ReleaseSettingsLists(state->Settings);
    }
}

// A list whose file could not be written keeps the dialog open with every edit, and the key's
// values as they were, so that the user can mend the cause (a read-only file, a full disk) and
// press OK again, or Cancel. Any other failure (the key gone, a value refused) closes it; the
// error box says what went wrong. A list saved beside a file another program changed is named
// with that file in a box of its own.
bool SaveConfiguration(HWND dialog, ConfigState* state) {
    if (state != nullptr) {
        ControlsToSettings(dialog, state->Settings);
        uint32_t screens = state->Screens;
        uint32_t code =
            SaveSettings(state->Settings, state->Lists, ScreensFromControl(dialog, screens));
        const ListFileStates& lists = state->Lists;
        ShowListsSavedBeside(dialog, lists.Texts, lists.Fonts);
        if (lists.Texts.WriteError != 0 || lists.Fonts.WriteError != 0) {
            ShowListSaveErrors(dialog, lists.Texts.WriteError, lists.Fonts.WriteError);
            return false;
        }
        ShowErrorMessage(dialog, code);
    }
    return true;
}

// A missing template makes the call fail quietly. The sub-dialogs are Unicode windows too.
void RunSubDialog(HWND dialog, const wchar_t* name, DLGPROC procedure, LPARAM parameter) {
    DialogBoxParamW(ProgramModule(), name, dialog, procedure, parameter);
}

// A list's dialog waits for the list: its button is disabled until then, and a command sent
// all the same does nothing.
void RunListDialog(HWND dialog, ConfigState* state, size_t list, const wchar_t* name,
                   DLGPROC procedure) {
    if (state == nullptr) {
        RunSubDialog(dialog, name, procedure, 0);
    } else if (state->Readings[list] == nullptr) {
        RunSubDialog(dialog, name, procedure, reinterpret_cast<LPARAM>(&state->Settings));
    }
}

INT_PTR RunCommand(HWND dialog, ConfigState* state, int id, int, HWND) {
    switch (id) {
    case IDC_CONFIG_VERSES:
        RunListDialog(dialog, state, 0, L"TEXTSDLG", TextsDialogProc);
        return TRUE;
    case IDC_CONFIG_FONTS:
        RunListDialog(dialog, state, 1, L"FONTSDLG", FontsDialogProc);
        return TRUE;
    case IDC_CONFIG_ABOUT:
        RunSubDialog(dialog, L"ABOUTDLG", AboutDialogProc, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

SaverSettings* ConfigRecord(HWND dialog) {
    ConfigState* state = DialogState<ConfigState>(dialog);
    return state != nullptr ? &state->Settings : nullptr;
}

bool InitCommonControlClasses(DWORD classes) {
    using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Kept loaded: the dialogs' controls live in it. The system folder's library, or rather
    // the manifest's version 6, which the system's side-by-side store gives in its place.
    auto init = FindEntry<InitProc>(LoadSystemLibrary(L"comctl32.dll"), "InitCommonControlsEx");
    INITCOMMONCONTROLSEX request{sizeof request, classes};
    return init != nullptr && init(&request) != FALSE;
}

namespace {

// A string that fails to load is left out.
void AddEntries(HWND dialog, int id, const UINT (&strings)[3]) {
    HINSTANCE program = ProgramModule();
    for (UINT string : strings) {
        wchar_t text[EntryTextSize];
        if (LoadStringW(program, string, text, EntryTextSize) > 0) {
            SendItem(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
    }
}

void InitConfigControls(HWND dialog) {
    InitCommonControlClasses(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS);

    // Maximum in the low word so that the up arrow counts up.
    SendItem(dialog, IDC_CONFIG_SECONDS_UPDOWN, UDM_SETRANGE, 0, MAKELPARAM(MaxSeconds, 0));

    AddEntries(dialog, IDC_CONFIG_POLICY, PolicyStrings);
    AddEntries(dialog, IDC_CONFIG_SCREENS, ScreensStrings);

    SendItem(dialog, IDC_CONFIG_FADE, TBM_SETRANGE, FALSE, MAKELPARAM(0, MaxFadeSpeed));
}

void SettingsToControls(HWND dialog, const SaverSettings& record) {
    WORD seconds = static_cast<WORD>(record.TextSpeed / MillisecondsPerSecond);
    SendItem(dialog, IDC_CONFIG_SECONDS_UPDOWN, UDM_SETPOS, 0, MAKELPARAM(seconds, 0));

    bool consecutive = (record.Options & ConsecutiveOrderBit) != 0;
    SendItem(dialog, IDC_CONFIG_RANDOM, BM_SETCHECK, CheckState(!consecutive), 0);
    SendItem(dialog, IDC_CONFIG_CONSECUTIVE, BM_SETCHECK, CheckState(consecutive), 0);

    // Policy 3 names no entry and leaves the combo box without a selection.
    SendItem(dialog, IDC_CONFIG_POLICY, CB_SETCURSEL, record.Options & ChangePolicyMask, 0);

    SendItem(dialog, IDC_CONFIG_FADE, TBM_SETPOS, TRUE, static_cast<LPARAM>(record.FadeSpeed));
}

void ControlsToSettings(HWND dialog, SaverSettings& record) {
    // The high word reports text the up-down cannot read as a position: the default is saved.
    LRESULT position = SendItem(dialog, IDC_CONFIG_SECONDS_UPDOWN, UDM_GETPOS, 0, 0);
    record.TextSpeed =
        HIWORD(position) != 0 ? DefaultTextSpeed : LOWORD(position) * MillisecondsPerSecond;

    record.Options = 0;
    if (SendItem(dialog, IDC_CONFIG_CONSECUTIVE, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        record.Options |= ConsecutiveOrderBit;
    }
    // A combo box without a selection saves the default policy.
    LRESULT policy = SendItem(dialog, IDC_CONFIG_POLICY, CB_GETCURSEL, 0, 0);
    record.Options |=
        policy == CB_ERR ? DefaultOptions & ChangePolicyMask : static_cast<uint32_t>(policy);

    record.FadeSpeed = static_cast<uint32_t>(SendItem(dialog, IDC_CONFIG_FADE, TBM_GETPOS, 0, 0));
}

} // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static constexpr DialogSteps<ConfigState> steps = {
        .HelpTopic = nullptr, // the help file's start: the overview of every setting
        .Open = OpenConfiguration,
        .Command = RunCommand,
        .Accept = SaveConfiguration,
        .Close = ReleaseConfiguration,
        .Release = ReleaseConfiguration,
        .Tick = TakeListsReadSince,
    };
    return RunDialogFrame(steps, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
