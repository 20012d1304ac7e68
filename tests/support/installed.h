#pragma once
// The installer's part for a test: the settings key naming a verses file and a typefaces file
// in a scratch folder. Everything goes with the object.

#include "support/files.h"
#include "support/registry.h"

#include <optional>
#include <string>

struct Installed {
    ScratchDir dir;
    SettingsKey key;
    std::string texts = dir.File("versete.txt");
    std::string fonts = dir.File("fonturi.txt");

    // The files hold these bytes; none leaves a file missing.
    explicit Installed(const std::optional<std::string>& verses = "Unu\r\nDoi\r\n",
                       const std::optional<std::string>& typefaces = "Arial\r\n");
    // That many numbered verses and "Tahoma" (no typeface without verses), FadeSpeed 10, and
    // the interval in milliseconds when one is given.
    explicit Installed(int verses, std::optional<DWORD> textSpeed = std::nullopt);
};
