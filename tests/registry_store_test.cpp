#include "file_replacement.h"
#include "list_file.h"
#include "platform.h"
#include "registry_store.h"
#include "support/installed.h"
#include "support/wide_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsZero(const SaverSettings& record) {
    return record.SaverWindow == nullptr && record.Texts == nullptr && record.TextCount == 0 &&
           record.Fonts == nullptr && record.FontCount == 0 && record.TextSpeed == 0 &&
           record.FadeSpeed == 0 && record.FirstPick == 0 && record.ThreadSeed == 0 &&
           record.LastDay == 0 && record.LastText == 0 && record.Running == 0 &&
           record.Options == 0;
}

TEST(LoadSettings, MissingKeyReturnsTwoAndLeavesTheRecordZero) {
    DeleteSettingsKey();
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), ErrorFileNotFound);
    EXPECT_TRUE(IsZero(record));
}

TEST(LoadSettings, MissingNumbersTakeTheirDefaults) {
    Installed installed("Verset unu\r\nVerset doi\r\n", "Arial\r\n");
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), 0u);
    EXPECT_EQ(record.TextSpeed, 4000u);
    EXPECT_EQ(record.FadeSpeed, 5u);
    EXPECT_EQ(record.LastDay, 0);
    EXPECT_EQ(record.LastText, 0u);
    EXPECT_EQ(record.Options, 2u);
    ASSERT_EQ(record.TextCount, 2u);
    EXPECT_EQ(SlotText(record.Texts + 256, 256), u"Verset doi");
    ASSERT_EQ(record.FontCount, 1u);
    EXPECT_EQ(SlotText(record.Fonts, 32), u"Arial");
    ReleaseSettingsLists(record);
    EXPECT_EQ(record.Texts, nullptr);
    EXPECT_EQ(record.FontCount, 0u);
}

TEST(LoadSettings, StoredNumbersLandInTheirFieldsByTheirBytes) {
    Installed installed(std::nullopt, std::nullopt);
    installed.key.SetDword("FadeSpeed", 9);
    installed.key.SetDword("LastDay", 9300);
    installed.key.SetDword("LastText", 4294967295u);
    installed.key.SetDword("Options", 12);
    // Two bytes fill the low half of the field; five bytes are too many and count as missing.
    installed.key.SetRaw("TextSpeed", REG_BINARY, std::string("\x34\x12", 2));
    SaverSettings record{};
    LoadSettings(record);
    EXPECT_EQ(record.TextSpeed, 0x1234u);
    EXPECT_EQ(record.FadeSpeed, 9u);
    EXPECT_EQ(record.LastDay, 9300);
    EXPECT_EQ(record.LastText, 4294967295u);
    EXPECT_EQ(record.Options, 12u);

    installed.key.SetRaw("TextSpeed", REG_BINARY, std::string("\x01\x02\x03\x04\x05", 5));
    SaverSettings again{};
    LoadSettings(again);
    EXPECT_EQ(again.TextSpeed, 4000u);
    ReleaseSettingsLists(record);
    ReleaseSettingsLists(again);
}

TEST(LoadSettings, TextsErrorComesFirstAndBothListsAreAttempted) {
    // Verses missing (2), typefaces readable: the typefaces still load.
    Installed installed(std::nullopt, "Georgia\r\nVerdana\r\n");
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), ErrorFileNotFound);
    EXPECT_EQ(record.Texts, nullptr);
    EXPECT_EQ(record.TextCount, 0u);
    EXPECT_EQ(record.FontCount, 2u);
    ReleaseSettingsLists(record);

    // Verses path too long for the buffer (234), typefaces missing (2): the verses' code wins.
    installed.key.SetString("TextsFile", std::string(300, 'x'));
    std::remove(installed.fonts.c_str());
    SaverSettings second{};
    EXPECT_EQ(LoadSettings(second), static_cast<uint32_t>(ERROR_MORE_DATA));
    EXPECT_EQ(second.TextCount, 0u);
    EXPECT_EQ(second.FontCount, 0u);

    // Verses path missing altogether: its registry code.
    installed.key.Remove("TextsFile");
    WriteBytes(installed.fonts, "Tahoma\r\n");
    SaverSettings third{};
    EXPECT_EQ(LoadSettings(third), ErrorFileNotFound);
    EXPECT_EQ(third.FontCount, 1u);
    ReleaseSettingsLists(third);
}

// A verses file that exists but cannot be opened is reported with the system's reason and left
// alone by a save of what was loaded; a missing one is created by that save.
TEST(LoadSettings, ListFileThatExistsButCannotBeReadIsNotWrittenBack) {
    enum Case { HeldOpen, Folder, Missing };
    const struct {
        Case what;
        uint32_t code;
    } rows[] = {{HeldOpen, ERROR_SHARING_VIOLATION},
                {Folder, ERROR_ACCESS_DENIED},
                {Missing, ErrorFileNotFound}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Installed installed(std::nullopt, "Arial\r\n");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (row.what == HeldOpen) {
            WriteBytes(installed.texts, "Unu\r\n");
            held = CreateFileA(installed.texts.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
        } else if (row.what == Folder) {
            ASSERT_TRUE(CreateDirectoryA(installed.texts.c_str(), nullptr));
        }
        SaverSettings record{};
        ListFileStates states;
        EXPECT_EQ(LoadSettings(record, states), row.code);
        EXPECT_EQ(states.Texts.Unread(), row.what != Missing);
        EXPECT_FALSE(states.Fonts.Unread());
        EXPECT_EQ(record.TextCount, 0u);
        CloseHandle(held);
        EXPECT_EQ(SaveSettings(record, states), 0u);
        EXPECT_EQ(ReadBytes(installed.texts), row.what == HeldOpen ? "Unu\r\n" : "");
        EXPECT_TRUE(FileExists(installed.texts)) << "a missing list is created";
        ReleaseSettingsLists(record);
        RemoveDirectoryA(installed.texts.c_str());
    }
}

// A save cut short by a power cut left the verses only under their backup name: loading puts
// them back at their path and reads them, for the saver and the configuration alike.
TEST(LoadSettings, ListFoundOnlyAtItsBackupNameIsPutBack) {
    Installed installed;
    ReplacementFile names{};
    MultiByteToWideChar(CP_ACP, 0, installed.texts.c_str(), -1, names.target, ReplacementPathSize);
    ASSERT_TRUE(NameReplacement(names, 0x1234, MAX_PATH));
    ASSERT_TRUE(MoveFileW(names.target, names.backup));
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), 0u);
    EXPECT_EQ(record.TextCount, 2u);
    EXPECT_EQ(ReadBytes(installed.texts), "Unu\r\nDoi\r\n");
    EXPECT_EQ(GetFileAttributesW(names.backup), INVALID_FILE_ATTRIBUTES);
    ReleaseSettingsLists(record);
}

TEST(LoadSettings, EmptyTextsFileIsNoError) {
    Installed installed("\r\n\r\n", "Arial\r\n");
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), 0u);
    EXPECT_EQ(record.Texts, nullptr);
    EXPECT_EQ(record.TextCount, 0u);
    ReleaseSettingsLists(record);
}

TEST(LoadSettings, PathStoredWithoutTerminatorIsReadWithinTheBuffer) {
    Installed installed(std::nullopt, std::nullopt);
    WriteBytes(installed.texts, "Din binar\r\n");
    // Stored without its NUL, as REG_BINARY: the bytes alone make the path.
    installed.key.SetRaw("TextsFile", REG_BINARY, installed.texts);
    // A path of exactly 260 bytes without a terminator still stays inside the buffer.
    installed.key.SetRaw("FontsFile", REG_BINARY, std::string(260, 'q'));
    SaverSettings record{};
    EXPECT_EQ(LoadSettings(record), ErrorFileNotFound);
    ASSERT_EQ(record.TextCount, 1u);
    EXPECT_EQ(SlotText(record.Texts, 256), u"Din binar");
    ReleaseSettingsLists(record);

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key), 0);
    RegistryPath path;
    memset(path, '#', sizeof path);
    EXPECT_EQ(ReadRegistryPath(key, "FontsFile", path), 0u);
    EXPECT_EQ(strlen(path), 260u);
    RegCloseKey(key);
}

TEST(SaveSettings, WritesNumbersAndListsButNotTheDayOrPosition) {
    Installed installed(std::nullopt, std::nullopt);
    installed.key.SetDword("LastDay", 1148);
    installed.key.SetDword("LastText", 3);
    WriteBytes(installed.texts, "vechi\r\n");
    SaverSettings record{};
    record.TextSpeed = 7000;
    record.FadeSpeed = 10;
    record.Options = 0xFF; // written as held, without masking
    record.LastDay = 1;
    record.LastText = 1;
    std::vector<WideChar> fonts = WideSlots({u"Georgia", u"Verdana"}, 32);
    record.Fonts = fonts.data();
    record.FontCount = 2;
    EXPECT_EQ(SaveSettings(record), 0u);

    EXPECT_EQ(installed.key.Dword("TextSpeed"), 7000u);
    EXPECT_EQ(installed.key.Dword("FadeSpeed"), 10u);
    EXPECT_EQ(installed.key.Dword("Options"), 0xFFu);
    EXPECT_EQ(installed.key.Dword("LastDay"), 1148u);
    EXPECT_EQ(installed.key.Dword("LastText"), 3u);
    bool exists = false;
    EXPECT_EQ(ReadBytes(installed.texts, &exists), "") << "an empty list truncates its file";
    EXPECT_TRUE(exists);
    EXPECT_EQ(ReadBytes(installed.fonts), "\xEF\xBB\xBFGeorgia\r\nVerdana\r\n")
        << "a missing file is created, in UTF-8";
}

TEST(SaveSettings, MissingKeyWritesNothing) {
    ScratchDir dir;
    DeleteSettingsKey();
    SaverSettings record{};
    record.TextSpeed = 5000;
    EXPECT_EQ(SaveSettings(record), ErrorFileNotFound);
    EXPECT_FALSE(SettingsKeyExists()) << "the key is never created";
}

TEST(SaveSettings, FirstFailingStepGivesTheCodeAndLaterStepsStillRun) {
    Installed installed(std::nullopt, std::nullopt);
    // Verses path missing: its code (2) comes back, the typefaces are still written.
    installed.key.Remove("TextsFile");
    std::vector<WideChar> texts = WideSlots({u"Editat"}, 256);
    std::vector<WideChar> fonts = WideSlots({u"Tahoma"}, 32);
    SaverSettings record{};
    record.Texts = texts.data();
    record.TextCount = 1;
    record.Fonts = fonts.data();
    record.FontCount = 1;
    record.TextSpeed = 3000;
    ListFileStates states;
    states.Texts.Form = states.Fonts.Form = ListFileForm::Ansi;
    EXPECT_EQ(SaveSettings(record, states), ErrorFileNotFound);
    EXPECT_EQ(ReadBytes(installed.fonts), "Tahoma\r\n");
    EXPECT_EQ(installed.key.Dword("TextSpeed"), 3000u);

    // Edited verses in a missing folder give 2 from the file, typefaces path too long 234 later.
    installed.key.SetString("TextsFile", installed.dir.File("gone/versete.txt"));
    installed.key.SetString("FontsFile", std::string(300, 'y'));
    EXPECT_EQ(SaveSettings(record, states), ErrorFileNotFound);
    installed.key.SetString("TextsFile", installed.texts);
    EXPECT_EQ(SaveSettings(record, states), static_cast<uint32_t>(ERROR_MORE_DATA));
}

// Lists loaded and saved untouched keep every byte of their files.
TEST(SaveSettings, KeyAndFilesSurviveALoadSaveRoundTripInTheirForms) {
    Installed installed("Unu\r\n\r\nDoi\n", "Arial\r\n");
    SaverSettings record{};
    ListFileStates states;
    ASSERT_EQ(LoadSettings(record, states), 0u);
    EXPECT_EQ(SaveSettings(record, states), 0u);
    EXPECT_EQ(ReadBytes(installed.texts), "Unu\r\n\r\nDoi\n");
    EXPECT_EQ(ReadBytes(installed.fonts), "Arial\r\n");
    EXPECT_FALSE(installed.key.Has("LastDay"));
    ReleaseSettingsLists(record);

    // Each list keeps the form of its own file.
    const std::string unicode = std::string("\xFF\xFE\x19\x02\r\0\n\0", 8);
    WriteBytes(installed.texts, unicode);
    ASSERT_EQ(LoadSettings(record, states), 0u);
    EXPECT_EQ(SaveSettings(record, states), 0u);
    EXPECT_EQ(ReadBytes(installed.texts), unicode);
    EXPECT_EQ(ReadBytes(installed.fonts), "Arial\r\n");
    ReleaseSettingsLists(record);
}

} // namespace
