#pragma once
// Helpers for tests that drive the real dialogs under Wine: dismissing the error boxes a dialog
// shows, and running a modal dialog while a second thread plays the user.

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The window's class and text (ANSI), read without sending it a message, so that a window of a
// busy thread cannot block the caller.
std::string ClassOf(HWND window);
std::string TextOf(HWND window);

// What an error box showed.
struct SeenMessageBox {
    HWND Owner;
    std::string Title;
    std::string Text;
    bool HasIcon;
    int ButtonCount;
    HICON Icon;
};

// Watches the top-level windows of one thread from a thread of its own. Every dialog window
// (#32770) whose title is not one of the program's own dialog titles is taken for a message box:
// its contents are recorded and it is closed with OK, so a test never waits on one.
class MessageBoxWatcher {
  public:
    explicit MessageBoxWatcher(DWORD threadId = GetCurrentThreadId());
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Seen();

  private:
    void Watch();

    DWORD thread_;
    HANDLE stop_;
    std::mutex lock_;
    std::vector<SeenMessageBox> seen_;
    std::vector<HWND> handled_;
    std::thread watcher_;
};

// Checks a box against what the shared error box shows for code: the system's text, owned by
// owner, with the error icon and OK alone.
void ExpectErrorBox(const SeenMessageBox& box, HWND owner, DWORD code);

// A dialog of this program created modeless from its template, with its real procedure and
// parameter; the test plays the user with messages on its own thread. OK or Cancel ends the
// dialog (hidden, not destroyed); the window goes with the object unless someone else made it.
class ModelessDialog {
  public:
    ModelessDialog(const wchar_t* name, DLGPROC procedure, LPARAM parameter);
    // A dialog someone else opened (modally); left open at the end.
    explicit ModelessDialog(HWND opened) : window_(opened), owned_(false) {}
    ~ModelessDialog();
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendDlgItemMessageW(window_, id, message, wParam, lParam);
    }
    // A click on the button as the user makes it (a radio button gets its check).
    void Click(int id) const { Send(id, BM_CLICK); }
    // The command a button sends when clicked, whatever the button's state.
    void Command(int id) const;
    // A list box's entries in UTF-8.
    std::vector<std::string> ListEntries(int list) const;
    // True once OK or Cancel ended the dialog (which hides it).
    bool Ended() const { return IsWindowVisible(window_) == FALSE; }

  private:
    HWND window_;
    bool owned_ = true;
};

// Waits up to timeout for a visible top-level dialog window of the thread with this title.
HWND WaitForDialog(DWORD threadId, const std::string& title, DWORD timeoutMs = 10000);

// A dialog that a command of another opened modally: its window (gone once it ended) and its
// owner.
struct OpenedDialog {
    HWND Window = nullptr;
    HWND Owner = nullptr;
};

// Calls open, which shows the dialog with this title modally, while a second thread waits for
// that dialog and plays the user in it with drive, which should end it.
OpenedDialog DriveOpenedDialog(const std::string& title, const std::function<void()>& open,
                               const std::function<void(HWND)>& drive);

// Runs template name of this program modally with procedure and parameter. Once the dialog with
// the given title shows, drive is called on a second thread with its window; it plays the user
// with posted messages and should close the dialog. If it does not within the time-out, the
// dialog is cancelled and driven is left false. Returns DialogBoxParamW's result.
INT_PTR RunModalDialog(const char* name, DLGPROC procedure, LPARAM parameter, HWND owner,
                       const std::string& title, const std::function<void(HWND)>& drive,
                       bool* driven = nullptr);

// The system's own text for a Win32 error code, as FormatMessageA gives it.
std::string SystemMessage(DWORD code);
