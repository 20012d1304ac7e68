#include "support/installed.h"

#include <cstdio>

Installed::Installed(const std::optional<std::string>& verses,
                     const std::optional<std::string>& typefaces) {
    key.SetString("TextsFile", texts);
    key.SetString("FontsFile", fonts);
    if (verses) {
        WriteBytes(texts, *verses);
    }
    if (typefaces) {
        WriteBytes(fonts, *typefaces);
    }
}

namespace {

std::string NumberedVerses(int count) {
    std::string lines;
    for (int i = 0; i < count; i++) {
        char line[80];
        snprintf(line, sizeof line, "Versetul %d, pe ecran. (Test %d)\r\n", i, i);
        lines += line;
    }
    return lines;
}

} // namespace

Installed::Installed(int verses, std::optional<DWORD> textSpeed)
    : Installed(NumberedVerses(verses), std::string(verses == 0 ? "" : "Tahoma\r\n")) {
    key.SetDword("FadeSpeed", 10);
    if (textSpeed) {
        key.SetDword("TextSpeed", *textSpeed);
    }
}
