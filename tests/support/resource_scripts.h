#pragma once
// The resource scripts as written: the dialogs, strings and version values the program is built
// from, read from the sources, so that a test checks the built program against them instead of
// a copy that every change to a dialog would have to follow. The scripts write every control as
// a CONTROL statement and every comment on lines of its own.

#include <map>
#include <string>
#include <vector>

// A control: its text as the script is saved (UTF-8), id (-1 for a label; -2 for a symbol the
// ids do not define), class, and whether its style asks for a tab stop.
struct ScriptControl {
    std::string Text;
    int Id;
    std::string ClassName;
    bool TabStop;
};

// A dialog template: its name (the symbol of a numbered one), number (0 for a named one),
// caption and controls in the script's order.
struct ScriptDialog {
    std::string Name;
    int Number;
    std::string Caption;
    std::vector<ScriptControl> Controls;
};

struct ResourceScripts {
    int CodePage = 0;               // of the main script's #pragma code_page
    std::map<std::string, int> Ids; // resource_ids.h, with the platform's IDOK, IDCANCEL, IDHELP
    std::vector<ScriptDialog> Dialogs;
    std::map<int, std::string> Strings;
    // The version record's values: a text, or the symbol the script puts there.
    std::map<std::string, std::string> VersionValues;
};

// The scripts that the folder's verselume.rc includes.
ResourceScripts ReadResourceScripts(const std::string& folder);
