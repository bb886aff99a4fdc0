// A comment plug-in loaded from the test program's directory (build/bin/) and
// its five exports bound by name, the way the host does it.
#pragma once

#include <string>

#include "cpi.h"

namespace tsntest {

// The directory of the running test program, ending in '/'.
std::string ProgramDirectory();

class LoadedPlugin {
public:
    // Loads ProgramDirectory() + fileName; a missing module or export leaves
    // the matching member null (see Complete()).
    explicit LoadedPlugin(const std::string& fileName);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    bool Complete() const {
        return module && GetPluginInfo && IsSupported && GetComment && WriteComment && ConfigurationDlg;
    }

    HMODULE module = nullptr;
    CPI_GetPluginInfoFunc GetPluginInfo = nullptr;
    CPI_IsSupportedFunc IsSupported = nullptr;
    CPI_GetCommentFunc GetComment = nullptr;
    CPI_WriteCommentFunc WriteComment = nullptr;
    CPI_ConfigurationDlgFunc ConfigurationDlg = nullptr;
};

} // namespace tsntest
