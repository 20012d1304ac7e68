#include "support/test_fonts.h"

#include <gtest/gtest.h>

bool LoadTestFonts() {
    bool loaded = true;
    for (const char* file : {"letters-all.ttf", "letters-no-comma.ttf", "letters-no-breve.ttf"}) {
        std::string path = std::string(VERSELUME_TEST_FONTS) + "/" + file;
        if (AddFontResourceExA(path.c_str(), FR_PRIVATE, nullptr) == 0) {
            ADD_FAILURE() << "cannot add the test typeface " << path;
            loaded = false;
        }
    }
    return loaded;
}
