#pragma once
// Helpers for the tests of the typefaces dialog and the font sample under Wine.

#include <windows.h>

#include <string>
#include <vector>

// Every typeface name with the ANSI character set, as the typefaces dialog enumerates them (in
// UTF-8 here), in the order the system gives them.
std::vector<std::string> InstalledTypefaces();

// Registers the font sample's class for this program, once per process.
void RegisterSampleClass();
