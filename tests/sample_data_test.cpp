// The sample lists the installer ships: each line one whole entry of its list, the verses in
// UTF-8 with a byte-order mark and the correct Romanian letters, the typefaces in ASCII, read
// back by the program's own reader.

#include "list_file.h"
#include "platform.h"
#include "saver_settings.h"
#include "support/files.h"
#include "support/wide_strings.h"

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

// Letters beyond ASCII a Romanian text may hold: ă â î ș ț in both cases (ș ț with the comma
// below) and the typographic quotes, dashes and ellipsis. Anything else (the cedilla forms ş ţ,
// a letter of another language, a misread byte) is a fault.
bool IsRomanianTextUnit(char16_t c) {
    static const std::u16string allowed = u"ăĂâÂîÎșȘțȚ„”–—…";
    return (c >= 0x20 && c < 0x7F) || allowed.find(c) != std::u16string::npos;
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

// Characters of a UTF-8 line: every byte but the continuation bytes.
size_t CharacterCount(const std::string& line) {
    size_t count = 0;
    for (unsigned char c : line) {
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

const std::string Mark = "\xEF\xBB\xBF";

// The verses after their mark, the typefaces as they are.
std::vector<std::string> SampleLines(const char* name) {
    std::string bytes = ReadBytes(SampleFile(name));
    bool marked = bytes.compare(0, Mark.size(), Mark) == 0;
    return CrLfLines(marked ? bytes.substr(Mark.size()) : bytes);
}

struct SampleList {
    const char* name;
    uint32_t width;
    size_t minimumCount;
    ListFileForm form;
};

const SampleList sampleLists[] = {
    {"versete.txt", TextSlotWidth, 40, ListFileForm::Utf8Bom},
    {"fonturi.txt", FontSlotWidth, 10, ListFileForm::Ansi},
};

TEST(SampleLists, EveryLineIsOneWholeEntryTheReaderGivesBackUnchanged) {
    for (const SampleList& list : sampleLists) {
        SCOPED_TRACE(list.name);
        std::vector<std::string> lines = SampleLines(list.name);
        EXPECT_GE(lines.size(), list.minimumCount);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            SCOPED_TRACE("line " + std::to_string(i + 1));
            EXPECT_FALSE(line.empty()) << "an empty line is no entry";
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "a stray line end";
            if (!line.empty()) {
                EXPECT_NE(line.front(), ' ');
                EXPECT_NE(line.back(), ' ');
            }
        }

        uint32_t count = 99;
        ListFileForm form;
        WideChar* block = ReadListFile(SampleFile(list.name).c_str(), list.width, count, form);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(form, list.form);
        // As many entries as lines, each as long as its line: no line was cut or misread.
        ASSERT_EQ(count, lines.size());
        for (uint32_t i = 0; i < count; ++i) {
            std::u16string entry = SlotText(block + i * list.width, list.width);
            EXPECT_EQ(entry.size(), CharacterCount(lines[i])) << "line " << i + 1;
            for (char16_t c : entry) {
                EXPECT_TRUE(IsRomanianTextUnit(c))
                    << "line " << i + 1 << " U+" << std::hex << int(c);
            }
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
    std::vector<std::string> verses = SampleLines("versete.txt");
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
    std::vector<std::string> names = SampleLines("fonturi.txt");
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
    EXPECT_FALSE(IsRomanianTextUnit(u'ş')) << "cedilla";
    EXPECT_FALSE(IsRomanianTextUnit(u'Ţ')) << "cedilla";
    EXPECT_FALSE(IsRomanianTextUnit(u'º')) << "ş misread through code page 1252";
    EXPECT_FALSE(IsRomanianTextUnit(u'\t'));
    EXPECT_TRUE(IsRomanianTextUnit(u'ș'));
    EXPECT_TRUE(IsRomanianTextUnit(u'Ț'));
    EXPECT_EQ(CharacterCount("Bucurați-vă"), 11u);

    EXPECT_TRUE(EndsWithReference("Pot totul. (Filipeni 4:13)"));
    EXPECT_TRUE(EndsWithReference("Bucurați-vă! (1 Tesaloniceni 5:16-18)"));
    EXPECT_FALSE(EndsWithReference("Pot totul (Filipeni 4:13)"));
    EXPECT_FALSE(EndsWithReference("Pot totul. (Filipeni)"));
    EXPECT_FALSE(EndsWithReference("Pot totul. Filipeni 4:13"));
    EXPECT_FALSE(EndsWithReference("(Filipeni 4:13)"));
}

} // namespace
