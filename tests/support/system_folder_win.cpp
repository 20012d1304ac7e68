#include "support/system_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string SystemFolderFile(const std::string& name) {
    char folder[MAX_PATH] = "";
    EXPECT_NE(GetSystemDirectoryA(folder, MAX_PATH), 0u);
    return std::string(folder) + "\\" + name;
}

// Wine names a DLL's load order without the ".dll".
std::string LoadOrderName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(tolower(c)); });
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) {
        name.resize(name.size() - 4);
    }
    return name;
}

} // namespace

SystemLibraryStandIn::SystemLibraryStandIn(const std::string& standIn, const std::string& name)
    : loadOrder_(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", LoadOrderName(name).c_str()),
      path_(SystemFolderFile(name)) {
    existed_ = CopyFileA(path_.c_str(), saved_.File("original").c_str(), FALSE) != FALSE;
    EXPECT_TRUE(CopyFileA(standIn.c_str(), path_.c_str(), FALSE)) << path_;
    loadOrder_.SetString("native,builtin");
}

SystemLibraryStandIn::~SystemLibraryStandIn() {
    if (existed_) {
        EXPECT_TRUE(CopyFileA(saved_.File("original").c_str(), path_.c_str(), FALSE));
    } else {
        DeleteFileA(path_.c_str());
    }
}
