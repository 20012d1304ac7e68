#include "texts_rules.h"

#include "support/wide_strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(MoveTarget, FollowsTheEntryAndStopsAtEitherEnd) {
    struct Case {
        int32_t index;
        bool up;
        int32_t count;
        int32_t target;
    };
    const Case cases[] = {
        {NoVerse, true, 5, NoVerse}, // no current entry: nothing moves
        {NoVerse, false, 5, NoVerse},
        {0, true, 5, 0}, // the first entry stays first
        {1, true, 5, 0},
        {4, true, 5, 3},
        {0, false, 5, 1},
        {3, false, 5, 4},
        {4, false, 5, 4}, // the last entry stays last
        {0, false, 1, 0}, // a single entry goes nowhere
        {0, true, 1, 0},
        {0, false, 0, NoVerse}, // the list cannot report entries
        {0, false, -1, NoVerse},
        {7, false, 5, 7}, // past the end: never moved further out
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MoveTarget(c.index, c.up, c.count), c.target)
            << "index " << c.index << (c.up ? " up" : " down") << " of " << c.count;
    }
}

TEST(IndexAfterDelete, KeepsThePositionUnlessTheLastEntryWent) {
    struct Case {
        int32_t index;
        int32_t remaining;
        int32_t current;
    };
    const Case cases[] = {
        {NoVerse, 3, NoVerse},
        {0, 0, NoVerse}, // the only entry went: the list is empty
        {0, 2, 0},       // the next entry moves up into the place
        {1, 2, 1},
        {2, 2, 1}, // the last of three went: the new last is current
        {5, 5, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IndexAfterDelete(c.index, c.remaining), c.current)
            << "index " << c.index << ", " << c.remaining << " left";
    }
}

TEST(JoinVerseLines, EveryKindOfLineBreakBecomesOneSpace) {
    struct Case {
        std::u16string typed;
        std::u16string kept;
    };
    const Case cases[] = {
        {u"", u""},
        {u"Domnul este păstorul meu", u"Domnul este păstorul meu"},
        {u"unu\r\ndoi", u"unu doi"},
        {u"unu\rdoi", u"unu doi"},
        {u"unu\ndoi", u"unu doi"},
        {u"unu\n\rdoi", u"unu  doi"},   // LF then CR: two breaks
        {u"unu\r\r\ndoi", u"unu  doi"}, // lone CR, then CR LF
        {u"unu\r\n\r\ndoi", u"unu  doi"},
        {u"\r\nla început", u" la început"},
        {u"la sfârșit\r", u"la sfârșit "},
        {u"\n", u" "},
        {u"\r", u" "},
        {u"tab\trămâne 😀", u"tab\trămâne 😀"},
    };
    for (const Case& c : cases) {
        WideString text = Wide(c.typed);
        size_t length = JoinVerseLines(text.data());
        EXPECT_EQ(Utf16(text.c_str(), WideLength(text.c_str(), text.size())), c.kept);
        EXPECT_EQ(length, c.kept.size());
    }
}

TEST(JoinVerseLines, BreakAtTheEndOfAFullBufferReadsNothingPastIt) {
    // A heap buffer of exactly 256 units, so that AddressSanitizer sees any read beyond it.
    for (WideChar last : {u'\r', u'\n'}) {
        std::vector<WideChar> text(256, u'a');
        text[254] = last;
        text[255] = 0;
        EXPECT_EQ(JoinVerseLines(text.data()), 255u);
        EXPECT_EQ(SlotText(text.data(), 256), std::u16string(254, u'a') + u" ");
    }
}

} // namespace
