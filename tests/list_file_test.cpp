#include "file_replacement.h"
#include "list_file.h"
#include "list_save.h"
#include "platform.h"
#include "support/files.h"
#include "support/wide_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform_posix.h"

#include <csignal>
#include <sys/resource.h>
#endif

namespace {

using Entries = std::vector<std::u16string>;
using Names = std::vector<std::string>;

struct ReadResult {
    Entries entries;
    uint32_t error = 0;
    bool hasBlock = false;
    ListFileForm form = ListFileForm::None;
};

// Reads a file of the given bytes and checks the block's layout on the way: every slot is zero
// after its terminator and no slot holds a line-end unit.
ReadResult ReadBack(const std::string& bytes, uint32_t width) {
    ScratchDir dir;
    std::string path = dir.File("list.txt");
    WriteBytes(path, bytes);
    ReadResult result;
    uint32_t count = 12345;
    SetThreadLastError(999);
    WideChar* block = ReadListFile(path.c_str(), width, count, result.form);
    result.error = ThreadLastError();
    result.hasBlock = block != nullptr;
    if (block == nullptr) {
        EXPECT_EQ(count, 0u);
        return result;
    }
#ifndef _WIN32
    EXPECT_EQ(HeapBlockSize(block), static_cast<size_t>(count) * width * 2) << "spare room left";
#endif
    for (uint32_t i = 0; i < count; i++) {
        const WideChar* slot = block + static_cast<size_t>(i) * width;
        size_t length = WideLength(slot, width);
        EXPECT_LT(length, width) << "slot " << i << " is not terminated";
        for (size_t j = length; j < width; j++) {
            EXPECT_EQ(slot[j], 0) << "slot " << i << " unit " << j;
        }
        result.entries.push_back(Utf16(slot, length));
        EXPECT_EQ(result.entries.back().find(u'\n'), std::u16string::npos) << "slot " << i;
    }
    HeapRelease(block);
    return result;
}

// UTF-16 bytes of a text in either byte order.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (char16_t unit : text) {
        char high = static_cast<char>(unit >> 8);
        char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// The names in a folder, sorted: a save leaves no file of its own beside its target.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// ANSI files: their bytes are cut into entries as the C runtime's text mode would, then each
// entry is converted from the code page (1250 here: natively, and in the Romanian locale the
// Windows tests run in).
TEST(ReadListFile, SplitsAndSkipsLinesAsTextModeWould) {
    struct Case {
        const char* name;
        std::string bytes;
        uint32_t width;
        Entries expected;
    };
    std::string a255(255, 'a');
    std::u16string wa255(255, u'a');
    std::vector<Case> cases = {
        {"255-byte verse and CR LF is one entry", a255 + "\r\n", 256, {wa255}},
        {"256-byte line", a255 + "z\r\n", 256, {wa255, u"z"}},
        {"300-byte line",
         a255 + std::string(45, 'b') + "\r\n",
         256,
         {wa255, std::u16string(45, u'b')}},
        {"510-byte line", a255 + a255 + "\r\n", 256, {wa255, wa255}},
        {"510-byte line without line end", a255 + a255, 256, {wa255, wa255}},
        {"254 bytes and CR LF",
         std::string(254, 'c') + "\r\nx\r\n",
         256,
         {std::u16string(254, u'c'), u"x"}},
        {"40-byte typeface",
         std::string(40, 'F') + "\r\n",
         32,
         {std::u16string(31, u'F'), std::u16string(9, u'F')}},
        {"31-byte typeface",
         std::string(31, 'T') + "\r\nArial\r\n",
         32,
         {std::u16string(31, u'T'), u"Arial"}},
        {"empty lines between and after entries",
         "\r\none\r\n\r\n\ntwo\n\r\n\n",
         256,
         {u"one", u"two"}},
        {"a line of one space is an entry", " \r\n", 256, {u" "}},
        {"last line without line end", "first\r\nlast", 256, {u"first", u"last"}},
        {"LF-only line ends", "one\ntwo\nthree\n", 256, {u"one", u"two", u"three"}},
        {"CR-only line ends", "one\rtwo\rthree\r", 256, {u"one", u"two", u"three"}},
        {"mixed line ends", "a\rb\r\nc\n\rd\r\r\ne", 256, {u"a", u"b", u"c", u"d", u"e"}},
        {"a CR-only file is not cut at 255 bytes", a255 + "\r" + a255, 256, {wa255, wa255}},
        {"bytes above 127 are letters of the code page", "\xba\xfe\xe3\xee\r\n", 256, {u"şţăî"}},
        {"invalid UTF-8 is ANSI", "\xc8\x99\xba\r\n", 256, {u"Č™ş"}},
        {"fewer lines valid as UTF-8 than not: ANSI",
         "\xc3\xba\r\n\xba\xfe\r\n\xe3\r\n",
         256,
         {u"Ăş", u"şţ", u"ă"}},
        {"a NUL ends the entry", std::string("ab\0cd\r\nef\r\n", 11), 256, {u"ab", u"ef"}},
        {"a line starting with NUL is no entry", std::string("\0xyz\nok\n", 8), 256, {u"ok"}},
        {"a stray NUL is no UTF-16", std::string("abcdefgh\0\n", 10), 256, {u"abcdefgh"}},
    };
    for (const Case& c : cases) {
        ReadResult result = ReadBack(c.bytes, c.width);
        EXPECT_TRUE(result.hasBlock) << c.name;
        EXPECT_EQ(result.error, 0u) << c.name;
        EXPECT_EQ(result.form, ListFileForm::Ansi) << c.name;
        EXPECT_EQ(result.entries, c.expected) << c.name;
    }
}

TEST(ReadListFile, RecognisesUnicodeFormsAndCutsTheirLinesAtUnits) {
    struct Case {
        const char* name;
        std::string bytes;
        uint32_t width;
        ListFileForm form;
        Entries expected;
    };
    const std::string bom = "\xEF\xBB\xBF";
    std::u16string a254(254, u'a');
    std::u16string breve(300, u'ă');
    std::string breveBytes;
    for (int i = 0; i < 300; i++) {
        breveBytes += "ă";
    }
    std::vector<Case> cases = {
        {"UTF-8 with a mark", bom + "ș ț\r\nă\r\n", 256, ListFileForm::Utf8Bom, {u"ș ț", u"ă"}},
        {"UTF-8 mark before ASCII", bom + "abc", 256, ListFileForm::Utf8Bom, {u"abc"}},
        {"UTF-8 without a mark", "ș ț\nă", 256, ListFileForm::Utf8, {u"ș ț", u"ă"}},
        {"a line in the code page after a UTF-8 mark",
         bom + "ș\r\na\xff",
         256,
         ListFileForm::Utf8Bom,
         {u"ș", u"a˙"}},
        {"a line in the code page among UTF-8 lines",
         "ș ț\r\n\xba\xfe\xe3\r\nă\r\n",
         256,
         ListFileForm::Utf8,
         {u"ș ț", u"şţă", u"ă"}},
        {"UTF-16 little-endian",
         "\xFF\xFE" + Utf16Bytes(u"ș\r\n\r\nb\n", false),
         256,
         ListFileForm::Utf16Le,
         {u"ș", u"b"}},
        {"UTF-16 big-endian",
         "\xFE\xFF" + Utf16Bytes(u"ș\r\nb", true),
         256,
         ListFileForm::Utf16Be,
         {u"ș", u"b"}},
        {"UTF-16 little-endian without a mark",
         Utf16Bytes(u"Ţară\r\nșă\r\n", false),
         256,
         ListFileForm::Utf16LeNoMark,
         {u"Ţară", u"șă"}},
        {"UTF-16 big-endian without a mark, CR-only line ends",
         Utf16Bytes(u"Îi\rb", true),
         256,
         ListFileForm::Utf16BeNoMark,
         {u"Îi", u"b"}},
        {"UTF-16 with an odd byte count",
         "\xFF\xFE" + Utf16Bytes(u"ab", false) + "c",
         256,
         ListFileForm::Utf16Le,
         {u"ab"}},
        {"UTF-16 keeps a lone surrogate",
         "\xFF\xFE" + Utf16Bytes(u"x\xD800y", false),
         256,
         ListFileForm::Utf16Le,
         {u"x\xD800y"}},
        {"300 characters cut at 255 units",
         breveBytes,
         256,
         ListFileForm::Utf8,
         {breve.substr(0, 255), breve.substr(255)}},
        {"a surrogate pair is not cut",
         std::string(254, 'a') + "😀b",
         256,
         ListFileForm::Utf8,
         {a254, u"😀b"}},
        {"a surrogate pair that fits",
         std::string(253, 'a') + "😀",
         256,
         ListFileForm::Utf8,
         {std::u16string(253, u'a') + u"😀"}},
        {"40-character typeface",
         "\xFF\xFE" + Utf16Bytes(std::u16string(40, u'Ş'), false),
         32,
         ListFileForm::Utf16Le,
         {std::u16string(31, u'Ş'), std::u16string(9, u'Ş')}},
    };
    for (const Case& c : cases) {
        ReadResult result = ReadBack(c.bytes, c.width);
        EXPECT_EQ(result.error, 0u) << c.name;
        EXPECT_EQ(result.form, c.form) << c.name;
        EXPECT_EQ(result.entries, c.expected) << c.name;
    }
}

TEST(ReadListFile, LineEndSplitAcrossReadChunksIsStillOneLineEnd) {
    // Lines of 99 bytes and CR LF put CR bytes at many offsets, among them the ends of the
    // reader's internal chunks; no entry may keep a CR and none may be lost.
    std::string bytes;
    std::string line(99, 'v');
    for (int i = 0; i < 2000; i++) {
        bytes += line + "\r\n";
    }
    ReadResult result = ReadBack(bytes, 256);
    ASSERT_EQ(result.entries.size(), 2000u);
    for (const std::u16string& entry : result.entries) {
        ASSERT_EQ(entry, std::u16string(99, u'v'));
    }
}

TEST(ReadListFile, NoEntryGivesNoBlockAndErrorZero) {
    for (std::string bytes : {"", "\r\n", "\n\n\r\n\n", "\xEF\xBB\xBF", "\xFF\xFE\r\0\n\0"}) {
        ReadResult result = ReadBack(bytes, 256);
        EXPECT_FALSE(result.hasBlock) << '"' << bytes << '"';
        EXPECT_EQ(result.error, 0u);
    }
}

#ifndef _WIN32
// A read that fails or ends short part-way gives no list at all, never a shorter one.
TEST(ReadListFile, ReadFailingPartWayGivesNoListAndTheReason) {
    for (long failAfter : {0L, 100L, 20000L}) {
        std::string bytes;
        for (int i = 0; i < 2000; i++) {
            bytes += "Verset " + std::to_string(i) + "\r\n";
        }
        FailReadAfter(failAfter);
        ReadResult result = ReadBack(bytes, 256);
        FailReadAfter(-1);
        EXPECT_FALSE(result.hasBlock) << failAfter;
        EXPECT_EQ(result.error, ErrorReadFault) << failAfter;
    }
    EXPECT_EQ(HeapLiveBlocks(), 0);
}
#endif

TEST(ReadListFile, MissingFileGivesErrorTwo) {
    ScratchDir dir;
    uint32_t count = 7;
    ListFileForm form = ListFileForm::Utf16Be;
    WideChar* block = ReadListFile(dir.File("missing.txt").c_str(), 256, count, form);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(form, ListFileForm::None);
    EXPECT_EQ(ThreadLastError(), ErrorFileNotFound);
}

uint32_t WriteEntries(const std::string& path, const Entries& entries, uint32_t width,
                      ListFileForm form) {
    std::vector<WideChar> block = WideSlots(entries, width);
    return WriteListFile(path.c_str(), entries.empty() ? nullptr : block.data(),
                         static_cast<uint32_t>(entries.size()), width, form);
}

// Each list is written in its file's form where it reads back unchanged from it, else as UTF-8
// with a mark; reading the file gives the list again.
TEST(WriteListFile, WritesTheFormTheListCameInAndReadsBack) {
    struct Case {
        const char* name;
        ListFileForm form;
        Entries entries;
        std::string bytes;
        ListFileForm readForm;
    };
    const std::string bom = "\xEF\xBB\xBF";
    std::u16string z255(255, u'z');
    std::vector<Case> cases = {
        {"ANSI",
         ListFileForm::Ansi,
         {u"Unu", u"Doi şţ", z255},
         "Unu\r\nDoi \xba\xfe\r\n" + std::string(255, 'z') + "\r\n",
         ListFileForm::Ansi},
        {"ANSI that gains ș",
         ListFileForm::Ansi,
         {u"Unu", u"ș"},
         bom + "Unu\r\nș\r\n",
         ListFileForm::Utf8Bom},
        {"ANSI whose bytes would read as UTF-8",
         ListFileForm::Ansi,
         {u"Ăş"},
         bom + "Ăş\r\n",
         ListFileForm::Utf8Bom},
        {"ANSI with as many lines that would read as UTF-8 as not",
         ListFileForm::Ansi,
         {u"Ăş", u"ţ"},
         bom + "Ăş\r\nţ\r\n",
         ListFileForm::Utf8Bom},
        {"ANSI whose bytes would start with a mark",
         ListFileForm::Ansi,
         {u"ď»żx"},
         bom + "ď»żx\r\n",
         ListFileForm::Utf8Bom},
        {"a list without a file",
         ListFileForm::None,
         {u"abc"},
         bom + "abc\r\n",
         ListFileForm::Utf8Bom},
        {"UTF-8", ListFileForm::Utf8, {u"ă"}, "ă\r\n", ListFileForm::Utf8},
        {"UTF-8 starting with U+FEFF",
         ListFileForm::Utf8,
         {u"\uFEFFă"},
         bom + bom + "ă\r\n",
         ListFileForm::Utf8Bom},
        {"UTF-8 with a mark",
         ListFileForm::Utf8Bom,
         {u"a", u"😀"},
         bom + "a\r\n😀\r\n",
         ListFileForm::Utf8Bom},
        {"UTF-16 little-endian",
         ListFileForm::Utf16Le,
         {u"ș"},
         "\xFF\xFE" + Utf16Bytes(u"ș\r\n", false),
         ListFileForm::Utf16Le},
        {"UTF-16 big-endian",
         ListFileForm::Utf16Be,
         {u"ș", u"x"},
         "\xFE\xFF" + Utf16Bytes(u"ș\r\nx\r\n", true),
         ListFileForm::Utf16Be},
        {"UTF-16 without a mark",
         ListFileForm::Utf16LeNoMark,
         {u"Ţară"},
         Utf16Bytes(u"Ţară\r\n", false),
         ListFileForm::Utf16LeNoMark},
        {"UTF-16 without a mark that would not read back as UTF-16",
         ListFileForm::Utf16BeNoMark,
         {u"中文字中文字中文字"},
         "\xFE\xFF" + Utf16Bytes(u"中文字中文字中文字\r\n", true),
         ListFileForm::Utf16Be},
    };
    ScratchDir dir;
    std::string path = dir.File("out.txt");
    for (const Case& c : cases) {
        ASSERT_EQ(WriteEntries(path, c.entries, 256, c.form), 0u) << c.name;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.name;
        ReadResult back = ReadBack(c.bytes, 256);
        EXPECT_EQ(back.form, c.readForm) << c.name;
        EXPECT_EQ(back.entries, c.entries) << c.name;
    }
    EXPECT_EQ(FolderNames(dir.Path()), Names({"out.txt"}));
    // A surrogate without its other half has no UTF-8 form.
    ASSERT_EQ(WriteEntries(path, {u"a\xDC00"}, 256, ListFileForm::Utf8), 0u);
    EXPECT_EQ(ReadBytes(path), "a\uFFFD\r\n");
}

TEST(WriteListFile, ZeroEntriesEmptiesAnExistingFileAndCreatesAMissingOne) {
    ScratchDir dir;
    std::string existing = dir.File("existing.txt");
    WriteBytes(existing, "\xFF\xFEo\0\r\0\n\0");
    EXPECT_EQ(WriteListFile(existing.c_str(), nullptr, 0, 256, ListFileForm::Utf16Le), 0u);
    bool exists = false;
    EXPECT_EQ(ReadBytes(existing, &exists), "");
    EXPECT_TRUE(exists);

    std::string created = dir.File("created.txt");
    EXPECT_EQ(WriteListFile(created.c_str(), nullptr, 0, 32, ListFileForm::None), 0u);
    EXPECT_EQ(ReadBytes(created, &exists), "");
    EXPECT_TRUE(exists);
}

TEST(WriteListFile, EmptyEntryAndEntryWithLineEndDoNotSurviveARoundTrip) {
    ScratchDir dir;
    std::string path = dir.File("odd.txt");
    ASSERT_EQ(WriteEntries(path, {u"A", u"", u"B\nC"}, 32, ListFileForm::Ansi), 0u);
    EXPECT_EQ(ReadBytes(path), "A\r\n\r\nB\nC\r\n");
    EXPECT_EQ(ReadBack(ReadBytes(path), 32).entries, Entries({u"A", u"B", u"C"}));
}

TEST(WriteListFile, UnwritableFolderGivesErrorTwo) {
    ScratchDir dir;
    std::string path = dir.File("no-such-folder/list.txt");
    EXPECT_EQ(WriteEntries(path, {u"x"}, 256, ListFileForm::Ansi), ErrorFileNotFound);
    EXPECT_FALSE(FileExists(path));
}

TEST(WriteListFile, TargetThatCannotBeReplacedGivesErrorTwoAndStaysWhole) {
    // A folder where the file should be cannot be replaced by a file.
    ScratchDir dir;
    std::string path = dir.File("taken");
    std::string inside = dir.File("taken/keep.txt");
    std::error_code ignored;
    ASSERT_TRUE(std::filesystem::create_directory(path, ignored));
    WriteBytes(inside, "keep");
    EXPECT_EQ(WriteEntries(path, {u"x"}, 256, ListFileForm::Ansi), ErrorFileNotFound);
    EXPECT_EQ(ReadBytes(inside), "keep");
    EXPECT_EQ(FolderNames(dir.Path()), Names({"taken"}));
}

#ifdef _WIN32
TEST(WriteListFile, ReadOnlyTargetGivesErrorTwoAndStaysWhole) {
    ScratchDir dir;
    std::string path = dir.File("locked.txt");
    WriteBytes(path, "keep\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteEntries(path, {u"new"}, 256, ListFileForm::Ansi), ErrorFileNotFound);
    EXPECT_EQ(ReadBytes(path), "keep\r\n");
    EXPECT_EQ(FolderNames(dir.Path()), Names({"locked.txt"}));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WriteListFile, LongPathsAndHiddenTargetsAreReplacedKeepingTheirAttributes) {
    struct Row {
        size_t length; // of the target's path; 0 for a short one
        DWORD attributes;
        bool exists;
    };
    // The installer writes full paths of up to 259 characters.
    const Row rows[] = {{0, FILE_ATTRIBUTE_HIDDEN, true},    {0, FILE_ATTRIBUTE_ARCHIVE, false},
                        {256, FILE_ATTRIBUTE_ARCHIVE, true}, {258, FILE_ATTRIBUTE_ARCHIVE, true},
                        {259, FILE_ATTRIBUTE_HIDDEN, true},  {258, FILE_ATTRIBUTE_ARCHIVE, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.length << " " << row.attributes << " " << row.exists);
        ScratchDir dir;
        const std::string name = "versete.txt";
        std::string folder = dir.Path();
        if (row.length > 0) {
            size_t padding = row.length - name.size() - folder.size() - 2;
            folder.append(1, '\\').append(padding, 'd');
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        }
        std::string path = folder + "\\" + name;
        ASSERT_TRUE(row.length == 0 || path.size() == row.length) << path.size();
        if (row.exists) {
            WriteBytes(path, "old\r\n");
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), row.attributes));
        }
        EXPECT_EQ(WriteEntries(path, {u"new"}, 256, ListFileForm::Ansi), 0u);
        EXPECT_EQ(ReadBytes(path), "new\r\n");
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN,
                  row.attributes & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(FolderNames(folder), Names({name}));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Two programs saving one list at the same time, many times over, while it is read: every read
// finds one whole list, and every save succeeds.
TEST(WriteListFile, TwoProcessesSavingOneTargetLeaveOneWholeList) {
    ScratchDir dir;
    std::string path = dir.File("versete.txt");
    const char* const words[] = {"unu", "doi"};
    constexpr int entries = 300;
    std::string lists[2];
    for (int i = 0; i < 2; i++) {
        for (int entry = 0; entry < entries; entry++) {
            lists[i] += std::string(words[i]) + " " + std::to_string(entry) + "\r\n";
        }
    }
    WriteBytes(path, lists[0]);
    PROCESS_INFORMATION writers[2] = {};
    HANDLE handles[2] = {};
    for (int i = 0; i < 2; i++) {
        std::string command = std::string("\"") + LIST_WRITER + "\" \"" + path + "\" " + words[i] +
                              " " + std::to_string(entries) + " 100";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &writers[i]));
        handles[i] = writers[i].hProcess;
    }
    int reads = 0;
    while (WaitForMultipleObjects(2, handles, TRUE, 5) == WAIT_TIMEOUT) {
        bool opened = false;
        std::string now = ReadBytes(path, &opened);
        if (opened) {
            reads++;
            EXPECT_TRUE(now == lists[0] || now == lists[1]) << now.size() << " bytes";
        }
    }
    for (PROCESS_INFORMATION& writer : writers) {
        DWORD code = ~0u;
        GetExitCodeProcess(writer.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(writer.hProcess);
        CloseHandle(writer.hThread);
    }
    EXPECT_GT(reads, 0);
    std::string last = ReadBytes(path);
    EXPECT_TRUE(last == lists[0] || last == lists[1]);
    for (const std::string& name : FolderNames(dir.Path())) {
        EXPECT_NE(name.rfind("~vl", 0), 0u) << "left behind: " << name;
    }
}
#else

// The platform's moves, of which the one numbered FailingMove fails; a failed swap may leave
// the target at the backup name, as ReplaceFileW may.
int MovesMade = 0;
int FailingMove = 0;
bool SwapFailsHalfway = false;

bool InjectedFailure() {
    return ++MovesMade == FailingMove;
}

const FileMoves InjectedMoves{
    [](const char* path) { return PlatformFileMoves().Exists(path); },
    [](const char* from, const char* to) {
        return !InjectedFailure() && PlatformFileMoves().MoveNew(from, to);
    },
    [](const char* target, const char* replacement, const char* backup) {
        if (InjectedFailure()) {
            return SwapFailsHalfway && rename(target, backup) != 0;
        }
        return PlatformFileMoves().Swap(target, replacement, backup);
    },
    [](const char* path) { return !InjectedFailure() && PlatformFileMoves().Remove(path); },
    [](int attempt) { return attempt < 2; },
    [](const char* pattern, char (&found)[ReplacementPathSize]) {
        return PlatformFileMoves().Newest(pattern, found);
    },
};

TEST(PutReplacementInPlace, AnyFailingMoveLeavesAWholeListAtThePath) {
    for (bool exists : {true, false}) {
        for (bool halfway : {false, true}) {
            for (int failing = 1; failing <= 6; failing++) {
                SCOPED_TRACE(testing::Message() << exists << halfway << failing);
                ScratchDir dir;
                ReplacementFile file{};
                snprintf(file.target, sizeof file.target, "%s", dir.File("versete.txt").c_str());
                snprintf(file.temporary, sizeof file.temporary, "%s", dir.File("new").c_str());
                snprintf(file.backup, sizeof file.backup, "%s", dir.File("new.bak").c_str());
                if (exists) {
                    WriteBytes(file.target, "old\r\n");
                }
                WriteBytes(file.temporary, "new\r\n");
                MovesMade = 0;
                FailingMove = failing;
                SwapFailsHalfway = halfway;
                uint32_t code = PutReplacementInPlace(InjectedMoves, file);
                std::string now = ReadBytes(file.target);
                EXPECT_EQ(now, code == 0 ? "new\r\n" : "old\r\n");
                EXPECT_TRUE(exists || code == 0);
                // The new list is kept only where it is the only whole one left.
                bool onlyCopy = exists && !FileExists(file.target) && !FileExists(file.backup);
                EXPECT_EQ(FileExists(file.temporary), code != 0 && onlyCopy);
            }
        }
    }
}

// The three paths of a replacement take one form: the long one for all of them where one would
// reach the limit, so that every move names its files alike.
TEST(NameReplacement, AllThreePathsTakeTheLongFormTogether) {
    const std::string deep = "\\" + std::string(242, 'd') + "\\v.txt";
    const struct {
        std::string target, named;
    } rows[] = {{"C:\\v.txt", "C:\\v.txt"},
                {"C:" + deep, "\\\\?\\C:" + deep},
                {"\\\\srv\\l" + deep, "\\\\?\\UNC\\srv\\l" + deep},
                {"\\\\?\\C:" + deep, "\\\\?\\C:" + deep}};
    for (const auto& row : rows) {
        ReplacementFile file{};
        snprintf(file.target, sizeof file.target, "%s", row.target.c_str());
        ASSERT_TRUE(NameReplacement(file, 0xbeef, 260));
        EXPECT_EQ(file.target, row.named);
        const std::string folder = row.named.substr(0, row.named.size() - 5);
        EXPECT_EQ(file.temporary, folder + "~vl" +
                                      std::string(file.temporary).substr(folder.size() + 3, 4) +
                                      "beef.tmp");
        EXPECT_EQ(std::string(file.backup),
                  std::string(file.temporary, strlen(file.temporary) - 4) + ".bak");
    }
}

// A power cut between the replacement's moves leaves the path empty and the old list under its
// backup name: loading puts the newest backup of that list back, not another list's beside it.
TEST(PutBackupInPlace, TheNewestBackupOfTheListGoesBackToItsEmptyPath) {
    ScratchDir dir;
    ReplacementFile verses{}, fonts{};
    snprintf(verses.target, sizeof verses.target, "%s", dir.File("versete.txt").c_str());
    snprintf(fonts.target, sizeof fonts.target, "%s", dir.File("fonturi.txt").c_str());
    auto leave = [](ReplacementFile& file, unsigned serial, const char* bytes, int hoursAgo) {
        EXPECT_TRUE(NameReplacement(file, serial, 0));
        WriteBytes(file.backup, bytes);
        std::filesystem::last_write_time(file.backup,
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::hours(hoursAgo));
    };
    leave(verses, 1, "vechi\r\n", 2);
    leave(verses, 2, "nou\r\n", 1);
    leave(fonts, 3, "Arial\r\n", 0);
    uint32_t count = 0;
    ListFileState state;
    HeapRelease(LoadListFile(verses.target, 256, count, state));
    EXPECT_EQ(ReadBytes(verses.target), "nou\r\n");
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(FolderNames(dir.Path()).size(), 3u) << "the older backup and the other list's stay";
}

// A folder that lets no file be made beside the list: the list is written in place.
TEST(WriteListFile, FolderThatRefusesNewFilesIsWrittenInPlace) {
    ScratchDir dir;
    std::string path = dir.File("versete.txt");
    WriteBytes(path, "old\r\n");
    RefuseTemporaryFiles(true);
    uint32_t code = WriteEntries(path, {u"nou"}, 256, ListFileForm::Ansi);
    RefuseTemporaryFiles(false);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadBytes(path), "nou\r\n");
    EXPECT_EQ(FolderNames(dir.Path()), Names({"versete.txt"}));
}

TEST(ReadListFile, EveryHeapFailureGivesErrorFourteenAndLeaksNothing) {
    // ANSI, and UTF-8, which is decoded whole before it is cut into entries.
    for (std::string bytes : {"1\r\n2\r\n3\r\n4\r\n5\r\n", "ă\r\nâ\r\nî\r\nș\r\nț\r\n"}) {
        ScratchDir dir;
        std::string path = dir.File("five.txt");
        WriteBytes(path, bytes);
        long call = 1;
        for (;; call++) {
            FailHeapCall(call);
            uint32_t count = 99;
            ListFileForm form;
            WideChar* block = ReadListFile(path.c_str(), 256, count, form);
            if (block != nullptr) {
                EXPECT_EQ(count, 5u);
                HeapRelease(block);
                break;
            }
            EXPECT_EQ(count, 0u) << "failing heap call " << call;
            EXPECT_EQ(ThreadLastError(), ErrorOutOfMemory) << "failing heap call " << call;
            EXPECT_EQ(HeapLiveBlocks(), 0) << "failing heap call " << call;
            ASSERT_LT(call, 10) << "reading never succeeds";
        }
        EXPECT_GT(call, 1) << "no heap call could fail";
    }
    FailHeapCall(-1);
}

TEST(ReadListFile, LargeFileTakesFewHeapCallsAndEndsExact) {
    std::string bytes;
    for (int i = 0; i < 31102; i++) {
        bytes += "verse " + std::to_string(i) + "\r\n";
    }
    ScratchDir dir;
    std::string path = dir.File("book.txt");
    WriteBytes(path, bytes);
    FailHeapCall(-1);
    uint32_t count = 0;
    ListFileForm form;
    WideChar* block = ReadListFile(path.c_str(), 256, count, form);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(count, 31102u);
    EXPECT_LE(HeapCallCount(), 20) << "one resize per entry is quadratic on large files";
    EXPECT_EQ(HeapLiveBlocks(), 1) << "only the block stays";
    EXPECT_EQ(HeapBlockSize(block), 31102u * 256 * 2);
    EXPECT_EQ(SlotText(block + 31101 * 256, 256), u"verse 31101");
    HeapRelease(block);
    EXPECT_EQ(HeapLiveBlocks(), 0);
}

// Runs a write with the process's file size limit lowered, so that the disk seems full after
// limit bytes. Small writes stay in the stream's buffer: their failure shows only at close.
uint32_t WriteWithFileSizeLimit(const std::string& path, const std::string& entries, rlim_t limit) {
    std::vector<WideChar> block(entries.size() * 256 + 256, 0);
    uint32_t count = 0;
    size_t start = 0;
    for (size_t end; (end = entries.find('|', start)) != std::string::npos; start = end + 1) {
        std::copy(entries.begin() + start, entries.begin() + end, block.begin() + count * 256);
        count++;
    }
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit lowered = saved;
    lowered.rlim_cur = limit;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    uint32_t code = WriteListFile(path.c_str(), block.data(), count, 256, ListFileForm::Ansi);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    return code;
}

TEST(WriteListFile, FailedWriteOrCloseGivesErrorTwentyNineAndKeepsTheOldFile) {
    ScratchDir dir;
    std::string path = dir.File("versete.txt");
    const std::string original = "The user's verse\r\n";

    std::string few;
    for (int i = 0; i < 10; i++) {
        few += std::string(40, 'f') + "|";
    }
    WriteBytes(path, original);
    EXPECT_EQ(WriteWithFileSizeLimit(path, few, 100), ErrorWriteFault) << "failure at close";
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderNames(dir.Path()), Names({"versete.txt"}));

    std::string many;
    for (int i = 0; i < 400; i++) {
        many += std::string(200, 'm') + "|";
    }
    EXPECT_EQ(WriteWithFileSizeLimit(path, many, 1000), ErrorWriteFault) << "failure at write";
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderNames(dir.Path()), Names({"versete.txt"}));

    EXPECT_EQ(WriteWithFileSizeLimit(path, few, 1 << 20), 0u) << "enough room";
    EXPECT_EQ(ReadBytes(path).size(), 10u * 42);
}
#endif

} // namespace
