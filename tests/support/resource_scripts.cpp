#include "support/resource_scripts.h"

#include "support/files.h"

#include <regex>

namespace {

// A quoted text of a script, "" standing for a quote inside it.
const std::string Quoted = R"re("((?:[^"]|"")*)")re";

std::string Unquoted(const std::string& text) {
    return std::regex_replace(text, std::regex("\"\""), "\"");
}

int IdOf(const ResourceScripts& scripts, const std::string& word) {
    auto found = scripts.Ids.find(word);
    return word == "-1" ? -1 : found != scripts.Ids.end() ? found->second : -2;
}

// Every match of pattern in text, each as its groups.
std::vector<std::smatch> Matches(const std::string& text, const std::string& pattern) {
    std::regex expression(pattern);
    return {std::sregex_iterator(text.begin(), text.end(), expression), std::sregex_iterator()};
}

} // namespace

ResourceScripts ReadResourceScripts(const std::string& folder) {
    ResourceScripts scripts;
    scripts.Ids = {{"IDOK", 1}, {"IDCANCEL", 2}, {"IDHELP", 9}};
    const std::string ids = ReadBytes(folder + "/resource_ids.h");
    for (const std::smatch& define : Matches(ids, R"(#define (\w+) (\d+))")) {
        scripts.Ids[define[1]] = std::stoi(define[2]);
    }
    const std::string main = ReadBytes(folder + "/verselume.rc");
    for (const std::smatch& pragma : Matches(main, R"(#pragma code_page\((\d+)\))")) {
        scripts.CodePage = std::stoi(pragma[1]);
    }
    std::string all;
    for (const std::smatch& include : Matches(main, R"re(#include "(\w+\.rc)")re")) {
        all += '\n';
        all += ReadBytes(folder + "/" + include[1].str());
    }
    all = std::regex_replace(all, std::regex(R"(\n[ \t]*//[^\n]*)"), "\n");

    // A dialog or a string table runs from its first line to the next line that is END.
    for (const std::smatch& start :
         Matches(all, R"(\n(?:(\w+) )?(DIALOG|DIALOGEX|STRINGTABLE)\b)")) {
        size_t from = static_cast<size_t>(start.position());
        const std::string block = all.substr(from, all.find("\nEND", from) - from);
        if (start[2] == "STRINGTABLE") {
            for (const std::smatch& entry : Matches(block, R"(\n\s*(\w+),?\s+)" + Quoted)) {
                scripts.Strings[IdOf(scripts, entry[1])] = Unquoted(entry[2]);
            }
            continue;
        }
        std::smatch caption;
        std::regex_search(block, caption, std::regex("\nCAPTION " + Quoted));
        int number = IdOf(scripts, start[1]);
        ScriptDialog dialog{start[1], number > 0 ? number : 0, Unquoted(caption[1]), {}};
        const std::string control =
            R"(CONTROL\s+)" + Quoted + R"re(\s*,\s*([-\w]+)\s*,\s*"(\w+)"\s*,([^,]*))re";
        for (const std::smatch& found : Matches(block, control)) {
            bool tabStop = std::regex_search(found[4].str(), std::regex(R"((^|[^T]\s)WS_TABSTOP)"));
            dialog.Controls.push_back(
                {Unquoted(found[1]), IdOf(scripts, found[2]), found[3], tabStop});
        }
        scripts.Dialogs.push_back(dialog);
    }
    for (const std::smatch& value :
         Matches(all, R"re(VALUE\s+"(\w+)",\s*(?:)re" + Quoted + R"(|(\w+)))")) {
        scripts.VersionValues[value[1]] = value[2].matched ? Unquoted(value[2]) : value[3].str();
    }
    return scripts;
}
