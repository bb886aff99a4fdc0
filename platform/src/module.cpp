// Modules: dlopen and friends under the Win32 names.
#include "tessane/platform.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <unistd.h>

extern "C" {

HMODULE LoadLibraryA(const char* path) {
    if (path == nullptr || *path == '\0')
        return nullptr; // dlopen("") would hand back the main program
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

// True when symbol lies in module itself, not in one of the libraries it
// depends on (dlsym searches those too; a Windows module has only its own
// exports).
static bool definedInModule(HMODULE module, void* symbol) {
    struct link_map* moduleMap = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &moduleMap) != 0 || moduleMap == nullptr)
        return false;
    Dl_info info{};
    struct link_map* symbolMap = nullptr;
    if (dladdr1(symbol, &info, reinterpret_cast<void**>(&symbolMap), RTLD_DL_LINKMAP) == 0)
        return false;
    return symbolMap == moduleMap;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (module == nullptr || name == nullptr)
        return nullptr;
    void* symbol = dlsym(module, name);
    if (symbol == nullptr || !definedInModule(module, symbol))
        return nullptr;
    FARPROC proc = nullptr;
    static_assert(sizeof proc == sizeof symbol);
    std::memcpy(&proc, &symbol, sizeof proc); // object-to-function pointer, as POSIX allows
    return proc;
}

BOOL FreeLibrary(HMODULE module) {
    if (module == nullptr)
        return FALSE;
    return dlclose(module) == 0 ? TRUE : FALSE;
}

static std::string modulePath(HMODULE module) {
    if (module == nullptr) {
        char buffer[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer)
            return {}; // unreadable, or possibly cut short
        return std::string(buffer, static_cast<size_t>(n));
    }
    struct link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr)
        return {};
    // A library loaded by a relative name is reported by its full path.
    if (map->l_name[0] != '/' && map->l_name[0] != '\0') {
        if (char* full = realpath(map->l_name, nullptr)) {
            std::string path = full;
            std::free(full);
            return path;
        }
    }
    return map->l_name;
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
    if (buffer == nullptr || size == 0)
        return 0;
    std::string path = modulePath(module);
    if (path.empty()) {
        buffer[0] = '\0';
        return 0;
    }
    if (path.size() >= size) { // cut, zero-terminated, and report the full size
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

} // extern "C"
