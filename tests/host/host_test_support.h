// Helpers shared by the host tests: fixture plug-in paths, temporary
// directories, the fixture call log and module residency checks.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hosttest {

namespace fs = std::filesystem;

// host-fixtures/NAME/NAME.cpi, built with the tests.
std::string FixturePath(const std::string& name);
// The directory holding only that fixture, ending in '/'.
std::string FixtureDir(const std::string& name);

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return path_; }
    // The path of name inside the directory, as a string.
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Points TSN_FIXTURE_LOG at a file of its own for as long as it lives; the
// fixture plug-ins append one line per call there.
class FixtureLog {
public:
    FixtureLog();
    ~FixtureLog();
    FixtureLog(const FixtureLog&) = delete;
    FixtureLog& operator=(const FixtureLog&) = delete;
    std::vector<std::string> Lines() const;
    // The lines that start with prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) const;
    void Clear();

private:
    TempDir dir_;
    std::string path_;
};

// The two handles from the last "blocks COMMENT INFO" line of the log.
struct BlockHandles {
    void* comment = nullptr;
    void* info = nullptr;
};
BlockHandles LastBlocks(const FixtureLog& log);

// True when the library at path is loaded in this process now (dlopen with
// RTLD_NOLOAD; the reference it takes is dropped again).
bool IsModuleLoaded(const std::string& path);

} // namespace hosttest
