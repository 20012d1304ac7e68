#pragma once
// Drives the real verses editor under Wine or Windows: opens TEXTSDLG on a record, sends the
// messages a user's clicks send, reads the controls back, and lets a test make a control fail a
// request or watch what it is asked; and the way from the configuration dialog through a list
// dialog.

#include "resource_ids.h"
#include "saver_settings.h"
#include "support/dialogs.h"
#include "support/messages.h"
#include "support/records.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Verses as UTF-8; the editor holds them as UTF-16.
using Verses = std::vector<std::string>;

// The common controls the configuration dialog initialises before it opens the editor.
void InitDialogControls();

// The system's text for an error code without its closing line break, and likewise the texts
// of the error boxes seen, from the first-th on; every one of those must be owned by owner.
std::string ErrorText(DWORD code);
std::vector<std::string> ErrorTexts(MessageBoxWatcher& boxes, HWND owner, size_t first = 0);

// A control of the editor made to answer a message with reply (setting the thread's last-error
// value to lastError when it is non-zero) after passing the first passFirst ones on: every time
// from then on, or the given number of times.
struct ControlFault {
    int control;
    UINT message;
    LRESULT reply;
    int passFirst = 0;
    DWORD lastError = 0;
    int times = 0;
};
struct SentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Subclasses the editor's toolbar, list and edit field, and the typefaces dialog's selected
// list, as they are created, while it lives.
class ControlSpy {
  public:
    explicit ControlSpy(std::vector<ControlFault> faults = {});
    ~ControlSpy();
    ControlSpy(const ControlSpy&) = delete;
    ControlSpy& operator=(const ControlSpy&) = delete;

    // Adds a fault to a control that already exists.
    void Add(HWND dialog, const ControlFault& fault);
    // The list-box and toolbar requests the control received.
    std::vector<SentMessage> Received(int control) const;

  private:
    HHOOK hook_;
};

// The editor, created modeless from TEXTSDLG with TextsDialogProc and the record as parameter.
class Editor : public ModelessDialog {
  public:
    explicit Editor(SaverSettings& record);
    // An editor someone else opened (the configuration dialog, modally); left open at the end.
    explicit Editor(HWND opened) : ModelessDialog(opened) {}

    Verses Entries() const { return ListEntries(IDC_TEXTS_LIST); }
    int Selection() const;
    std::string Field() const;
    // Replaces the edit field's text, as typing over it does.
    void Type(const std::string& text);
    // A toolbar button, OK or Cancel pressed.
    void Press(int command);
    // The user selects the entry at position (-1: none) in the list.
    void Choose(int position);
};

// The configuration's button (IDC_CONFIG_VERSES or IDC_CONFIG_FONTS) clicked once its list is
// read: plays the user in
// the list dialog it opens modally, with play on a thread of its own, then presses that dialog's
// OK. Checks that the dialog was the configuration's and left it open; false when none opened
// or it did not end.
bool EditList(HWND configuration, int button, const std::function<void(HWND)>& play = nullptr);
