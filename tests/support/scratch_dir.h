#pragma once
// A fresh empty folder for one test, removed with everything in it at the
// end, and the small file helpers the tests share. Paths are UTF-8.

#include <filesystem>
#include <string>
#include <vector>

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The folder, without a trailing separator.
    std::string path() const;
    // A name inside it.
    std::string file(const std::string& name) const;
    // The names of the files in it, sorted (hidden ones too).
    std::vector<std::string> fileNames() const;

private:
    std::filesystem::path path_;
};

std::filesystem::path fromUtf8(const std::string& path);
// The file's bytes, or "<missing>".
std::string fileBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);
