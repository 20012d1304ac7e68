// The sample lists the installer ships: each line one whole entry of its list, in the code page
// the Romanian user interface uses, read back by the program's own reader.

#include "list_file.h"
#include "platform.h"
#include "saver_settings.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

std::string SampleFile(const char* name) {
    return std::string(VERSELUME_SAMPLE_DIR) + "/" + name;
}

// Bytes above 0x7F a Romanian text in Windows-1250 may hold: the letters ă â î ş ţ in both
// cases and the typographic quotes, dashes and ellipsis. Anything else (a byte the code page
// leaves undefined, a letter of another language, half of a UTF-8 sequence) is a fault.
bool IsRomanianTextByte(unsigned char c) {
    static const unsigned char allowed[] = {0xE3, 0xC3, 0xE2, 0xC2, 0xEE, 0xCE, 0xBA, 0xAA,
                                            0xFE, 0xDE, 0x84, 0x93, 0x94, 0x96, 0x97, 0x85};
    if (c >= 0x20 && c < 0x7F) {
        return true;
    }
    return std::memchr(allowed, c, sizeof allowed) != nullptr;
}

// The lines of a file in which every line, the last one included, ends with CR LF.
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "the last line lacks its CR LF";
        if (end == std::string::npos) {
            end = bytes.size();
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

struct SampleList {
    const char* name;
    uint32_t width;
    size_t minimumCount;
};

const SampleList sampleLists[] = {
    {"versete.txt", TextSlotWidth, 40},
    {"fonturi.txt", FontSlotWidth, 10},
};

TEST(SampleLists, EveryLineIsOneWholeEntryTheReaderGivesBackUnchanged) {
    for (const SampleList& list : sampleLists) {
        SCOPED_TRACE(list.name);
        bool exists = false;
        std::string bytes = ReadBytes(SampleFile(list.name), &exists);
        ASSERT_TRUE(exists);
        std::vector<std::string> lines = CrLfLines(bytes);
        EXPECT_GE(lines.size(), list.minimumCount);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            SCOPED_TRACE("line " + std::to_string(i + 1));
            EXPECT_FALSE(line.empty()) << "an empty line is no entry";
            // A longer line would be cut into two entries.
            EXPECT_LE(line.size(), list.width - 1);
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a stray line end";
            if (!line.empty()) {
                EXPECT_NE(line.front(), ' ');
                EXPECT_NE(line.back(), ' ');
            }
            for (unsigned char c : line) {
                EXPECT_TRUE(IsRomanianTextByte(c)) << "byte 0x" << std::hex << int(c);
            }
        }

        uint32_t count = 99;
        char* block = ReadListFile(SampleFile(list.name).c_str(), list.width, count);
        ASSERT_NE(block, nullptr);
        ASSERT_EQ(count, lines.size());
        for (uint32_t i = 0; i < count; ++i) {
            EXPECT_EQ(std::string(block + i * list.width), lines[i]);
        }
        HeapRelease(block);
    }
}

// "Text. (Book chapter:verse)" or "(Book chapter:first-last)".
bool EndsWithReference(const std::string& verse) {
    size_t open = verse.rfind(" (");
    if (open == std::string::npos || open == 0 || verse.back() != ')') {
        return false;
    }
    if (std::strchr(".!?", verse[open - 1]) == nullptr) {
        return false;
    }
    std::string reference = verse.substr(open + 2, verse.size() - open - 3);
    size_t space = reference.rfind(' ');
    if (space == std::string::npos || space == 0) {
        return false;
    }
    std::string place = reference.substr(space + 1);
    size_t colon = place.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == place.size()) {
        return false;
    }
    return place.find_first_not_of("0123456789:-") == std::string::npos;
}

TEST(SampleVerses, EachEndsWithItsReferenceAndNoneRepeats) {
    std::vector<std::string> verses = CrLfLines(ReadBytes(SampleFile("versete.txt")));
    ASSERT_GE(verses.size(), 40u);
    std::set<std::string> references;
    for (const std::string& verse : verses) {
        EXPECT_TRUE(EndsWithReference(verse)) << verse;
        std::string reference = verse.substr(verse.rfind(" (") + 2);
        EXPECT_TRUE(references.insert(reference).second) << "twice: " << reference;
    }
}

int CompareWithoutCase(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x - y;
        }
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

// The fonts dialog finds chosen typefaces by a binary search in byte order, while its list box
// keeps them in case-blind order: the sample must be ascending in both, or a chosen typeface
// shows as available too.
TEST(SampleTypefaces, AscendInByteOrderAndInCaseBlindOrder) {
    std::vector<std::string> names = CrLfLines(ReadBytes(SampleFile("fonturi.txt")));
    ASSERT_FALSE(names.empty());
    for (size_t i = 1; i < names.size(); ++i) {
        EXPECT_LT(std::strcmp(names[i - 1].c_str(), names[i].c_str()), 0)
            << names[i - 1] << " / " << names[i];
        EXPECT_LT(CompareWithoutCase(names[i - 1], names[i]), 0)
            << names[i - 1] << " / " << names[i];
    }
}

// The checks themselves: each kind of fault they exist for is caught.
TEST(SampleChecks, CatchTheFaultsTheyAreFor) {
    EXPECT_FALSE(IsRomanianTextByte(0xC5)) << "first byte of UTF-8 \"ş\"";
    EXPECT_FALSE(IsRomanianTextByte(0x81)) << "undefined in Windows-1250";
    EXPECT_FALSE(IsRomanianTextByte('\t'));
    EXPECT_TRUE(IsRomanianTextByte(0xBA)) << "ş";
    EXPECT_TRUE(IsRomanianTextByte(0xFE)) << "ţ";

    EXPECT_TRUE(EndsWithReference("Pot totul. (Filipeni 4:13)"));
    EXPECT_TRUE(EndsWithReference("Bucuraţi-vă! (1 Tesaloniceni 5:16-18)"));
    EXPECT_FALSE(EndsWithReference("Pot totul (Filipeni 4:13)"));
    EXPECT_FALSE(EndsWithReference("Pot totul. (Filipeni)"));
    EXPECT_FALSE(EndsWithReference("Pot totul. Filipeni 4:13"));
    EXPECT_FALSE(EndsWithReference("(Filipeni 4:13)"));
}

} // namespace
