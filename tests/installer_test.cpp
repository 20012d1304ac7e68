// The installer of this build, run silently as a user would run it from a script: the files,
// the settings key, the screen saver selection, the Start menu, the uninstaller.
//
// Every install goes to a folder of the test's own; the registry values the installer touches
// and the Start-menu folder are put back as they were when each test ends.

#include "registry_store.h"
#include "saver_settings.h"
#include "support/files.h"
#include "support/messages.h"
#include "support/pixels.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/text_conversion.h"
#include "version.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char UninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Verselume";
constexpr char QuorvaneKey[] = "Software\\Quorvane";
constexpr char ProductKey[] = "Software\\Quorvane\\Verselume";
constexpr char ShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Where the system caches the folders it resolved from the key above.
constexpr char ShellFoldersCacheKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t ListsBoxText[] = L"\u015Eterge \u015Fi listele mele de versete \u015Fi fonturi";
constexpr DWORD RunTimeoutMs = 60000;

#ifdef _WIN64
constexpr WORD ProgramMachine = IMAGE_FILE_MACHINE_AMD64;
#else
constexpr WORD ProgramMachine = IMAGE_FILE_MACHINE_I386;
#endif

// The Windows name of a file of the Linux build tree.
std::string BuildFile(const char* linuxPath) {
    std::string path = std::string("Z:") + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string SampleFile(const char* name) {
    return BuildFile(VERSELUME_SAMPLE_DIR) + "\\" + name;
}

std::wstring LongPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD size = GetLongPathNameW(path.c_str(), buffer, MAX_PATH * 2);
    return size > 0 && size < MAX_PATH * 2 ? std::wstring(buffer) : std::wstring();
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool FileExistsW(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The machine a Windows executable is built for, or 0.
WORD MachineOf(const std::string& bytes) {
    if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0) {
        return 0;
    }
    DWORD header = 0;
    std::memcpy(&header, bytes.data() + 0x3C, 4);
    if (bytes.size() < header + 6 || bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0) {
        return 0;
    }
    WORD machine = 0;
    std::memcpy(&machine, bytes.data() + header + 4, 2);
    return machine;
}

size_t LineCount(const std::string& bytes) {
    return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

// Runs a command line, calls drive (a user at the keyboard) with its process once it started,
// and waits until it and every process it started have ended (the uninstaller hands its work to a
// copy of itself and returns at once). Returns the first process's exit code, or ~0 when it could
// not be run or did not end in time.
DWORD RunToTheEnd(std::wstring commandLine,
                  const std::function<void(HANDLE process)>& drive = nullptr) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD code = ~0u;
    if (job == nullptr) {
        ADD_FAILURE() << "no job object";
        return code;
    }
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << Utf8FromWide(commandLine) << ": " << GetLastError();
        CloseHandle(job);
        return code;
    }
    EXPECT_TRUE(AssignProcessToJobObject(job, process.hProcess));
    ResumeThread(process.hThread);
    if (drive) {
        drive(process.hProcess);
    }
    WaitForSingleObject(process.hProcess, RunTimeoutMs);
    GetExitCodeProcess(process.hProcess, &code);
    for (DWORD waited = 0;; waited += 50) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                       sizeof accounting, nullptr) ||
            accounting.ActiveProcesses == 0) {
            break;
        }
        if (waited >= RunTimeoutMs) {
            ADD_FAILURE() << Utf8FromWide(commandLine) << " did not end";
            code = ~0u;
            break;
        }
        Sleep(50);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return code;
}

std::string StartMenuFolder() {
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\Verselume";
}

struct Shortcut {
    bool loaded = false;
    std::string target;
    std::string arguments;
};

Shortcut ReadShortcut(const std::string& path) {
    Shortcut shortcut;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return shortcut;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(WideFromAnsi(path).c_str(), STGM_READ))) {
            char text[1024] = "";
            link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
            shortcut.target = text;
            text[0] = '\0';
            link->GetArguments(text, sizeof text);
            shortcut.arguments = text;
            shortcut.loaded = true;
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

// The files an installation puts in its folder; the lists go to the lists folder.
const char* const installedFiles[] = {"Verselume.scr", "verselume.chm", "uninstall.exe"};

// The uninstaller's box that removes the lists too, on whichever window shows it.
BOOL CALLBACK FindListsBoxIn(HWND window, LPARAM found) {
    wchar_t text[128] = L"";
    GetWindowTextW(window, text, 128);
    if (wcscmp(text, ListsBoxText) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
    }
    return *reinterpret_cast<HWND*>(found) == nullptr;
}

BOOL CALLBACK FindListsBoxUnder(HWND top, LPARAM found) {
    EnumChildWindows(top, FindListsBoxIn, found);
    return *reinterpret_cast<HWND*>(found) == nullptr;
}

HWND FindListsBox() {
    HWND box = nullptr;
    EnumWindows(FindListsBoxUnder, reinterpret_cast<LPARAM>(&box));
    return box;
}

BOOL CALLBACK AddIfVisible(HWND window, LPARAM windows) {
    if (IsWindowVisible(window)) {
        reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
    }
    return TRUE;
}

std::set<HWND> VisibleWindows() {
    std::set<HWND> windows;
    EnumWindows(AddIfVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// How many times a visible window besides those of before was seen while the process ran.
size_t WindowsShownUntilItEnds(HANDLE process, const std::set<HWND>& before) {
    size_t shown = 0;
    PumpUntil(
        [&] {
            for (HWND window : VisibleWindows()) {
                shown += before.count(window) == 0 ? 1 : 0;
            }
            return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        },
        RunTimeoutMs);
    return shown;
}

class InstallerTest : public testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        // Under Wine, a shortcut in the Start menu also becomes a menu entry of the Linux
        // desktop unless Wine's menu builder is off: the prefix is private, the desktop is not.
        // The override must come from the Linux environment (tools/wine-run sets it); set here
        // it would not reach the installer's children.
        if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr) {
            char overrides[1024] = "";
            GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
            ASSERT_NE(std::strstr(overrides, "winemenubuilder.exe=d"), nullptr)
                << "run under tools/wine-run, or add winemenubuilder.exe=d to WINEDLLOVERRIDES";
        }
        SetAppData(Folder(L"AppData"));
        startMenuExisted_ = FileExists(StartMenuFolder());
        // A fresh installation finds no key of an earlier one.
        DeleteSettingsKey();
        RegDeleteTreeA(HKEY_CURRENT_USER, UninstallKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, UninstallKey);
    }

    void TearDown() override {
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
            if (FileExistsW(*folder + L"\\uninstall.exe")) {
                Uninstall(*folder);
            }
        }
        if (!startMenuExisted_) {
            std::string folder = StartMenuFolder();
            DeleteFileA((folder + "\\Verselume.lnk").c_str());
            DeleteFileA((folder + "\\Ajutor Verselume.lnk").c_str());
            RemoveDirectoryA(folder.c_str());
        }
        CoUninitialize();
    }

    // A folder of this test's own (not yet created).
    std::wstring Folder(const std::wstring& name) const {
        return WideFromAnsi(scratch_.Path()) + L"\\" + name;
    }

    // The user's roaming application data is a folder of the test's own, where the installer
    // puts the lists.
    void SetAppData(const std::wstring& folder) {
        CreateDirectoryW(folder.c_str(), nullptr);
        RegSetKeyValueW(HKEY_CURRENT_USER, WideFromAnsi(ShellFoldersKey).c_str(), L"AppData",
                        REG_SZ, folder.c_str(),
                        static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        lists_ = folder + L"\\Verselume";
    }
    std::string ListsFolder() const { return AnsiFromWide(lists_); }
    std::wstring ListsFolderW() const { return lists_; }

    // Runs the installer silently into folder, with extra switches, driven as RunToTheEnd
    // drives; returns its exit code.
    DWORD Install(const std::wstring& folder, const std::wstring& switches = L"",
                  const std::function<void(HANDLE process)>& drive = nullptr) {
        if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end()) {
            folders_.push_back(folder);
        }
        // NSIS takes the folder as the last argument, unquoted even with spaces.
        return RunToTheEnd(L"\"" + WideFromAnsi(BuildFile(VERSELUME_INSTALLER)) + L"\" /S " +
                               switches + L" /D=" + folder,
                           drive);
    }

    // Runs the folder's uninstaller silently and waits for the copy that does the work.
    void Uninstall(const std::wstring& folder) {
        EXPECT_EQ(RunToTheEnd(L"\"" + folder + L"\\uninstall.exe\" /S"), 0u);
    }

    ScratchDir scratch_;

  private:
    // What the installer, the uninstaller and the test change, put back after TearDown.
    RegistrySnapshot registry_{HKEY_CURRENT_USER,
                               {QuorvaneKey, ProductKey, SettingsKeyPath, UninstallKey},
                               {{DesktopKey, "SCRNSAVE.EXE"},
                                {DesktopKey, "ScreenSaveActive"},
                                {ShellFoldersKey, "AppData"},
                                {ShellFoldersCacheKey, "AppData"}}};
    std::vector<std::wstring> folders_;
    std::wstring lists_;
    bool startMenuExisted_ = false;
};

TEST_F(InstallerTest, SilentInstallPutsTheFilesAndExactlyThePathValues) {
    std::wstring folder = Folder(L"Verselume");
    std::string path = AnsiFromWide(folder);
    // A silent install, as a script or a package manager runs it, shows no window at all.
    const std::set<HWND> before = VisibleWindows();
    size_t shown = 0;
    auto watch = [&](HANDLE installer) { shown = WindowsShownUntilItEnds(installer, before); };
    ASSERT_EQ(Install(folder, L"", watch), 0u);
    EXPECT_EQ(shown, 0u) << "the silent install showed a window";

    std::string installer = ReadBytes(BuildFile(VERSELUME_INSTALLER));
    std::string program = ReadBytes(path + "\\Verselume.scr");
    EXPECT_EQ(MachineOf(installer), ProgramMachine);
    EXPECT_EQ(MachineOf(program), ProgramMachine);
    EXPECT_TRUE(program == ReadBytes(BuiltSaverPath()));
    EXPECT_TRUE(ReadBytes(path + "\\verselume.chm") == ReadBytes(BuildFile(VERSELUME_HELP_FILE)));
    std::string texts = ReadBytes(SampleFile("versete.txt"));
    std::string fonts = ReadBytes(SampleFile("fonturi.txt"));
    // The lists the user edits live in the roaming application data, not beside the program.
    EXPECT_TRUE(ReadBytes(ListsFolder() + "\\versete.txt") == texts);
    EXPECT_TRUE(ReadBytes(ListsFolder() + "\\fonturi.txt") == fonts);
    EXPECT_FALSE(FileExists(path + "\\versete.txt"));
    EXPECT_TRUE(FileExists(path + "\\uninstall.exe"));

    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, SettingsKeyPath),
              (std::vector<std::string>{"FontsFile", "HelpFile", "TextsFile"}));
    const std::pair<const char*, std::string> values[] = {
        {"TextsFile", ListsFolder() + "\\versete.txt"},
        {"FontsFile", ListsFolder() + "\\fonturi.txt"},
        {"HelpFile", path + "\\verselume.chm"}};
    for (const auto& [name, file] : values) {
        std::optional<RegistryValue> value = ReadValue(HKEY_CURRENT_USER, SettingsKeyPath, name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(value->Type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(std::string(value->Data.c_str()), file) << name;
    }
    // The program finds every sample entry through the key.
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), 0u);
    EXPECT_EQ(record.TextCount, LineCount(texts));
    EXPECT_EQ(record.FontCount, LineCount(fonts));
    ReleaseSettingsLists(record);

    // Without /CURRENT a silent install leaves the user's screen saver alone.
    std::optional<RegistryValue> screenSaver =
        ReadValue(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE");
    EXPECT_TRUE(!screenSaver || screenSaver->Data.find("Verselume") == std::string::npos);

    // The entry in the list of programs, whole.
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, UninstallKey),
              (std::vector<std::string>{"DisplayIcon", "DisplayName", "DisplayVersion",
                                        "EstimatedSize", "InstallLocation", "NoModify", "NoRepair",
                                        "Publisher", "QuietUninstallString", "UninstallString"}));
    const std::pair<const char*, std::string> entry[] = {
        {"DisplayName", "Verselume"},
        {"DisplayVersion", VERSELUME_VERSION_STRING},
        {"Publisher", "Quorvane"},
        {"DisplayIcon", path + "\\Verselume.scr,0"},
        {"InstallLocation", path},
        {"UninstallString", "\"" + path + "\\uninstall.exe\""},
        {"QuietUninstallString", "\"" + path + "\\uninstall.exe\" /S"}};
    for (const auto& [name, expected] : entry) {
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, UninstallKey, name), expected) << name;
    }
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, UninstallKey, "NoModify"), 1u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, UninstallKey, "NoRepair"), 1u);
    // The size of the installation folder in kilobytes, each file rounded its own way.
    size_t installed = 0;
    for (const char* file : installedFiles) {
        installed += ReadBytes(path + "\\" + file).size();
    }
    DWORD kilobytes = ReadDword(HKEY_CURRENT_USER, UninstallKey, "EstimatedSize");
    EXPECT_GE(kilobytes + 3, installed / 1024);
    EXPECT_LE(kilobytes, installed / 1024 + 3);

    Shortcut reselect = ReadShortcut(StartMenuFolder() + "\\Verselume.lnk");
    ASSERT_TRUE(reselect.loaded);
    std::string target = reselect.target;
    std::transform(target.begin(), target.end(), target.begin(), ::tolower);
    EXPECT_TRUE(target.size() > 13 && target.ends_with("\\rundll32.exe")) << reselect.target;
    EXPECT_EQ(reselect.arguments, "desk.cpl,InstallScreenSaver " + path + "\\Verselume.scr");
    Shortcut help = ReadShortcut(StartMenuFolder() + "\\Ajutor Verselume.lnk");
    ASSERT_TRUE(help.loaded);
    EXPECT_TRUE(SamePath(WideFromAnsi(help.target), folder + L"\\verselume.chm")) << help.target;
}

TEST_F(InstallerTest, CurrentSwitchSelectsTheSaverByAPathWithoutSpaces) {
    for (const wchar_t* name : {L"Verselume", L"Verselume de test"}) {
        SCOPED_TRACE(Utf8FromWide(name));
        WriteString(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive", "0");
        std::wstring folder = Folder(name);
        ASSERT_EQ(Install(folder, L"/CURRENT"), 0u);

        std::optional<RegistryValue> active =
            ReadValue(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive");
        ASSERT_TRUE(active);
        EXPECT_EQ(active->Type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(std::string(active->Data.c_str()), "1");

        // Windows starts the saver by this path without quotes.
        std::string screenSaver = ReadString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE");
        std::wstring program = folder + L"\\Verselume.scr";
        EXPECT_EQ(screenSaver.find(' '), std::string::npos) << screenSaver;
        EXPECT_TRUE(SamePath(LongPath(WideFromAnsi(screenSaver)), program)) << screenSaver;
        if (program.find(L' ') == std::wstring::npos) {
            EXPECT_EQ(screenSaver, AnsiFromWide(program));
        }
        Shortcut reselect = ReadShortcut(StartMenuFolder() + "\\Verselume.lnk");
        EXPECT_EQ(reselect.arguments, "desk.cpl,InstallScreenSaver " + screenSaver);
        Uninstall(folder);
    }
}

TEST_F(InstallerTest, ReinstallKeepsTheUsersListsAndSettings) {
    std::wstring folder = Folder(L"Verselume");
    std::string path = AnsiFromWide(folder);
    ASSERT_EQ(Install(folder), 0u);
    const std::string texts = "Versetul meu. (Ioan 1:1)\r\nAl doilea. (Ioan 1:2)\r\n";
    const std::string fonts = "Georgia\r\n";
    WriteBytes(ListsFolder() + "\\versete.txt", texts);
    WriteBytes(ListsFolder() + "\\fonturi.txt", fonts);
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, "TextSpeed", 7000);
    DeleteFileA((path + "\\Verselume.scr").c_str());

    ASSERT_EQ(Install(folder), 0u);
    EXPECT_EQ(ReadBytes(ListsFolder() + "\\versete.txt"), texts);
    EXPECT_EQ(ReadBytes(ListsFolder() + "\\fonturi.txt"), fonts);
    EXPECT_TRUE(ReadBytes(path + "\\Verselume.scr") == ReadBytes(BuiltSaverPath()));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, SettingsKeyPath),
              (std::vector<std::string>{"FontsFile", "HelpFile", "TextSpeed", "TextsFile"}));
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), 0u);
    EXPECT_EQ(record.TextSpeed, 7000u);
    ASSERT_EQ(record.TextCount, 2u);
    EXPECT_EQ(std::wstring(record.Texts), L"Versetul meu. (Ioan 1:1)");
    ReleaseSettingsLists(record);
}

// An upgrade keeps each list where the key names it (an earlier version kept them beside the
// program), also when its folder is away (an unplugged drive, an offline share); a list the key
// names but that is gone from its folder is put in the lists folder.
TEST_F(InstallerTest, UpgradeKeepsTheListsWhereTheKeyNamesThem) {
    std::wstring first = Folder(L"Verselume");
    std::wstring second = Folder(L"Altundeva");
    ASSERT_EQ(Install(first), 0u);
    const std::string old = AnsiFromWide(first) + "\\versete.txt";
    const std::string texts = "Versetul meu. (Ioan 1:1)\r\n";
    WriteBytes(old, texts);
    WriteString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile", old);
    WriteString(HKEY_CURRENT_USER, SettingsKeyPath, "FontsFile",
                AnsiFromWide(first) + "\\gone.txt");

    ASSERT_EQ(Install(second), 0u);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile"), old);
    EXPECT_EQ(ReadBytes(old), texts);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "FontsFile"),
              ListsFolder() + "\\fonturi.txt");
    EXPECT_TRUE(ReadBytes(ListsFolder() + "\\fonturi.txt") == ReadBytes(SampleFile("fonturi.txt")));
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "HelpFile"),
              AnsiFromWide(second) + "\\verselume.chm");

    const std::string away = AnsiFromWide(Folder(L"Plecat")) + "\\versete.txt";
    WriteString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile", away);
    ASSERT_EQ(Install(second), 0u);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile"), away);
    EXPECT_FALSE(FileExists(away));
}

// Lists kept at uninstall stay named by the key, wherever they are, so that the next
// installation uses them; the other settings go.
TEST_F(InstallerTest, ListsKeptAtUninstallAreUsedByTheNextInstallation) {
    std::wstring folder = Folder(L"Verselume");
    ASSERT_EQ(Install(folder), 0u);
    const std::string own = AnsiFromWide(Folder(L"Listele mele"));
    ASSERT_TRUE(CreateDirectoryA(own.c_str(), nullptr));
    const std::string texts = own + "\\versete.txt";
    WriteBytes(texts, "Versetul meu.\r\n");
    WriteString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile", texts);
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, "TextSpeed", 7000);
    Uninstall(folder);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, SettingsKeyPath),
              (std::vector<std::string>{"FontsFile", "TextsFile"}));

    ASSERT_EQ(Install(folder), 0u);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "TextsFile"), texts);
    EXPECT_EQ(ReadBytes(texts), "Versetul meu.\r\n");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, SettingsKeyPath, "FontsFile"),
              ListsFolder() + "\\fonturi.txt");
}

// Uninstalling from the list of programs offers a box, unticked, that removes the lists too:
// ticked, the lists go with the program; left alone, they stay for a later installation.
TEST_F(InstallerTest, UninstallerRemovesTheListsOnlyWhenItsBoxIsTicked) {
    for (bool tick : {false, true}) {
        SCOPED_TRACE(tick ? "ticked" : "left unticked");
        std::wstring folder = Folder(tick ? L"Bifat" : L"Nebifat");
        ASSERT_EQ(Install(folder), 0u);
        DWORD code = RunToTheEnd(L"\"" + folder + L"\\uninstall.exe\"", [&](HANDLE) {
            HWND box = nullptr;
            ASSERT_TRUE(PumpUntil([&] { return (box = FindListsBox()) != nullptr; }, 30000));
            EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
            if (tick) {
                SendMessageW(box, BM_CLICK, 0, 0);
            }
            // "Dezinstalează", then "Închide" once the work is done.
            HWND next = GetDlgItem(GetAncestor(box, GA_ROOT), IDOK);
            PumpUntil([&] { return !PostMessageW(next, BM_CLICK, 0, 0); }, 30000);
        });
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(FileExists(AnsiFromWide(folder)));
        EXPECT_EQ(SettingsKeyExists(), !tick) << "kept lists stay named by the key";
        EXPECT_EQ(FileExists(ListsFolder() + "\\versete.txt"), !tick);
        EXPECT_EQ(FileExists(ListsFolder() + "\\fonturi.txt"), !tick);
        EXPECT_EQ(FileExists(ListsFolder()), !tick);
    }
}

// What SCRNSAVE.EXE holds when the uninstaller runs, and whether it must go.
struct ScreenSaverCase {
    const char* what;
    enum { AsInstalled, LongForm, LongFormUpperCase, Other, None } value;
    bool removed;
};

TEST_F(InstallerTest, UninstallerRemovesItsFilesKeysAndOnlyItsOwnScreenSaver) {
    const ScreenSaverCase cases[] = {
        {"as the installer wrote it", ScreenSaverCase::AsInstalled, true},
        {"the long form", ScreenSaverCase::LongForm, true},
        {"the long form in capitals", ScreenSaverCase::LongFormUpperCase, true},
        {"another screen saver", ScreenSaverCase::Other, false},
        {"no screen saver", ScreenSaverCase::None, false},
    };
    const std::string other = "C:\\windows\\system32\\scrnsave.scr";
    int serial = 0;
    for (const ScreenSaverCase& test : cases) {
        SCOPED_TRACE(test.what);
        std::wstring folder = Folder(L"Verselume de test " + std::to_wstring(serial++));
        std::string path = AnsiFromWide(folder);
        ASSERT_EQ(Install(folder, L"/CURRENT"), 0u);
        ASSERT_TRUE(FileExists(StartMenuFolder() + "\\Verselume.lnk"));
        std::string longForm = path + "\\Verselume.scr";
        std::string upper = longForm;
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        switch (test.value) {
        case ScreenSaverCase::AsInstalled:
            break;
        case ScreenSaverCase::LongForm:
            WriteString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", longForm);
            break;
        case ScreenSaverCase::LongFormUpperCase:
            WriteString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", upper);
            break;
        case ScreenSaverCase::Other:
            WriteString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", other);
            break;
        case ScreenSaverCase::None:
            WriteValue(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE", std::nullopt);
            break;
        }

        // As Windows' list of programs runs it.
        std::string command = ReadString(HKEY_CURRENT_USER, UninstallKey, "QuietUninstallString");
        ASSERT_EQ(command, "\"" + path + "\\uninstall.exe\" /S");
        EXPECT_EQ(RunToTheEnd(WideFromAnsi(command)), 0u);

        for (const char* file : installedFiles) {
            EXPECT_FALSE(FileExists(path + "\\" + file)) << file;
        }
        // A silent uninstall keeps the user's lists.
        EXPECT_TRUE(ReadBytes(ListsFolder() + "\\versete.txt") ==
                    ReadBytes(SampleFile("versete.txt")));
        EXPECT_TRUE(FileExists(ListsFolder() + "\\fonturi.txt"));
        EXPECT_FALSE(FileExists(path));
        EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, SettingsKeyPath),
                  (std::vector<std::string>{"FontsFile", "TextsFile"}));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
        EXPECT_FALSE(FileExists(StartMenuFolder()));
        std::optional<RegistryValue> screenSaver =
            ReadValue(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE");
        if (test.removed || test.value == ScreenSaverCase::None) {
            EXPECT_FALSE(screenSaver) << screenSaver->Data;
        } else {
            ASSERT_TRUE(screenSaver);
            EXPECT_EQ(std::string(screenSaver->Data.c_str()), other);
        }
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveActive"), "1");
    }
}

// The program reads its paths with the ANSI registry calls: a folder name the ANSI code page
// cannot spell is written in its short form, which it can.
TEST_F(InstallerTest, PathsTheAnsiCodePageCannotSpellAreWrittenShort) {
    std::wstring folder = Folder(L"Verselume \u8A69\u6587");
    SetAppData(Folder(L"Date \u8A69\u6587"));
    ASSERT_EQ(Install(folder), 0u);
    ASSERT_TRUE(FileExistsW(ListsFolderW() + L"\\versete.txt"));
    const std::pair<const char*, std::wstring> values[] = {
        {"TextsFile", ListsFolderW() + L"\\versete.txt"},
        {"FontsFile", ListsFolderW() + L"\\fonturi.txt"},
        {"HelpFile", folder + L"\\verselume.chm"}};
    for (const auto& [name, file] : values) {
        std::string value = ReadString(HKEY_CURRENT_USER, SettingsKeyPath, name);
        EXPECT_EQ(value.find('?'), std::string::npos) << name << ": " << value;
        EXPECT_TRUE(SamePath(LongPath(WideFromAnsi(value)), file)) << name << ": " << value;
    }
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), 0u);
    EXPECT_EQ(record.TextCount, LineCount(ReadBytes(SampleFile("versete.txt"))));
    EXPECT_EQ(record.FontCount, LineCount(ReadBytes(SampleFile("fonturi.txt"))));
    ReleaseSettingsLists(record);
    Uninstall(folder);
    EXPECT_FALSE(FileExistsW(folder));
}

// The installed saver, started as Windows starts the current one, shows the installed sample
// verses: in consecutive order every interval moves LastText on by one, wrapping at the end of
// the sample list.
TEST_F(InstallerTest, InstalledSaverGoesThroughTheSampleVersesInOrder) {
    ASSERT_EQ(Install(Folder(L"Verselume"), L"/CURRENT"), 0u);
    const DWORD count = static_cast<DWORD>(LineCount(ReadBytes(SampleFile("versete.txt"))));
    const DWORD start = count - 2;
    constexpr DWORD interval = 200;
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, "Options", ConsecutiveOrderBit);
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, "TextSpeed", interval);
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, "FadeSpeed", 10);
    WriteDword(HKEY_CURRENT_USER, SettingsKeyPath, "LastText", start);

    std::string program = ReadString(HKEY_CURRENT_USER, DesktopKey, "SCRNSAVE.EXE");
    DWORD started = GetTickCount();
    SaverProcess saver(program, program + " /s");
    HWND window = saver.WaitForSaverWindow();
    ASSERT_NE(window, nullptr);
    // A verse is on the screen at some moment of the run (each tick blacks it out again).
    size_t mostLit = 0;
    DWORD looked = 0;
    PumpUntil([] { return false; }, interval);
    PumpUntil(
        [&] {
            if (GetTickCount() - looked >= interval / 2) {
                looked = GetTickCount();
                mostLit = std::max(mostLit, LitPixels(ReadScreen(window)));
            }
            return false;
        },
        9 * interval);
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD elapsed = GetTickCount() - started;
    ASSERT_EQ(saver.WaitForExit(), 0u);
    EXPECT_GT(mostLit, 0u) << "no verse on the screen";

    DWORD lastText = ReadDword(HKEY_CURRENT_USER, SettingsKeyPath, "LastText");
    ASSERT_LT(lastText, count);
    // Each tick shows the next verse; from two before the end, the third one is the first.
    DWORD steps = (lastText + count - start) % count;
    EXPECT_GE(steps, 3u) << "LastText " << lastText << " after " << elapsed << " ms";
    EXPECT_LE(steps, elapsed / interval + 1) << "LastText " << lastText;
}

} // namespace
