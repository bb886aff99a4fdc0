#include "host_test_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hosttest {

std::string FixtureDir(const std::string& name) { return std::string(TSN_HOST_FIXTURES) + "/" + name + "/"; }

std::string FixturePath(const std::string& name) { return FixtureDir(name) + name + ".cpi"; }

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "tsn-host-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    // Truncates in place, so an existing file keeps its directory entry.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

FixtureLog::FixtureLog() : path_(dir_ / "calls.log") { setenv("TSN_FIXTURE_LOG", path_.c_str(), 1); }

FixtureLog::~FixtureLog() { unsetenv("TSN_FIXTURE_LOG"); }

std::vector<std::string> FixtureLog::Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(path_);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> FixtureLog::LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> matching;
    for (const std::string& line : Lines()) {
        if (line.rfind(prefix, 0) == 0)
            matching.push_back(line);
    }
    return matching;
}

void FixtureLog::Clear() {
    std::error_code ignored;
    fs::remove(path_, ignored);
}

BlockHandles LastBlocks(const FixtureLog& log) {
    BlockHandles handles;
    auto lines = log.LinesStartingWith("blocks ");
    unsigned long long comment = 0;
    unsigned long long info = 0;
    if (!lines.empty() && std::sscanf(lines.back().c_str(), "blocks %llx %llx", &comment, &info) == 2) {
        handles.comment = reinterpret_cast<void*>(static_cast<uintptr_t>(comment));
        handles.info = reinterpret_cast<void*>(static_cast<uintptr_t>(info));
    }
    return handles;
}

bool IsModuleLoaded(const std::string& path) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr)
        return false;
    dlclose(module);
    return true;
}

} // namespace hosttest
