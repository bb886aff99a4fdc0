// Files and directories for the tests: a private scratch directory removed
// afterwards, whole-file reads and writes, directory listings.
#pragma once

#include <set>
#include <string>

namespace clitest {

// A fresh directory under /tmp, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    // Path() + "/" + name
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// The names in directory, without "." and "..".
std::set<std::string> ListDir(const std::string& directory);
// The directory of the running test program (bin/), ending without "/".
std::string BinDir();

} // namespace clitest
