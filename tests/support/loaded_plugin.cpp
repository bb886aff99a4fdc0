#include "loaded_plugin.h"

#include <cstring>

namespace tsntest {

namespace {

template <typename F> F Bind(HMODULE module, const char* name) {
    FARPROC proc = GetProcAddress(module, name);
    F function = nullptr;
    static_assert(sizeof function == sizeof proc);
    std::memcpy(&function, &proc, sizeof function);
    return function;
}

} // namespace

std::string ProgramDirectory() {
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return "./";
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of('/') + 1);
}

LoadedPlugin::LoadedPlugin(const std::string& fileName) {
    module = LoadLibraryA((ProgramDirectory() + fileName).c_str());
    if (module == nullptr)
        return;
    GetPluginInfo = Bind<CPI_GetPluginInfoFunc>(module, "GetPluginInfo");
    IsSupported = Bind<CPI_IsSupportedFunc>(module, "IsSupported");
    GetComment = Bind<CPI_GetCommentFunc>(module, "GetComment");
    WriteComment = Bind<CPI_WriteCommentFunc>(module, "WriteComment");
    ConfigurationDlg = Bind<CPI_ConfigurationDlgFunc>(module, "ConfigurationDlg");
}

LoadedPlugin::~LoadedPlugin() {
    if (module != nullptr)
        FreeLibrary(module);
}

} // namespace tsntest
