// CTessaneDLL: the host's only gateway into plug-in code. It holds at most one
// loaded plug-in module, binds its exports one at a time and wraps each call
// in host strings and result codes.
#pragma once

#include <cstdint>
#include <string>

#include "cpi.h"

class CTessaneDLL {
public:
    CTessaneDLL() = default;
    ~CTessaneDLL(); // frees the module held, if any
    CTessaneDLL(const CTessaneDLL&) = delete;
    CTessaneDLL& operator=(const CTessaneDLL&) = delete;

    // Frees the module held, then loads path. True when a module was loaded.
    bool Load(const std::string& path);
    // Frees the module held, if any.
    void Unload();
    bool IsLoaded() const { return Module != nullptr; }

    // Binders work on the module now loaded and look exports up by name.
    bool BindGetPluginInfo(); // also demands "CPI1" for index 0
    bool BindIsSupported();
    bool BindGetComment();
    bool BindWriteComment();
    int32_t BindConfigurationDlg(); // 0 when missing, else the capability flags

    // Callers require their binder to have succeeded for the loaded module.
    std::string CallGetPluginInfo(uint32_t index);
    bool CallIsSupported(const unsigned char* image, int32_t size);
    // Fills comment and info only on success; a null block leaves its string.
    int32_t CallGetComment(HWND owner, const unsigned char* image, int32_t size, std::string& comment,
                           std::string& info);
    int32_t CallWriteComment(HWND owner, const std::string& fileName, unsigned char* image, int32_t size,
                             const std::string& comment);
    int32_t CallConfigurationDlg(HWND owner, int32_t function);

    HMODULE Module = nullptr;
    CPI_GetPluginInfoFunc GetPluginInfoProc = nullptr;
    CPI_IsSupportedFunc IsSupportedProc = nullptr;
    CPI_GetCommentFunc GetCommentProc = nullptr;
    CPI_WriteCommentFunc WriteCommentProc = nullptr;
    CPI_ConfigurationDlgFunc ConfigurationDlgProc = nullptr;
};
