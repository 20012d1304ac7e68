#include "list_file.h"
#include "platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
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

struct ReadResult {
    std::vector<std::string> entries;
    uint32_t error = 0;
    bool hasBlock = false;
};

// Reads a file of the given bytes and checks the block's layout on the way: every slot is zero
// after its terminator and no slot holds a line-end byte.
ReadResult ReadBack(const std::string& bytes, uint32_t width) {
    ScratchDir dir;
    std::string path = dir.File("list.txt");
    WriteBytes(path, bytes);
    ReadResult result;
    uint32_t count = 12345;
    SetThreadLastError(999);
    char* block = ReadListFile(path.c_str(), width, count);
    result.error = ThreadLastError();
    result.hasBlock = block != nullptr;
    if (block == nullptr) {
        EXPECT_EQ(count, 0u);
        return result;
    }
#ifndef _WIN32
    EXPECT_EQ(HeapBlockSize(block), static_cast<size_t>(count) * width) << "spare room left";
#endif
    for (uint32_t i = 0; i < count; i++) {
        const char* slot = block + static_cast<size_t>(i) * width;
        size_t length = strnlen(slot, width);
        EXPECT_LT(length, width) << "slot " << i << " is not terminated";
        for (size_t j = length; j < width; j++) {
            EXPECT_EQ(slot[j], '\0') << "slot " << i << " byte " << j;
        }
        EXPECT_EQ(memchr(slot, '\n', length), nullptr) << "slot " << i << " holds LF";
        result.entries.emplace_back(slot, length);
    }
    HeapRelease(block);
    return result;
}

std::vector<std::string> Entries(std::initializer_list<std::string> list) {
    return list;
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

TEST(ReadListFile, SplitsAndSkipsLinesAsTextModeWould) {
    struct Case {
        const char* name;
        std::string bytes;
        uint32_t width;
        std::vector<std::string> expected;
    };
    std::string a255(255, 'a');
    std::string b45(45, 'b');
    std::vector<Case> cases = {
        {"255-byte verse and CR LF is one entry", a255 + "\r\n", 256, {a255}},
        {"256-byte line", a255 + "z\r\n", 256, {a255, "z"}},
        {"300-byte line", a255 + b45 + "\r\n", 256, {a255, b45}},
        {"510-byte line", a255 + a255 + "\r\n", 256, {a255, a255}},
        {"510-byte line without line end", a255 + a255, 256, {a255, a255}},
        {"254 bytes and CR LF",
         std::string(254, 'c') + "\r\nx\r\n",
         256,
         {std::string(254, 'c'), "x"}},
        {"40-byte typeface",
         std::string(40, 'F') + "\r\n",
         32,
         {std::string(31, 'F'), std::string(9, 'F')}},
        {"31-byte typeface",
         std::string(31, 'T') + "\r\nArial\r\n",
         32,
         {std::string(31, 'T'), "Arial"}},
        {"empty lines between and after entries",
         "\r\none\r\n\r\n\ntwo\n\r\n\n",
         256,
         {"one", "two"}},
        {"a line of one space is an entry", " \r\n", 256, {" "}},
        {"last line without line end", "first\r\nlast", 256, {"first", "last"}},
        {"LF-only line ends", "one\ntwo\nthree\n", 256, {"one", "two", "three"}},
        {"a lone CR stays in the entry", "a\rb\r\nc\r", 256, {"a\rb", "c\r"}},
        {"CR CR LF keeps the first CR", "x\r\r\n", 256, {"x\r"}},
        {"bytes above 127 pass unchanged", "\xba\xfe\xe3\xee\r\n", 256, {"\xba\xfe\xe3\xee"}},
        {"a NUL ends the entry", std::string("ab\0cd\r\nef\r\n", 11), 256, {"ab", "ef"}},
        {"a line starting with NUL is no entry", std::string("\0xyz\nok\n", 8), 256, {"ok"}},
    };
    for (const Case& c : cases) {
        ReadResult result = ReadBack(c.bytes, c.width);
        EXPECT_TRUE(result.hasBlock) << c.name;
        EXPECT_EQ(result.error, 0u) << c.name;
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
    for (const std::string& entry : result.entries) {
        ASSERT_EQ(entry, line);
    }
}

TEST(ReadListFile, NoEntryGivesNoBlockAndErrorZero) {
    for (const char* bytes : {"", "\r\n", "\n\n\r\n\n"}) {
        ReadResult result = ReadBack(bytes, 256);
        EXPECT_FALSE(result.hasBlock) << '"' << bytes << '"';
        EXPECT_EQ(result.error, 0u);
    }
}

TEST(ReadListFile, MissingFileGivesErrorTwo) {
    ScratchDir dir;
    uint32_t count = 7;
    char* block = ReadListFile(dir.File("missing.txt").c_str(), 256, count);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(ThreadLastError(), ErrorFileNotFound);
}

TEST(WriteListFile, WritesEachEntryWithCrLfAndReadsBack) {
    ScratchDir dir;
    std::string path = dir.File("out.txt");
    char block[3 * 256] = {};
    strcpy(block, "Unu");
    strcpy(block + 256, "Doi \xba\xfe");
    strcpy(block + 512, std::string(255, 'z').c_str());
    ASSERT_EQ(WriteListFile(path.c_str(), block, 3, 256), 0u);
    EXPECT_EQ(ReadBytes(path), "Unu\r\nDoi \xba\xfe\r\n" + std::string(255, 'z') + "\r\n");
    EXPECT_EQ(FolderNames(dir.Path()), Entries({"out.txt"}));

    ReadResult back = ReadBack(ReadBytes(path), 256);
    EXPECT_EQ(back.entries, Entries({"Unu", "Doi \xba\xfe", std::string(255, 'z')}));
}

TEST(WriteListFile, ZeroEntriesEmptiesAnExistingFileAndCreatesAMissingOne) {
    ScratchDir dir;
    std::string existing = dir.File("existing.txt");
    WriteBytes(existing, "old\r\n");
    EXPECT_EQ(WriteListFile(existing.c_str(), nullptr, 0, 256), 0u);
    bool exists = false;
    EXPECT_EQ(ReadBytes(existing, &exists), "");
    EXPECT_TRUE(exists);

    std::string created = dir.File("created.txt");
    EXPECT_EQ(WriteListFile(created.c_str(), nullptr, 0, 32), 0u);
    EXPECT_TRUE(FileExists(created));
}

TEST(WriteListFile, EmptyEntryAndEntryWithLineEndDoNotSurviveARoundTrip) {
    ScratchDir dir;
    std::string path = dir.File("odd.txt");
    char block[3 * 32] = {};
    strcpy(block, "A");
    strcpy(block + 64, "B\nC");
    ASSERT_EQ(WriteListFile(path.c_str(), block, 3, 32), 0u);
    EXPECT_EQ(ReadBytes(path), "A\r\n\r\nB\nC\r\n");
    EXPECT_EQ(ReadBack(ReadBytes(path), 32).entries, Entries({"A", "B", "C"}));
}

TEST(WriteListFile, UnwritableFolderGivesErrorTwo) {
    ScratchDir dir;
    std::string path = dir.File("no-such-folder/list.txt");
    char block[256] = "x";
    EXPECT_EQ(WriteListFile(path.c_str(), block, 1, 256), ErrorFileNotFound);
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
    char block[256] = "x";
    EXPECT_EQ(WriteListFile(path.c_str(), block, 1, 256), ErrorFileNotFound);
    EXPECT_EQ(ReadBytes(inside), "keep");
    EXPECT_EQ(FolderNames(dir.Path()), Entries({"taken"}));
}

#ifdef _WIN32
TEST(WriteListFile, ReadOnlyTargetGivesErrorTwoAndStaysWhole) {
    ScratchDir dir;
    std::string path = dir.File("locked.txt");
    WriteBytes(path, "keep\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    char block[256] = "new";
    EXPECT_EQ(WriteListFile(path.c_str(), block, 1, 256), ErrorFileNotFound);
    EXPECT_EQ(ReadBytes(path), "keep\r\n");
    EXPECT_EQ(FolderNames(dir.Path()), Entries({"locked.txt"}));
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
        char block[256] = "new";
        EXPECT_EQ(WriteListFile(path.c_str(), block, 1, 256), 0u);
        EXPECT_EQ(ReadBytes(path), "new\r\n");
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN,
                  row.attributes & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_EQ(FolderNames(folder), Entries({name}));
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

TEST(ReadListFile, EveryHeapFailureGivesErrorFourteenAndLeaksNothing) {
    std::string bytes = "1\r\n2\r\n3\r\n4\r\n5\r\n";
    ScratchDir dir;
    std::string path = dir.File("five.txt");
    WriteBytes(path, bytes);
    long call = 1;
    for (;; call++) {
        FailHeapCall(call);
        uint32_t count = 99;
        char* block = ReadListFile(path.c_str(), 256, count);
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
    char* block = ReadListFile(path.c_str(), 256, count);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(count, 31102u);
    EXPECT_LE(HeapCallCount(), 20) << "one resize per entry is quadratic on large files";
    EXPECT_EQ(HeapLiveBlocks(), 1) << "only the block stays";
    EXPECT_EQ(HeapBlockSize(block), 31102u * 256);
    EXPECT_STREQ(block + 31101 * 256, "verse 31101");
    HeapRelease(block);
    EXPECT_EQ(HeapLiveBlocks(), 0);
}

// Runs a write with the process's file size limit lowered, so that the disk seems full after
// limit bytes. Small writes stay in the stream's buffer: their failure shows only at close.
uint32_t WriteWithFileSizeLimit(const std::string& path, const std::string& entries, rlim_t limit) {
    std::vector<char> block(entries.size() * 256 + 256, '\0');
    uint32_t count = 0;
    size_t start = 0;
    for (size_t end; (end = entries.find('|', start)) != std::string::npos; start = end + 1) {
        memcpy(block.data() + count * 256, entries.data() + start, end - start);
        count++;
    }
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit lowered = saved;
    lowered.rlim_cur = limit;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    uint32_t code = WriteListFile(path.c_str(), block.data(), count, 256);
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
    EXPECT_EQ(FolderNames(dir.Path()), Entries({"versete.txt"}));

    std::string many;
    for (int i = 0; i < 400; i++) {
        many += std::string(200, 'm') + "|";
    }
    EXPECT_EQ(WriteWithFileSizeLimit(path, many, 1000), ErrorWriteFault) << "failure at write";
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FolderNames(dir.Path()), Entries({"versete.txt"}));

    EXPECT_EQ(WriteWithFileSizeLimit(path, few, 1 << 20), 0u) << "enough room";
    EXPECT_EQ(ReadBytes(path).size(), 10u * 42);
}
#endif

} // namespace
