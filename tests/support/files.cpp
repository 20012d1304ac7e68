#include "support/files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    static std::atomic<int> serial{0};
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::ostringstream name;
    name << "verselume-test-" << stamp << "-" << serial++;
    fs::path dir = base / name.str();
    fs::create_directories(dir, error);
    EXPECT_FALSE(error) << "cannot create " << dir.string();
    path_ = dir.string();
}

ScratchDir::~ScratchDir() {
    std::error_code error;
    fs::remove_all(path_, error);
}

std::string ScratchDir::File(const std::string& name) const {
    return (fs::path(path_) / name).string();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadBytes(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary);
    if (exists != nullptr) {
        *exists = in.is_open();
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}
