// CTessane: the host object. It finds, checks and records the comment
// plug-ins, and holds the state of the file being edited.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tessane_dll.h"

// The record of one accepted plug-in.
struct TPluginList {
    std::string Path;        // full path of the plug-in file
    std::string Description; // GetPluginInfo index 1
    std::string Filter;      // GetPluginInfo index 2, lower-cased
    std::string TypeName;    // GetPluginInfo index 3
    int32_t Flags = 0;       // ConfigurationDlg function 2
};

class CTessane {
public:
    CTessane() = default;
    CTessane(const CTessane&) = delete;
    CTessane& operator=(const CTessane&) = delete;

    // ---- Registry -------------------------------------------------------
    // Checks every file matching mask in directory (which ends in '/').
    // True when at least one plug-in was accepted.
    bool LoadPlugins(const std::string& directory, const std::string& mask);
    bool AddPlugin(const std::string& path);
    int32_t PluginCount() const;
    // Invalid indices (compared unsigned, so -1 too) give "" or 0.
    std::string PluginDescription(int32_t index) const;
    std::string PluginFilter(int32_t index) const;
    std::string PluginTypeName(int32_t index) const;
    int32_t PluginFlags(int32_t index) const;
    // True when index names a record (compared unsigned, so -1 is not valid).
    bool IsValidIndex(int32_t index) const;

    // ---- Comment transfer -------------------------------------------------
    // Chooses the plug-in, reads the file and its comment; on success the file
    // becomes the current file. A failure leaves the state as it was.
    int32_t OpenFile(HWND owner, const std::string& fileName, bool byContent);
    // Writes a copy of the current file carrying comment to targetName.
    int32_t SaveFile(HWND owner, const std::string& targetName, const std::string& comment);
    // Calls ConfigurationDlg of plug-in index; true when it answered 0.
    bool ConfigurePlugin(HWND owner, int32_t index, int32_t function);
    // Forgets the current file.
    void CloseFile();

    // Internal steps, public for the tests.
    int32_t FindPluginByExtension(const std::string& fileName);
    int32_t FindPluginByContent(const std::string& fileName);
    int32_t ReadComment(HWND owner, const std::string& fileName, int32_t index);
    // A buffer of n + 1 bytes, or null when it cannot be allocated.
    static std::unique_ptr<unsigned char[]> AllocBuffer(size_t n);

    // Sizes cross the plug-in interface as signed 32-bit integers, so a file
    // larger than this (2 GiB or more) is never handed to a plug-in: OpenFile
    // and SaveFile refuse it with CPI_ERR_FILEIO instead of truncating it.
    static constexpr int64_t MaxImageSize = INT32_MAX;
    // How many bytes FindPluginByContent shows each plug-in's IsSupported.
    static constexpr size_t ProbeSize = 2048;

    // ---- Document state, read directly by the main window -----------------
    std::string FileName;
    int32_t PluginIndex = -1;
    std::string Comment;
    std::string FileInfo;

    std::vector<TPluginList> Plugins;
    CTessaneDLL Dll;
};
