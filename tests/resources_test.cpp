// The program's templates, strings, version record and manifest as built, against the resource
// scripts they are built from (saved in UTF-8); and the controls the code reaches, with the
// class it sends them messages for and the order Tab takes a keyboard user through them.

#include "config_dialog.h"
#include "resource_ids.h"
#include "support/files.h"
#include "support/resource_scripts.h"
#include "support/saver_process.h"
#include "support/text_conversion.h"
#include "support/typefaces.h"
#include "version.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const ResourceScripts& Scripts() {
    static const ResourceScripts scripts = ReadResourceScripts(VERSELUME_RESOURCES_DIR);
    return scripts;
}

std::string WideText(HWND window) {
    wchar_t text[1024] = {};
    return Utf8FromWide(std::wstring(text, std::max(GetWindowTextW(window, text, 1024), 0)));
}

std::string Upper(std::string text) {
    return CharUpperA(text.data());
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return Upper(name);
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The template made with a procedure that does nothing, its classes registered as the shell
// registers them.
HWND MakeDialog(const ScriptDialog& script) {
    InitCommonControlClasses(ICC_BAR_CLASSES | ICC_UPDOWN_CLASS);
    RegisterSampleClass();
    std::wstring name = WideFromUtf8(script.Name);
    HWND dialog =
        CreateDialogParamW(GetModuleHandleW(nullptr),
                           script.Number != 0 ? MAKEINTRESOURCEW(script.Number) : name.c_str(),
                           nullptr, InertDialogProc, 0);
    EXPECT_NE(dialog, nullptr) << "no dialog from the template";
    return dialog;
}

// The ids in the order Tab visits them, from the first tab stop round to it again.
std::vector<int> TabOrder(HWND dialog) {
    std::vector<int> visited;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND item = first; item != nullptr && visited.size() < 100;) {
        visited.push_back(GetDlgCtrlID(item));
        item = GetNextDlgTabItem(dialog, item, FALSE);
        item = item == first ? nullptr : item;
    }
    return visited;
}

std::string Describe(int id, const std::string& className, const std::string& text, bool tab) {
    return std::to_string(id) + " " + Upper(className) + " \"" + text + "\"" + (tab ? " tab" : "");
}

// Every control in the template's order with its id, class, text and tab stop, and the caption,
// as the script writes them: a text built in another code page, or a control the build lost,
// shows here.
TEST(DialogTemplates, AreTheirScriptsControlForControl) {
    EXPECT_EQ(Scripts().CodePage, 65001) << "the scripts are saved in UTF-8";
    ASSERT_GE(Scripts().Dialogs.size(), 4u);
    for (const ScriptDialog& script : Scripts().Dialogs) {
        SCOPED_TRACE(script.Name);
        HWND dialog = MakeDialog(script);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WideText(dialog), script.Caption);
        std::vector<std::string> built, written;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            built.push_back(Describe(static_cast<short>(GetDlgCtrlID(child)), ClassName(child),
                                     WideText(child),
                                     GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP));
        }
        std::vector<int> tabStops;
        for (const ScriptControl& control : script.Controls) {
            written.push_back(
                Describe(control.Id, control.ClassName, control.Text, control.TabStop));
            if (control.TabStop) {
                tabStops.push_back(control.Id);
            }
        }
        EXPECT_EQ(built, written);
        EXPECT_EQ(TabOrder(dialog), tabStops);
        DestroyWindow(dialog);
    }
}

// The controls each dialog's code sends messages to, by the class it sends them for; and those
// Tab reaches, in the order a keyboard user meets them.
const struct {
    const char* Dialog;
    std::vector<std::pair<const char*, std::vector<int>>> Classes;
    std::vector<int> TabOrder;
} Used[] = {
    // The radio buttons are reached with the arrow keys, not with Tab.
    {"IDD_CONFIG",
     {{"EDIT", {IDC_CONFIG_SECONDS}},
      {"msctls_updown32", {IDC_CONFIG_SECONDS_UPDOWN}},
      {"COMBOBOX", {IDC_CONFIG_POLICY, IDC_CONFIG_SCREENS}},
      {"msctls_trackbar32", {IDC_CONFIG_FADE}},
      {"BUTTON",
       {IDC_CONFIG_RANDOM, IDC_CONFIG_CONSECUTIVE, IDC_CONFIG_VERSES, IDC_CONFIG_FONTS, IDOK,
        IDCANCEL, IDHELP, IDC_CONFIG_ABOUT}}},
     {IDC_CONFIG_SECONDS, IDC_CONFIG_VERSES, IDC_CONFIG_FONTS, IDC_CONFIG_POLICY,
      IDC_CONFIG_SCREENS, IDC_CONFIG_FADE, IDOK, IDCANCEL, IDHELP, IDC_CONFIG_ABOUT}},
    {"ABOUTDLG", {{"BUTTON", {IDOK}}}, {IDOK}},
    // The list is reached by clicking, or from the edit field with the arrow keys.
    {"TEXTSDLG",
     {{"ToolbarWindow32", {IDC_TEXTS_TOOLBAR}},
      {"LISTBOX", {IDC_TEXTS_LIST}},
      {"EDIT", {IDC_TEXTS_EDIT}},
      {"BUTTON", {IDOK, IDCANCEL}}},
     {IDC_TEXTS_EDIT, IDOK, IDCANCEL}},
    {"FONTSDLG",
     {{"LISTBOX", {IDC_FONTS_AVAILABLE, IDC_FONTS_SELECTED}},
      {"FontSampleClass", {IDC_FONTS_SAMPLE}},
      {"BUTTON", {IDC_FONTS_ADD, IDC_FONTS_REMOVE, IDOK, IDCANCEL}}},
     {IDC_FONTS_ADD, IDC_FONTS_REMOVE, IDOK, IDCANCEL}},
};

TEST(DialogTemplates, HoldTheControlsTheCodeUsesInTabOrder) {
    for (const auto& used : Used) {
        SCOPED_TRACE(used.Dialog);
        const ScriptDialog* script = nullptr;
        for (const ScriptDialog& dialog : Scripts().Dialogs) {
            script = dialog.Name == used.Dialog ? &dialog : script;
        }
        ASSERT_NE(script, nullptr) << "no such template in the scripts";
        HWND dialog = MakeDialog(*script);
        for (const auto& [className, ids] : used.Classes) {
            for (int id : ids) {
                EXPECT_EQ(ClassName(GetDlgItem(dialog, id)), Upper(className)) << "control " << id;
            }
        }
        std::vector<int> visited;
        for (int id : TabOrder(dialog)) {
            if (std::find(used.TabOrder.begin(), used.TabOrder.end(), id) != used.TabOrder.end()) {
                visited.push_back(id);
            }
        }
        EXPECT_EQ(visited, used.TabOrder) << "the order Tab visits the controls in";
        DestroyWindow(dialog);
    }
}

// Read as the program reads them, wide and in the ANSI code page of its users (the tests run
// with the Romanian 1250), every string equals its script; every string the code names is there.
TEST(StringTable, ReadsAsItsScriptInBothForms) {
    ASSERT_EQ(GetACP(), 1250u);
    EXPECT_EQ(Scripts().CodePage, 65001) << "the scripts are saved in UTF-8";
    for (const auto& [name, id] : Scripts().Ids) {
        EXPECT_TRUE(name.rfind("IDS_", 0) != 0 || Scripts().Strings.count(id))
            << name << " missing";
    }
    ASSERT_FALSE(Scripts().Strings.empty());
    HINSTANCE program = GetModuleHandleW(nullptr);
    for (const auto& [id, text] : Scripts().Strings) {
        SCOPED_TRACE("string " + std::to_string(id));
        wchar_t wide[1024] = {};
        char ansi[1024] = {};
        ASSERT_GT(LoadStringW(program, id, wide, 1024), 0);
        ASSERT_GT(LoadStringA(program, id, ansi, 1024), 0);
        EXPECT_EQ(Utf8FromWide(wide), text);
        EXPECT_EQ(std::string(ansi), CodePageFromUtf8(text, CP_ACP));
    }
    UINT beyond = static_cast<UINT>(Scripts().Strings.rbegin()->first) + 1;
    char none[16];
    EXPECT_EQ(LoadStringA(program, beyond, none, sizeof none), 0) << "a string beyond the table";
}

// The program file (as built, not this test) carries the version record of its script, its
// name as string 1, its icon and the manifest file as it is.
TEST(ProgramFile, NameIconVersionRecordAndManifestAreEmbedded) {
    std::wstring path = WideFromUtf8(BuiltSaverPath());
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_NE(size, 0u);
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS,
              static_cast<DWORD>(MAKELONG(VERSELUME_VERSION_MINOR, VERSELUME_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, VERSELUME_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0418); // Romanian, Unicode strings
    EXPECT_EQ(translation[1], 1200);
    ASSERT_GE(Scripts().VersionValues.size(), 8u);
    for (const auto& [name, value] : Scripts().VersionValues) {
        wchar_t* text = nullptr;
        std::wstring query = WideFromUtf8("\\StringFileInfo\\041804B0\\" + name);
        if (name != "Translation") {
            ASSERT_TRUE(VerQueryValueW(record.data(), query.c_str(),
                                       reinterpret_cast<void**>(&text), &length))
                << name;
            EXPECT_EQ(Utf8FromWide(text),
                      value == "VERSELUME_VERSION_STRING" ? VERSELUME_VERSION_STRING : value);
        }
    }

    HMODULE program = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    wchar_t name[64] = L"";
    LoadStringW(program, IDS_DESCRIPTION, name, 64);
    EXPECT_EQ(Utf8FromWide(name), Scripts().Strings.at(IDS_DESCRIPTION));
    EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(IDI_VERSELUME), RT_GROUP_ICON), nullptr);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                         SizeofResource(program, found));
    FreeLibrary(program);
    EXPECT_EQ(manifest, ReadBytes(std::string(VERSELUME_RESOURCES_DIR) + "/verselume.manifest"));
    // What the program needs of it: common controls 6, Windows 10's behaviour, per-monitor DPI
    // (v2, else per-monitor; Windows 8.1 reads true/pm as per-monitor, earlier ones as system
    // aware) and no elevation.
    for (const char* part :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
          "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>", ">true/pm</dpiAware>",
          "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>", "level=\"asInvoker\""}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
}

} // namespace
