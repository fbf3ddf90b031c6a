#include "scratch_dir.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

std::filesystem::path fromUtf8(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

namespace {
std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
} // namespace

ScratchDir::ScratchDir() {
    std::random_device seed;
    std::mt19937_64 random(seed() ^ std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    do
        path_ = fs::temp_directory_path() / ("thermometer-test-" + std::to_string(random()));
    while (!fs::create_directory(path_));
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ScratchDir::path() const {
    return toUtf8(path_);
}

std::string ScratchDir::file(const std::string& name) const {
    return toUtf8(path_ / fromUtf8(name));
}

std::vector<std::string> ScratchDir::fileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.push_back(toUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(fromUtf8(path), std::ios::binary);
    if (!file)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(fromUtf8(path), std::ios::binary) << bytes;
}
