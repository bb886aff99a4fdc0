// The commands of tessane-cli. Each returns the process's exit status:
// 0 when every file succeeded, 1 when any failed.
#pragma once

#include <string>
#include <vector>

#include "tessane_data.h"

namespace tessane::cli {

enum ExitStatus : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// The host with every accepted plug-in of the program's directory; reports
// message 50 on standard error when there is none.
bool LoadPlugins(CTessane& host);

// Keeps every accepted plug-in module mapped for the life of the object. The
// host still loads and frees a plug-in for each task, but with the module
// pinned that is a reference count instead of mapping and relocating the
// library again for each of thousands of files.
class PinnedPlugins {
public:
    explicit PinnedPlugins(const CTessane& host);
    ~PinnedPlugins();
    PinnedPlugins(const PinnedPlugins&) = delete;
    PinnedPlugins& operator=(const PinnedPlugins&) = delete;

private:
    std::vector<HMODULE> modules_;
};

int ListPlugins(CTessane& host, bool json);
int ShowFiles(CTessane& host, const std::vector<std::string>& files, bool byContent, bool json);
int GetComment(CTessane& host, const std::string& file, bool byContent);
// Writes comment into each file through the save pipeline (clear: an empty comment).
int SetComment(CTessane& host, const std::vector<std::string>& files, const std::string& comment,
               bool byContent, bool backup);

// Reads a whole file or standard input ("-" is not special); false with
// reason on failure.
bool ReadAllBytes(const std::string& path, std::string& bytes, std::string& reason);
bool ReadAllStdin(std::string& bytes, std::string& reason);

} // namespace tessane::cli
