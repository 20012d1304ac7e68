#pragma once
// Files and folders for tests, on Linux and under Wine alike.

#include <string>

// A fresh, empty folder under the system's temporary folder, removed with everything in it
// when the object goes.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    // Full path of a file in the folder.
    std::string File(const std::string& name) const;

  private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; an empty string when it cannot be read (exists tells which).
std::string ReadBytes(const std::string& path, bool* exists = nullptr);
bool FileExists(const std::string& path);
