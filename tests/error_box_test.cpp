// The shared error box: the system's text for a code, owned by the given window, with the error
// icon and OK alone; nothing at all for code 0 or a code the system has no text for.
#include "error_box.h"

#include "support/dialogs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class OwnerWindow {
  public:
    OwnerWindow()
        : window_(CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                  nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnerWindow() { DestroyWindow(window_); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND Window() const { return window_; }

  private:
    HWND window_;
};

TEST(ShowErrorMessage, ShowsTheSystemTextWithTheErrorIconAndOk) {
    OwnerWindow owner;
    MessageBoxWatcher boxes;
    const DWORD codes[] = {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_DATA,
                           ERROR_OUTOFMEMORY,    ERROR_WRITE_FAULT,   ERROR_INVALID_PARAMETER,
                           ERROR_MORE_DATA};
    for (DWORD code : codes) {
        ShowErrorMessage(owner.Window(), code);
    }
    std::vector<SeenMessageBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), std::size(codes));
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("code " + std::to_string(codes[i]));
        ASSERT_FALSE(SystemMessage(codes[i]).empty());
        ExpectErrorBox(seen[i], owner.Window(), codes[i]);
    }
    // No caption of its own: the system's default one, the same as for a box without a title.
    MessageBoxA(owner.Window(), "reference", nullptr, MB_ICONERROR);
    seen = boxes.Seen();
    ASSERT_EQ(seen.size(), std::size(codes) + 1);
    EXPECT_FALSE(seen.back().Title.empty());
    EXPECT_EQ(seen[0].Title, seen.back().Title);
}

TEST(ShowErrorMessage, ShowsNothingWithoutACodeOrWithoutText) {
    OwnerWindow owner;
    MessageBoxWatcher boxes;
    constexpr DWORD NoSuchMessage = 0x2000BEEF; // customer range: the system has no text
    ASSERT_TRUE(SystemMessage(NoSuchMessage).empty());
    ShowErrorMessage(owner.Window(), 0);
    ShowErrorMessage(owner.Window(), NoSuchMessage);
    ShowErrorMessage(nullptr, 0);
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST(ShowErrorMessage, WithoutOwnerStillShows) {
    MessageBoxWatcher boxes;
    // Here the box is the process's first window. On a busy CI machine Wine once returned from
    // it within 60 ms with no window shown; a box that never shows still fails all three tries.
    for (int attempt = 0; attempt < 3 && boxes.Seen().empty(); ++attempt) {
        ShowErrorMessage(nullptr, ERROR_FILE_NOT_FOUND);
    }
    std::vector<SeenMessageBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    ExpectErrorBox(seen[0], nullptr, ERROR_FILE_NOT_FOUND);
}

} // namespace
