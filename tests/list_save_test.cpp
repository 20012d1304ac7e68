#include "list_save.h"
#include "platform.h"
#include "support/files.h"
#include "support/wide_strings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Entries = std::vector<std::u16string>;

TEST(DecideListSave, WritesOnlyAChangedListAndNeverOverAnotherSave) {
    const ListFileStamp missing{};
    const ListFileStamp unread{true, false, 0, 0, 0};
    const ListFileStamp read{true, true, 10, 100, 7};
    const ListFileStamp savedSince{true, true, 10, 200, 9};
    const ListFileStamp away{false, false, 0, 0, 0, true}; // its folder missing too
    const struct {
        const char* name;
        bool changed;
        ListFileStamp atRead, now;
        ListSaveAction action;
    } rows[] = {
        {"untouched", false, read, read, ListSaveAction::Leave},
        {"untouched, saved since", false, read, savedSince, ListSaveAction::Leave},
        {"untouched, missing then and now: created", false, missing, missing,
         ListSaveAction::Write},
        {"untouched, missing then, back now", false, missing, read, ListSaveAction::Leave},
        {"untouched, folder missing: nothing to create", false, away, away, ListSaveAction::Leave},
        {"untouched, folder back now: created", false, away, missing, ListSaveAction::Write},
        {"untouched, unreadable", false, unread, read, ListSaveAction::Leave},
        {"edited", true, read, read, ListSaveAction::Write},
        {"edited, saved since", true, read, savedSince, ListSaveAction::WriteBeside},
        {"edited, same bytes written again since",
         true,
         read,
         {true, true, 10, 300, 7},
         ListSaveAction::WriteBeside},
        {"edited, missing then, back now", true, missing, read, ListSaveAction::WriteBeside},
        {"edited, unreadable then", true, unread, read, ListSaveAction::WriteBeside},
        {"edited, unreadable now", true, read, unread, ListSaveAction::WriteBeside},
        {"edited, deleted since", true, read, missing, ListSaveAction::Write},
        {"edited, folder missing: tried, and fails", true, read, away, ListSaveAction::Write},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DecideListSave(row.changed, row.atRead, row.now), row.action) << row.name;
    }
}

TEST(ListDigest, TellsListsApartAndATypefacesListInAnyOrderIsTheSame) {
    const std::vector<WideChar> ab = WideSlots({u"Arial", u"Verdana"}, 32);
    const std::vector<WideChar> ba = WideSlots({u"Verdana", u"Arial"}, 32);
    const std::vector<WideChar> split = WideSlots({u"Aria", u"lVerdana"}, 32);
    for (bool ordered : {true, false}) {
        EXPECT_EQ(ListDigest(nullptr, 0, 32, ordered), 0u);
        EXPECT_NE(ListDigest(ab.data(), 2, 32, ordered), 0u);
        EXPECT_NE(ListDigest(ab.data(), 2, 32, ordered), ListDigest(split.data(), 2, 32, ordered));
        EXPECT_NE(ListDigest(ab.data(), 2, 32, ordered), ListDigest(ab.data(), 1, 32, ordered));
        EXPECT_EQ(ListDigest(ab.data(), 2, 32, ordered) == ListDigest(ba.data(), 2, 32, ordered),
                  !ordered);
    }
}

TEST(BesidePath, NamesTheEditAndKeepsTheFolderAndExtension) {
    const struct {
        const char* path;
        int attempt;
        const char* beside;
    } rows[] = {
        {"C:\\Liste\\versete.txt", 1, "C:\\Liste\\versete (editat 2026-12-09 14-05).txt"},
        {"C:\\Liste\\versete.txt", 3, "C:\\Liste\\versete (editat 2026-12-09 14-05, 3).txt"},
        {"C:\\a.b\\fonturi", 1, "C:\\a.b\\fonturi (editat 2026-12-09 14-05)"},
        {"/tmp/.liste", 1, "/tmp/.liste (editat 2026-12-09 14-05)"},
    };
    for (const auto& row : rows) {
        char beside[ListPathSize];
        ASSERT_TRUE(BesidePath(row.path, 2026, 12, 9, 14, 5, row.attempt, beside));
        EXPECT_STREQ(beside, row.beside);
    }
    // Near the path limit the name is shortened in its folder; a folder that leaves no room for
    // one letter of it gives none.
    const std::string folder = "C:\\" + std::string(200, 'd') + "\\";
    char beside[ListPathSize];
    ASSERT_TRUE(BesidePath((folder + std::string(50, 'v') + ".txt").c_str(), 2026, 12, 9, 14, 5, 1,
                           beside));
    EXPECT_EQ(beside, folder + std::string(25, 'v') + " (editat 2026-12-09 14-05).txt");
    const std::string full = "C:\\" + std::string(244, 'd') + "\\";
    ASSERT_TRUE(BesidePath((full + "versete.txt").c_str(), 2026, 12, 9, 14, 5, 2, beside));
    EXPECT_EQ(beside, full + "verse~2.txt");
    EXPECT_FALSE(BesidePath(("C:\\" + std::string(250, 'd') + "\\v.txt").c_str(), 2026, 1, 1, 0, 0,
                            1, beside));
}

// A list as the configuration dialog holds it: loaded, maybe edited, saved.
struct EditedList {
    std::string path;
    ListFileState state;
    std::vector<WideChar> entries;
    uint32_t count = 0;

    explicit EditedList(std::string file) : path(std::move(file)) {
        WideChar* block = LoadListFile(path.c_str(), 256, count, state);
        entries.assign(block, block + static_cast<size_t>(count) * 256);
        HeapRelease(block);
    }
    uint32_t Save(const Entries* edited = nullptr) {
        if (edited != nullptr) {
            entries = WideSlots(*edited, 256);
            count = static_cast<uint32_t>(edited->size());
        }
        return SaveListFile(path.c_str(), entries.data(), count, 256, state);
    }
};

TEST(SaveListFile, KeepsEveryByteOfAnUntouchedListAndEveryVersionOfAnEditedOne) {
    ScratchDir dir;
    std::string path = dir.File("versete.txt");
    // Read with loss: the NUL drops the rest of its line, the stray byte is one character.
    const std::string lossy = std::string("Unu\0ascuns\r\nDoi \xff\r\n", 19);
    WriteBytes(path, lossy);
    EditedList untouched(path);
    EXPECT_EQ(untouched.Save(), 0u);
    EXPECT_EQ(ReadBytes(path), lossy) << "an untouched list is not written";

    // Saved by another program while the dialog was open: OK leaves it alone, unless the
    // list was edited, which then goes to a file of its own beside it.
    EditedList open(path);
    WriteBytes(path, "Salvat de altcineva\r\n");
    EXPECT_EQ(open.Save(), 0u);
    EXPECT_EQ(ReadBytes(path), "Salvat de altcineva\r\n");
    const Entries edited = {u"Editat"};
    EXPECT_EQ(open.Save(&edited), 0u);
    EXPECT_EQ(ReadBytes(path), "Salvat de altcineva\r\n");
    ASSERT_NE(open.state.SavedBeside[0], '\0');
    EXPECT_EQ(std::filesystem::path(open.state.SavedBeside).parent_path(),
              std::filesystem::path(path).parent_path());
    EXPECT_EQ(ReadBytes(open.state.SavedBeside), "Editat\r\n");
    EXPECT_EQ(open.Save(), 0u) << "saving again writes nothing more";
    EXPECT_EQ(open.state.SavedBeside[0], '\0');

    // Edited without another save: written in place, in the file's form.
    EditedList mine(path);
    const Entries two = {u"Unu", u"Doi"};
    EXPECT_EQ(mine.Save(&two), 0u);
    EXPECT_EQ(ReadBytes(path), "Unu\r\nDoi\r\n");
    EXPECT_EQ(mine.state.SavedBeside[0], '\0');
}

TEST(SaveListFile, AMissingListIsCreatedButOneThatCameBackIsKept) {
    ScratchDir dir;
    std::string path = dir.File("fonturi.txt");
    EditedList stillMissing(path);
    EXPECT_EQ(stillMissing.Save(), 0u);
    EXPECT_TRUE(FileExists(path)) << "created, empty";

    std::string back = dir.File("back.txt");
    EditedList missing(back);
    WriteBytes(back, "Arial\r\n");
    EXPECT_EQ(missing.Save(), 0u);
    EXPECT_EQ(ReadBytes(back), "Arial\r\n");
}

} // namespace
