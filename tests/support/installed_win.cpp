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

Installed::Installed(int verses) {
    std::string lines;
    for (int i = 0; i < verses; i++) {
        char line[80];
        snprintf(line, sizeof line, "Versetul %d, pe ecran. (Test %d)\r\n", i, i);
        lines += line;
    }
    WriteBytes(texts, lines);
    WriteBytes(fonts, verses == 0 ? "" : "Tahoma\r\n");
    key.SetString("TextsFile", texts);
    key.SetString("FontsFile", fonts);
    key.SetDword("FadeSpeed", 10);
}
