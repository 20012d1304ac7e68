#include "support/system_folder.h"

#include <gtest/gtest.h>

namespace {

std::string SystemFolderFile(const std::string& name) {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

// Wine names a DLL's load order without ".dll".
std::string LoadOrderName(const std::string& name) {
    size_t end = name.size() - 4;
    return name.size() > 4 && _stricmp(name.c_str() + end, ".dll") == 0 ? name.substr(0, end)
                                                                        : name;
}

} // namespace

SystemLibraryStandIn::SystemLibraryStandIn(const std::string& standIn, const std::string& name)
    : loadOrder_(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", LoadOrderName(name).c_str()),
      path_(SystemFolderFile(name)),
      existed_(CopyFileA(path_.c_str(), saved_.File("original").c_str(), FALSE) != FALSE) {
    EXPECT_TRUE(CopyFileA(standIn.c_str(), path_.c_str(), FALSE)) << path_;
    loadOrder_.SetString("native,builtin");
}

SystemLibraryStandIn::~SystemLibraryStandIn() {
    if (existed_) {
        EXPECT_TRUE(CopyFileA(saved_.File("original").c_str(), path_.c_str(), FALSE)) << path_;
    } else {
        DeleteFileA(path_.c_str());
    }
}
