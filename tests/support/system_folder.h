#pragma once
// A library of the prefix's system folder (system32; syswow64 for a 32-bit program, which the
// system folder's name leads to) replaced by a stand-in for the length of a test, Wine told to
// prefer that file to its own built-in library; both put back as they were when the object goes.

#include "support/files.h"
#include "support/registry.h"

#include <string>

class SystemLibraryStandIn {
  public:
    SystemLibraryStandIn(const std::string& standIn, const std::string& name);
    ~SystemLibraryStandIn();
    const std::string& Path() const { return path_; }

  private:
    ScopedRegistryValue loadOrder_;
    std::string path_;
    ScratchDir saved_;
    bool existed_;
};
