#pragma once
// A library of the prefix's system folder (system32; for a 32-bit program under Wine, syswow64,
// where the system folder's name leads it) replaced by a stand-in for the length of a test, with
// Wine told to prefer that file to its own built-in library of the name. The file and the
// override are put back when the object goes.

#include "support/files.h"
#include "support/registry.h"

#include <string>

class SystemLibraryStandIn {
  public:
    SystemLibraryStandIn(const std::string& standIn, const std::string& name);
    ~SystemLibraryStandIn();
    SystemLibraryStandIn(const SystemLibraryStandIn&) = delete;
    SystemLibraryStandIn& operator=(const SystemLibraryStandIn&) = delete;

    const std::string& Path() const { return path_; }

  private:
    ScopedRegistryValue loadOrder_;
    std::string path_;
    ScratchDir saved_;
    bool existed_;
};
